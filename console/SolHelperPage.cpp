#include "console/SolHelperPage.h"

#include "console/CheckDisk.h"
#include "console/TaskController.h"
#include "framework/Handles.h"
#include "pages/SelfHelpPopup.h"
#include "resources/resource.h"
#include "shell/HLMMainDlg.h"
#include "shell/Launch.h"
#include "shell/MessageText.h"
#include "shell/ProgramPaths.h"
#include "shell/controls/Drawing.h"
#include "shell/outside/Bios.h"

namespace {

constexpr int kTabIds[2] = {IDC_SOL_TAB_SELF_CHECK, IDC_SOL_TAB_DIAGNOSIS};
constexpr int kActionIds[3] = {IDC_SOL_START, IDC_SOL_CHECK_DISK, IDC_SOL_MEMORY_DIAG};

// The self-help buttons in the order they are stacked, with their texts and topic numbers.
struct Topic {
    int id;
    DWORD message;
    int topic;
};
constexpr Topic kTopicTable[CDlgSubSolHelper::kTopics] = {
    {IDC_SOL_TOPIC_UAC, 0x20002760, 0},      {IDC_SOL_TOPIC_SHUTDOWN, 0x20002761, 1},
    {IDC_SOL_TOPIC_INTERNET, 0x20002763, 3}, {IDC_SOL_TOPIC_RESTORE, 0x20002764, 4},
    {IDC_SOL_TOPIC_RECOVER, 0x20002765, 5},  {IDC_SOL_TOPIC_RESOLUTION, 0x20002766, 6},
    {IDC_SOL_TOPIC_BATTERY, 0x20002767, 7},  {IDC_SOL_TOPIC_SERVICE, 0x20002768, 9},
    {IDC_SOL_TOPIC_PRINTING, 0x20002769, 8},
};
// On XP the shutdown button asks about sleep and hibernation instead.
constexpr DWORD kSleepTopicMessage = 0x20002762;
constexpr int kSleepTopic = 2;

constexpr DWORD kCategoryTitles[kDiagCategories] = {0x2000273a, 0x2000273b, 0x2000273c, 0x2000273d};
// Every row a category can show; row k stands for task (category * 1000 + k).
constexpr DWORD kRowTitles[kDiagCategories][kDiagMaxRows] = {
    {0x2000273e, 0x2000273f, 0x20002740, 0x20002741, 0x20002742, 0x20002743},
    {0x20002744, 0x20002745, 0x20002746, 0x20002747, 0x20002748, 0x20002749},
    {0x2000274a, 0x2000274b, 0x2000274c, 0x2000274d, 0x2000274e, 0x2000274f},
    // Task 4006 (the XP speed-up utility) shares its text with task 4008.
    {0x20002750, 0x20002751, 0x20002752, 0x20002753, 0x20002754, 0x20002755, 0x20002758, 0x20002757,
     0x20002758, 0x20002759, 0x2000275a},
};
constexpr int kRowsPerCategory[kDiagCategories] = {6, 6, 6, 11};

constexpr DWORD kMsgNoItemsSelected = 0x20002739;
constexpr DWORD kMsgFoundProblem = 0x20002734;
constexpr DWORD kMsgFoundProblemHint = 0x20002735;
constexpr DWORD kMsgNoAction = 0x20002736;
constexpr DWORD kMsgNoActionNetaide = 0x20002737;
constexpr DWORD kMsgNoActionRestore = 0x20002738;

constexpr UINT kStateImagesBitmap = 176;
constexpr UINT kTabFace = 175;
constexpr RECT kTreeRect = {26, 261, 544, 409};
constexpr RECT kResultRect = {25, 275, 545, 490};
constexpr UINT_PTR kStartTimer = 1;
constexpr COLORREF kFrameColour = RGB(211, 211, 211);

constexpr LANGID kEnglishUs = 1033;
constexpr LANGID kKorean = 1042;
constexpr LANGID kChinesePrc = 2052;
constexpr GEOID kUnitedStates = 244;

void Place(HWND control, int x, int y, int width, int height)
{
    SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceButton(const CYBitmapBtn& button, int x, int y)
{
    Place(button, x, y, button.Width(), button.Height());
}

void Show(HWND control, bool shown)
{
    ::ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

// Whether the firmware offers the battery-lifetime topic (BIOS command 11, bit 3 clear).
bool BatteryTopicOffered(int osGeneration)
{
    CBiosSession bios(osGeneration);
    if (!bios.Ready())
        return false;
    unsigned char answer[kPaviBufferSize] = {};
    return bios.Call(kPaviCmdBatteryTopic, 0, answer) && !(answer[0] & kPaviBatteryTopicBit);
}

} // namespace

CDlgSubSolHelper::CDlgSubSolHelper(CHLMMainDlg& mainDialog)
    : CPage(IDD_PAGE_TROUBLESHOOT, mainDialog, IDB_PAGE_TROUBLESHOOT, 0, IDC_SOL_TITLE, 0x2000272D)
{
}

CDlgSubSolHelper::~CDlgSubSolHelper()
{
    delete controller_;
    if (stateImages_)
        ImageList_Destroy(stateImages_);
}

DWORD CDlgSubSolHelper::NoActionHintMessage(LANGID uiLanguage, GEOID nation)
{
    if (uiLanguage == kEnglishUs)
        return nation == kUnitedStates ? kMsgNoActionNetaide : kMsgNoActionRestore;
    if (uiLanguage == kKorean || uiLanguage == kChinesePrc)
        return kMsgNoActionNetaide;
    return kMsgNoActionRestore;
}

bool CDlgSubSolHelper::OnInitDialog()
{
    CPage::OnInitDialog();
    osGeneration_ = main_.OSGeneration();
    ui_.language = main_.MessageLanguage();
    ui_.titleFont = main_.TitleFont();
    ui_.boldFont = main_.BoldFont();
    ui_.textFont = main_.TextFont();

    topicVisible_[0] = osGeneration_ == 1;
    for (int i = 1; i <= 4; ++i)
        topicVisible_[i] = true;
    topicVisible_[5] = !CheckProgramInstallation(L"\\Vantrel\\Resolvo\\RSV.exe").IsEmpty();
    topicVisible_[6] = BatteryTopicOffered(osGeneration_);
    topicVisible_[7] = true;
    topicVisible_[8] = false; // the printing topic is never offered

    SetUpTexts();
    SetUpButtons();
    CreateCategoryTree();

    const RECT& r = kResultRect;
    resultView_.Create(m_hWnd, r, IDC_SOL_RESULT_VIEW, &ui_, osGeneration_);

    SetPageState(kSelfCheck);
    return true;
}

void CDlgSubSolHelper::SetUpTexts()
{
    HFONT text = main_.TextFont();
    fw::CSharedString intro = Text(0x2000272e);
    intro += Text(0x2000272f);
    ::SetWindowTextW(GetDlgItem(IDC_SOL_INTRO), intro.c_str());
    ::SendMessageW(GetDlgItem(IDC_SOL_INTRO), WM_SETFONT, reinterpret_cast<WPARAM>(text), FALSE);
    Place(GetDlgItem(IDC_SOL_INTRO), 140, 60, 400, 70);

    struct Static {
        int id;
        DWORD message;
        RECT place; // x, y, width, height
    };
    const Static statics[] = {
        {IDC_SOL_TOPICS_HINT, 0x20002730, {25, 191, 500, 15}},
        {IDC_SOL_DIAG_HINT, 0x20002731, {25, 191, 500, 15}},
        {IDC_SOL_SELECT_HINT, 0x20002732, {25, 225, 385, 28}},
        {IDC_SOL_UTILITY_HINT, 0x20002733, {25, 420, 520, 30}},
    };
    for (const Static& s : statics) {
        SetStaticText(s.id, s.message, text);
        Place(GetDlgItem(s.id), s.place.left, s.place.top, s.place.right, s.place.bottom);
    }
    for (int id : {IDC_SOL_RESULT_TEXT, IDC_SOL_RESULT_HINT})
        ::SendMessageW(GetDlgItem(id), WM_SETFONT, reinterpret_cast<WPARAM>(text), FALSE);
    Place(GetDlgItem(IDC_SOL_RESULT_TEXT), 25, 225, 385, 28);
    Place(GetDlgItem(IDC_SOL_RESULT_HINT), 25, 245, 520, 30);
}

void CDlgSubSolHelper::SetUpButtons()
{
    const UINT centred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    const DWORD tabCaptions[2] = {0x2000275b, 0x2000275c};
    const int tabX[2] = {25, 230};
    for (int i = 0; i < 2; ++i) {
        CYBitmapBtn& tab = tabs_[i];
        tab.SubclassDlgItem(kTabIds[i], *this);
        tab.SetFaceImages(kTabFace, kTabFace, kTabFace, kTabFace, kTabFace, kTabFace);
        tab.SetCaption(Text(tabCaptions[i]).c_str(), FW_BOLD, 0, 200, 20, 13, centred, true, true);
        tab.normalColour = RGB(0, 0, 0);
        tab.hoverColour = RGB(28, 156, 193);
        tab.state3Colour = RGB(153, 153, 153);
        tab.selectedColour = RGB(38, 92, 130);
        PlaceButton(tab, tabX[i], 165);
    }

    const DWORD actionCaptions[3] = {0x2000275d, 0x2000275e, 0x2000275f};
    const POINT actionPlaces[3] = {{415, 223}, {415, 460}, {275, 460}};
    for (int i = 0; i < 3; ++i) {
        CYBitmapBtn& button = actionButtons_[i];
        button.SubclassDlgItem(kActionIds[i], *this);
        button.SetFaceImages(216, 218, 217, 217, 216, 216);
        // The memory diagnostic's caption has two lines: centred as a block, not as one line.
        const UINT format = i == 2 ? DT_CENTER | DT_WORDBREAK : centred;
        button.SetCaption(Text(actionCaptions[i]).c_str(), FW_BOLD, 0, 130, 30, 13, format, false,
                          false);
        PlaceButton(button, actionPlaces[i].x, actionPlaces[i].y);
    }

    for (int i = 0; i < kTopics; ++i) {
        CYBitmapBtn& button = topicButtons_[i];
        button.SubclassDlgItem(kTopicTable[i].id, *this);
        const DWORD message =
            (i == 1 && osGeneration_ == 0) ? kSleepTopicMessage : kTopicTable[i].message;
        button.SetCaption(Text(message).c_str(), FW_NORMAL, 30, 490, 30, 13,
                          DT_VCENTER | DT_SINGLELINE, true, false);
        button.normalColour = RGB(79, 79, 79);
        button.hoverColour = RGB(0, 73, 197);
        button.state3Colour = RGB(153, 153, 153);
        button.selectedColour = RGB(154, 57, 0);
    }
    LayOutTopics();

    CYBitmapBtn* group[2] = {&tabs_[0], &tabs_[1]};
    SelectInGroup(group, 2, &tabs_[0]);
}

void CDlgSubSolHelper::LayOutTopics()
{
    // Stripes alternate over the visible buttons; a hidden one takes no row.
    int row = 0;
    for (int i = 0; i < kTopics; ++i) {
        CYBitmapBtn& button = topicButtons_[i];
        if (!topicVisible_[i]) {
            button.ShowWindow(SW_HIDE);
            continue;
        }
        if (row % 2 == 0)
            button.SetFaceImages(231, 232, 232, 232, 231, 231);
        else
            button.SetFaceImages(233, 234, 234, 234, 233, 233);
        PlaceButton(button, 25, 220 + 31 * row);
        ++row;
    }
}

void CDlgSubSolHelper::CreateCategoryTree()
{
    const RECT& r = kTreeRect;
    HWND tree = CreateWindowExW(0, WC_TREEVIEWW, L"",
                                WS_VISIBLE | WS_CHILD | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                                    TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                                r.left, r.top, r.right - r.left, r.bottom - r.top, m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SOL_TREE)),
                                GetModuleHandleW(nullptr), nullptr);
    if (!tree)
        return;
    tree_.SubclassWindow(tree);
    tree_.backgroundColour = RGB(255, 255, 255);
    tree_.selectionColour = RGB(232, 232, 232);
    ::SendMessageW(tree, WM_SETFONT, reinterpret_cast<WPARAM>(main_.TextFont()), FALSE);

