// Entry point: the application object runs everything, the framework way.
#include "shell/HLMMainApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    CHLMMainApp app;
    return app.Run(instance);
}
