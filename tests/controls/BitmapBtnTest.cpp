// The picture button: faces loaded once and chosen by state, a caption drawn over them or over
// a white box of the caption's size, and the mouse rules that move it between its states.
// Every check reads back what the button drew through its own window DC.

#include "tests/controls/ControlsTestSupport.h"
#include "tests/controls/resource.h"

#include "framework/Gdi.h"
#include "framework/Handles.h"
#include "shell/OsVersion.h"
#include "shell/controls/BitmapBtn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using ctltest::CaptureClient;
using ctltest::Image;
using ctltest::SameImage;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(0, 0, 0);

// Six different 201 x 48 faces: the left band's first two rows.
constexpr UINT kSixFaces[6] = {198, 199, 200, 201, 206, 207};
// What each state shows of them (faces 1-6 of the state table); 0 and 7 are outside 2-6.
struct StateFace {
    int state;
    int face;
};
constexpr StateFace kStateFaces[] = {{1, 1}, {2, 2}, {3, 5}, {4, 3},
                                     {5, 4}, {6, 6}, {0, 1}, {7, 1}};

int FaceOf(int state)
{
    for (const StateFace& entry : kStateFaces)
        if (entry.state == state)
            return entry.face;
    return 1;
}

void LoadSixFaces(CYBitmapBtn& button)
{
    button.SetFaceImages(kSixFaces[0], kSixFaces[1], kSixFaces[2], kSixFaces[3], kSixFaces[4],
                         kSixFaces[5]);
}

std::vector<Image> SixFaces()
{
    std::vector<Image> faces;
    for (UINT id : kSixFaces)
        faces.push_back(ctltest::BitmapResource(id));
    return faces;
}

// The strip's three 80 x 20 bands, top to bottom.
std::vector<Image> StripBands()
{
    const Image strip = ctltest::BitmapResource(177);
    std::vector<Image> bands;
    for (int band = 0; band < 3; ++band)
        bands.push_back(ctltest::Crop(strip, {0, 20 * band, 80, 20 * (band + 1)}));
    return bands;
}

testing::AssertionResult AllDifferent(const std::vector<Image>& images)
{
    for (size_t i = 0; i < images.size(); ++i)
        for (size_t j = i + 1; j < images.size(); ++j)
            if (SameImage(images[i], images[j]))
                return testing::AssertionFailure()
                       << "pictures " << i << " and " << j << " are the same";
    return testing::AssertionSuccess();
}

LPARAM At(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)),
                      static_cast<WORD>(static_cast<short>(y)));
}

class BitmapButton : public testing::Test {
  protected:
    void SetUp() override
    {
        // The real pointer stays off the page: no real mouse message may reach a button
        // while a test sends its own.
        SetCursorPos(5, 5);
        ASSERT_TRUE(page_.Open());
    }

    void TearDown() override { ReleaseCapture(); }

    // Takes over one of the page's buttons.
    testing::AssertionResult Attach(CYBitmapBtn& button, int id = IDC_FACE_BUTTON)
    {
        if (!button.SubclassDlgItem(id, page_))
            return testing::AssertionFailure() << "cannot subclass button " << id;
        return testing::AssertionSuccess();
    }

    // Sizes the button as its owner does, to the size it reports.
    static void Fit(CYBitmapBtn& button)
    {
        RECT place = button.GetWindowRect();
        MapWindowPoints(nullptr, button.GetParent(), reinterpret_cast<POINT*>(&place), 2);
        button.MoveWindow(place.left, place.top, button.Width(), button.Height());
        ctltest::PumpMessages();
    }

    static Image Drawn(CYBitmapBtn& button, int state)
    {
        button.SetState(state);
        button.Redraw();
        return CaptureClient(button);
    }

    ctltest::ControlsPage page_;
};

