// Stand-in for one of the maker's programs: a small real window that Helmora can start and a test
// can find, read and close. One source, one executable per program; the compile definition
// picks which (HLM_STANDIN_MANUAL_VIEWER, HLM_STANDIN_PATCHWELL). The version the program
// reports is the one in its own version resource, so two builds of one program differ only in
// their .rc.
//
// Command line: "/autoclose:N" ends the program by itself after N ms (a program started by the
// product cannot always be closed by the test that caused it). Every other argument is shown
// in the window, so a test can read what the program was started with.
//
// Controls a test can read with WM_GETTEXT: 100 the program's name, 101 what it stands for,
// 102 "Version a.b.c.d", 103 the arguments it was started with.
#include "framework/Handles.h"

#include <shellapi.h>

#include <cwchar>
#include <string>
#include <utility>

namespace {

struct StandIn {
    const wchar_t* windowClass;
    const wchar_t* title;
    const wchar_t* description;
};

#if defined(HLM_STANDIN_MANUAL_VIEWER)
constexpr StandIn kStandIn = {L"HLMStandIn.ManualViewer", L"Vantrel Manual Viewer",
                              L"The notebook's electronic user guide."};
#elif defined(HLM_STANDIN_PATCHWELL)
constexpr StandIn kStandIn = {L"HLMStandIn.Patchwell", L"Patchwell",
                              L"Searches for and installs Vantrel updates."};
#else
#error "Build with HLM_STANDIN_MANUAL_VIEWER or HLM_STANDIN_PATCHWELL"
#endif

constexpr int kNameId = 100;
constexpr int kDescriptionId = 101;
constexpr int kVersionId = 102;
constexpr int kArgumentsId = 103;
constexpr UINT_PTR kAutoCloseTimer = 1;

struct Options {
    DWORD autoCloseMs = 0; // 0: stays open until closed
    std::wstring arguments;
};

Options ParseCommandLine()
{
    Options options;
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args)
        return options;
    const wchar_t kAutoClose[] = L"/autoclose:";
    const size_t prefixLength = ARRAYSIZE(kAutoClose) - 1;
    for (int i = 1; i < count; ++i) {
        if (_wcsnicmp(args[i], kAutoClose, prefixLength) == 0) {
            options.autoCloseMs = wcstoul(args[i] + prefixLength, nullptr, 10);
            continue;
        }
        if (!options.arguments.empty())
            options.arguments += L' ';
        options.arguments += args[i];
    }
    LocalFree(args);
    return options;
}

// "Version 3.1.0.27" from this executable's own version resource; empty without one.
std::wstring OwnVersion()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0)
        return {};
    std::wstring block(size / sizeof(wchar_t) + 1, L'\0');
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!GetFileVersionInfoW(path, 0, size, &block[0]) ||
        !VerQueryValueW(&block[0], L"\\", reinterpret_cast<void**>(&info), &infoSize) ||
        infoSize < sizeof(VS_FIXEDFILEINFO))
        return {};
    wchar_t text[64];
    swprintf(text, ARRAYSIZE(text), L"Version %u.%u.%u.%u", HIWORD(info->dwFileVersionMS),
             LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
             LOWORD(info->dwFileVersionLS));
    return text;
}

class StandInWindow {
  public:
    explicit StandInWindow(Options options) : options_(std::move(options)) {}

    bool Create(HINSTANCE instance, int show)
    {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &StandInWindow::Proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE); // the labels' own background
        wc.lpszClassName = kStandIn.windowClass;
        if (!RegisterClassExW(&wc))
            return false;
        HWND window =
            CreateWindowExW(0, kStandIn.windowClass, kStandIn.title,
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                            CW_USEDEFAULT, 440, 190, nullptr, nullptr, instance, this);
        if (!window)
            return false;
        ShowWindow(window, show);
        UpdateWindow(window);
        return true;
    }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<StandInWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        return self ? self->Handle(window, msg, wp, lp) : DefWindowProcW(window, msg, wp, lp);
    }

    LRESULT Handle(HWND window, UINT msg, WPARAM wp, LPARAM lp)
    {
        switch (msg) {
        case WM_CREATE:
            OnCreate(window);
            return 0;
        case WM_TIMER:
            if (wp == kAutoCloseTimer) {
                KillTimer(window, kAutoCloseTimer);
                PostMessageW(window, WM_CLOSE, 0, 0);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, msg, wp, lp);
        }
    }

    void OnCreate(HWND window)
    {
        titleFont_.reset(CreateFontW(20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     VARIABLE_PITCH | FF_SWISS, L"Tahoma"));
        const HFONT text = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        const std::wstring arguments = options_.arguments.empty()
                                           ? std::wstring(L"Started without arguments")
                                           : L"Started with: " + options_.arguments;
        AddLabel(window, kNameId, kStandIn.title, 16, 26, titleFont_.get());
        AddLabel(window, kDescriptionId, kStandIn.description, 56, 18, text);
        AddLabel(window, kVersionId, OwnVersion().c_str(), 78, 18, text);
        AddLabel(window, kArgumentsId, arguments.c_str(), 100, 18, text);
        if (options_.autoCloseMs > 0)
            SetTimer(window, kAutoCloseTimer, options_.autoCloseMs, nullptr);
    }

    static void AddLabel(HWND parent, int id, const wchar_t* text, int y, int height, HFONT font)
    {
        HWND label = CreateWindowExW(
            0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 16, y, 400, height, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
        if (label && font)
            SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }

    Options options_;
    fw::UniqueFont titleFont_; // outlives the window: the labels borrow it
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    StandInWindow window(ParseCommandLine());
    if (!window.Create(instance, show))
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
