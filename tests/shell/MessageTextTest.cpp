// Looking texts up in the message table the program carries (this test program carries the
// same table, plus one test-only block).
#include "shell/MessageText.h"

#include <gtest/gtest.h>

#include <string>

TEST(LoadMessageText, ReadsTheLanguagesBlockWithoutFallingBack)
{
    EXPECT_STREQ(LoadMessageText(0x0409, 0x20002710).c_str(), L"Troubleshooting");
    const std::wstring korean = LoadMessageText(0x0412, 0x20002710).c_str();
    EXPECT_FALSE(korean.empty());
    EXPECT_NE(korean, L"Troubleshooting");
    // A language the table lacks, an id it lacks: empty, never English instead.
    EXPECT_TRUE(LoadMessageText(0x0411, 0x20002710).IsEmpty());
    EXPECT_TRUE(LoadMessageText(0x0409, 0x20002700).IsEmpty());
}

TEST(LoadMessageText, RendersTheEscapesAndTrims)
{
    // "%r" is a carriage return, the soft line end of the entry is trimmed away, "%." a full
    // stop.
    EXPECT_STREQ(LoadMessageText(0x0409, 0x2000272E).c_str(),
                 L"Do you have a problem with your computer?\r");
    const std::wstring two = LoadMessageText(0x0409, 0x2000272F).c_str();
    EXPECT_NE(two.find(L"Self Diagnosis.\rIf you"), std::wstring::npos) << two;
    EXPECT_EQ(two.back(), L'.');
    EXPECT_EQ(two.find(L'%'), std::wstring::npos);
}

TEST(LoadMessageText, ALongTextComesOutWhole)
{
    const std::wstring text = LoadMessageText(0x0C09, 0x20002710).c_str();
    EXPECT_GT(text.size(), 260u);
    EXPECT_EQ(text.rfind(L"whatever its length.", std::wstring::npos),
              text.size() - wcslen(L"whatever its length."));
    EXPECT_EQ(text.find(L'\n'), std::wstring::npos); // soft breaks became spaces
}
