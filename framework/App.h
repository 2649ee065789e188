#pragma once
// The application object: one per program, run from wWinMain.

#include <windows.h>

namespace fw {

class CWnd;

class CApp {
  public:
    CApp();
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;
    virtual ~CApp();

    // The one application object of the program.
    static CApp* Get() { return current_; }
    HINSTANCE Instance() const { return instance_; }

    // InitInstance, then the message loop when it returned true, then ExitInstance.
    int Run(HINSTANCE instance);

    CWnd* mainWindow = nullptr;

  protected:
    // Returns true to keep running the message loop; false ends the program (a dialog-based
    // program runs its dialog inside and returns false).
    virtual bool InitInstance() { return false; }
    // The process exit code.
    virtual int ExitInstance() { return exitCode_; }

    int exitCode_ = 0;

  private:
    int RunMessageLoop();

    HINSTANCE instance_ = nullptr;
    static CApp* current_;
};

} // namespace fw
