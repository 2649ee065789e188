// The registry helper against values other programs may have left: wrong types, odd sizes,
// missing terminators, text longer than asked for. Each test works in its own scratch key,
// HKCU\Software\HelmoraTests\<suite>.<test>, removed again by the fixture.

#include "framework/Registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

using fw::CArray;
using fw::CSharedString;
using fw::RegExpand;
using fw::RegKey;
using fw::RegResult;
using fw::RegView;

namespace fw {
// Lets gtest print results by name.
void PrintTo(RegResult result, std::ostream* os)
{
    for (const wchar_t* text = ToString(result); *text; ++text) {
        *os << static_cast<char>(*text);
    }
}
} // namespace fw

namespace {

using Bytes = std::vector<BYTE>;

// The raw bytes of the first `chars` characters of `text` (which may hold NULs of its own).
Bytes Chars(const wchar_t* text, size_t chars)
{
    const BYTE* first = reinterpret_cast<const BYTE*>(text);
    return Bytes(first, first + chars * sizeof(wchar_t));
}

std::wstring Widen(const char* text)
{
    return std::wstring(text, text + strlen(text));
}

constexpr wchar_t kCanary = 0xCCCC;
constexpr int kCanaryChars = 8;

class Registry : public testing::Test {
  protected:
    void SetUp() override
    {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        path_ = L"Software\\HelmoraTests\\" + Widen(info->test_suite_name()) + L"." +
                Widen(info->name());
        fw::DeleteKeyTree(HKEY_CURRENT_USER, path_.c_str()); // a crashed earlier run
        ASSERT_EQ(key_.Create(HKEY_CURRENT_USER, path_.c_str()), RegResult::Ok);
    }

    void TearDown() override
    {
        key_.Close();
        EXPECT_EQ(fw::DeleteKeyTree(HKEY_CURRENT_USER, path_.c_str()), RegResult::Ok);
    }

