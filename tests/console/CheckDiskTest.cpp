// Check Disk after [Run]: the boot-time check replaces the Session Manager's list, and Windows
// is restarted through the port (a test must never restart the Wine session).

#include "console/CheckDisk.h"
#include "framework/Restart.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

const wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";

struct RecordedRestart : fw::IRestartPort {
    int calls = 0;
    UINT flags = 0;
    DWORD reason = 0;
    bool RestartWindows(UINT f, DWORD r) override
    {
        ++calls;
        flags = f;
        reason = r;
        return true;
    }
};

// The raw value, as Windows stores it.
struct RawValue {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

RawValue ReadBootExecute()
{
    RawValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExW(key, L"BootExecute", nullptr, &value.type, nullptr, &size) ==
        ERROR_SUCCESS) {
        value.bytes.resize(size);
        value.present = RegQueryValueExW(key, L"BootExecute", nullptr, &value.type,
                                         value.bytes.data(), &size) == ERROR_SUCCESS;
        value.bytes.resize(size);
    }
    RegCloseKey(key);
    return value;
}

void WriteBootExecute(const RawValue& value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    if (value.present)
        RegSetValueExW(key, L"BootExecute", 0, value.type, value.bytes.data(),
                       static_cast<DWORD>(value.bytes.size()));
    else
        RegDeleteValueW(key, L"BootExecute");
    RegCloseKey(key);
}

std::vector<BYTE> Bytes(const wchar_t* text, size_t characters)
{
    const BYTE* first = reinterpret_cast<const BYTE*>(text);
    return std::vector<BYTE>(first, first + characters * sizeof(wchar_t));
}

class CheckDisk : public testing::Test {
  protected:
    void SetUp() override
    {
        saved_ = ReadBootExecute();
        fw::InstallRestartPort(&restart_);
    }
    void TearDown() override
    {
        fw::InstallRestartPort(nullptr);
        WriteBootExecute(saved_);
    }

    RawValue saved_;
    RecordedRestart restart_;
};

TEST_F(CheckDisk, ReplacesTheBootListAndRestartsForMaintenance)
{
    // A list with two entries, as another tool may have left it: replaced, not extended.
    RawValue before;
    before.present = true;
    before.type = REG_MULTI_SZ;
    before.bytes = Bytes(L"autocheck autochk *\0other entry\0", 32);
    WriteBootExecute(before);

    ScheduleCheckDiskAndRestart();

    const RawValue after = ReadBootExecute();
    ASSERT_TRUE(after.present);
    EXPECT_EQ(after.type, static_cast<DWORD>(REG_MULTI_SZ));
    const wchar_t expected[] = L"autocheck autochk /r \\??\\C:\0"; // the string and the list's end
    EXPECT_EQ(after.bytes, Bytes(expected, ARRAYSIZE(expected)));

    EXPECT_EQ(restart_.calls, 1);
    EXPECT_EQ(restart_.flags, static_cast<UINT>(EWX_REBOOT | EWX_FORCE));
    EXPECT_EQ(restart_.reason, 0x80000001u);
}

} // namespace
