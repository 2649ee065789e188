#include "framework/SharedString.h"

#include <gtest/gtest.h>

#include <string>

using fw::CSharedString;

namespace {

std::wstring Std(const CSharedString& s)
{
    return std::wstring(s.c_str(), static_cast<size_t>(s.GetLength()));
}

TEST(SharedString, EmptyStringsAreNullAndReadAsEmptyText)
{
    const CSharedString defaulted;
    const CSharedString fromNull(nullptr);
    const CSharedString fromEmpty(L"");
    const CSharedString fromZeroLength(L"abc", 0);
    for (const CSharedString* s : {&defaulted, &fromNull, &fromEmpty, &fromZeroLength}) {
        ASSERT_NE(s->c_str(), nullptr);
        EXPECT_STREQ(s->c_str(), L"");
        EXPECT_TRUE(s->IsEmpty());
        EXPECT_EQ(s->GetLength(), 0);
        EXPECT_TRUE(*s == L"");
        EXPECT_TRUE(*s == defaulted);
        // Nothing allocated, so nothing of another module to point into.
        EXPECT_EQ(CSharedString(*s).Detach(), nullptr);
    }
}

TEST(SharedString, CopiesShareOneBlockUntilOneIsChanged)
{
    // Spare room, so a change could be made in place if sharing were ignored.
    CSharedString original;
    wcscpy(original.GetBuffer(64), L"base");
    original.ReleaseBuffer();
    CSharedString appended = original;
    CSharedString upper = original;
    CSharedString buffered = original;
    EXPECT_EQ(appended.c_str(), original.c_str());

    appended += L" more";
    upper.MakeUpper();
    wcscpy(buffered.GetBuffer(8), L"changed");
    buffered.ReleaseBuffer();

    EXPECT_EQ(Std(original), L"base");
    EXPECT_EQ(Std(appended), L"base more");
    EXPECT_EQ(Std(upper), L"BASE");
    EXPECT_EQ(Std(buffered), L"changed");
    EXPECT_NE(appended.c_str(), original.c_str());

    // Emptying one copy leaves the others alone.
    CSharedString emptied = original;
    emptied.Empty();
    EXPECT_EQ(Std(original), L"base");
}

TEST(SharedString, AppendingItselfSurvivesReallocation)
{
    CSharedString s(L"abc");
    s.Append(s);
    EXPECT_EQ(Std(s), L"abcabc");
    for (int i = 0; i < 6; ++i) {
        s.Append(s.c_str() + 1); // points into the block that is being replaced
    }
    std::wstring expected = L"abcabc";
    for (int i = 0; i < 6; ++i) {
        expected += expected.substr(1);
    }
    EXPECT_EQ(Std(s), expected);

    CSharedString grown;
    std::wstring reference;
    for (int i = 0; i < 500; ++i) {
        grown += static_cast<wchar_t>(L'a' + i % 26);
        reference += static_cast<wchar_t>(L'a' + i % 26);
    }
    EXPECT_EQ(Std(grown), reference);
}

TEST(SharedString, FormatNeverTruncates)
{
    // Lengths around the first probe size (format length + 64) and far past it.
    for (int length : {0, 1, 65, 66, 67, 131, 132, 133, 1500, 70000}) {
        SCOPED_TRACE(length);
        const std::wstring arg(static_cast<size_t>(length), L'x');
        CSharedString s;
        ASSERT_TRUE(s.Format(L"%s", arg.c_str()));
        EXPECT_EQ(Std(s), arg);
    }

    const std::wstring longArg(1500, L'q');
    CSharedString s;
    ASSERT_TRUE(s.Format(L"[%s|%d|%s]", longArg.c_str(), 12345, L"end"));
    EXPECT_EQ(Std(s), L"[" + longArg + L"|12345|end]");
}

TEST(SharedString, FormatFollowsMsvcrtWideConventions)
{
    CSharedString s;
    ASSERT_TRUE(s.Format(L"%s/%S/%I64d/%04X", L"wide", "narrow", 1LL << 40, 0xBEEFu));
    EXPECT_EQ(Std(s), L"wide/narrow/1099511627776/BEEF");
}

TEST(SharedString, FormatMayReadItsOwnText)
{
    CSharedString s(L"inner");
    CSharedString shared = s;
    ASSERT_TRUE(s.Format(L"<%s><%s>", s.c_str(), s.c_str()));
    EXPECT_EQ(Std(s), L"<inner><inner>");
    EXPECT_EQ(Std(shared), L"inner");
}

TEST(SharedString, BufferForWin32Calls)
{
    CSharedString s;
    wchar_t* buffer = s.GetBuffer(MAX_PATH);
    const DWORD length = GetSystemDirectoryW(buffer, MAX_PATH);
    ASSERT_GT(length, 0u);
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), static_cast<int>(length));
    EXPECT_EQ(Std(s), std::wstring(s.c_str()));

    // An explicit length wins over the NUL.
    wcscpy(s.GetBuffer(10), L"abcdef");
    s.ReleaseBuffer(3);
    EXPECT_EQ(Std(s), L"abc");

    // No NUL anywhere: the length stops at the buffer's end, not past it.
    CSharedString unterminated;
    wchar_t* raw = unterminated.GetBuffer(4);
    for (int i = 0; i < 4; ++i) {
        raw[i] = L'z';
    }
    raw[4] = L'z'; // the terminator slot, overwritten by a careless API
    unterminated.ReleaseBuffer();
    EXPECT_EQ(unterminated.GetLength(), 4);
    EXPECT_EQ(unterminated.c_str()[4], L'\0');

    // A length past the buffer is cut to it.
    CSharedString tooFar;
    tooFar.GetBuffer(2);
    tooFar.ReleaseBuffer(1000);
    EXPECT_GE(tooFar.GetLength(), 2);
    EXPECT_LT(tooFar.GetLength(), 1000);
    EXPECT_EQ(tooFar.c_str()[tooFar.GetLength()], L'\0');

    // GetBuffer keeps the text and gives room for at least the asked length.
    CSharedString keep(L"keep");
    wchar_t* more = keep.GetBuffer(100);
    EXPECT_STREQ(more, L"keep");
    wcscat(more, L" going");
    keep.ReleaseBuffer();
    EXPECT_EQ(Std(keep), L"keep going");

    CSharedString empty;
    EXPECT_NE(empty.GetBuffer(0), nullptr);
    empty.ReleaseBuffer();
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(SharedString, FindEdges)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* needle;
        int start;
        int expected;
    };
    const Case cases[] = {
        {L"abcabc", L"bc", 0, 1},  {L"abcabc", L"bc", 1, 1},    {L"abcabc", L"bc", 2, 4},
        {L"abcabc", L"bc", 5, -1}, {L"abcabc", L"abc", 3, 3},   {L"abcabc", L"c", 6, -1},
        {L"abcabc", L"", 0, 0},    {L"abcabc", L"", 6, 6},      {L"abcabc", L"", 7, -1},
        {L"abcabc", L"a", -1, -1}, {L"abcabc", nullptr, 0, -1}, {L"", L"", 0, 0},
        {L"", L"a", 0, -1},        {L"ab", L"abc", 0, -1},      {L"aaab", L"aab", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text=" << c.text << " start=" << c.start);
        EXPECT_EQ(CSharedString(c.text).Find(c.needle, c.start), c.expected);
    }

    const CSharedString chars(L"hello");
    EXPECT_EQ(chars.Find(L'l'), 2);
    EXPECT_EQ(chars.Find(L'l', 3), 3);
    EXPECT_EQ(chars.Find(L'l', 4), -1);
    EXPECT_EQ(chars.Find(L'h', 99), -1);
    EXPECT_EQ(chars.Find(L'h', -1), -1);

    // Text after an embedded NUL is still searched.
    const CSharedString embedded(L"a\0b", 3);
    EXPECT_EQ(embedded.Find(L"b"), 2);
}

