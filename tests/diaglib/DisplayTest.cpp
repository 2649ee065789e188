// The display tests of one build, on fake display modes and the fake WMI, with the real
// registry, services and the real 3D sample program.

#include "tests/diaglib/DiagExports.h"
#include "tests/diaglib/DiagTestSupport.h"
#include "tests/diaglib/FakeDisplay.h"
#include "tests/diaglib/TestService.h"

#include "diaglib/exports/ProblemCodes.h"
#include "framework/Registry.h"

#include <gtest/gtest.h>

namespace {

using diagtest::Recorder;

class DisplayModes : public testing::Test {
  protected:
    DisplayModes() : scoped_(Ports()) {}

    diag::Ports Ports()
    {
        diag::Ports ports;
        ports.display = &display_;
        return ports;
    }

    FakeDisplay display_;
    diagtest::ScopedPorts scoped_;
};

TEST_F(DisplayModes, OnlyTheTwoSmallestResolutionsFail)
{
    const struct {
        DWORD width, height;
        bool passes;
    } modes[] = {
        {640, 480, false}, {800, 600, false}, {800, 480, true},  {1024, 600, true},
        {1280, 600, true}, {1024, 768, true}, {1366, 768, true}, {600, 800, true},
    };
    for (const auto& mode : modes) {
        Recorder recorder;
        display_.width = mode.width;
        display_.height = mode.height;
        TestResult record;
        EXPECT_EQ(DllTestGraphicResolution(&record), mode.passes)
            << mode.width << "x" << mode.height;
        EXPECT_EQ(record.problemFound, mode.passes ? 0 : 1);
        EXPECT_EQ(record.problemCode, mode.passes ? 0 : ERROR_GRP_RESOLUTION);
        EXPECT_EQ(record.categoryTag, 3);
        if (!mode.passes) {
            EXPECT_TRUE(recorder.Traced(diagtest::kXp ? L"TestGraphicResolution Error"
                                                      : L"TestGraphicResolution ERROR"));
        } else {
            EXPECT_TRUE(recorder.Traces().empty());
        }
    }
}

// XP notebooks ship at 16 bits and more; Vista and 7 want 32.
TEST_F(DisplayModes, ColourDepthBelowTheBuildsMinimumFails)
{
    const struct {
        DWORD bits;
        bool passesWin7AndVista, passesXp;
    } depths[] = {{32, true, true}, {24, false, true}, {16, false, true}, {8, false, false}};
    for (const auto& depth : depths) {
        Recorder recorder;
        display_.bitsPerPixel = depth.bits;
        TestResult record;
        const bool passes = diagtest::kXp ? depth.passesXp : depth.passesWin7AndVista;
        EXPECT_EQ(DllTestGraphicColorbit(&record), passes) << depth.bits;
        EXPECT_EQ(record.problemCode, passes ? 0 : ERROR_GRP_COLORBIT);
        EXPECT_TRUE(recorder.Traced(std::to_wstring(depth.bits)));
        EXPECT_EQ(recorder.Traced(L"TestGraphicColorbit ERROR"), !passes);
    }
}

TEST_F(DisplayModes, AModeThatCannotBeReadIsNoProblem)
{
    Recorder recorder;
    display_.readable = false;
    TestResult resolution;
    TestResult colour;
    EXPECT_TRUE(DllTestGraphicResolution(&resolution));
    EXPECT_TRUE(DllTestGraphicColorbit(&colour));
    EXPECT_EQ(resolution.problemFound + colour.problemFound, 0);
    EXPECT_TRUE(recorder.Traced(L"TestGraphicResolution Read Current Setting FAIL!!"));
    EXPECT_TRUE(recorder.Traced(L"TestGraphicColorbit Read Current Setting FAIL!!"));
}

// The sample program is started from the library's own folder (for these tests, the test
// program's: the build's bin folder, where HLM3dTest.exe is built).
class SamplePlay : public testing::Test {
  protected:
    static constexpr const wchar_t* kKey = L"Software\\Vantrel\\HLM3dTestStandIn";

    void SetUp() override
    {
        // The same code in every build: one build's run is enough for a test that waits 15 s.
        if (!diagtest::kWin7)
            GTEST_SKIP() << "run by the Windows 7 build's tests";
        fw::DeleteKeyTree(HKEY_CURRENT_USER, kKey);
    }
    void TearDown() override { fw::DeleteKeyTree(HKEY_CURRENT_USER, kKey); }

    void PlayFor(DWORD seconds)
    {
        fw::RegKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kKey), fw::RegResult::Ok);
        ASSERT_EQ(key.WriteDword(L"Seconds", seconds), fw::RegResult::Ok);
    }

    static bool SampleWindowOpen() { return FindWindowW(L"HLM3dTestStandIn", nullptr) != nullptr; }

    // Milliseconds the export took; it must answer 1 and write nothing.
    static DWORD Play()
    {
        TestResult record;
        const DWORD start = GetTickCount();
        EXPECT_TRUE(DllTestGraphic3DsamplePlay(&record));
        const DWORD took = GetTickCount() - start;
        EXPECT_EQ(record.problemFound, 0);
        EXPECT_EQ(record.problemCode, 0);
        return took;
    }
};

TEST_F(SamplePlay, WaitsForTheSampleToEnd)
{
    PlayFor(1);
    const DWORD took = Play();
    EXPECT_GE(took, 900u);
    EXPECT_LT(took, 14000u);
    EXPECT_FALSE(SampleWindowOpen());
}

TEST_F(SamplePlay, EndsASampleThatRunsPastFifteenSeconds)
{
    PlayFor(120);
    const DWORD took = Play();
    EXPECT_GE(took, 14900u);
    EXPECT_LT(took, 25000u);
    // Terminated: its window goes with it.
    for (int i = 0; i < 50 && SampleWindowOpen(); ++i)
        Sleep(100);
    EXPECT_FALSE(SampleWindowOpen());
}

} // namespace

namespace {

// The desktop window manager's session service, made for the test on the stand-in service
// program under the name Windows gives it.
TEST(DesktopWindowManager, TheSessionServiceMustStartWithWindowsAndRun)
{
    if (diagtest::kXp)
        GTEST_SKIP() << "XP has no desktop window manager";
    for (const auto& c : diagtest::kServiceStates) {
        SCOPED_TRACE(c.label);
        diagtest::TestService service(c.startType, std::wstring(), L"UxSms");
        ASSERT_TRUE(service.Created()) << "a service UxSms exists already";
        if (c.running) {
            ASSERT_TRUE(service.Start());
        }
        Recorder recorder;
        TestResult record;
        EXPECT_EQ(DllTestGraphicDWMService(&record), c.inOrder);
        EXPECT_EQ(record.problemCode, c.inOrder ? 0 : ERROR_GRP_DWM_STOPPED);
        EXPECT_EQ(record.problemFound, c.inOrder ? 0 : 1);
        EXPECT_EQ(recorder.Traced(L"TestGraphicDWMService NO ERROR"), c.inOrder);
        EXPECT_EQ(recorder.Traced(L"데스크톱 창 관리자 세션 관리자 서비스가 중지되었습니다"),
                  !c.inOrder);
    }
    // Without the service the check cannot be made, which is no problem.
    TestResult record;
    EXPECT_TRUE(DllTestGraphicDWMService(&record));
}

} // namespace
