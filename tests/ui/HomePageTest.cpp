// The home page as a user meets it: the summary with its three areas and the machine's facts,
// Detail opening the system sheet and Close (or the main window's Home button) leaving it,
// for a model with wireless LAN and Bluetooth ('N') and one without ('R').
#include "standins/pavi/FirmwareState.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/ProgramTest.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hlmtest;

namespace {

constexpr int kHomeButton = 1005;
constexpr int kDetail = 1010;
constexpr int kIntro = 1011;
constexpr int kTroubleshootingText = 1012;
constexpr int kUtilitiesText = 1013;
constexpr int kClose = 1014;
constexpr int kSheet = 1234;

class HomePage : public ProgramTest {
  protected:
    void TearDown() override
    {
        ProgramTest::TearDown();
        DeleteRegTree(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, fw::RegView::Force64);
    }

    void Start(const wchar_t* modelName)
    {
        ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, pavi_state::kModelName,
                                   modelName, fw::RegView::Force64));
        StartProgram();
        ASSERT_NE(Page(), nullptr);
    }

    void Stop() { StopProgram(); }

    // The page: the child dialog that holds the introduction.
    HWND Page() const { return ChildHolding(window_, kIntro); }

    HWND Item(int id) const { return GetDlgItem(Page(), id); }
    bool Visible(int id) const { return IsWindowVisible(Item(id)) != FALSE; }

    static void Click(HWND button) { ClickAndWait(button, 60000, 300); }
    static std::wstring Text(HWND control) { return WindowText(control); }

    // The summary view: areas described, Detail offered, no sheet.
    void ExpectSummaryView(const char* when) const
    {
        EXPECT_TRUE(Visible(kIntro)) << when;
        EXPECT_TRUE(Visible(kTroubleshootingText)) << when;
        EXPECT_TRUE(Visible(kUtilitiesText)) << when;
        EXPECT_TRUE(Visible(kDetail)) << when;
        EXPECT_FALSE(Visible(kClose)) << when;
        EXPECT_FALSE(Visible(kSheet)) << when;
    }

    void ExpectDetailView(const char* when) const
    {
        EXPECT_TRUE(Visible(kIntro)) << when;
        EXPECT_FALSE(Visible(kTroubleshootingText)) << when;
        EXPECT_FALSE(Visible(kUtilitiesText)) << when;
        EXPECT_FALSE(Visible(kDetail)) << when;
        EXPECT_TRUE(Visible(kClose)) << when;
        EXPECT_TRUE(Visible(kSheet)) << when;
    }

    // Where bands begin in the sheet as the screen shows it (client lines of the view), read
    // at the right end of the band lines. The scroll range cannot be asked from another
    // process under Wine, but the picture tells it: scrolled to the end, the view shows the
    // canvas's last client-height lines.
    std::vector<int> BandStartsShown() const
    {
        HWND view = Item(kSheet);
        RECT client = {};
        GetClientRect(view, &client);
        POINT origin = {0, 0};
        ClientToScreen(view, &origin);
        const int height = client.bottom;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP column = CreateCompatibleBitmap(screen, 1, height);
        HGDIOBJ old = SelectObject(memory, column);
        BitBlt(memory, 0, 0, 1, height, screen, origin.x + 440, origin.y, SRCCOPY);
        std::vector<int> starts;
        const COLORREF band = RGB(225, 225, 225);
        for (int y = 1; y < height; ++y) {
            if (GetPixel(memory, 0, y) == band && GetPixel(memory, 0, y - 1) != band)
                starts.push_back(y);
        }
        SelectObject(memory, old);
        DeleteObject(column);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return starts;
    }

    int SheetClientHeight() const
    {
        RECT client = {};
        GetClientRect(Item(kSheet), &client);
        return client.bottom;
    }

    void Shot(const std::wstring& name) const
    {
        Sleep(400);
        EXPECT_TRUE(SavePng(window_, ScreenshotDir() + L"\\" + name + L".png"));
    }
};

} // namespace

TEST_F(HomePage, SummaryDetailAndBackForEachModelClass)
{
    // Under Wine the setup API finds no sound, network or Bluetooth device: one row group of
    // "Nothing" under the sound band, and the canvas keeps its size.
    struct Case {
        const wchar_t* model;
        int sheetHeight;
        std::vector<int> bandTops; // the sheet's last bands, in canvas lines
        const wchar_t* shot;
    };
    const Case cases[] = {
        {L"N150", 580, {313, 372}, L"home-n"}, // wireless LAN, Bluetooth
        {L"R580", 480, {254}, L"home-r"},      // network, nothing after it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << std::string(c.model, c.model + 4));
        Start(c.model);
        ASSERT_TRUE(IsWindowVisible(Page()));

        EXPECT_EQ(Text(Item(kIntro)),
                  L"Helmora is a central location for managing your Vantrel system smoothly.");
        EXPECT_EQ(Text(Item(kTroubleshootingText)),
                  L"Helmora provides solutions to problems that may occur while using the "
                  L"computer. A System Diagnosis function is provided to diagnose system "
                  L"problems.");
        EXPECT_EQ(Text(Item(kUtilitiesText)),
                  L"Helmora provides various utilities that help you to use the computer safely "
                  L"and conveniently.");
        ExpectSummaryView("at start");
        Shot(std::wstring(c.shot) + L"-summary");

        // The first Detail collects the drivers (the clock shows meanwhile), then the sheet.
        Click(Item(kDetail));
        ExpectDetailView("after Detail");
        Shot(std::wstring(c.shot) + L"-detail");
        // Scrolled to its end, the view shows the canvas's last lines: the bands seen there
        // tell the canvas height and which sections the sheet has.
        SendMessageTimeoutW(Item(kSheet), WM_VSCROLL, SB_BOTTOM, 0, SMTO_ABORTIFHUNG, 5000,
                            nullptr);
        Sleep(300);
        const int hidden = c.sheetHeight - SheetClientHeight();
        std::vector<int> expected;
        for (int top : c.bandTops)
            expected.push_back(top - hidden);
        EXPECT_EQ(BandStartsShown(), expected);
        Shot(std::wstring(c.shot) + L"-detail-end");

        Click(Item(kClose));
        ExpectSummaryView("after Close");

        // Opened again it only redraws; the main window's Home button closes it too.
        Click(Item(kDetail));
        ExpectDetailView("after the second Detail");
        Click(GetDlgItem(window_, kHomeButton));
        ExpectSummaryView("after Home");
        EXPECT_TRUE(IsWindowVisible(Page()));
        Stop();
    }
}

TEST_F(HomePage, OtherPagesAndHomeLeaveTheSummaryShown)
{
    // The detail view left open while another page is shown: Home comes back to the summary.
    Start(L"N150");
    Click(Item(kDetail));
    ExpectDetailView("after Detail");
    Click(GetDlgItem(window_, 1001)); // the utilities page
    EXPECT_FALSE(IsWindowVisible(Page()));
    Click(GetDlgItem(window_, kHomeButton));
    EXPECT_TRUE(IsWindowVisible(Page()));
    ExpectSummaryView("after Home");
}
