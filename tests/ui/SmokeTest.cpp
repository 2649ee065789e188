// Starts the real program on the virtual display, as a user would, and closes it again.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace hlmtest;

TEST(MainWindow, StartsShowsItsWindowAndClosesCleanly)
{
    Process program = Launch(BinDir() + L"\\HLMMain.exe");
    ASSERT_TRUE(program.Valid()) << "HLMMain.exe did not start, error " << GetLastError();

    // Generous: the first program to open a window in a new prefix waits for Wine to set up
    // its display side (fonts, desktop), which takes tens of seconds on a loaded machine.
    HWND window = WaitForWindow(L"CHLMMainDlgMain", L"Helmora", 120000, program.Id());
    ASSERT_NE(window, nullptr) << "no window titled \"Helmora\" of class CHLMMainDlgMain";

    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 781);
    EXPECT_EQ(client.bottom, 520);

    SetForegroundWindow(window);
    Sleep(500); // let it paint
    EXPECT_TRUE(SavePng(window, ScreenshotDir() + L"\\main-window.png"));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(15000)) << "the program did not end after WM_CLOSE";
    EXPECT_EQ(program.ExitCode(), 0u);
}