TEST_F(BitmapButton, FacesLoadOnceAndTakeTheirSizeFromFaceOne)
{
    enum class Faces { Band, Popup, Strip };
    const auto load = [](CYBitmapBtn& button, Faces faces) {
        switch (faces) {
        case Faces::Band:
            LoadSixFaces(button);
            break;
        case Faces::Popup:
            button.SetFaceImages(210, 212, 211, 211, 210, 210);
            break;
        case Faces::Strip:
            button.SetFaceStrip();
            break;
        }
    };
    const Image band = ctltest::BitmapResource(198);
    const Image popup = ctltest::BitmapResource(210);
    const Image stripTop = StripBands()[0];
    struct Case {
        const char* name;
        Faces first;
        Faces second; // ignored: faces are loaded already
        SIZE size;
        const Image& normal;
    };
    const Case cases[] = {
        {"band faces, then popup faces", Faces::Band, Faces::Popup, {201, 48}, band},
        {"band faces, then the strip", Faces::Band, Faces::Strip, {201, 48}, band},
        {"popup faces, then band faces", Faces::Popup, Faces::Band, {100, 30}, popup},
        {"the strip, then band faces", Faces::Strip, Faces::Band, {80, 20}, stripTop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CYBitmapBtn button;
        ASSERT_TRUE(Attach(button));
        load(button, c.first);
        load(button, c.second);
        EXPECT_EQ(button.Width(), c.size.cx);
        EXPECT_EQ(button.Height(), c.size.cy);
        Fit(button);
        EXPECT_TRUE(SameImage(Drawn(button, CYBitmapBtn::kNormal), c.normal));
    }
}

TEST_F(BitmapButton, EachStateShowsItsFace)
{
    const std::vector<Image> faces = SixFaces();
    ASSERT_TRUE(AllDifferent(faces));
    CYBitmapBtn button;
    ASSERT_TRUE(Attach(button));
    LoadSixFaces(button);
    Fit(button);
    for (const StateFace& entry : kStateFaces) {
        SCOPED_TRACE(testing::Message() << "state " << entry.state);
        EXPECT_TRUE(SameImage(Drawn(button, entry.state), faces[entry.face - 1]));
    }
}

TEST_F(BitmapButton, StripIsCutIntoThreeFacesTopMiddleBottom)
{
    const std::vector<Image> bands = StripBands();
    ASSERT_TRUE(AllDifferent(bands));
    CYBitmapBtn button;
    ASSERT_TRUE(Attach(button));
    button.SetFaceStrip();
    EXPECT_EQ(button.Width(), 80);
    EXPECT_EQ(button.Height(), 20);
    Fit(button);
    enum Band { Top, Middle, Bottom };
    struct Case {
        int state;
        Band band;
    };
    // Normal, state 3 and selected show the top band, pressed the bottom, hover and 5 the middle.
    const Case cases[] = {{1, Top}, {2, Bottom}, {3, Top}, {4, Middle}, {5, Middle}, {6, Top}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state);
        EXPECT_TRUE(SameImage(Drawn(button, c.state), bands[c.band]));
    }
}

// The caption font the buttons use, for measuring: Segoe UI from Vista on, Tahoma on XP.
fw::UniqueFont CaptionFont(int height, int weight)
{
    return fw::UniqueFont(CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      VARIABLE_PITCH | FF_SWISS,
                                      WindowsMajorVersion() >= 6 ? L"Segoe UI" : L"Tahoma"));
}

