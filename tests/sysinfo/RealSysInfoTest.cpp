// The shipped TavDLL.dll against Wine's own WMI service and setup API: every collector answers
// what a plain WMI query of the same class answers, cut and joined as the home page expects,
// and what Wine does not have (optical drives, OEM strings, most setup classes) comes back
// empty rather than as garbage.

#include "sysinfo/TavDLL.h"

#include <objbase.h>
#include <oleauto.h>
#include <wbemcli.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "shell/OsVersion.h"

namespace {

using Row = std::vector<std::pair<std::wstring, std::wstring>>;

// The rows of a query as text, read straight through COM, independent of the library.
class DirectWmi {
  public:
    DirectWmi()
    {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        fw::ComPtr<IWbemLocator> locator;
        if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IWbemLocator, locator.put_void())))
            return;
        BSTR path = SysAllocString(L"ROOT\\CIMV2");
        locator->ConnectServer(path, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                               services_.put());
        SysFreeString(path);
    }

    bool Connected() const { return services_.get() != nullptr; }

    // Each row's requested properties as text (numbers in decimal, missing or null as "").
    std::vector<Row> Query(const wchar_t* wql, const std::vector<std::wstring>& properties)
    {
        std::vector<Row> rows;
        BSTR language = SysAllocString(L"WQL");
        BSTR query = SysAllocString(wql);
        fw::ComPtr<IEnumWbemClassObject> result;
        const HRESULT status = services_->ExecQuery(
            language, query, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
            result.put());
        SysFreeString(language);
        SysFreeString(query);
        if (FAILED(status))
            return rows;
        for (;;) {
            fw::ComPtr<IWbemClassObject> object;
            ULONG returned = 0;
            if (result->Next(WBEM_INFINITE, 1, object.put(), &returned) != WBEM_S_NO_ERROR ||
                returned != 1)
                break;
            Row row;
            for (const std::wstring& name : properties) {
                VARIANT value;
                VariantInit(&value);
                std::wstring text;
                if (SUCCEEDED(object->Get(name.c_str(), 0, &value, nullptr, nullptr)) &&
                    value.vt != VT_NULL && value.vt != VT_EMPTY &&
                    SUCCEEDED(VariantChangeType(&value, &value, 0, VT_BSTR)))
                    text = value.bstrVal;
                VariantClear(&value);
                row.emplace_back(name, text);
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }

  private:
    fw::ComPtr<IWbemServices> services_;
};

std::wstring Trimmed(const std::wstring& text)
{
    size_t start = 0;
    while (start < text.size() && iswspace(text[start]))
        ++start;
    return text.substr(start);
}

std::wstring Fitted(const std::wstring& text, size_t capacity)
{
    return text.substr(0, capacity - 1);
}

class RealSysInfo : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(wmi.Connected()); }
    void TearDown() override { CleanUpWMI(); }

    // The last row's value, as the library keeps it.
    std::wstring Last(const wchar_t* wql, const wchar_t* property)
    {
        const std::vector<Row> rows = wmi.Query(wql, {property});
        return rows.empty() ? std::wstring() : rows.back().front().second;
    }

    DirectWmi wmi;
};

TEST_F(RealSysInfo, BiosSerialNumberAndMemoryAreWhatWmiReports)
{
    EXPECT_EQ(DLLSetBiosInfo(), 1);
    DLLSetSerialNumber();
    DLLSetRamInfo();

    const BIOSINFO& bios = *DLLGetBiosInfo();
    EXPECT_EQ(bios.manufacturer,
              Fitted(Trimmed(Last(L"SELECT * FROM Win32_BIOS", L"Manufacturer")), 30));
    std::wstring version = Trimmed(Last(L"SELECT * FROM Win32_BIOS", L"SMBIOSBIOSVersion"));
    const size_t stop = version.find(L'.');
    version =
        stop != std::wstring::npos && stop > 0 ? version.substr(0, stop) : version.substr(0, 4);
    EXPECT_EQ(bios.version, Fitted(version, 20));
    EXPECT_FALSE(std::wstring(bios.manufacturer).empty()) << "Wine names its BIOS maker";

    const std::wstring serial = Trimmed(Last(L"SELECT * FROM Win32_BIOS", L"SerialNumber"));
    EXPECT_EQ(DLLGetModelInfo()->serialNumber, Fitted(serial, 100));
    EXPECT_EQ(DLLGetSerialNumber().c_str(), serial);
    EXPECT_EQ(DLLGetModelInfo(), DLLGetUserDate()) << "one record behind both getters";

    double total = 0;
    for (const Row& row : wmi.Query(L"SELECT * FROM Win32_PhysicalMemory", {L"Capacity"}))
        total += _wtof(row.front().second.c_str());
    EXPECT_DOUBLE_EQ(DLLGetRamInfo(), total);
    EXPECT_GT(total, 0.0);
}