    fw::UniqueBitmap pictures(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kStateImagesBitmap), IMAGE_BITMAP, 0, 0, 0)));
    stateImages_ = ImageList_Create(12, 12, ILC_COLOR24, 3, 0);
    if (stateImages_ && pictures)
        ImageList_Add(stateImages_, pictures.get(), nullptr);
    TreeView_SetImageList(tree, stateImages_, TVSIL_STATE);

    // The rows follow the controller's keep rules for this generation and model, so that
    // they match the table the worker runs.
    const DiagModelFlags flags = ReadModelFlags(osGeneration_);
    modelDmu_ = flags.modelDmu;
    for (int c = 0; c < kDiagCategories; ++c) {
        lstrcpynW(rows_.categoryTitle[c], Text(kCategoryTitles[c]).c_str(), kDiagTitleChars);
        TVINSERTSTRUCTW insert = {};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_STATE;
        insert.item.pszText = rows_.categoryTitle[c];
        insert.item.state = INDEXTOSTATEIMAGEMASK(2);
        insert.item.stateMask = TVIS_STATEIMAGEMASK;
        categoryItems_[c] = TreeView_InsertItem(tree, &insert);

        int count = 0;
        for (int k = 0; k < kRowsPerCategory[c]; ++k) {
            const uint32_t taskId = static_cast<uint32_t>((c + 1) * 1000 + k);
            if (!KeepsDiagTask(osGeneration_, taskId, flags))
                continue;
            lstrcpynW(rows_.rowTitle[c][count], Text(kRowTitles[c][k]).c_str(), kDiagTitleChars);
            TVINSERTSTRUCTW row = {};
            row.hParent = categoryItems_[c];
            row.hInsertAfter = TVI_LAST;
            row.item.mask = TVIF_TEXT | TVIF_STATE;
            row.item.pszText = rows_.rowTitle[c][count];
            row.item.state = INDEXTOSTATEIMAGEMASK(0);
            row.item.stateMask = TVIS_STATEIMAGEMASK;
            TreeView_InsertItem(tree, &row);
            ++count;
        }
        rows_.rowCount[c] = count;
    }
}

