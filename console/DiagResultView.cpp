#include "console/DiagResultView.h"

#include "framework/Gdi.h"
#include "framework/Handles.h"
#include "framework/SharedString.h"
#include "shell/MessageText.h"
#include "shell/ProgramPaths.h"
#include "shell/controls/Drawing.h"

namespace {

constexpr DWORD kTitleIds = 0x200028e0;
constexpr DWORD kSolutionIds = 0x20002903;
constexpr DWORD kFixedIds = 0x20002926;
constexpr DWORD kNotFixedIds = 0x20002949;
constexpr DWORD kCaptionIds = 0x2000296c;
constexpr DWORD kFoundWord = 0x200028dd;
constexpr DWORD kFixedWord = 0x200028de;
constexpr DWORD kNotFixedWord = 0x200028df;

constexpr COLORREF kText = RGB(79, 79, 79);
constexpr COLORREF kBodyText = RGB(113, 113, 113);
constexpr COLORREF kFoundColour = RGB(224, 0, 0);

// What a row's button runs, by problem code (index 0 unused), and how long the waiting clock
// keeps turning after the repair has answered (0: no clock).
struct Repair {
    const char* exportName;
    DWORD waitMs;
};

const Repair kRepairs[CYViewDiagResult::kProblemCodes + 1] = {
    {nullptr, 0},
    {"DllFixGraphicDrv", 100},
    {"DllFixGraphicDeviceStatus", 2000},
    {"DllFixGraphicDeviceStatus", 100},
    {"DllFixGraphicDWMService", 2000},
    {"DllFixGraphicResolution", 2000},
    {"DllFixGraphicColorbit", 0},
    {"DllFixGraphic3DsamplePlay", 0},
    {"DllFixSoundDrv", 100},
    {"DllFixSoundDeviceStatus", 100},
    {"DllFixSoundDeviceStatus", 2000},
    {"DllFixSoundService", 2000},
    {"DllFixSoundService", 2000},
    {"DllFixSoundOutputDevice", 0},
    {"DllFixSoundVolumelevel", 2000},
    {"DllFixSoundVolumelevel", 2000},
    {"DllFixSoundSamplePlay", 0},
    {"DllFixNetworkDrv", 100},
    {"DllFixNetworkDeviceStatus", 100},
    {"DllFixNetworkDeviceStatus", 2000},
    {"DllFixNetworkConfig", 2000},
    {"DllFixNetworkService", 2000},
    {"DllFixNetworkPhysicalConnection", 0},
    {"DllFixNetworkPacketTransition", 0},
    {"DllFixSystemHddSpace", 0},
    {"DllFixSystemAntiVirusInstalled", 100},
    {"DllFixSystemFirewall", 2000},
    {"DllFixSystemVirtualMemory", 2000},
    {"DllFixSystemWindowsUpdate", 2000},
    {"DllFixSystemTempInternetFile", 0},
    {"DllFixSystemKYVInstalled", 100},
    {"DllFixSystemDSVInstalled", 100},
    {"DllFixSystemSPVInstalled", 100},
    {"DllFixSystemPTWInstalled", 100},
    {"DllFixSystemPTWConfig", 2000},
    {"DllFixSystemPTWConfig", 0},
};

// Rows that only start a tool: what the repair answers says nothing about the problem, so the
// row stays as found and its button can be used again.
bool KeepsButton(int code)
{
    return code == 7 || code == 23 || code == 24 || code == 29 || code == 35;
}

// Rows the program has no repair for.
bool HasNoRepair(int code)
{
    return code == 13 || code == 16 || code == 22;
}

const wchar_t* const kLibraryNames[3] = {L"ProbixXp.dll", L"ProbixVista.dll", L"ProbixWin7.dll"};

} // namespace

