// The two display device tests on the fake WMI: which adapter is examined, what each device
// state reports, the standard-driver rule, and the faulty-device lookup when WMI knows no
// adapter. The devices' Enum keys are real registry keys the tests write.

#include "tests/diaglib/DiagExports.h"
#include "tests/diaglib/DiagTestSupport.h"
#include "tests/diaglib/FakeWmi.h"

#include "diaglib/exports/Engine.h"
#include "diaglib/exports/ProblemCodes.h"
#include "framework/Registry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using diagtest::Recorder;

const wchar_t kErrorDevices[] = L"SELECT * FROM win32_pnpentity where ConfigManagerErrorCode <>0 ";
const wchar_t kEnumRoot[] = L"SYSTEM\\CurrentControlSet\\Enum\\";
const wchar_t kIntelId[] = L"PCI\\VEN_8086&DEV_2A42&SUBSYS_02121028&REV_07\\3&21436425&0&10";
const wchar_t kOtherId[] = L"PCI\\VEN_10DE&DEV_0A74&SUBSYS_00000000&REV_A2\\4&1F2B&0&0008";

std::wstring Engine(const wchar_t* rest)
{
    return std::wstring(diag::kEngineName) + rest;
}

WmiRow Controller(const wchar_t* pnpId, int32_t errorCode, bool withAdapterRam)
{
    WmiRow row = {{L"Description", Bstr(L"Display adapter")},
                  {L"ConfigManagerErrorCode", I4(errorCode)},
                  {L"PNPDeviceID", Bstr(pnpId)}};
    row.push_back({L"AdapterRAM", withAdapterRam ? I4(268435456) : Null()});
    return row;
}

class DisplayDevices : public testing::Test {
  protected:
    DisplayDevices() : scoped_(wmi_) {}
    ~DisplayDevices() override
    {
        for (const std::wstring& key : keys_)
            fw::DeleteKeyTree(HKEY_LOCAL_MACHINE, key.c_str());
    }

    // The device's Enum key with a value, as Windows keeps it.
    void WriteEnumString(const wchar_t* pnpId, const wchar_t* name, const wchar_t* value)
    {
        const std::wstring path = std::wstring(kEnumRoot) + pnpId;
        fw::RegKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, path.c_str()), fw::RegResult::Ok);
        ASSERT_EQ(key.WriteString(name, value), fw::RegResult::Ok);
        keys_.push_back(path);
    }

    void WriteHardwareIds(const wchar_t* pnpId, const wchar_t* firstId, const wchar_t* secondId)
    {
        const std::wstring path = std::wstring(kEnumRoot) + pnpId;
        fw::RegKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, path.c_str()), fw::RegResult::Ok);
        fw::CArray<fw::CSharedString> ids;
        ids.Add(firstId);
        ids.Add(secondId);
        ASSERT_EQ(key.WriteMultiString(L"HardwareID", ids), fw::RegResult::Ok);
        keys_.push_back(path);
    }

    // No test may leave a message box waiting for a click.
    Recorder boxes_;
    FakeWmi wmi_;
    ScopedWmi scoped_;
    std::vector<std::wstring> keys_;
};

TEST_F(DisplayDevices, EachStateOfTheAdapterReportsItsProblem)
{
    WriteEnumString(kOtherId, L"Mfg", L"(Standard display types)");
    const struct {
        const wchar_t* pnpId;
        int32_t errorCode;
        int32_t problem;
        const wchar_t* detail;
    } cases[] = {
        {kIntelId, 22, ERROR_GRP_DEVICE_NOTUSE, kIntelId},               // disabled: the whole id
        {kIntelId, 10, ERROR_GRP_DEVICE_ABNORMAL, L"VEN_8086&DEV_2A42"}, // faulty: vendor/device
        {L"ROOT\\DISPLAY\\0000", 31, ERROR_GRP_DEVICE_ABNORMAL, L"ROOT\\DISPLAY\\0000"},
        {kOtherId, 0, 0, L""}, // working, the maker's driver
    };
    for (const auto& c : cases) {
        FakeWmi wmi;
        ScopedWmi scoped(wmi);
        wmi.AddInstance(L"Win32_VideoController", Controller(c.pnpId, c.errorCode, true));
        Recorder recorder;
        TestResult record;
        record.detailValid = 0;
        const bool passed = DllTestGraphicDeviceStatus(&record);
        EXPECT_EQ(passed, c.problem == 0) << c.errorCode;
        EXPECT_EQ(record.problemCode, c.problem) << c.errorCode;
        EXPECT_EQ(record.problemFound, c.problem ? 1 : 0);
        EXPECT_EQ(std::wstring(record.detail.c_str()), c.detail) << c.errorCode;
        EXPECT_EQ(record.detailValid, c.problem ? 1 : 0);
        if (c.problem) {
            EXPECT_TRUE(recorder.Traced(diagtest::kXp
                                            ? L"TestGraphicDeviceStatus Error Detected"
                                            : Engine(L"::TestGraphicDeviceStatus Error Detected")));
        } else {
            EXPECT_TRUE(recorder.Traced(diagtest::kXp
                                            ? L"TestGraphicDeviceStatus  No Error"
                                            : Engine(L"::TestGraphicDeviceStatus No Error")));
            EXPECT_TRUE(recorder.Traced(c.pnpId));
        }
    }
}