TEST_F(RealSysInfo, LocalDisksOnlyInQueryOrder)
{
    DLLSetHddInfo();
    std::vector<Row> local;
    for (Row& row :
         wmi.Query(L"SELECT * FROM Win32_LogicalDisk", {L"DriveType", L"DeviceID", L"Size"}))
        if (row[0].second == L"3")
            local.push_back(row);
    ASSERT_FALSE(local.empty()) << "Wine's C: is a local disk";

    const LOGICALDISK* disks = DLLGetHddInfo();
    size_t listed = 0;
    while (listed < LOGICALDISK::kMaxDisks && disks[listed].driveName[0])
        ++listed;
    ASSERT_EQ(listed, std::min<size_t>(local.size(), LOGICALDISK::kMaxDisks));
    for (size_t i = 0; i < listed; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(disks[i].driveName, Fitted(local[i][1].second, 3));
        EXPECT_EQ(disks[i].driveType, 3);
        EXPECT_DOUBLE_EQ(disks[i].size, _wtof(local[i][2].second.c_str()));
    }
}

TEST_F(RealSysInfo, ProcessorSystemAndGraphicsTexts)
{
    const std::wstring cpu = DLLSetCpuInfo();
    const std::wstring os = DLLSetOSInfo();
    const std::wstring graphics = DLLSetGFXInfo();

    const std::vector<Row> systems =
        wmi.Query(L"SELECT * FROM Win32_OperatingSystem", {L"Caption", L"OSArchitecture"});
    ASSERT_FALSE(systems.empty());
    std::wstring expectedOs = Trimmed(systems.back()[0].second);
    if (WindowsMajorVersion() >= 6)
        expectedOs += L",  " + Trimmed(systems.back()[1].second);
    EXPECT_EQ(os, expectedOs);
    EXPECT_EQ(DLLGetOSInfo().c_str(), os);

    if (WindowsMajorVersion() >= 6) {
        EXPECT_EQ(cpu, Trimmed(Last(L"SELECT * FROM Win32_Processor", L"Name")));
    }
    EXPECT_EQ(DLLGetCpuInfo().c_str(), cpu);

    // Wine's adapters all run at full power; the one shown is the first (only one) or the last
    // active, by the same rule as on Windows.
    const std::vector<Row> adapters = wmi.Query(L"SELECT * FROM Win32_VideoController",
                                                {L"Name", L"Availability", L"DriverVersion"});
    ASSERT_FALSE(adapters.empty());
    size_t chosen = 0;
    if (adapters.size() > 1) {
        for (size_t i = 0; i < adapters.size() && i < 5; ++i) {
            if (adapters[i][1].second == L"3")
                chosen = i;
        }
    }
    EXPECT_EQ(graphics, Fitted(adapters[chosen][0].second, 100));
    const DRIVERINFO& video = *DLLGetVDriverInfo();
    EXPECT_EQ(video.description, graphics);
    EXPECT_EQ(video.version, Fitted(adapters[chosen][2].second, 50));
}

TEST_F(RealSysInfo, WhatWineLacksComesBackEmpty)
{
    // No optical drive class and no OEM strings under Wine: empty texts, not garbage.
    EXPECT_TRUE(wmi.Query(L"SELECT * FROM Win32_CDROMDrive", {L"Name"}).empty());
    EXPECT_STREQ(DLLSetODDInfo(), L"");
    EXPECT_TRUE(DLLGetODDInfo().IsEmpty());
    DLLSetUserDate();
    EXPECT_STREQ(DLLGetUserDate()->userDate, L"");
    for (wchar_t ch : DLLGetModelInfo()->unused)
        ASSERT_EQ(ch, L'\0');
}

TEST_F(RealSysInfo, DriverSearchesFindNothingWhereWineHasNoClasses)
{
    // Wine's setup API knows the display class only: every search ends without a record, and
    // the home page shows "Nothing".
    const int before = DLLGetADriverInfo()->GetCount();
    DLLDriverInfo();
    EXPECT_EQ(DLLGetADriverInfo()->GetCount(), before);
    for (const DRIVERINFO* record :
         {DLLGetWDriverInfo(), DLLGetNDriverInfo(), DLLGetBTDriverInfo(), DLLGetMDriverInfo()}) {
        EXPECT_STREQ(record->description, L"");
        EXPECT_STREQ(record->manufacturer, L"");
        EXPECT_STREQ(record->version, L"");
    }
}

TEST_F(RealSysInfo, TheConnectionIsReopenedAfterCleanUp)
{
    DLLSetBiosInfo();
    const std::wstring first = DLLGetBiosInfo()->manufacturer;
    CleanUpWMI();
    CleanUpWMI(); // a second clean-up has nothing to close
    DLLSetBiosInfo();
    EXPECT_EQ(DLLGetBiosInfo()->manufacturer, first);
}

} // namespace