void CDlgSubSolHelper::ShowSelfCheckView()
{
    SelectTab(0);
}

void CDlgSubSolHelper::SelectTab(int index)
{
    SetPageState(index == 0 ? kSelfCheck : kDiagnosis);
    CYBitmapBtn* group[2] = {&tabs_[0], &tabs_[1]};
    SelectInGroup(group, 2, &tabs_[index]);
}

void CDlgSubSolHelper::SetPageState(int state)
{
    pageState_ = state;
    const bool selfCheck = state == kSelfCheck;
    const bool diagnosis = state == kDiagnosis;
    const bool done = state == kProblemsFound || state == kNoProblems;

    for (int i = 0; i < kTopics; ++i)
        Show(topicButtons_[i], selfCheck && topicVisible_[i]);
    Show(GetDlgItem(IDC_SOL_TOPICS_HINT), selfCheck);

    for (int id : {IDC_SOL_START, IDC_SOL_CHECK_DISK, IDC_SOL_SELECT_HINT, IDC_SOL_UTILITY_HINT})
        Show(GetDlgItem(id), diagnosis);
    Show(tree_, diagnosis);
    Show(GetDlgItem(IDC_SOL_MEMORY_DIAG), diagnosis && osGeneration_ != 0);
    Show(resultView_, state == kProblemsFound);
    Show(GetDlgItem(IDC_SOL_DIAG_HINT), !selfCheck);

    HWND resultText = GetDlgItem(IDC_SOL_RESULT_TEXT);
    HWND resultHint = GetDlgItem(IDC_SOL_RESULT_HINT);
    if (state == kProblemsFound) {
        ::SetWindowTextW(resultText, Text(kMsgFoundProblem).c_str());
        Place(resultText, 25, 230, 385, 20);
        ::SetWindowTextW(resultHint, Text(kMsgFoundProblemHint).c_str());
        Place(resultHint, 25, 245, 520, 30);
    } else if (state == kNoProblems) {
        ::SetWindowTextW(resultText, Text(kMsgNoAction).c_str());
        Place(resultText, 25, 230, 385, 20);
        const DWORD hint =
            NoActionHintMessage(GetUserDefaultUILanguage(), GetUserGeoID(GEOCLASS_NATION));
        ::SetWindowTextW(resultHint, Text(hint).c_str());
        Place(resultHint, 25, 255, 520, 50);
    }
    Show(resultText, done);
    Show(resultHint, done);
    Invalidate();
}

