#pragma once
// The application object: prepares the process and runs the main window modally.

#include <windows.h>

#include "framework/App.h"

class CHLMMainApp : public fw::CApp {
  protected:
    bool InitInstance() override;
    int ExitInstance() override;

  private:
    ULONG_PTR gdiplusToken_ = 0;
};
