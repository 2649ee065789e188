// HLMMain as it ships but for one thing: a diagnosis has none of its designed waits (the pause
// after every test and the second before the first). The diagnosis benchmark runs this build to
// weigh what the program adds to the tests themselves; it is never installed.
#include "console/DiagWorker.h"
#include "shell/HLMMainApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    SetDiagWaitsEnabled(false);
    CHLMMainApp app;
    return app.Run(instance);
}
