// A small helper the tests and the run command start: it reports what a started program sees
// (UI language, nation, Windows version), sets the nation, and photographs or closes a window.
#include <windows.h>

#include "tests/support/TestSupport.h"

#include <cstdio>
#include <cwchar>
#include <cwctype>

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
    std::fprintf(stderr, "usage: HlmTestTool setgeo <id> | query | shot <class> <title> <png> "
                         "[ms] | close <class> <title>\n");
    return 2;
}
