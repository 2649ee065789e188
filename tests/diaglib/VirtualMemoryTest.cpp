// The paging-file setting as the reader understands it, written as raw registry data so that
// values Windows would never write can be given too, and the exact bytes the setter writes.
// The prefix's own value is saved before each test and put back after it.

#include "diaglib/devices/VirtualMemory.h"

#if HLM_DIAG_GENERATION != 5

#include "framework/Handles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t kKeyPath[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
const wchar_t kValue[] = L"PagingFiles";

struct RawValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

RawValue ReadRaw()
{
    RawValue raw;
    fw::UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return raw;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), kValue, nullptr, &raw.type, nullptr, &bytes) != ERROR_SUCCESS)
        return raw;
    raw.data.resize(bytes);
    if (RegQueryValueExW(key.get(), kValue, nullptr, &raw.type, raw.data.data(), &bytes) !=
        ERROR_SUCCESS)
        return raw;
    raw.data.resize(bytes);
    raw.present = true;
    return raw;
}

bool WriteRaw(const RawValue& raw)
{
    fw::UniqueKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    if (!raw.present) {
        const LSTATUS status = RegDeleteValueW(key.get(), kValue);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    return RegSetValueExW(key.get(), kValue, 0, raw.type, raw.data.data(),
                          static_cast<DWORD>(raw.data.size())) == ERROR_SUCCESS;
}

// Wide text as stored, `\0` included where the text has it; no terminator is added.
RawValue Text(DWORD type, const std::wstring& text)
{
    RawValue raw;
    raw.present = true;
    raw.type = type;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.data());
    raw.data.assign(bytes, bytes + text.size() * sizeof(wchar_t));
    return raw;
}

RawValue MultiString(const std::wstring& text)
{
    return Text(REG_MULTI_SZ, text);
}

class PagingFile : public testing::Test {
  protected:
    void SetUp() override { saved_ = ReadRaw(); }
    void TearDown() override { EXPECT_TRUE(WriteRaw(saved_)) << "the prefix's value is lost"; }

  private:
    RawValue saved_;
};

struct ReadCase {
    const char* label;
    RawValue value;
    int mode;
    int initialMb;
    int maximumMb;
};