COLORREF CDlgSubSolHelper::StaticTextColour(int controlId) const
{
    if (controlId == IDC_SOL_TITLE)
        return RGB(0, 0, 0);
    if (controlId == IDC_SOL_INTRO)
        return RGB(79, 79, 79);
    return RGB(111, 112, 115);
}

void CDlgSubSolHelper::DrawBackground(HDC dc)
{
    CPage::DrawBackground(dc);
    // The rule between the two tabs.
    DrawLine(dc, RGB(78, 78, 78), 1, 227, 169, 227, 181);
    if (pageState_ == kDiagnosis) {
        RECT frame = kTreeRect;
        InflateRect(&frame, 1, 2);
        DrawInnerFrame(dc, frame);
    } else if (pageState_ == kProblemsFound) {
        RECT frame = kResultRect;
        InflateRect(&frame, 1, 1);
        DrawInnerFrame(dc, frame);
    }
}

bool CDlgSubSolHelper::OnCommand(WORD id, WORD code, HWND control)
{
    switch (id) {
    case IDC_SOL_TAB_SELF_CHECK:
        SelectTab(0);
        return true;
    case IDC_SOL_TAB_DIAGNOSIS:
        SelectTab(1);
        return true;
    case IDC_SOL_START:
        StartDiagnosis();
        return true;
    case IDC_SOL_CHECK_DISK:
        RunCheckDisk();
        return true;
    case IDC_SOL_MEMORY_DIAG:
        RunMemoryDiagnostic();
        return true;
    default:
        break;
    }
    for (int i = 0; i < kTopics; ++i) {
        if (id == kTopicTable[i].id) {
            const int topic = (i == 1 && osGeneration_ == 0) ? kSleepTopic : kTopicTable[i].topic;
            OpenSelfHelpTopic(topic);
            return true;
        }
    }
    return CPage::OnCommand(id, code, control);
}

