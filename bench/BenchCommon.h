#pragma once
// What the benchmarks share: a millisecond clock, waiting for a started program's window to be
// shown and completely painted, and the summary of a series of times.

#include <windows.h>

#include <cstdio>

#include "tests/support/TestSupport.h"

#include <algorithm>
#include <vector>

namespace hlmbench {

constexpr const wchar_t* kMainClass = L"CHLMMainDlgMain";
constexpr const wchar_t* kMainTitle = L"Helmora";
// The internet assistance button is offered in English only to users in the United States.
constexpr GEOID kNationUnitedStates = 244;

inline double NowMs()
{
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// Polls for the program's visible window, a few milliseconds apart so the time measured is
// hardly rounded. Gives up when the program ends first or `ms` pass.
inline HWND WaitUntilShown(const hlmtest::Process& process, const wchar_t* className,
                           const wchar_t* title, DWORD ms)
{
    const double deadline = NowMs() + ms;
    for (;;) {
        if (HWND window = hlmtest::WaitForWindow(className, title, 0, process.Id()))
            return window;
        if (process.WaitForExit(0) || NowMs() >= deadline)
            return nullptr;
        Sleep(2);
    }
}

inline BOOL CALLBACK FindChildToPaint(HWND child, LPARAM found)
{
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

// True when neither the window nor any visible window inside it still has an area waiting for
// WM_PAINT. GetUpdateRect without erasing only asks the server; it sends nothing.
inline bool NothingToPaint(HWND window)
{
    if (GetUpdateRect(window, nullptr, FALSE))
        return false;
    bool pending = false;
    EnumChildWindows(window, FindChildToPaint, reinterpret_cast<LPARAM>(&pending));
    return !pending;
}

// Waits until the window's thread has painted all of it and is back in its message loop.
// A sent WM_NULL alone is not enough: sent messages are handled before WM_PAINT, which a
// thread only gets once its queue is otherwise empty. So: nothing left to paint, then WM_NULL
// answered (any paint that had begun has ended), then still nothing left to paint.
inline bool WaitUntilPainted(HWND window, DWORD ms)
{
    const double deadline = NowMs() + ms;
    for (;;) {
        const bool before = NothingToPaint(window);
        DWORD_PTR result = 0;
        const double left = deadline - NowMs();
        if (left <= 0 || !SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL,
                                              static_cast<UINT>(left), &result))
            return false;
        if (before && NothingToPaint(window))
            return true;
        Sleep(1);
    }
}

struct Summary {
    double median = 0;
    double min = 0;
    double max = 0;
};

inline Summary Summarise(std::vector<double> values)
{
    Summary s;
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    s.min = values.front();
    s.max = values.back();
    return s;
}

// HLMMain lets only one copy run: a window left open (by a UI test of the same prefix, or a
// crashed run) would turn every start into a second copy that ends at once.
inline bool NoMainWindowOpen(DWORD waitMs)
{
    const double deadline = NowMs() + waitMs;
    while (FindWindowW(kMainClass, nullptr)) {
        if (NowMs() >= deadline)
            return false;
        Sleep(100);
    }
    return true;
}

// The same, saying what is wrong when it is not so: the benchmarks end with status 2 then.
inline bool NoMainWindowOpenOrSay(DWORD waitMs)
{
    if (NoMainWindowOpen(waitMs))
        return true;
    std::fprintf(stderr, "an HLMMain window is open in this prefix (a UI test?); close it first\n");
    return false;
}

} // namespace hlmbench