std::vector<ReadCase> ReadCases()
{
    using namespace std::string_literals;
    const std::wstring fixed = L"C:\\pagefile.sys 2048 4096"s;
    std::wstring manyDrives = fixed + L'\0';
    for (wchar_t drive = L'D'; drive <= L'M'; ++drive)
        manyDrives += drive + L":\\pagefile.sys 1024 2048"s + L'\0';
    manyDrives += L'\0';
    RawValue odd = MultiString(fixed + L"\0\0"s);
    odd.data.push_back(0x41);
    const DWORD dword = 1;
    RawValue number;
    number.present = true;
    number.type = REG_DWORD;
    number.data.assign(reinterpret_cast<const BYTE*>(&dword),
                       reinterpret_cast<const BYTE*>(&dword) + sizeof(dword));

    return {
        // What Windows writes.
        {"no value", RawValue(), kNoPagingFile, 0, 0},
        {"empty list", MultiString(L"\0"s), kNoPagingFile, 0, 0},
        {"empty list, two terminators", MultiString(L"\0\0"s), kNoPagingFile, 0, 0},
        {"system-managed on C:", MultiString(L"C:\\pagefile.sys 0 0\0\0"s),
         kSystemManagedPagingFile, 0, 0},
        {"fixed sizes", MultiString(fixed + L"\0\0"s), kFixedPagingFile, 2048, 4096},
        {"any drive", MultiString(L"?:\\pagefile.sys\0\0"s), kSystemManagedPagingFile, 0, 0},
        {"any drive with sizes", MultiString(L"?:\\pagefile.sys 1024 2048\0\0"s),
         kSystemManagedPagingFile, 1024, 2048},
        {"path alone", MultiString(L"D:\\pagefile.sys\0\0"s), kSystemManagedPagingFile, 0, 0},
        {"only the first entry counts", MultiString(fixed + L"\0D:\\pagefile.sys 0 0\0\0"s),
         kFixedPagingFile, 2048, 4096},
        // Eleven drives run past 256 bytes; the first entry still counts.
        {"longer than 256 bytes", MultiString(manyDrives), kFixedPagingFile, 2048, 4096},
        // Written by hand.
        {"no terminators", MultiString(fixed), kFixedPagingFile, 2048, 4096},
        {"extra blanks", MultiString(L"  C:\\pagefile.sys   2048\t4096 \0\0"s), kFixedPagingFile,
         2048, 4096},
        {"initial size only", MultiString(L"C:\\pagefile.sys 2048\0\0"s), kFixedPagingFile, 2048,
         0},
        {"blanks only", MultiString(L"   \0\0"s), kNoPagingFile, 0, 0},
        {"empty first entry", MultiString(L"\0"s + fixed + L"\0\0"s), kNoPagingFile, 0, 0},
        // Not a setting Windows can use: read as none, which the repair replaces.
        {"sizes not numbers", MultiString(L"C:\\pagefile.sys abc def\0\0"s), kNoPagingFile, 0, 0},
        {"size with a unit", MultiString(L"C:\\pagefile.sys 2048MB 4096MB\0\0"s), kNoPagingFile, 0,
         0},
        {"negative size", MultiString(L"C:\\pagefile.sys -1 4096\0\0"s), kNoPagingFile, 0, 0},
        {"size beyond an int", MultiString(L"C:\\pagefile.sys 2048 99999999999\0\0"s),
         kNoPagingFile, 0, 0},
        {"odd byte count", odd, kNoPagingFile, 0, 0},
        // A plain string is one entry, as in Wine's default prefix.
        {"a plain string", Text(REG_SZ, L"C:\\pagefile.sys 27 77\0"s), kFixedPagingFile, 27, 77},
        {"an expandable string", Text(REG_EXPAND_SZ, fixed + L"\0"s), kFixedPagingFile, 2048, 4096},
        {"an empty plain string", Text(REG_SZ, L"\0"s), kNoPagingFile, 0, 0},
        // Other types are no setting at all.
        {"a number", number, kNoPagingFile, 0, 0},
        {"binary", Text(REG_BINARY, fixed), kNoPagingFile, 0, 0},
    };
}

TEST_F(PagingFile, ReadsModeAndSizesOfTheFirstEntry)
{
    for (const ReadCase& c : ReadCases()) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(WriteRaw(c.value));
        CVirtualMemInfo info;
        int mode = -1;
        int initial = -1;
        int maximum = -1;
        ASSERT_TRUE(info.Read(&mode, &initial, &maximum));
        EXPECT_EQ(mode, c.mode);
        EXPECT_EQ(initial, c.initialMb);
        EXPECT_EQ(maximum, c.maximumMb);
    }
}

TEST_F(PagingFile, TheSetterWritesOneSystemManagedEntryAsAProperList)
{
    using namespace std::string_literals;
    ASSERT_TRUE(WriteRaw(MultiString(L"C:\\pagefile.sys 512 1024\0D:\\pagefile.sys 0 0\0\0"s)));

    CVirtualMemInfo info;
    ASSERT_TRUE(info.SetSystemManaged());

    const RawValue written = ReadRaw();
    ASSERT_TRUE(written.present);
    EXPECT_EQ(written.type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(written.data, MultiString(L"?:\\pagefile.sys\0\0"s).data);

    int mode = -1;
    int initial = -1;
    int maximum = -1;
    ASSERT_TRUE(info.Read(&mode, &initial, &maximum));
    EXPECT_EQ(mode, kSystemManagedPagingFile);
    EXPECT_EQ(initial, 0);
    EXPECT_EQ(maximum, 0);
}

} // namespace

#endif
