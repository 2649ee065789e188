#include "framework/Array.h"
#include "framework/List.h"
#include "framework/SharedString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using fw::CArray;
using fw::CList;
using fw::CSharedString;

namespace {

// Counts live objects, so a leak or a double destruction shows as a wrong count.
struct Tracked {
    static int live;
    explicit Tracked(int v) : value(v) { ++live; }
    Tracked(const Tracked& other) : value(other.value) { ++live; }
    Tracked(Tracked&& other) noexcept : value(other.value) { ++live; }
    Tracked& operator=(const Tracked&) = default;
    Tracked& operator=(Tracked&&) = default;
    ~Tracked() { --live; }
    int value;
};
int Tracked::live = 0;

std::vector<std::wstring> Texts(const CArray<CSharedString>& array)
{
    std::vector<std::wstring> out;
    for (const CSharedString& s : array) {
        out.emplace_back(s.c_str());
    }
    return out;
}

template <typename T> std::vector<int> Values(const T& container)
{
    std::vector<int> out;
    for (const auto& item : container) {
        out.push_back(item.value);
    }
    return out;
}

CSharedString Numbered(int i)
{
    CSharedString s;
    s.Format(L"item %d", i);
    return s;
}

TEST(CArray, GrowsKeepingNonTrivialElements)
{
    CArray<CSharedString> array;
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(array.Add(Numbered(i)), i);
    }
    ASSERT_EQ(array.GetSize(), 1000);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(array[i] == Numbered(i)) << i;
    }

    // Adding an element of the array itself while the storage has to move.
    CArray<CSharedString> full;
    full.Reserve(8);
    for (int i = 0; i < 8; ++i) {
        full.Add(Numbered(i));
    }
    full.Add(full[0]);
    full.InsertAt(1, full[8]);
    EXPECT_EQ(Texts(full).front(), L"item 0");
    EXPECT_EQ(Texts(full)[1], L"item 0");
    EXPECT_EQ(Texts(full).back(), L"item 0");

    // Copies share the strings; the copy is independent.
    CArray<CSharedString> copy = array;
    copy[0] += L" changed";
    EXPECT_TRUE(array[0] == L"item 0");
    EXPECT_EQ(copy[1].c_str(), array[1].c_str());
}

TEST(CArray, InsertAndRemoveInTheMiddle)
{
    CArray<CSharedString> array;
    for (const wchar_t* s : {L"a", L"b", L"c", L"d", L"e"}) {
        array.Add(s);
    }
    EXPECT_TRUE(array.InsertAt(2, L"X"));
    EXPECT_TRUE(array.InsertAt(0, L"first"));
    EXPECT_TRUE(array.InsertAt(array.GetSize(), L"last"));
    EXPECT_EQ(Texts(array),
              (std::vector<std::wstring>{L"first", L"a", L"b", L"X", L"c", L"d", L"e", L"last"}));

    EXPECT_TRUE(array.RemoveAt(2, 3));
    EXPECT_EQ(Texts(array), (std::vector<std::wstring>{L"first", L"a", L"d", L"e", L"last"}));
    EXPECT_TRUE(array.RemoveAt(4));
    EXPECT_TRUE(array.RemoveAt(0));
    EXPECT_TRUE(array.RemoveAt(1, 0));
    EXPECT_EQ(Texts(array), (std::vector<std::wstring>{L"a", L"d", L"e"}));

    // Out-of-range requests change nothing.
    const struct {
        int index;
        int count;
    } badRemovals[] = {{-1, 1}, {3, 1}, {2, 2}, {0, 4}, {4, 0}, {1, -1}};
    for (const auto& bad : badRemovals) {
        EXPECT_FALSE(array.RemoveAt(bad.index, bad.count)) << bad.index << "," << bad.count;
    }
    EXPECT_FALSE(array.InsertAt(-1, L"no"));
    EXPECT_FALSE(array.InsertAt(4, L"no"));
    EXPECT_EQ(Texts(array), (std::vector<std::wstring>{L"a", L"d", L"e"}));
}

TEST(CArray, ConstructsAndDestroysEachElementOnce)
{
    Tracked::live = 0;
    {
        CArray<Tracked> array;
        for (int i = 0; i < 20; ++i) {
            array.Add(Tracked(i));
        }
        EXPECT_EQ(Tracked::live, 20);
        array.InsertAt(10, Tracked(100));
        array.InsertAt(0, Tracked(101));
        EXPECT_EQ(Tracked::live, 22);
        array.RemoveAt(5, 4);
        EXPECT_EQ(Tracked::live, 18);
        EXPECT_EQ(Values(array), (std::vector<int>{101, 0, 1, 2, 3, 8, 9, 100, 10, 11, 12, 13, 14,
                                                   15, 16, 17, 18, 19}));
        CArray<Tracked> moved = std::move(array);
        EXPECT_EQ(Tracked::live, 18);
        CArray<Tracked> copied;
        copied = moved;
        EXPECT_EQ(Tracked::live, 36);
        copied.RemoveAll();
        EXPECT_EQ(Tracked::live, 18);
    }
    EXPECT_EQ(Tracked::live, 0);
}

TEST(CList, HeadTailAndIteration)
{
    CList<CSharedString> list;
    list.AddTail(L"b");
    list.AddHead(L"a");
    list.AddTail(L"c");
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_TRUE(list.GetHead() == L"a");
    EXPECT_TRUE(list.GetTail() == L"c");

    std::wstring forward;
    for (const CSharedString& s : list) {
        forward += s.c_str();
    }
    EXPECT_EQ(forward, L"abc");

    std::wstring backward;
    for (auto pos = list.GetTailPosition(); pos;) {
        backward += list.GetPrev(pos).c_str();
    }
    EXPECT_EQ(backward, L"cba");

    EXPECT_TRUE(list.RemoveHead() == L"a");
    EXPECT_TRUE(list.RemoveTail() == L"c");
    EXPECT_TRUE(list.RemoveTail() == L"b");
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    EXPECT_EQ(list.begin(), list.end());
}

TEST(CList, RemoveByPositionKeepsOtherPositionsValid)
{
    Tracked::live = 0;
    {
        CList<Tracked> list;
        CList<Tracked>::Position positions[6];
        for (int i = 0; i < 6; ++i) {
            positions[i] = list.AddTail(Tracked(i));
        }
        list.RemoveAt(positions[0]); // head
        list.RemoveAt(positions[5]); // tail
        list.RemoveAt(positions[2]); // middle
        EXPECT_EQ(Values(list), (std::vector<int>{1, 3, 4}));
        EXPECT_EQ(list.GetAt(positions[3]).value, 3);
        EXPECT_EQ(Tracked::live, 3);

        // Removing while walking: keep the current position before GetNext moves on.
        for (auto pos = list.GetHeadPosition(); pos;) {
            auto current = pos;
            if (list.GetNext(pos).value == 3) {
                list.RemoveAt(current);
            }
        }
        EXPECT_EQ(Values(list), (std::vector<int>{1, 4}));
        EXPECT_EQ(list.GetCount(), 2);

        list.AddHead(Tracked(0));
        CList<Tracked> copy = list;
        EXPECT_EQ(Values(copy), (std::vector<int>{0, 1, 4}));
        EXPECT_EQ(Tracked::live, 6);
        copy.RemoveAll();
        EXPECT_EQ(Tracked::live, 3);
        EXPECT_EQ(list.RemoveTail().value, 4);
        EXPECT_EQ(Tracked::live, 2);
    }
    EXPECT_EQ(Tracked::live, 0);
}

} // namespace