void CDlgSubSolHelper::OpenSelfHelpTopic(int topic)
{
    CDlgPopupSelfDiagView popup(main_, topic);
    popup.Run();
}

void CDlgSubSolHelper::StartDiagnosis()
{
    DiagSelection selection;
    bool any = false;
    for (int c = 0; c < kDiagCategories; ++c) {
        const bool checked = categoryItems_[c] && CTreeCtrlEx::IsChecked(tree_, categoryItems_[c]);
        rows_.selection[c] = checked ? 1 : 0;
        selection.flags[c] = rows_.selection[c];
        any = any || checked;
    }
    if (!any) {
        MessageBoxW(m_hWnd, Text(kMsgNoItemsSelected).c_str(), kMainWindowTitle, MB_OK);
        return;
    }

    progressPopup_.Prepare(&ui_, m_hWnd, rows_);
    delete controller_;
    controller_ = CreateTaskController(osGeneration_);
    if (!controller_)
        return;
    controller_->SetTargetWindow(m_hWnd);
    if (controller_->LoadTasks(selection) == 0) {
        delete controller_;
        controller_ = nullptr;
        return;
    }

    progressCategory_ = 0;
    while (progressCategory_ < kDiagCategories && !rows_.selection[progressCategory_])
        ++progressCategory_;
    progressRow_ = 0;
    SetTimer(kStartTimer, DiagStartDelayMs());
    runCancelled_ = false;

    const INT_PTR result = progressPopup_.Run();
    problemList_ = fw::CArray<DiagTask>();
    if (result == 1) {
        problemList_ = controller_->GetProblemTasks();
        delete controller_;
        controller_ = nullptr;
        if (problemList_.GetSize() > 0) {
            SetPageState(kProblemsFound);
            resultView_.LoadProblems(problemList_);
        } else {
            SetPageState(kNoProblems);
        }
    } else {
        delete controller_;
        controller_ = nullptr;
    }
    KillTimer(kStartTimer);
}