bool CYViewDiagResult::Create(HWND parent, const RECT& rect, UINT id, const ConsoleUi* ui,
                              int osGeneration)
{
    ui_ = ui;
    // The buttons are not scrolled with the drawing: clip them out of it.
    if (!fw::CScrollView::Create(parent, rect, id, WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN))
        return false;
    BuildCanvas();
    LoadRowTexts();
    LayoutRows();
    osGeneration_ = osGeneration;
    return true;
}

void CYViewDiagResult::ClearRows()
{
    for (int r = 0; r <= kProblemCodes; ++r) {
        rowPresent_[r] = 0;
        repairState_[r] = HasNoRepair(r) ? kNoRepair : kFound;
        rowProblem_[r] = 0;
    }
}

void CYViewDiagResult::OnInitialUpdate()
{
    ClearRows();
    CreateRowButtons();
    clock_.Create(m_hWnd);
    clock_.LoadFrames();
    SetScrollSizes({100, 100});
}

void CYViewDiagResult::CreateRowButtons()
{
    for (int r = 1; r <= kProblemCodes; ++r) {
        HWND button =
            CreateWindowExW(0, L"Button", L"Run", WS_CHILD | WS_TABSTOP | BS_OWNERDRAW, 0, 0, 10,
                            10, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1199 + r)),
                            GetModuleHandleW(nullptr), nullptr);
        if (!button || !rowButtons_[r].SubclassWindow(button))
            continue;
        rowButtons_[r].SetFaceStrip();
        const fw::CSharedString caption =
            LoadMessageText(ui_ ? ui_->language : 0, kCaptionIds + r - 1);
        rowButtons_[r].SetCaption(caption.c_str(), FW_BOLD, 0, 80, 20, 13,
                                  DT_CENTER | DT_VCENTER | DT_SINGLELINE, false, false);
    }
}

void CYViewDiagResult::BuildCanvas()
{
    if (canvas_.IsValid())
        return;
    minHeight_ = kMinHeight;
    contentHeight_ = kMinHeight;
    SetScrollSizes({kCanvasWidth - 20, kMinHeight});
    canvas_.Create(m_hWnd, kCanvasWidth, kCanvasHeight);
}

void CYViewDiagResult::LoadRowTexts()
{
    const LANGID language = ui_ ? ui_->language : 0;
    for (int r = 1; r <= kProblemCodes; ++r) {
        lstrcpynW(title_[r], LoadMessageText(language, kTitleIds + r - 1).c_str(), kTextChars);
        lstrcpynW(solution_[r], LoadMessageText(language, kSolutionIds + r - 1).c_str(),
                  kTextChars);
        lstrcpynW(fixedText_[r], LoadMessageText(language, kFixedIds + r - 1).c_str(), kTextChars);
        lstrcpynW(notFixedText_[r], LoadMessageText(language, kNotFixedIds + r - 1).c_str(),
                  kTextChars);
    }
}

