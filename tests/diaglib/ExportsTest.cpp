// The export layer of one build: the defaults every test export writes, the placeholders and
// the repairs that are not carried out yet.

#include "tests/diaglib/DiagExports.h"
#include "tests/diaglib/DiagTestSupport.h"
#include "tests/diaglib/FakeAudio.h"
#include "tests/diaglib/FakeDisplay.h"
#include "tests/support/TestSupport.h"

#include "diaglib/exports/ProblemCodes.h"

#include <gtest/gtest.h>

namespace {

using diagtest::Recorder;

// A record as a previous test left it.
TestResult UsedRecord()
{
    TestResult record;
    record.categoryTag = 99;
    record.problemCode = 7;
    record.problemFound = 1;
    record.detail = L"PCI\\VEN_8086&DEV_2A42";
    record.detailValid = 5;
    return record;
}

// A maker's utility the installed-utility tests look for, put below Program Files for one test
// when the machine does not have it, and removed again.
class UtilityForTheTest {
  public:
    explicit UtilityForTheTest(const wchar_t* relativePath)
    {
        const std::wstring path = hlmtest::ProgramFilesDir() + relativePath;
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            made_ = hlmtest::CreateFileBelowProgramFiles(relativePath, std::string());
    }
    ~UtilityForTheTest()
    {
        if (!made_.empty())
            DeleteFileW(made_.c_str());
    }
    UtilityForTheTest(const UtilityForTheTest&) = delete;
    UtilityForTheTest& operator=(const UtilityForTheTest&) = delete;

  private:
    std::wstring made_;
};

// Exports whose tests find nothing on this fixture: they must answer 1 with the defaults
// written, whatever the record held before.
TEST(TestExports, WriteTheirDefaultsBeforeTheTestRuns)
{
    FakeDisplay display; // 1280 x 800, 32 bits: nothing to report
    FakeAudio audio;     // an output device at full volume: Wine has none
    diag::Ports ports;
    ports.display = &display;
    ports.audio = &audio;
    diagtest::ScopedPorts scoped(ports);
    const UtilityForTheTest updateTool(L"\\Vantrel\\Patchwell\\PTWClientApp.exe");
    const UtilityForTheTest speedUp(L"\\Vantrel\\SpeedavoMgr\\SpeedavoMgr.exe");
    const UtilityForTheTest keys(L"\\Vantrel\\Keyavod\\Keyavod.exe"); // XP's utility

    const struct {
        const char* name;
        bool (*call)(TestResult*);
        int32_t tag;
    } exports[] = {
        {"DllTestGraphicResolution", DllTestGraphicResolution, 3},
        {"DllTestGraphicColorbit", DllTestGraphicColorbit, 3},
        {"DllTestSoundDeviceStatus", DllTestSoundDeviceStatus, 4},
        {"DllTestSoundVolumelevel", DllTestSoundVolumelevel, 4},
        {"DllTestNetworkConfig", DllTestNetworkConfig, 8},
        {"DllTestNetworkPacketTransition", DllTestNetworkPacketTransition, 8},
        {"DllTestSystemHddSpace", DllTestSystemHddSpace, 32},
        {"DllTestSystemKYVInstalled", DllTestSystemKYVInstalled, 32},
        {"DllTestSystemPTWInstalled", DllTestSystemPTWInstalled, 32},
#if HLM_DIAG_GENERATION == 5
        {"DllTestSoundService (placeholder)", PlaceholderSoundTest, 4},
        {"DllTestGraphicDWMService", DllTestGraphicDWMService, 3},
#else
        {"DllTestSoundOutputDevice", DllTestSoundOutputDevice, 4},
        {"DllTestSystemSPVInstalled", DllTestSystemSPVInstalled, 32},
#endif
    };
    for (const auto& e : exports) {
        TestResult record = UsedRecord();
        EXPECT_TRUE(e.call(&record)) << e.name;
        EXPECT_EQ(record.categoryTag, e.tag) << e.name;
        EXPECT_EQ(record.problemCode, 0) << e.name;
        EXPECT_EQ(record.problemFound, 0) << e.name;
        EXPECT_TRUE(record.detail.IsEmpty()) << e.name;
        EXPECT_EQ(record.detailValid, 5) << e.name; // never reset by the export
    }
}

// The update page passes the update tool's version in the tag.
TEST(TestExports, UpdateToolConfigurationKeepsTheTag)
{
    TestResult record = UsedRecord();
    record.categoryTag = 3;
    EXPECT_TRUE(DllTestSystemPTWConfig(&record));
    EXPECT_EQ(record.categoryTag, 3);
    EXPECT_EQ(record.problemFound, 0);
    EXPECT_TRUE(record.detail.IsEmpty());
}

TEST(TestExports, XpHasNoDesktopWindowManager)
{
    if (!diagtest::kXp)
        GTEST_SKIP() << "Windows 7 and Vista examine the service";
    Recorder recorder;
    TestResult record = UsedRecord();
    EXPECT_TRUE(DllTestGraphicDWMService(&record));
    EXPECT_TRUE(recorder.Traced(L"XP NOT SUPPORT"));
    EXPECT_EQ(record.categoryTag, 3);
}

// A repair that is not carried out must never report success; the placeholders report it
// because they have nothing to do.
TEST(RepairExports, PlaceholdersSucceedAndNothingElseClaimsARepair)
{
    Recorder recorder;
    TestResult record = UsedRecord();
    EXPECT_TRUE(PlaceholderRepair(&record));
    EXPECT_FALSE(DllFixGraphicDrv(&record));
    EXPECT_FALSE(DllFixSystemPTWConfig(&record));
    // Repairs write no defaults.
    EXPECT_EQ(record.categoryTag, 99);
    EXPECT_EQ(record.problemFound, 1);
    EXPECT_EQ(record.detail.Compare(L"PCI\\VEN_8086&DEV_2A42"), 0);
#if HLM_DIAG_GENERATION == 5
    EXPECT_TRUE(DllFixGraphicDWMService(&record));
    EXPECT_TRUE(recorder.Traced(L"XP NOT SUPPORT"));
    EXPECT_FALSE(DllFixSoundVolumeMute(&record));
#else
    EXPECT_TRUE(DllFixSoundOutputDevice(&record));
    EXPECT_TRUE(recorder.Traced(L"FixSoundOutputDevice"));
    EXPECT_FALSE(DllFixGraphic3DsamplePlay(&record));
#endif
}

TEST(UpdateStringArray, FindsNoCatalogAndLeavesTheCountAlone)
{
    int32_t count = 17;
    fw::CSharedString lines[kUpdateLines];
    EXPECT_EQ(DllGetUpdateStringArray(&count, lines, 2), 1.0);
    EXPECT_EQ(count, 17);
    EXPECT_TRUE(lines[0].IsEmpty());
}

} // namespace
