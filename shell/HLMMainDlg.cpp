#include "shell/HLMMainDlg.h"

#include <shellapi.h>

#include "console/SolHelperPage.h"
#include "framework/Gdi.h"
#include "pages/HomePage.h"
#include "pages/Pages.h"
#include "pages/UpdatePage.h"
#include "resources/resource.h"
#include "shell/MessageText.h"
#include "shell/OsVersion.h"
#include "shell/ProgramPaths.h"
#include "shell/controls/Drawing.h"
#include "sysinfo/TavDLL.h"

namespace {

// The left band's buttons: one row each, from the top. Faces 1-5 share one picture; face 6
// is the selected look.
struct RowFaces {
    UINT normal;
    UINT selected;
};
constexpr RowFaces kRowFaces[6] = {{198, 201}, {206, 209}, {194, 197},
                                   {202, 205}, {190, 193}, {252, 251}};

constexpr DWORD kCaptionIds[5] = {0x20002710, 0x20002711, 0x20002712, 0x20002713, 0x20002714};
constexpr DWORD kMsgUserGuide = 0x200029A3;
constexpr GEOID kNationUnitedStates = 244;

HFONT MakeFont(int height, int weight, const wchar_t* face)
{
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       VARIABLE_PITCH | FF_SWISS, face);
}

class CAboutDlg : public fw::CDialog {
  public:
    explicit CAboutDlg(HWND parent) : fw::CDialog(IDD_ABOUTBOX, parent) {}
};

} // namespace

CHLMMainDlg::CHLMMainDlg() : fw::CDialog(IDD_HLMMAIN_DIALOG), messageLanguage_(GetMessageLanguage())
{
    icon_ =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                      IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

CHLMMainDlg::~CHLMMainDlg()
{
    // Pages go in the order they were made.
    for (CPage*& page : pages_) {
        delete page;
        page = nullptr;
    }
}

bool CHLMMainDlg::ShowsInternetAssistance(LANGID uiLanguage, GEOID nation)
{
    return uiLanguage == 0x0412 || uiLanguage == 0x0804 ||
           (uiLanguage == 0x0409 && nation == kNationUnitedStates);
}

bool CHLMMainDlg::OnInitDialog()
{
    HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE);
    wchar_t about[128] = {};
    if (systemMenu &&
        LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, about, ARRAYSIZE(about)) > 0) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    SetWindowText(kMainWindowTitle);
    SetClientSize();
    osGeneration_ = GetOSGeneration();
    CreateFonts();
    SetUpMenuButtons();
    CreatePages();
    return true;
}