TEST(SharedString, MidAndLeftClampToTheText)
{
    struct Case {
        int first;
        int count;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {0, 5, L"hello"}, {0, 99, L"hello"}, {1, 3, L"ell"}, {4, 1, L"o"}, {4, 5, L"o"},
        {5, 1, L""},      {9, 1, L""},       {-3, 2, L"he"}, {2, -1, L""}, {0, 0, L""},
    };
    const CSharedString s(L"hello");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "first=" << c.first << " count=" << c.count);
        EXPECT_EQ(Std(s.Mid(c.first, c.count)), c.expected);
    }
    EXPECT_EQ(Std(s.Mid(3)), L"lo");
    EXPECT_EQ(Std(s.Mid(7)), L"");
    EXPECT_EQ(Std(s.Left(2)), L"he");
    EXPECT_EQ(Std(s.Left(-1)), L"");
    EXPECT_EQ(Std(s.Left(50)), L"hello");
    EXPECT_EQ(Std(CSharedString().Mid(0, 3)), L"");
}

TEST(SharedString, ComparisonsAreOrdinalAndLengthAware)
{
    const CSharedString abc(L"abc");
    EXPECT_EQ(abc.Compare(L"abc"), 0);
    EXPECT_LT(abc.Compare(L"abd"), 0);
    EXPECT_GT(abc.Compare(L"ab"), 0);
    EXPECT_LT(abc.Compare(L"abcd"), 0);
    EXPECT_GT(abc.Compare(static_cast<const wchar_t*>(nullptr)), 0);
    EXPECT_NE(abc.Compare(L"ABC"), 0);
    EXPECT_EQ(abc.CompareNoCase(L"ABC"), 0);
    EXPECT_EQ(CSharedString(L"\u00e9t\u00e9").CompareNoCase(L"\u00c9T\u00c9"), 0);
    EXPECT_LT(abc.CompareNoCase(L"ABD"), 0);
    // Ordinal: 0xE9 sorts after 'z'.
    EXPECT_GT(CSharedString(L"\u00e9").Compare(L"z"), 0);

    EXPECT_TRUE(abc == CSharedString(L"abc"));
    EXPECT_TRUE(L"abc" == abc);
    EXPECT_TRUE(abc != L"abd");
    EXPECT_FALSE(CSharedString(L"a\0b", 3) == CSharedString(L"a"));

    CSharedString upper(L"mixed \u00e9 Case 1");
    upper.MakeUpper();
    EXPECT_EQ(Std(upper), L"MIXED \u00c9 CASE 1");
}

TEST(SharedString, DetachAndAttachKeepOneReference)
{
    const LONG freedBefore = CSharedString::FreedBlockCount();
    CSharedString owner(L"handed over");
    wchar_t* raw = CSharedString(owner).Detach();
    ASSERT_EQ(raw, owner.c_str());
    owner.Empty();
    EXPECT_EQ(CSharedString::FreedBlockCount(), freedBefore); // raw still holds it
    {
        const CSharedString back = CSharedString::Attach(raw);
        EXPECT_EQ(Std(back), L"handed over");
    }
    EXPECT_EQ(CSharedString::FreedBlockCount(), freedBefore + 1);
}

} // namespace