TEST_F(BitmapButton, CaptionWithoutFacesSizesTheButtonAndPaintsAWhiteBoxUnderIt)
{
    constexpr int kFontHeight = 16;
    constexpr COLORREF kMagenta = RGB(255, 0, 255);
    struct Case {
        const wchar_t* text;
        const wchar_t* lines[2];
    };
    // A carriage return breaks the caption even though the format asks for one line.
    const Case cases[] = {
        {L"Run the test", {L"Run the test", nullptr}},
        {L"Run the\rnetwork test", {L"Run the", L"network test"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "caption of " << (c.lines[1] ? 2 : 1) << " lines");
        CYBitmapBtn button;
        ASSERT_TRUE(Attach(button, IDC_CAPTION_BUTTON));
        button.SetCaption(c.text, FW_BOLD, 5, 150, 40, kFontHeight, DT_SINGLELINE | DT_LEFT, false,
                          false);

        // Measured line by line, without DrawText: as wide as the widest line, one line
        // height per line, plus 10 x 4.
        fw::WindowDC dc(button);
        fw::UniqueFont font = CaptionFont(kFontHeight, FW_BOLD);
        fw::SelectGuard select(dc.get(), font.get());
        TEXTMETRICW metrics = {};
        ASSERT_TRUE(GetTextMetricsW(dc.get(), &metrics));
        LONG widest = 0;
        int lines = 0;
        for (const wchar_t* line : c.lines) {
            if (!line)
                continue;
            SIZE extent = {};
            GetTextExtentPoint32W(dc.get(), line, lstrlenW(line), &extent);
            widest = std::max(widest, extent.cx);
            ++lines;
        }
        EXPECT_EQ(button.Width(), widest + 10);
        EXPECT_EQ(button.Height(), lines * metrics.tmHeight + 4);

        // Whatever was there before, the button's whole area is a white box with the text.
        Fit(button);
        const RECT whole = {0, 0, button.Width(), button.Height()};
        fw::UniqueBrush magenta(CreateSolidBrush(kMagenta));
        FillRect(dc.get(), &whole, magenta.get());
        const Image drawn = Drawn(button, CYBitmapBtn::kNormal);
        EXPECT_EQ(std::count(drawn.pixels.begin(), drawn.pixels.end(), kMagenta), 0);
        for (int x = 0; x < drawn.width; ++x) {
            EXPECT_EQ(drawn.At(x, 0), kWhite) << "top edge at " << x;
            EXPECT_EQ(drawn.At(x, drawn.height - 1), kWhite) << "bottom edge at " << x;
        }
        for (int y = 0; y < drawn.height; ++y) {
            EXPECT_EQ(drawn.At(0, y), kWhite) << "left edge at " << y;
            EXPECT_EQ(drawn.At(drawn.width - 1, y), kWhite) << "right edge at " << y;
        }
        const RECT ink = ctltest::InkBounds(drawn, kWhite);
        EXPECT_GE(ink.left, 5); // the text rectangle starts at 5
        EXPECT_GT(ink.bottom - ink.top, (lines - 1) * metrics.tmHeight);
        EXPECT_LE(ink.bottom - ink.top, lines * metrics.tmHeight);
    }
}

TEST_F(BitmapButton, CaptionOverFacesIsReplacedWithItsFormat)
{
    const Image face = ctltest::BitmapResource(kSixFaces[0]);
    CYBitmapBtn button;
    ASSERT_TRUE(Attach(button));
    LoadSixFaces(button);
    Fit(button);
    constexpr int kFontHeight = 16;
    constexpr UINT kCentredLine = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    struct Step {
        const wchar_t* text;
        int lines;
        bool centred;
    };
    // A carriage return drops the one-line format, and with it the vertical centring; the next
    // caption has its own format again.
    const Step steps[] = {
        {L"Repair now", 1, true},
        {L"Repair\rnow", 2, false},
        {L"Repair now", 1, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.lines << " lines, centred " << step.centred);
        button.SetCaption(step.text, FW_NORMAL, 10, 180, 48, kFontHeight, kCentredLine, false,
                          false);
        // Faces fix the size; a caption does not change it.
        EXPECT_EQ(button.Width(), 201);
        EXPECT_EQ(button.Height(), 48);
        const RECT ink = ctltest::InkBounds(Drawn(button, CYBitmapBtn::kNormal), face);
        ASSERT_GT(ink.right, ink.left) << "no caption drawn";
        EXPECT_GE(ink.left, 10);
        const int rows = ink.bottom - ink.top;
        if (step.lines == 1)
            EXPECT_LE(rows, kFontHeight);
        else
            EXPECT_GT(rows, kFontHeight);
        if (step.centred)
            EXPECT_GE(ink.top, (48 - kFontHeight) / 2);
        else
            EXPECT_LT(ink.top, kFontHeight / 2);
    }
}

TEST_F(BitmapButton, PressedStateMovesTheCaptionByOnePixelRightAndDown)
{
    CYBitmapBtn button;
    ASSERT_TRUE(Attach(button, IDC_CAPTION_BUTTON));
    button.SetCaption(L"Scan", FW_NORMAL, 5, 100, 30, 16, DT_SINGLELINE | DT_LEFT | DT_TOP, false,
                      false);
    // One colour for every state, so that only the caption's place can differ.
    button.normalColour = button.hoverColour = button.state3Colour = button.selectedColour = kInk;
    Fit(button);
    const Image normal = Drawn(button, CYBitmapBtn::kNormal);
    ASSERT_GT(ctltest::InkBounds(normal, kWhite).right, 0) << "no caption drawn";

    struct Case {
        int state;
        int dx;
        int dy;
    };
    const Case cases[] = {{2, 1, 1}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0}, {6, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state);
        Image expected = ctltest::Filled(normal.width, normal.height, kWhite);
        for (int y = 0; y + c.dy < normal.height; ++y)
            for (int x = 0; x + c.dx < normal.width; ++x)
                expected.At(x + c.dx, y + c.dy) = normal.At(x, y);
        EXPECT_TRUE(SameImage(Drawn(button, c.state), expected));
    }
}