// Windows' own display driver means the maker's is missing; XP does not look.
TEST_F(DisplayDevices, TheStandardDriverCountsAsNoDriver)
{
    WriteEnumString(kIntelId, L"Mfg", L"%std%;(Standard display types)");
    wmi_.AddInstance(L"Win32_VideoController", Controller(kIntelId, 0, true));
    Recorder recorder;
    TestResult record;
    const bool passed = DllTestGraphicDeviceStatus(&record);
    if (diagtest::kXp) {
        EXPECT_TRUE(passed);
        EXPECT_EQ(record.problemCode, 0);
        return;
    }
    EXPECT_FALSE(passed);
    EXPECT_EQ(record.problemCode, ERROR_GRP_DRV_NOTFOUND);
    EXPECT_EQ(std::wstring(record.detail.c_str()), L"VEN_8086&DEV_2A42");
    EXPECT_EQ(record.detailValid, 1);
    EXPECT_TRUE(recorder.Traced(L"Mfg : %std%;(Standard display types)"));
    EXPECT_TRUE(recorder.Traced(L"status VEN_8086&DEV_2A42"));

    // The driver test itself passes: the adapter is there.
    TestResult driver;
    EXPECT_TRUE(DllTestGraphicDrv(&driver));
}

TEST_F(DisplayDevices, AnUnreadableManufacturerEntryReportsNothing)
{
    wmi_.AddInstance(L"Win32_VideoController", Controller(kIntelId, 0, true)); // no Enum key
    TestResult missing;
    EXPECT_TRUE(DllTestGraphicDeviceStatus(&missing));
    EXPECT_EQ(missing.problemFound, 0);

    // A value of the wrong type, or longer than the 256 bytes read, is not read at all.
    const std::wstring path = std::wstring(kEnumRoot) + kIntelId;
    fw::RegKey key;
    ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, path.c_str()), fw::RegResult::Ok);
    keys_.push_back(path);
    ASSERT_EQ(key.WriteDword(L"Mfg", 1), fw::RegResult::Ok);
    TestResult wrongType;
    EXPECT_TRUE(DllTestGraphicDeviceStatus(&wrongType));
    EXPECT_EQ(wrongType.problemFound, 0);

    const std::wstring tooLong = std::wstring(200, L'x') + L"%std%";
    ASSERT_EQ(key.WriteString(L"Mfg", tooLong.c_str()), fw::RegResult::Ok);
    TestResult overLong;
    EXPECT_TRUE(DllTestGraphicDeviceStatus(&overLong));
    EXPECT_EQ(overLong.problemFound, 0);
}

// The adapter that reports its memory is the one in use.
TEST_F(DisplayDevices, TheAdapterWithMemoryIsExamined)
{
    WriteEnumString(kIntelId, L"Mfg", L"Intel Corporation");
    wmi_.AddInstance(L"Win32_VideoController", Controller(kOtherId, 22, false));
    wmi_.AddInstance(L"Win32_VideoController", Controller(kIntelId, 0, true));
    TestResult record;
    EXPECT_TRUE(DllTestGraphicDeviceStatus(&record));
    EXPECT_EQ(record.problemCode, 0);

    // Without any adapter reporting memory, the first one counts.
    FakeWmi wmi;
    ScopedWmi scoped(wmi);
    wmi.AddInstance(L"Win32_VideoController", Controller(kOtherId, 22, false));
    wmi.AddInstance(L"Win32_VideoController", Controller(kIntelId, 0, false));
    TestResult first;
    EXPECT_FALSE(DllTestGraphicDeviceStatus(&first));
    EXPECT_EQ(first.problemCode, ERROR_GRP_DEVICE_NOTUSE);
    EXPECT_EQ(std::wstring(first.detail.c_str()), kOtherId);
}

