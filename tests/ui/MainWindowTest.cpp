// The main window as a user meets it: the left buttons for the user's language and nation, the
// pages behind them, keys that must do nothing, and a second start.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hlmtest;

namespace {

const wchar_t kManual[] = L"\\Vantrel\\Manuvo\\RunManual.exe";
const wchar_t kProbeKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\_TAV_checkPrivileges";

const int kPageButtons[] = {1000, 1001, 1002, 1003, 1004};
// The title static that marks each page: troubleshooting, utilities, internet, update, restore.
const int kPageTitles[] = {1034, 1060, 1050, 1083, 1100};

struct ButtonPlace {
    int id;
    bool visible;
    int y;
};

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override { RemoveTree(ProgramFilesDir() + L"\\Vantrel\\Manuvo"); }
    void TearDown() override
    {
        if (window_)
            PostMessageW(window_, WM_CLOSE, 0, 0);
        if (program_.Valid()) {
            EXPECT_TRUE(program_.WaitForExit(15000));
        }
        RemoveTree(ProgramFilesDir() + L"\\Vantrel\\Manuvo");
    }

    void Start()
    {
        program_ = Launch(BinDir() + L"\\HLMMain.exe");
        ASSERT_TRUE(program_.Valid());
        window_ = WaitForWindow(L"CHLMMainDlgMain", L"Helmora", 120000, program_.Id());
        ASSERT_NE(window_, nullptr);
        Sleep(300);
    }

    HWND Item(int id) const { return GetDlgItem(window_, id); }

    // A control's rectangle in the main window's client coordinates.
    RECT Place(int id) const
    {
        RECT rect = {};
        GetWindowRect(Item(id), &rect);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    std::wstring Text(HWND control) const { return WindowText(control); }

    // The visible pages: child dialogs of the main window.
    std::vector<HWND> VisiblePages() const
    {
        std::vector<HWND> pages;
        for (HWND child = GetWindow(window_, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t cls[64] = {};
            GetClassNameW(child, cls, ARRAYSIZE(cls));
            if (std::wstring(cls) == L"#32770" && IsWindowVisible(child))
                pages.push_back(child);
        }
        return pages;
    }

    void Click(int id) { ClickAndWait(Item(id), 10000, 150); }

    void Shot(const wchar_t* name) const
    {
        Sleep(300);
        EXPECT_TRUE(SavePng(window_, ScreenshotDir() + L"\\" + name + L".png"));
    }

    void ExpectButtons(const std::vector<ButtonPlace>& places)
    {
        for (const ButtonPlace& place : places) {
            EXPECT_EQ(IsWindowVisible(Item(place.id)) != FALSE, place.visible) << place.id;
            if (place.visible) {
                const RECT rect = Place(place.id);
                EXPECT_EQ(rect.left, 6) << place.id;
                EXPECT_EQ(rect.top, place.y) << place.id;
                EXPECT_EQ(rect.right - rect.left, 201) << place.id;
                EXPECT_EQ(rect.bottom - rect.top, 48) << place.id;
            }
        }
    }

    Process program_;
    HWND window_ = nullptr;
};

} // namespace

// Registered under en_US: the nation decides whether Netaide is offered.
TEST_F(MainWindow, EnglishInTheUnitedStatesShowsAllSixButtons)
{
    ASSERT_TRUE(SetNation(244));
    ASSERT_FALSE(CreateFileBelowProgramFiles(kManual, "MZ").empty());
    Start();
    ExpectButtons({{1000, true, 35},
                   {1001, true, 90},
                   {1002, true, 145},
                   {1003, true, 200},
                   {1004, true, 255},
                   {1300, true, 310}});
    EXPECT_EQ(Text(Item(1000)), L"Troubleshooting");
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kProbeKey));
    Shot(L"main-en-US");
}

TEST_F(MainWindow, EnglishOutsideTheUnitedStatesHidesNetaide)
{
    ASSERT_TRUE(SetNation(242)); // United Kingdom
    ASSERT_FALSE(CreateFileBelowProgramFiles(kManual, "MZ").empty());
    Start();
    ExpectButtons({{1000, true, 35},
                   {1001, true, 90},
                   {1002, false, 0},
                   {1003, true, 145},
                   {1004, true, 200},
                   {1300, true, 255}});
    Shot(L"main-en-GB");
}

TEST_F(MainWindow, WithoutTheManualTheUserGuideButtonIsHidden)
{
    ASSERT_TRUE(SetNation(244));
    Start();
    EXPECT_FALSE(IsWindowVisible(Item(1300)));
}