TEST_F(BitmapButton, MouseMovesTheButtonBetweenItsStates)
{
    const std::vector<Image> faces = SixFaces();
    CYBitmapBtn button;
    ASSERT_TRUE(Attach(button));
    LoadSixFaces(button);
    Fit(button);
    struct Case {
        int from;
        UINT message;
        int to;
    };
    // Only 1 and 5 turn to hover; only hover is pressed; only pressed is released; hover and
    // pressed go back to normal when the mouse leaves. A selected button keeps its look.
    const Case cases[] = {
        {1, WM_MOUSEMOVE, 4},   {5, WM_MOUSEMOVE, 4},   {4, WM_MOUSEMOVE, 4},
        {2, WM_MOUSEMOVE, 2},   {3, WM_MOUSEMOVE, 3},   {6, WM_MOUSEMOVE, 6},
        {4, WM_LBUTTONDOWN, 2}, {1, WM_LBUTTONDOWN, 1}, {6, WM_LBUTTONDOWN, 6},
        {2, WM_LBUTTONUP, 1},   {4, WM_LBUTTONUP, 4},   {6, WM_LBUTTONUP, 6},
        {4, WM_MOUSELEAVE, 1},  {2, WM_MOUSELEAVE, 1},  {5, WM_MOUSELEAVE, 5},
        {6, WM_MOUSELEAVE, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << c.message << std::dec
                                        << " in state " << c.from);
        button.SetState(c.from);
        button.Redraw();
        const WPARAM keys = c.message == WM_LBUTTONDOWN ? MK_LBUTTON : 0;
        button.SendMessage(c.message, keys, c.message == WM_MOUSELEAVE ? 0 : At(20, 20));
        EXPECT_EQ(button.GetState(), c.to);
        // A change is drawn at once; no change keeps the look.
        EXPECT_TRUE(SameImage(CaptureClient(button), faces[FaceOf(c.to) - 1]));
        ReleaseCapture();
    }
}

TEST_F(BitmapButton, MouseInsideTakesTheCaptureAndOutsideGivesItBack)
{
    CYBitmapBtn button;
    ASSERT_TRUE(Attach(button));
    LoadSixFaces(button);
    Fit(button);
    button.SendMessage(WM_MOUSEMOVE, 0, At(20, 20));
    EXPECT_EQ(GetCapture(), button.GetSafeHwnd());
    button.SendMessage(WM_MOUSEMOVE, 0, At(-3, 20));
    EXPECT_NE(GetCapture(), button.GetSafeHwnd());
    button.SendMessage(WM_MOUSEMOVE, 0, At(20, 60)); // below the 48 rows
    EXPECT_NE(GetCapture(), button.GetSafeHwnd());
}

// The whole way with the real pointer: onto the button, press, release, then onto the page
// text beside it; the button learns that last step only from a mouse-leave notice.
TEST_F(BitmapButton, RealPointerHoversPressesReleasesAndLeaves)
{
    CYBitmapBtn button;
    ASSERT_TRUE(Attach(button));
    LoadSixFaces(button);
    Fit(button);
    RECT onScreen = button.GetWindowRect();
    const auto state = [&button](int expected) {
        return [&button, expected] { return button.GetState() == expected; };
    };
    const auto click = [](DWORD flags) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        return SendInput(1, &input, sizeof(input)) == 1;
    };

    SetCursorPos(onScreen.left + 20, onScreen.top + 20);
    EXPECT_TRUE(ctltest::PumpUntil(state(CYBitmapBtn::kHover), 2000)) << button.GetState();
    ASSERT_TRUE(click(MOUSEEVENTF_LEFTDOWN));
    EXPECT_TRUE(ctltest::PumpUntil(state(CYBitmapBtn::kPressed), 2000)) << button.GetState();
    ASSERT_TRUE(click(MOUSEEVENTF_LEFTUP));
    EXPECT_TRUE(ctltest::PumpUntil(state(CYBitmapBtn::kNormal), 2000)) << button.GetState();

    SetCursorPos(onScreen.left + 20, onScreen.top + 20 + 1); // hover again
    EXPECT_TRUE(ctltest::PumpUntil(state(CYBitmapBtn::kHover), 2000)) << button.GetState();
    RECT text = {};
    GetWindowRect(page_.GetDlgItem(IDC_PAGE_TEXT), &text);
    SetCursorPos(text.left + 5, text.top + 5);
    EXPECT_TRUE(ctltest::PumpUntil(state(CYBitmapBtn::kNormal), 2000)) << button.GetState();
    EXPECT_NE(GetCapture(), button.GetSafeHwnd());
    SetCursorPos(5, 5);
}

TEST_F(BitmapButton, HandCursorOnlyWithFaces)
{
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    CYBitmapBtn withFaces;
    ASSERT_TRUE(Attach(withFaces));
    LoadSixFaces(withFaces);
    CYBitmapBtn captionOnly;
    ASSERT_TRUE(Attach(captionOnly, IDC_CAPTION_BUTTON));
    captionOnly.SetCaption(L"Details", FW_NORMAL, 5, 100, 30, 16, DT_SINGLELINE, false, false);

    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(withFaces.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(withFaces.GetSafeHwnd()),
                                    MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), hand);

    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    captionOnly.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(captionOnly.GetSafeHwnd()),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), hand);
}

} // namespace