TEST_F(DisplayDevices, NoAdapterAtAllIsNothingToExamine)
{
    Recorder recorder;
    TestResult record;
    EXPECT_TRUE(DllTestGraphicDeviceStatus(&record));
    EXPECT_EQ(record.problemFound, 0);
    EXPECT_TRUE(recorder.Traces().empty());
}

TEST_F(DisplayDevices, AnAdapterWmiKnowsMeansADriverIsPresent)
{
    wmi_.AddInstance(L"Win32_VideoController", Controller(kIntelId, 0, true));
    Recorder recorder;
    TestResult record;
    EXPECT_TRUE(DllTestGraphicDrv(&record));
    EXPECT_EQ(record.problemFound, 0);
    EXPECT_TRUE(recorder.Traced(Engine(L"::TestGraphicDrv No Error")));
    EXPECT_TRUE(wmi_.Queries().empty()); // no need to look for a faulty device
}

// Without an adapter, the faulty display device Windows reports names the driver to install.
TEST_F(DisplayDevices, WithoutAnAdapterTheFaultyDisplayDeviceIsNamed)
{
    const wchar_t soundId[] = L"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0662\\4&3B6F&0&0001";
    WriteHardwareIds(soundId, L"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0662", L"HDAUDIO\\CC_0401");
    WriteHardwareIds(kIntelId, L"PCI\\VEN_8086&DEV_2A42", L"PCI\\VEN_8086&CC_030000");
    wmi_.AddQueryRow(kErrorDevices, {{L"DeviceID", Bstr(soundId)}});
    wmi_.AddQueryRow(kErrorDevices, {{L"DeviceID", Bstr(kIntelId)}});

    Recorder recorder;
    TestResult record;
    record.detailValid = 0;
    EXPECT_FALSE(DllTestGraphicDrv(&record));
    EXPECT_EQ(record.problemCode, ERROR_GRP_DRV_NOTFOUND);
    EXPECT_EQ(record.problemFound, 1);
    EXPECT_EQ(std::wstring(record.detail.c_str()), L"VEN_8086&DEV_2A42");
    EXPECT_EQ(record.detailValid, 1);
    EXPECT_TRUE(recorder.Traced(L"VEN_8086&DEV_2A42"));
    EXPECT_TRUE(recorder.Traced(Engine(L"::TestGraphicDrv Error Detected")));
    EXPECT_EQ(wmi_.OpenConnections(), 0);
}

TEST_F(DisplayDevices, WithoutAnyFaultyDisplayDeviceTheProblemStandsUnnamed)
{
    const wchar_t soundId[] = L"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0662\\4&3B6F&0&0001";
    WriteHardwareIds(soundId, L"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0662", L"HDAUDIO\\CC_0401");
    wmi_.AddQueryRow(kErrorDevices, {{L"DeviceID", Bstr(soundId)}});

    TestResult record;
    record.detailValid = 7;
    EXPECT_FALSE(DllTestGraphicDrv(&record));
    EXPECT_EQ(record.problemCode, ERROR_GRP_DRV_NOTFOUND);
    // The sound device the lookup went through is no display device: nothing is named, so the
    // repair cannot install the wrong driver.
    EXPECT_EQ(std::wstring(record.detail.c_str()), L"");
    EXPECT_EQ(record.detailValid, diagtest::kXp ? 0 : 7);
}

// WMI that cannot be asked (no connection, an enumeration that does not start) is a check that
// could not be made: no problem, and no faulty-device search.
TEST_F(DisplayDevices, WmiThatCannotBeAskedIsNoProblem)
{
    for (const bool connects : {false, true}) {
        FakeWmi wmi;
        ScopedWmi scoped(wmi);
        if (connects)
            wmi.FailEnumeration(L"Win32_VideoController");
        else
            wmi.FailConnect();
        Recorder recorder;
        TestResult driver;
        EXPECT_TRUE(DllTestGraphicDrv(&driver)) << connects;
        EXPECT_EQ(driver.problemFound, 0);
        EXPECT_TRUE(driver.detail.IsEmpty());
        EXPECT_TRUE(wmi.Queries().empty());
        EXPECT_TRUE(recorder.Traced(Engine(L"::TestGraphicDrv - WMI not available")));
        TestResult status;
        EXPECT_TRUE(DllTestGraphicDeviceStatus(&status));
        EXPECT_TRUE(recorder.Messages().empty());
    }
}

} // namespace
