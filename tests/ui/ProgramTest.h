#pragma once
// A test of the real program: HLMMain.exe started from the build's bin folder as a user in the
// United States on Windows 7 sees it, and closed again (or ended) after every test.

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

class ProgramTest : public ::testing::Test {
  protected:
    static constexpr wchar_t kProgram[] = L"HLMMain.exe";

    void SetUp() override
    {
        ASSERT_TRUE(hlmtest::SetNation(244));
        hlmtest::SetReportedGeneration(kProgram, hlmtest::WinGeneration::Win7);
    }

    void TearDown() override
    {
        if (window_)
            PostMessageW(window_, WM_CLOSE, 0, 0);
        if (program_.Valid() && !program_.WaitForExit(15000))
            program_.Kill();
        window_ = nullptr;
        hlmtest::ClearReportedGeneration(kProgram);
    }

    // Starts the program and waits for its main window to be shown and painted.
    void StartProgram()
    {
        program_ = hlmtest::Launch(hlmtest::BinDir() + L"\\" + kProgram);
        ASSERT_TRUE(program_.Valid());
        window_ = hlmtest::WaitForWindow(L"CHLMMainDlgMain", L"Helmora", 120000, program_.Id());
        ASSERT_NE(window_, nullptr);
        Sleep(300);
    }

    // The main window closed and the program ended, ready for the next start.
    void StopProgram()
    {
        PostMessageW(window_, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program_.WaitForExit(15000));
        window_ = nullptr;
    }

    hlmtest::Process program_;
    HWND window_ = nullptr;
};
