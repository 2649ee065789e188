// Stand-in for the maker's 3D sample: a turning, lit icosahedron in a window, drawn with GDI
// into a back buffer, for a few seconds; then the program ends by itself with exit code 0.
//
// How long it plays can be changed for tests: HKCU\Software\Vantrel\HLM3dTestStandIn, DWORD
// "Seconds" (default 4). A test that needs a sample that never ends sets it high.

#include <windows.h>

#include <cmath>

namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFrameMs = 33;
constexpr int kWidth = 480;
constexpr int kHeight = 360;

struct Vec {
    double x, y, z;
};

Vec Sub(Vec a, Vec b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec Cross(Vec a, Vec b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(Vec a, Vec b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The twelve corners and twenty faces of an icosahedron.
const double kPhi = 1.6180339887498949;
const Vec kCorners[12] = {{-1, kPhi, 0}, {1, kPhi, 0}, {-1, -kPhi, 0}, {1, -kPhi, 0},
                          {0, -1, kPhi}, {0, 1, kPhi}, {0, -1, -kPhi}, {0, 1, -kPhi},
                          {kPhi, 0, -1}, {kPhi, 0, 1}, {-kPhi, 0, -1}, {-kPhi, 0, 1}};
const int kFaces[20][3] = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                           {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                           {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                           {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};

DWORD PlaySeconds()
{
    DWORD seconds = 4;
    DWORD size = sizeof(seconds);
    DWORD value = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Vantrel\\HLM3dTestStandIn", L"Seconds",
                     RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS)
        seconds = value;
    return seconds;
}

struct Scene {
    double angle = 0;
    DWORD started = 0;
    DWORD seconds = 4;
};

void DrawScene(HDC dc, const RECT& area, const Scene& scene)
{
    // A calm dark background with a soft floor line.
    HBRUSH background = CreateSolidBrush(RGB(18, 40, 52));
    FillRect(dc, &area, background);
    DeleteObject(background);

    const double ca = std::cos(scene.angle), sa = std::sin(scene.angle);
    const double cb = std::cos(scene.angle * 0.7), sb = std::sin(scene.angle * 0.7);
    Vec turned[12];
    for (int i = 0; i < 12; ++i) {
        const Vec p = kCorners[i];
        const Vec y = {p.x * ca + p.z * sa, p.y, -p.x * sa + p.z * ca};
        turned[i] = {y.x, y.y * cb - y.z * sb, y.y * sb + y.z * cb};
    }
    const double scale = (area.bottom - area.top) * 0.22;
    const int cx = (area.left + area.right) / 2, cy = (area.top + area.bottom) / 2;
    const Vec light = {0.4, 0.6, 0.7};
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    for (const auto& face : kFaces) {
        const Vec a = turned[face[0]], b = turned[face[1]], c = turned[face[2]];
        const Vec normal = Cross(Sub(b, a), Sub(c, a));
        if (normal.z <= 0) // facing away
            continue;
        const double length = std::sqrt(Dot(normal, normal));
        const double shade = 0.25 + 0.75 * std::fmax(0.0, Dot(normal, light) / length);
        HBRUSH brush =
            CreateSolidBrush(RGB(static_cast<int>(40 * shade), static_cast<int>(170 * shade),
                                 static_cast<int>(200 * shade)));
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        POINT points[3];
        for (int k = 0; k < 3; ++k) {
            const Vec v = turned[face[k]];
            const double perspective = 4.0 / (4.0 + v.z * 0.4);
            points[k] = {cx + static_cast<int>(v.x * scale * perspective),
                         cy - static_cast<int>(v.y * scale * perspective)};
        }
        Polygon(dc, points, 3);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
    }
    SelectObject(dc, oldPen);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp)
{
    auto* scene = reinterpret_cast<Scene*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_CREATE:
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        SetTimer(window, kFrameTimer, kFrameMs, nullptr);
        return 0;
    case WM_TIMER:
        if (scene) {
            scene->angle += 0.05;
            if (GetTickCount() - scene->started >= scene->seconds * 1000) {
                DestroyWindow(window);
                return 0;
            }
        }
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT area;
        GetClientRect(window, &area);
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP buffer = CreateCompatibleBitmap(dc, area.right, area.bottom);
        HGDIOBJ old = SelectObject(memory, buffer);
        if (scene)
            DrawScene(memory, area, *scene);
        BitBlt(dc, 0, 0, area.right, area.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(buffer);
        DeleteDC(memory);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        KillTimer(window, kFrameTimer);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wp, lp);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    Scene scene;
    scene.seconds = PlaySeconds();
    scene.started = GetTickCount();

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"HLM3dTestStandIn";
    if (!RegisterClassExW(&wc))
        return 1;
    RECT frame = {0, 0, kWidth, kHeight};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"3D Sample", style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, &scene);
    if (!window)
        return 1;
    ShowWindow(window, show);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
