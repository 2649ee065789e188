#include "pages/SelfHelpPopup.h"

#include "framework/Gdi.h"
#include "resources/resource.h"
#include "shell/HLMMainDlg.h"
#include "shell/MessageText.h"
#include "shell/ProgramPaths.h"
#include "shell/controls/Drawing.h"

namespace {

constexpr int kViewId = 1234;
constexpr UINT kHeaderBitmap = 180;
constexpr int kUnknownTopicHeight = 426;

struct Topic {
    DWORD question;
    int height;
};

// Topic 3 is taller when its McAfee section is shown (750).
const Topic kTopicTable[CDlgPopupSelfDiagView::kTopics] = {
    {0x20002760, 660}, {0x20002761, 680}, {0x20002762, 700}, {0x20002763, 670},
    {0x20002764, 440}, {0x20002765, 910}, {0x20002766, 440}, {0x20002767, 700},
    {0x20002769, 600}, {0x20002768, 840},
};
constexpr int kInternetTopic = 3;
constexpr int kInternetTopicWithMcAfee = 750;

bool McAfeeInstalled()
{
    return !CheckProgramInstallation(L"\\McAfee\\MSC\\mcshell.exe").IsEmpty();
}

} // namespace

// ---- the page ------------------------------------------------------------------------------

int CYViewSelfDiag::PageHeightOf(int topic, bool mcAfeeInstalled)
{
    if (topic < 0 || topic >= CDlgPopupSelfDiagView::kTopics)
        return kUnknownTopicHeight;
    if (topic == kInternetTopic && mcAfeeInstalled)
        return kInternetTopicWithMcAfee;
    return kTopicTable[topic].height;
}

void CYViewSelfDiag::SetTopic(int topic)
{
    if (canvas_.IsValid())
        return;
    topic_ = topic;
    pageHeight_ = PageHeightOf(topic, topic == kInternetTopic && McAfeeInstalled());
    SetScrollSizes({kPageWidth - 20, pageHeight_});
    canvas_.Create(m_hWnd, kCanvasWidth, pageHeight_);
}

void CYViewSelfDiag::DrawTopic()
{
    HDC dc = canvas_.dc();
    if (!dc)
        return;
    // The page itself; the explanations of each topic are drawn on it.
    FillSolidRect(dc, {0, 0, canvas_.Width(), canvas_.Height()}, RGB(255, 255, 255));
    Invalidate(false);
}

void CYViewSelfDiag::OnDraw(HDC dc)
{
    if (canvas_.IsValid())
        BitBlt(dc, 0, 0, canvas_.Width(), canvas_.Height(), canvas_.dc(), 0, 0, SRCCOPY);
}

bool CYViewSelfDiag::OnEraseBkgnd(HDC dc)
{
    // White wherever the page does not reach: beside its bitmap and below a short page.
    const RECT client = GetClientRect();
    const POINT at = GetScrollPosition();
    const int right = canvas_.IsValid() ? canvas_.Width() - at.x : 0;
    const int bottom = canvas_.IsValid() ? canvas_.Height() - at.y : 0;
    if (right < client.right)
        FillSolidRect(dc, {right, 0, client.right, client.bottom}, RGB(255, 255, 255));
    if (bottom < client.bottom)
        FillSolidRect(dc, {0, bottom, client.right, client.bottom}, RGB(255, 255, 255));
    return true;
}

void CYViewSelfDiag::OnDestroy()
{
    canvas_.Release();
    fw::CScrollView::OnDestroy();
}

// ---- the popup -----------------------------------------------------------------------------

CDlgPopupSelfDiagView::CDlgPopupSelfDiagView(CHLMMainDlg& mainDialog, int topic)
    : fw::CDialog(IDD_POPUP_SELF_DIAG), main_(mainDialog), topic_(topic)
{
    ui_.language = main_.MessageLanguage();
    ui_.titleFont = main_.TitleFont();
    ui_.boldFont = main_.BoldFont();
    ui_.textFont = main_.TextFont();
}

DWORD CDlgPopupSelfDiagView::QuestionMessage(int topic)
{
    return topic >= 0 && topic < kTopics ? kTopicTable[topic].question : 0;
}

INT_PTR CDlgPopupSelfDiagView::Run()
{
    parent_ = main_.GetSafeHwnd();
    return DoModal();
}

bool CDlgPopupSelfDiagView::OnInitDialog()
{
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)));
    SetWindowPos(m_hWnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Centred again over the owner: the template's size was not the final one.
    RECT owner = {};
    RECT self = GetWindowRect();
    if (parent_ && ::GetWindowRect(parent_, &owner)) {
        const int x = owner.left + ((owner.right - owner.left) - (self.right - self.left)) / 2;
        const int y = owner.top + ((owner.bottom - owner.top) - (self.bottom - self.top)) / 2;
        SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    view_.Create(m_hWnd, {0, kHeaderHeight, kClientWidth, kClientHeight}, kViewId);
    view_.SetUi(&ui_);
    view_.SetTopic(topic_);
    view_.DrawTopic();
    return true;
}

bool CDlgPopupSelfDiagView::OnEraseBkgnd(HDC dc)
{
    const RECT client = GetClientRect();
    fw::DoubleBuffer buffer(dc, {0, 0, client.right, kHeaderHeight});
    HDC canvas = buffer.get();
    FillSolidRect(canvas, {0, 0, client.right, kHeaderHeight}, RGB(255, 255, 255));
    DrawBitmapAt(canvas, 0, 0, kHeaderBitmap);
    if (const DWORD question = QuestionMessage(topic_)) {
        const fw::CSharedString text = LoadMessageText(ui_.language, question);
        // One line, unless the question itself breaks into two.
        const bool twoLines = wcspbrk(text.c_str(), L"\r\n") != nullptr;
        const UINT format = DT_LEFT | DT_NOPREFIX | (twoLines ? DT_WORDBREAK : DT_SINGLELINE);
        fw::SelectGuard font(canvas, ui_.titleFont);
        RECT place = {24, 17, kClientWidth - 24, kHeaderHeight};
        DrawTextW(canvas, text.c_str(), -1, &place, format | DT_CALCRECT);
        SetBkMode(canvas, TRANSPARENT);
        SetTextColor(canvas, RGB(255, 255, 255));
        DrawTextW(canvas, text.c_str(), -1, &place, format);
    }
    buffer.Flush();
    return true;
}
