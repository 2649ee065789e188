// COM is initialised once per loaded library, by the first thread that runs a test needing
// it, and a failed attempt is never repeated. Each case needs a library that has not tried
// yet, so each runs in a program of its own (see CMakeLists.txt).

#include "tests/diaglib/DiagTestSupport.h"

#include "diaglib/exports/Engine.h"

#include <objbase.h>

#include <gtest/gtest.h>

namespace {

using diagtest::Recorder;

// Runs `body` on a new thread (a thread of its own COM state) and waits for it.
template <class Body> void OnNewThread(Body body)
{
    struct Call {
        static DWORD WINAPI Run(void* context)
        {
            (*static_cast<Body*>(context))();
            return 0;
        }
    };
    HANDLE thread = CreateThread(nullptr, 0, &Call::Run, &body, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    CloseHandle(thread);
}

TEST(ComOnce, TheFirstThreadIsInitialisedAndNoOtherOne)
{
    Recorder recorder;
    ASSERT_FALSE(diag::Engine().ComReady());
    OnNewThread([] {
        diag::Engine().EnsureComInitialized();
        EXPECT_TRUE(diag::Engine().ComReady());
        // The library made this thread single-threaded.
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    });
    OnNewThread([] {
        diag::Engine().EnsureComInitialized();
        // Not again: this thread is still free to choose its apartment.
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(hr, S_OK);
        if (SUCCEEDED(hr))
            CoUninitialize();
    });
    EXPECT_FALSE(recorder.Traced(L"CoInitialize Failed"));
    EXPECT_FALSE(recorder.Traced(L"CoInitializeSecurity Failed"));
}

TEST(ComOnce, AFailedAttemptIsTracedOnceAndNotRepeated)
{
    Recorder recorder;
    ASSERT_FALSE(diag::Engine().ComReady());
    OnNewThread([] {
        // A thread already in the multi-threaded apartment refuses the single-threaded one.
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        diag::Engine().EnsureComInitialized();
        diag::Engine().EnsureComInitialized();
        CoUninitialize();
    });
    OnNewThread([] { diag::Engine().EnsureComInitialized(); });
    EXPECT_TRUE(diag::Engine().ComReady());
    int failures = 0;
    for (const std::wstring& trace : recorder.Traces())
        failures += trace == L"CoInitialize Failed";
    EXPECT_EQ(failures, 1);
}

} // namespace
