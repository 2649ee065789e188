// A small helper the tests and the run command start: it reports what a started program sees
// (UI language, nation, Windows version), sets the nation, photographs or closes a window, and
// runs a diagnosis of every category in a running HLMMain.
#include <windows.h>

#include "tests/support/TestSupport.h"

#include <cstdio>
#include <cwchar>
#include <cwctype>

namespace {

void Click(HWND button)
{
    SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
    Sleep(300);
}

// diagnose <png> [ms]: in the main window titled "Helmora", the troubleshooting page's
// diagnosis view, [Start] with the tree as it starts (every category ticked), then a picture of
// the window once the page shows the result.
int Diagnose(const wchar_t* png, DWORD wait)
{
    HWND window = hlmtest::WaitForWindow(L"CHLMMainDlgMain", L"Helmora", 120000);
    if (!window) {
        std::fprintf(stderr, "no main window\n");
        return 1;
    }
    Sleep(1000);
    Click(GetDlgItem(window, 1000));
    HWND page = nullptr;
    for (HWND child = GetWindow(window, GW_CHILD); child && !page;
         child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, 1034))
            page = child;
    if (!page) {
        std::fprintf(stderr, "no troubleshooting page\n");
        return 1;
    }
    Click(GetDlgItem(page, 1021));
    PostMessageW(GetDlgItem(page, 1022), BM_CLICK, 0, 0);
    HWND result = GetDlgItem(page, 1040);
    const DWORD started = GetTickCount();
    while (!IsWindowVisible(result)) {
        if (GetTickCount() - started > wait) {
            std::fprintf(stderr, "the diagnosis did not end within %lu ms\n", wait);
            return 1;
        }
        Sleep(100);
    }
    Sleep(1000);
    return hlmtest::SavePng(window, png) ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && wcscmp(argv[1], L"setgeo") == 0)
        return SetUserGeoID(static_cast<GEOID>(_wtoi(argv[2]))) ? 0 : 1;
    if (argc == 2 && wcscmp(argv[1], L"query") == 0) {
        OSVERSIONINFOW version = {};
        version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        GetVersionExW(&version);
#pragma GCC diagnostic pop
        std::printf("uilang=%04x geo=%ld version=%lu.%lu\n", GetUserDefaultUILanguage(),
                    static_cast<long>(GetUserGeoID(GEOCLASS_NATION)), version.dwMajorVersion,
                    version.dwMinorVersion);
        return 0;
    }
    if ((argc == 5 || argc == 6) && wcscmp(argv[1], L"shot") == 0) {
        // shot <class> <title> <png> [wait ms]: waits for the window, lets it paint, saves it.
        const DWORD wait = argc == 6 ? static_cast<DWORD>(_wtoi(argv[5])) : 30000;
        HWND window = hlmtest::WaitForWindow(argv[2], argv[3], wait);
        if (!window) {
            std::fprintf(stderr, "no window \"%ls\" of class %ls\n", argv[3], argv[2]);
            return 1;
        }
        Sleep(1000);
        return hlmtest::SavePng(window, argv[4]) ? 0 : 1;
    }
    if (argc == 4 && wcscmp(argv[1], L"close") == 0) {
        // close <class> <title>: asks the window to close, as its close box would.
        HWND window = FindWindowW(argv[2], argv[3]);
        return window && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if ((argc == 3 || argc == 4) && wcscmp(argv[1], L"diagnose") == 0)
        return Diagnose(argv[2], argc == 4 ? static_cast<DWORD>(_wtoi(argv[3])) : 300000);
    std::fprintf(stderr, "usage: HlmTestTool setgeo <id> | query | shot <class> <title> <png> "
                         "[ms] | close <class> <title> | diagnose <png> [ms]\n");
    return 2;
}