int CYViewDiagResult::DrawRows()
{
    HDC dc = canvas_.dc();
    const RECT all = {0, 0, canvas_.Width(), canvas_.Height()};
    FillSolidRect(dc, all, RGB(255, 255, 255));
    const LANGID language = ui_ ? ui_->language : 0;
    const fw::CSharedString foundWord = LoadMessageText(language, kFoundWord);
    const fw::CSharedString fixedWord = LoadMessageText(language, kFixedWord);
    const fw::CSharedString notFixedWord = LoadMessageText(language, kNotFixedWord);
    UINT notFixedFormat = DT_RIGHT | DT_VCENTER;
    if (notFixedWord.Find(L'\n') < 0 && notFixedWord.Find(L'\r') < 0)
        notFixedFormat |= DT_SINGLELINE;

    fw::SelectGuard keepFont(dc, ui_ ? ui_->textFont : nullptr);
    SetBkMode(dc, TRANSPARENT);
    int y = 0;
    for (int r = 1; r <= kProblemCodes; ++r) {
        if (!rowPresent_[r])
            continue;
        {
            fw::SelectGuard bold(dc, ui_ ? ui_->boldFont : nullptr);
            FillSolidRect(dc, {0, y, kCanvasWidth, y + 25}, RGB(242, 242, 242));
            if (r != 1)
                DrawLine(dc, RGB(211, 211, 211), 1, 0, y, kCanvasWidth, y);
            SetTextColor(dc, kText);
            RECT titleArea = {10, y, 420, y + 25};
            DrawTextW(dc, title_[r], -1, &titleArea,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
            RECT statusArea = {420, y, 495, y + 25};
            const int state = repairState_[r];
            if (state == kFixed || state == kNotFixed) {
                DrawTextW(dc, state == kFixed ? fixedWord.c_str() : notFixedWord.c_str(), -1,
                          &statusArea,
                          state == kFixed ? DT_RIGHT | DT_VCENTER | DT_SINGLELINE : notFixedFormat);
            } else {
                SetTextColor(dc, kFoundColour);
                DrawTextW(dc, foundWord.c_str(), -1, &statusArea,
                          DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
            }
        }
        SetTextColor(dc, kBodyText);
        TextOutW(dc, 10, y + 28, L">", 1);
        const wchar_t* body = repairState_[r] == kFixed      ? fixedText_[r]
                              : repairState_[r] == kNotFixed ? notFixedText_[r]
                                                             : solution_[r];
        const RECT bodyArea = {0, y + 30, 420, y + 120};
        const int h = DrawWrappedTextTop(dc, body, 25, bodyArea, 0, DT_LEFT | DT_NOPREFIX);
        buttonTop_[r] = y + 28;
        y += 30 + h + 10;
    }
    SetBkMode(dc, OPAQUE);
    return y;
}

void CYViewDiagResult::LayoutRows()
{
    if (!canvas_.IsValid())
        return;
    int height = DrawRows();
    // Long lists go past the canvas: grow it to the rows and draw them again, so no row is
    // left blank at the bottom.
    if (height > canvas_.Height() && canvas_.Grow(m_hWnd, height))
        height = DrawRows();
    contentHeight_ = height > minHeight_ ? height : minHeight_;
    if (contentHeight_ > canvas_.Height())
        contentHeight_ = canvas_.Height();
    SetScrollSizes({kCanvasWidth - 20, contentHeight_});
    PlaceButtons();
    Invalidate(false);
}

void CYViewDiagResult::PlaceButtons()
{
    const int s = GetScrollPosition().y;
    for (int r = 1; r <= kProblemCodes; ++r) {
        CYBitmapBtn& button = rowButtons_[r];
        if (!button.GetSafeHwnd())
            continue;
        if (!rowPresent_[r] || repairState_[r] == kFixed || repairState_[r] == kNotFixed) {
            button.ShowWindow(SW_HIDE);
            continue;
        }
        SetWindowPos(button, nullptr, 420, buttonTop_[r] - s, button.Width(), button.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        button.ShowWindow(repairState_[r] == kFound ? SW_SHOWNA : SW_HIDE);
    }
}

void CYViewDiagResult::LoadProblems(const fw::CArray<DiagTask>& problems)
{
    problemList_ = problems;
    ClearRows();
    for (int i = 0; i < problemList_.GetSize(); ++i) {
        const int code = problemList_[i].result.problemCode;
        if (!ValidCode(code))
            continue;
        rowPresent_[code] = 1;
        rowProblem_[code] = i; // a later record with the same code wins
    }
    ScrollToPosition({0, 0});
    LayoutRows();
}

const DiagTask* CYViewDiagResult::RowProblem(int code) const
{
    if (!RowPresent(code) || rowProblem_[code] < 0 || rowProblem_[code] >= problemList_.GetSize())
        return nullptr;
    return &problemList_[rowProblem_[code]];
}

void CYViewDiagResult::StartClock(DWORD waitMs)
{
    if (!waitMs || !clock_.FramesLoaded())
        return;
    const RECT client = GetClientRect();
    clock_.x = (client.left + client.right) / 2 - clock_.FrameWidth() / 2;
    clock_.y = (client.top + client.bottom) / 2 - clock_.FrameHeight() / 2;
    clock_.alpha = 180;
    clock_.frameIndex = 0;
    clock_.animating = true;
    clock_.ShowAt();
    clock_.SetTimer(CYWaitingClock::kTimerId, CYWaitingClock::kTimerMs);
}

void CYViewDiagResult::StopClock()
{
    KillTimer(kClockDoneTimer);
    if (!clock_.animating)
        return;
    clock_.KillTimer(CYWaitingClock::kTimerId);
    clock_.RestoreBackground();
    clock_.animating = false;
}

uint8_t CYViewDiagResult::RunRepair(int code)
{
    DiagTask* task = const_cast<DiagTask*>(RowProblem(code));
    if (!task)
        return 0;
    // A clock still turning from the last repair goes first; it would save the wrong picture.
    StopClock();
    // From the program's folder only: this program runs elevated.
    HMODULE loaded = nullptr;
    if (osGeneration_ >= 0 && osGeneration_ <= 2)
        loaded = LoadLibraryBesideProgram(kLibraryNames[osGeneration_]);
    else
        SetLastError(ERROR_MOD_NOT_FOUND);
    fw::UniqueModule library(loaded);
    if (!library) {
        fw::CSharedString text;
        text.Format(L"Can not load Diagnostic Dll err:%d", static_cast<int>(GetLastError()));
        MessageBoxW(GetAncestor(m_hWnd, GA_ROOT), text.c_str(), nullptr, MB_OK);
        return 0;
    }
    const Repair& repair = kRepairs[code];
    StartClock(repair.waitMs);
    auto fix = reinterpret_cast<DiagExport>(GetProcAddress(library.get(), repair.exportName));
    const uint8_t answer = fix ? static_cast<uint8_t>(fix(&task->result) ? 1 : 0) : 0;
    library.reset();
    if (clock_.animating)
        SetTimer(kClockDoneTimer, repair.waitMs);
    return answer;
}

bool CYViewDiagResult::OnCommand(WORD id, WORD code, HWND)
{
    const int row = static_cast<int>(id) - (kFirstRowButton - 1);
    if (!ValidCode(row) || code != BN_CLICKED)
        return false;
    // Only a row that offers its button can be run (a click may still be queued when the row
    // changed).
    if (!rowPresent_[row] || repairState_[row] != kFound)
        return true;
    const uint8_t answer = RunRepair(row);
    if (!KeepsButton(row))
        repairState_[row] = answer ? kFixed : kNotFixed;
    LayoutRows();
    return true;
}

void CYViewDiagResult::OnTimer(UINT_PTR)
{
    StopClock();
    LayoutRows();
}

void CYViewDiagResult::OnScrolled(POINT)
{
    PlaceButtons();
    if (clock_.animating) {
        // The clock was scrolled with the drawing: paint the rows again and put the clock back
        // at the centre, over what is there now.
        Invalidate(false);
        UpdateWindow();
        clock_.ShowAt();
    }
}

void CYViewDiagResult::OnDraw(HDC dc)
{
    if (canvas_.IsValid())
        BitBlt(dc, 0, 0, kCanvasWidth, contentHeight_, canvas_.dc(), 0, 0, SRCCOPY);
}

bool CYViewDiagResult::OnEraseBkgnd(HDC dc)
{
    const RECT client = GetClientRect();
    const POINT at = GetScrollPosition();
    // Only what the canvas does not cover (below short content).
    if (contentHeight_ - at.y < client.bottom)
        FillSolidRect(dc, {0, contentHeight_ - at.y, client.right, client.bottom}, RGB(255, 255, 255));
    return true;
}