TEST_F(MainWindow, PageButtonsShowExactlyTheirPage)
{
    ASSERT_TRUE(SetNation(244));
    Start();
    ASSERT_EQ(VisiblePages().size(), 1u); // home
    const wchar_t* shots[] = {L"page-troubleshooting", L"page-utilities", L"page-internet",
                              L"page-update", L"page-restore"};
    for (int i = 0; i < 5; ++i) {
        if (i == 3)
            continue; // the update button depends on the update tool: its own test
        Click(kPageButtons[i]);
        const std::vector<HWND> pages = VisiblePages();
        ASSERT_EQ(pages.size(), 1u) << kPageButtons[i];
        EXPECT_NE(GetDlgItem(pages[0], kPageTitles[i]), nullptr) << kPageButtons[i];
        for (int j = 0; j < 5; ++j)
            EXPECT_EQ(IsWindowEnabled(Item(kPageButtons[j])) != FALSE, j != i)
                << "after " << kPageButtons[i] << ", button " << kPageButtons[j];
        Shot(shots[i]);
    }

    Click(1005); // Home
    const std::vector<HWND> pages = VisiblePages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(GetDlgItem(pages[0], 1034), nullptr);
    for (int id : kPageButtons)
        EXPECT_TRUE(IsWindowEnabled(Item(id))) << id;
}

TEST_F(MainWindow, EnterAndEscapeDoNothing)
{
    ASSERT_TRUE(SetNation(244));
    Start();
    Click(1001);
    for (WPARAM key : {WPARAM(VK_RETURN), WPARAM(VK_ESCAPE)}) {
        for (HWND target : {window_, Item(1000), VisiblePages().front()}) {
            PostMessageW(target, WM_KEYDOWN, key, 0);
            PostMessageW(target, WM_CHAR, key, 0);
            PostMessageW(target, WM_KEYUP, key, 0xC0000001);
        }
    }
    Sleep(500);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_FALSE(program_.WaitForExit(0));
    EXPECT_FALSE(IsWindowEnabled(Item(1001))); // still on its page
}

TEST_F(MainWindow, HelpOpensTheAboutBox)
{
    ASSERT_TRUE(SetNation(244));
    Start();
    // The box is modal: click from here without waiting for the click to return.
    PostMessageW(Item(1006), BM_CLICK, 0, 0);
    HWND about = WaitForWindow(L"#32770", L"About Helmora", 30000, program_.Id());
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(IsWindowEnabled(window_)); // modal over the main window
    Sleep(300);
    EXPECT_TRUE(SavePng(about, ScreenshotDir() + L"\\about.png"));
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 100 && IsWindow(about); ++i)
        Sleep(50);
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(IsWindowEnabled(window_));
}

TEST_F(MainWindow, ASecondStartRaisesTheFirstWindowAndEnds)
{
    ASSERT_TRUE(SetNation(244));
    Start();
    Process second = Launch(BinDir() + L"\\HLMMain.exe");
    ASSERT_TRUE(second.Valid());
    EXPECT_TRUE(second.WaitForExit(60000));
    int windows = 0;
    for (HWND w = FindWindowExW(nullptr, nullptr, L"CHLMMainDlgMain", L"Helmora"); w;
         w = FindWindowExW(nullptr, w, L"CHLMMainDlgMain", L"Helmora"))
        ++windows;
    EXPECT_EQ(windows, 1);
    EXPECT_FALSE(program_.WaitForExit(0));
}

// Registered under several UI languages (Korean, Chinese, Russian, Thai, Greek, German): the
// captions are the user's language, and the main window and the troubleshooting page are
// photographed for a reader of that language to judge.
TEST_F(MainWindow, LocalisedCaptions)
{
    ASSERT_FALSE(CreateFileBelowProgramFiles(kManual, "MZ").empty());
    Start();
    const LANGID language = TestUiLanguage();
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = L"unknown";
    GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT), LOCALE_SNAME, name, LOCALE_NAME_MAX_LENGTH);
    if (language == 0x0412) {
        ExpectButtons({{1000, true, 35},
                       {1001, true, 90},
                       {1002, true, 145},
                       {1003, true, 200},
                       {1004, true, 255},
                       {1300, true, 310}});
    }
    for (int id : kPageButtons) {
        // Internet assistance is offered in some nations only.
        if (IsWindowVisible(Item(id))) {
            EXPECT_FALSE(Text(Item(id)).empty()) << id;
        }
    }
    EXPECT_NE(Text(Item(1000)), L"Troubleshooting");
    Shot((std::wstring(L"main-") + name).c_str());
    Click(1000);
    Shot((std::wstring(L"troubleshooting-") + name).c_str());
}