void CHLMMainDlg::SetClientSize()
{
    const int width = kClientWidth + 2 * GetSystemMetrics(SM_CXDLGFRAME);
    const int height =
        kClientHeight + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYDLGFRAME);
    SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame metrics above are the dialog's; a theme may draw a wider border. The client
    // area is what the pictures are made for, so make it exact.
    const RECT client = GetClientRect();
    const int dx = kClientWidth - client.right;
    const int dy = kClientHeight - client.bottom;
    if (dx || dy) {
        const RECT frame = GetWindowRect();
        SetWindowPos(m_hWnd, nullptr, 0, 0, frame.right - frame.left + dx,
                     frame.bottom - frame.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CHLMMainDlg::CreateFonts()
{
    fontFace_ = osGeneration_ == 0 ? L"Tahoma" : L"Segoe UI";
    textFont_.reset(MakeFont(13, FW_NORMAL, fontFace_.c_str()));
    boldFont_.reset(MakeFont(13, FW_BOLD, fontFace_.c_str()));
    titleFont_.reset(MakeFont(17, FW_BOLD, fontFace_.c_str()));
}

void CHLMMainDlg::SetUpMenuButtons()
{
    const bool internet =
        ShowsInternetAssistance(GetUserDefaultUILanguage(), GetUserGeoID(GEOCLASS_NATION));

    struct Entry {
        CYBitmapBtn* button;
        int id;
        DWORD caption;
    };
    const Entry entries[6] = {
        {&pageButtons_[0], IDC_MAIN_TROUBLESHOOT, kCaptionIds[0]},
        {&pageButtons_[1], IDC_MAIN_UTILITIES, kCaptionIds[1]},
        {&pageButtons_[2], IDC_MAIN_INTERNET, kCaptionIds[2]},
        {&pageButtons_[3], IDC_MAIN_UPDATE, kCaptionIds[3]},
        {&pageButtons_[4], IDC_MAIN_RESTORE, kCaptionIds[4]},
        {&userGuideButton_, IDC_MAIN_USER_GUIDE, kMsgUserGuide},
    };
    int row = 0;
    for (const Entry& entry : entries) {
        CYBitmapBtn& button = *entry.button;
        button.SubclassDlgItem(entry.id, *this);
        if (entry.id == IDC_MAIN_INTERNET && !internet) {
            button.ShowWindow(SW_HIDE);
            continue;
        }
        const RowFaces& faces = kRowFaces[row];
        button.SetFaceImages(faces.normal, faces.normal, faces.normal, faces.normal, faces.normal,
                             faces.selected);
        button.SetCaption(LoadMessageText(messageLanguage_, entry.caption).c_str(), FW_NORMAL, 0,
                          200, 47, 14, DT_CENTER | DT_VCENTER | DT_SINGLELINE, false, false);
        button.normalColour = RGB(255, 255, 255);
        button.hoverColour = RGB(115, 255, 255);
        button.state3Colour = RGB(153, 153, 153);
        button.selectedColour = RGB(255, 255, 255);
        SetWindowPos(button, nullptr, 6, 35 + 55 * row, button.Width(), button.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        ++row;
    }
    if (CheckProgramInstallation(L"\\Vantrel\\Manuvo\\RunManual.exe").IsEmpty())
        userGuideButton_.ShowWindow(SW_HIDE);

    homeButton_.SubclassDlgItem(IDC_MAIN_HOME, *this);
    homeButton_.SetFaceImages(228, 230, 229, 229, 228, 228);
    SetWindowPos(homeButton_, nullptr, 153, 488, homeButton_.Width(), homeButton_.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    helpButton_.SubclassDlgItem(IDC_MAIN_HELP, *this);
    helpButton_.SetFaceImages(225, 227, 226, 226, 225, 225);
    SetWindowPos(helpButton_, nullptr, 182, 488, helpButton_.Width(), helpButton_.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(GetDlgItem(IDC_MAIN_BUILD_LABEL), SW_HIDE);
}

void CHLMMainDlg::CreatePages()
{
    home_ = new CDlgSubMainHome(*this);
    troubleshooting_ = new CDlgSubSolHelper(*this);
    utilities_ = new CDlgSubSysUtil(*this);
    internet_ = new CDlgSubNTA(*this);
    update_ = new CDlgSubPTW(*this);
    restore_ = new CDlgSubRecover(*this);
    CPage* const created[kPageCount] = {home_,     troubleshooting_, utilities_,
                                        internet_, update_,          restore_};
    for (int i = 0; i < kPageCount; ++i) {
        pages_[i] = created[i];
        pages_[i]->CreatePage();
    }
    pages_[kHome]->ShowWindow(SW_SHOW);
}

void CHLMMainDlg::ShowOnly(int page)
{
    // Show the new page first, so the area is never empty in between.
    pages_[page]->ShowWindow(SW_SHOW);
    for (int i = 0; i < kPageCount; ++i) {
        if (i != page)
            pages_[i]->ShowWindow(SW_HIDE);
    }
}

void CHLMMainDlg::ResetPageButtons()
{
    CYBitmapBtn* group[5] = {&pageButtons_[0], &pageButtons_[1], &pageButtons_[2], &pageButtons_[3],
                             &pageButtons_[4]};
    ResetGroup(group, 5);
}

void CHLMMainDlg::SelectPage(WORD command)
{
    if (command == IDC_MAIN_UPDATE) {
        const int state = CDlgSubPTW::GetUpdateToolState();
        if (state == 0) {
            // The tool is installed but its licence is not accepted yet: it asks itself.
            const fw::CSharedString client =
                CheckProgramInstallation(L"\\Vantrel\\Patchwell\\PTWClientApp.exe");
            ShellExecuteW(nullptr, L"open", client.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            Home();
            return;
        }
        update_->ApplyUpdatePageState(state);
    }

    CYBitmapBtn* group[5] = {&pageButtons_[0], &pageButtons_[1], &pageButtons_[2], &pageButtons_[3],
                             &pageButtons_[4]};
    SelectInGroup(group, 5, &pageButtons_[command - IDC_MAIN_TROUBLESHOOT]);

    if (command == IDC_MAIN_TROUBLESHOOT && troubleshooting_->PageState() != 1)
        troubleshooting_->ShowSelfCheckView();
    currentPage_ = command - IDC_MAIN_TROUBLESHOOT + 1;
    ShowOnly(currentPage_);
}

void CHLMMainDlg::Home()
{
    ResetPageButtons();
    currentPage_ = kHome;
    ShowOnly(kHome);
    home_->CloseDetail();
}

void CHLMMainDlg::OpenUserGuide()
{
    ResetPageButtons();
    // By bare name: the manual's installer registers it where Windows looks.
    ShellExecuteW(nullptr, L"open", L"Runmanual.exe", nullptr, nullptr, SW_SHOWNORMAL);
}

void CHLMMainDlg::ShowAbout()
{
    CAboutDlg about(m_hWnd);
    about.DoModal();
}

bool CHLMMainDlg::OnCommand(WORD id, WORD code, HWND control)
{
    switch (id) {
    case IDC_MAIN_TROUBLESHOOT:
    case IDC_MAIN_UTILITIES:
    case IDC_MAIN_INTERNET:
    case IDC_MAIN_UPDATE:
    case IDC_MAIN_RESTORE:
        SelectPage(id);
        return true;
    case IDC_MAIN_HOME:
        Home();
        return true;
    case IDC_MAIN_HELP:
        ShowAbout();
        return true;
    case IDC_MAIN_USER_GUIDE:
        OpenUserGuide();
        return true;
    default:
        return fw::CDialog::OnCommand(id, code, control);
    }
}

bool CHLMMainDlg::OnEraseBkgnd(HDC dc)
{
    const RECT client = GetClientRect();
    if (!DrawBitmapResourcePart(dc, 0, 0, IDB_MAIN_BACKGROUND, 0, kBandWidth, client.bottom))
        FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
    return true;
}

HBRUSH CHLMMainDlg::OnCtlColor(HDC dc, HWND control, UINT message)
{
    if (message != WM_CTLCOLORSTATIC)
        return nullptr;
    SetBkMode(dc, TRANSPARENT);
    if (GetDlgCtrlID(control) == IDC_MAIN_BUILD_LABEL)
        SetTextColor(dc, RGB(255, 255, 255));
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CHLMMainDlg::OnPaint()
{
    if (!IsIconic(m_hWnd)) {
        fw::CDialog::OnPaint();
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const RECT client = GetClientRect();
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(m_hWnd, &ps);
}

LRESULT CHLMMainDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == IDM_ABOUTBOX) {
            ShowAbout();
            return 0;
        }
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(icon_);
    case WM_COPYDATA:
        // Answered and otherwise ignored.
        return TRUE;
    case WM_DESTROY:
        // The system-information library may still hold its WMI connection.
        CleanUpWMI();
        break;
    default:
        break;
    }
    return fw::CDialog::WindowProc(msg, wp, lp);
}

bool CHLMMainDlg::PreTranslateMessage(MSG& msg)
{
    // Neither Enter nor Escape may close the window or press a button: every message carrying
    // either key code is dropped.
    return msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE;
}