    void PutRaw(const wchar_t* name, DWORD type, const Bytes& data)
    {
        ASSERT_EQ(RegSetValueExW(key_.get(), name, 0, type, data.empty() ? nullptr : data.data(),
                                 static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }

    std::wstring path_;
    RegKey key_;
};

TEST_F(Registry, StringReadsRefuseWhatTheyCannotReturnWhole)
{
    const std::wstring longText(300, L'x');
    struct Case {
        const char* label;
        DWORD type;
        Bytes data;
        int bufferChars; // terminator included; the CSharedString reader gets one less
        RegResult expected;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"terminated", REG_SZ, Chars(L"hello", 6), 16, RegResult::Ok, L"hello"},
        {"no terminator", REG_SZ, Chars(L"hello", 5), 16, RegResult::Ok, L"hello"},
        {"exact fit", REG_SZ, Chars(L"abcdefg", 8), 8, RegResult::Ok, L"abcdefg"},
        {"exact fit, no terminator", REG_SZ, Chars(L"abcdefg", 7), 8, RegResult::Ok, L"abcdefg"},
        {"one over", REG_SZ, Chars(L"abcdefgh", 9), 8, RegResult::TooLong, nullptr},
        {"one over, no terminator", REG_SZ, Chars(L"abcdefgh", 8), 8, RegResult::TooLong, nullptr},
        {"far over", REG_SZ, Chars(longText.c_str(), 301), 8, RegResult::TooLong, nullptr},
        {"one-char buffer, empty text", REG_SZ, Chars(L"", 1), 1, RegResult::Ok, L""},
        {"one-char buffer, one char", REG_SZ, Chars(L"a", 2), 1, RegResult::TooLong, nullptr},
        {"no bytes at all", REG_SZ, Bytes{}, 4, RegResult::Ok, L""},
        {"text ends at first NUL", REG_SZ, Chars(L"ab\0zz", 5), 16, RegResult::Ok, L"ab"},
        {"NUL padding past the limit", REG_SZ, Chars(L"ab\0\0\0\0\0\0\0\0", 10), 4, RegResult::Ok,
         L"ab"},
        {"odd byte length", REG_SZ, Bytes{'h', 0, 'i', 0, '!'}, 16, RegResult::Malformed, nullptr},
        {"REG_DWORD", REG_DWORD, Bytes{1, 0, 0, 0}, 16, RegResult::WrongType, nullptr},
        {"REG_BINARY, odd length", REG_BINARY, Bytes{'a', 0, 'b', 0, 'c'}, 16, RegResult::WrongType,
         nullptr},
        {"REG_MULTI_SZ", REG_MULTI_SZ, Chars(L"a\0b\0", 5), 16, RegResult::WrongType, nullptr},
        {"REG_EXPAND_SZ kept as stored", REG_EXPAND_SZ, Chars(L"%TEMP%\\x", 9), 16, RegResult::Ok,
         L"%TEMP%\\x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        PutRaw(L"v", c.type, c.data);

        std::vector<wchar_t> buffer(static_cast<size_t>(c.bufferChars + kCanaryChars), kCanary);
        EXPECT_EQ(key_.ReadString(L"v", buffer.data(), c.bufferChars), c.expected);
        for (int i = c.bufferChars; i < c.bufferChars + kCanaryChars; ++i) {
            ASSERT_EQ(buffer[i], kCanary) << "written past the buffer at " << i;
        }
        EXPECT_STREQ(buffer.data(), c.text ? c.text : L"");

        CSharedString value(L"stale");
        EXPECT_EQ(key_.ReadString(L"v", value, c.bufferChars - 1), c.expected);
        EXPECT_STREQ(value.c_str(), c.text ? c.text : L"");
    }

    CSharedString value(L"stale");
    EXPECT_EQ(key_.ReadString(L"missing", value, 10), RegResult::NotFound);
    EXPECT_TRUE(value.IsEmpty());
}

TEST_F(Registry, ExpandStringsExpandOnRequestAndTheLimitAppliesToTheResult)
{
    ASSERT_TRUE(SetEnvironmentVariableW(L"HLM_FW_REGTEST", L"expanded"));
    PutRaw(L"expand", REG_EXPAND_SZ, Chars(L"%HLM_FW_REGTEST%\\x", 18)); // no terminator
    PutRaw(L"plain", REG_SZ, Chars(L"%HLM_FW_REGTEST%\\x", 19));

    CSharedString value;
    EXPECT_EQ(key_.ReadString(L"expand", value, 10, RegExpand::Expand), RegResult::Ok);
    EXPECT_STREQ(value.c_str(), L"expanded\\x");
    EXPECT_EQ(key_.ReadString(L"expand", value, 9, RegExpand::Expand), RegResult::TooLong);
    EXPECT_TRUE(value.IsEmpty());
    EXPECT_EQ(key_.ReadString(L"expand", value, 18), RegResult::Ok);
    EXPECT_STREQ(value.c_str(), L"%HLM_FW_REGTEST%\\x");
    // REG_SZ is text, never a template.
    EXPECT_EQ(key_.ReadString(L"plain", value, 40, RegExpand::Expand), RegResult::Ok);
    EXPECT_STREQ(value.c_str(), L"%HLM_FW_REGTEST%\\x");

    wchar_t buffer[11 + kCanaryChars];
    std::fill(std::begin(buffer), std::end(buffer), kCanary);
    EXPECT_EQ(key_.ReadString(L"expand", buffer, 11, RegExpand::Expand), RegResult::Ok);
    EXPECT_STREQ(buffer, L"expanded\\x");
    EXPECT_EQ(key_.ReadString(L"expand", buffer, 10, RegExpand::Expand), RegResult::TooLong);
    for (int i = 11; i < 11 + kCanaryChars; ++i) {
        EXPECT_EQ(buffer[i], kCanary);
    }
    SetEnvironmentVariableW(L"HLM_FW_REGTEST", nullptr);
}

TEST_F(Registry, MultiStringsToleratesMissingEndButNotBadData)
{
    using List = std::vector<std::wstring>;
    struct Case {
        const char* label;
        DWORD type;
        Bytes data;
        int maxLength;
        RegResult expected;
        List items;
    };
    const Case cases[] = {
        {"well formed", REG_MULTI_SZ, Chars(L"a\0bc\0", 6), 8, RegResult::Ok, {L"a", L"bc"}},
        {"final NUL missing", REG_MULTI_SZ, Chars(L"a\0bc", 5), 8, RegResult::Ok, {L"a", L"bc"}},
        {"both final NULs missing",
         REG_MULTI_SZ,
         Chars(L"a\0bc", 4),
         8,
         RegResult::Ok,
         {L"a", L"bc"}},
        {"empty list", REG_MULTI_SZ, Chars(L"", 1), 8, RegResult::Ok, {}},
        {"no bytes at all", REG_MULTI_SZ, Bytes{}, 8, RegResult::Ok, {}},
        {"ends at the first empty string",
         REG_MULTI_SZ,
         Chars(L"a\0\0b\0", 6),
         8,
         RegResult::Ok,
         {L"a"}},
        {"item at the limit",
         REG_MULTI_SZ,
         Chars(L"a\0four\0", 8),
         4,
         RegResult::Ok,
         {L"a", L"four"}},
        {"item over the limit", REG_MULTI_SZ, Chars(L"a\0fives\0", 9), 4, RegResult::TooLong, {}},
        {"unterminated item over the limit",
         REG_MULTI_SZ,
         Chars(L"a\0fives", 7),
         4,
         RegResult::TooLong,
         {}},
        {"odd byte length", REG_MULTI_SZ, Bytes{'a', 0, 0, 0, 0}, 8, RegResult::Malformed, {}},
        {"REG_SZ", REG_SZ, Chars(L"a", 2), 8, RegResult::WrongType, {}},
        {"REG_BINARY", REG_BINARY, Chars(L"a\0b\0", 5), 8, RegResult::WrongType, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        PutRaw(L"v", c.type, c.data);
        CArray<CSharedString> values;
        values.Add(L"stale");
        EXPECT_EQ(key_.ReadMultiString(L"v", values, c.maxLength), c.expected);
        List read;
        for (const CSharedString& s : values) {
            read.emplace_back(s.c_str());
        }
        EXPECT_EQ(read, c.items);
    }
}

TEST_F(Registry, DwordsMustBeFourBytesOfTypeDword)
{
    struct Case {
        const char* label;
        DWORD type;
        Bytes data;
        RegResult expected;
        DWORD value;
    };
    const Case cases[] = {
        {"dword", REG_DWORD, Bytes{0x78, 0x56, 0x34, 0x12}, RegResult::Ok, 0x12345678},
        {"two bytes", REG_DWORD, Bytes{1, 2}, RegResult::Malformed, 0},
        {"eight bytes", REG_DWORD, Bytes(8, 1), RegResult::Malformed, 0},
        {"no bytes", REG_DWORD, Bytes{}, RegResult::Malformed, 0},
        {"REG_QWORD", REG_QWORD, Bytes(8, 1), RegResult::WrongType, 0},
        {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN, Bytes(4, 1), RegResult::WrongType, 0},
        {"REG_BINARY of four bytes", REG_BINARY, Bytes(4, 1), RegResult::WrongType, 0},
        {"REG_SZ", REG_SZ, Chars(L"1", 2), RegResult::WrongType, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        PutRaw(L"v", c.type, c.data);
        DWORD value = 77;
        EXPECT_EQ(key_.ReadDword(L"v", value), c.expected);
        EXPECT_EQ(value, c.value);
    }
    DWORD value = 77;
    EXPECT_EQ(key_.ReadDword(L"missing", value), RegResult::NotFound);
    EXPECT_EQ(value, 0u);
}

TEST_F(Registry, WritesStoreTerminatorsAndReadBack)
{
    auto storedSize = [this](const wchar_t* name, DWORD& type) {
        DWORD size = 0;
        RegQueryValueExW(key_.get(), name, nullptr, &type, nullptr, &size);
        return size;
    };
    DWORD type = 0;

    ASSERT_EQ(key_.WriteString(L"s", L"text"), RegResult::Ok);
    EXPECT_EQ(storedSize(L"s", type), 5 * sizeof(wchar_t));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    ASSERT_EQ(key_.WriteExpandString(L"e", L"%TEMP%"), RegResult::Ok);
    EXPECT_EQ(storedSize(L"e", type), 7 * sizeof(wchar_t));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));

    ASSERT_EQ(key_.WriteDword(L"d", 0xCAFEu), RegResult::Ok);
    DWORD number = 0;
    EXPECT_EQ(key_.ReadDword(L"d", number), RegResult::Ok);
    EXPECT_EQ(number, 0xCAFEu);

    CArray<CSharedString> list;
    list.Add(L"a");
    list.Add(L"bc");
    ASSERT_EQ(key_.WriteMultiString(L"m", list), RegResult::Ok);
    EXPECT_EQ(storedSize(L"m", type), 6 * sizeof(wchar_t)); // a\0bc\0\0
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    CArray<CSharedString> back;
    EXPECT_EQ(key_.ReadMultiString(L"m", back, 10), RegResult::Ok);
    ASSERT_EQ(back.GetSize(), 2);
    EXPECT_TRUE(back[0] == L"a" && back[1] == L"bc");

    // An empty item would end the list early, so nothing is written.
    list.InsertAt(1, L"");
    EXPECT_EQ(key_.WriteMultiString(L"bad", list), RegResult::Malformed);
    EXPECT_EQ(key_.ReadMultiString(L"bad", back, 10), RegResult::NotFound);

    CArray<CSharedString> none;
    ASSERT_EQ(key_.WriteMultiString(L"none", none), RegResult::Ok);
    EXPECT_EQ(storedSize(L"none", type), sizeof(wchar_t));

    ASSERT_EQ(key_.WriteString(nullptr, L"default"), RegResult::Ok);
    CSharedString text;
    EXPECT_EQ(key_.ReadString(L"", text, 10), RegResult::Ok);
    EXPECT_STREQ(text.c_str(), L"default");

    EXPECT_EQ(key_.DeleteValue(L"s"), RegResult::Ok);
    EXPECT_EQ(key_.ReadString(L"s", text, 10), RegResult::NotFound);
    EXPECT_EQ(key_.DeleteValue(L"s"), RegResult::NotFound);
}

TEST_F(Registry, DeleteKeyTreeRemovesEverythingBelowAndNeverTheParent)
{
    RegKey deep;
    ASSERT_EQ(deep.Create(key_.get(), L"sub\\a\\b"), RegResult::Ok);
    ASSERT_EQ(deep.WriteString(L"v", L"x"), RegResult::Ok);
    deep.Close();
    RegKey side;
    ASSERT_EQ(side.Create(key_.get(), L"sub\\c"), RegResult::Ok);
    side.Close();
    ASSERT_EQ(key_.WriteDword(L"keep", 1), RegResult::Ok);

    EXPECT_EQ(fw::DeleteKeyTree(key_.get(), L"sub"), RegResult::Ok);
    RegKey gone;
    EXPECT_EQ(gone.Open(key_.get(), L"sub"), RegResult::NotFound);
    EXPECT_EQ(fw::DeleteKeyTree(key_.get(), L"sub"), RegResult::NotFound);

    EXPECT_EQ(fw::DeleteKeyTree(key_.get(), L""), RegResult::Error);
    EXPECT_EQ(fw::DeleteKeyTree(key_.get(), nullptr), RegResult::Error);
    DWORD keep = 0;
    EXPECT_EQ(key_.ReadDword(L"keep", keep), RegResult::Ok);
}

// A 64-bit process sees the 32-bit view of HKLM\Software under Wow6432Node; keys made in that
// view must be found and deleted in that view.
TEST_F(Registry, Wow64ViewIsHonouredByCreateOpenAndDelete)
{
    if (sizeof(void*) != 8) {
        GTEST_SKIP() << "checked from the 64-bit build";
    }
    const std::wstring path = L"Software\\HelmoraTests\\Registry.Wow64View";
    const std::wstring redirected = L"Software\\Wow6432Node\\HelmoraTests\\Registry.Wow64View";
    fw::DeleteKeyTree(HKEY_LOCAL_MACHINE, path.c_str(), RegView::Force32);

    RegKey in32;
    ASSERT_EQ(in32.Create(HKEY_LOCAL_MACHINE, (path + L"\\child").c_str(), KEY_READ | KEY_WRITE,
                          RegView::Force32),
              RegResult::Ok);
    ASSERT_EQ(in32.WriteDword(L"v", 32), RegResult::Ok);
    in32.Close();

    RegKey probe;
    EXPECT_EQ(probe.Open(HKEY_LOCAL_MACHINE, redirected.c_str()), RegResult::Ok);
    EXPECT_EQ(probe.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ, RegView::Force64),
              RegResult::NotFound);
    EXPECT_EQ(fw::DeleteKeyTree(HKEY_LOCAL_MACHINE, path.c_str(), RegView::Force64),
              RegResult::NotFound);
    probe.Close();

    EXPECT_EQ(fw::DeleteKeyTree(HKEY_LOCAL_MACHINE, path.c_str(), RegView::Force32), RegResult::Ok);
    EXPECT_EQ(probe.Open(HKEY_LOCAL_MACHINE, redirected.c_str()), RegResult::NotFound);
}

} // namespace