void CDlgSubSolHelper::OnTimer(UINT_PTR id)
{
    if (id != kStartTimer) {
        CPage::OnTimer(id);
        return;
    }
    KillTimer(kStartTimer);
    if (controller_)
        controller_->StartWorker();
}

LRESULT CDlgSubSolHelper::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_DIAG_NOTIFY) {
        OnDiagNotify(wp, lp);
        return 0;
    }
    return CPage::WindowProc(msg, wp, lp);
}

void CDlgSubSolHelper::OnDiagNotify(WPARAM code, LPARAM lp)
{
    // After a confirmed cancel the worker may still post what it was doing: none of it counts.
    if (runCancelled_)
        return;
    switch (code) {
    case DIAG_CANCEL_CONFIRMED:
        runCancelled_ = true;
        if (controller_)
            controller_->StopWorker();
        break;
    case DIAG_PAUSE_WORKER:
        if (controller_)
            controller_->PauseWorker(lp == 0);
        break;
    case DIAG_SAMPLE_BEGIN:
        progressPopup_.SetCancelAllowed(false);
        break;
    case DIAG_SAMPLE_END:
        progressPopup_.SetCancelAllowed(true);
        break;
    case DIAG_STEP_DONE:
        StepRow();
        break;
    case DIAG_ALL_DONE:
        progressPopup_.Finish();
        break;
    default:
        break;
    }
}

void CDlgSubSolHelper::StepRow()
{
    if (progressCategory_ >= kDiagCategories)
        return;
    progressPopup_.ReportRow(progressCategory_, progressRow_, 1);
    if (progressRow_ < rows_.rowCount[progressCategory_] - 1) {
        ++progressRow_;
    } else {
        progressRow_ = 0;
        do {
            ++progressCategory_;
        } while (progressCategory_ < kDiagCategories && !rows_.selection[progressCategory_]);
        if (progressCategory_ >= kDiagCategories)
            return;
    }
    if (progressRow_ < rows_.rowCount[progressCategory_])
        progressPopup_.ReportRow(progressCategory_, progressRow_, 0);
}

void CDlgSubSolHelper::RunCheckDisk()
{
    CDlgPopupHDDDiag confirm(CDlgPopupHDDDiag::kCheckDisk, &ui_);
    if (confirm.Run(m_hWnd) == 1)
        ScheduleCheckDiskAndRestart();
}

void CDlgSubSolHelper::RunMemoryDiagnostic()
{
    const fw::CSharedString path = CheckWinutilExistence(L"\\MdSched.exe");
    StartProgram(m_hWnd, path.c_str(), osGeneration_, main_.MessageLanguage());
}
