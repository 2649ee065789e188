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

// The left buttons' captions must fit their 200-pixel text band in every language, measured
// with the buttons' own font. The buttons draw with prefix processing, so an ampersand would
// vanish and underline the next letter.
TEST(LoadMessageText, MainWindowCaptionsFitTheirButtons)
{
    const LANGID languages[] = {0x0402, 0x0404, 0x0405, 0x0406, 0x0407, 0x0408, 0x0409, 0x040A,
                                0x040B, 0x040C, 0x040E, 0x0410, 0x0412, 0x0413, 0x0414, 0x0415,
                                0x0416, 0x0418, 0x0419, 0x041A, 0x041B, 0x041D, 0x041E, 0x041F,
                                0x0422, 0x0424, 0x0804, 0x0816, 0x081A};
    const DWORD captions[] = {0x20002710, 0x20002711, 0x20002712,
                              0x20002713, 0x20002714, 0x200029A3};
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             VARIABLE_PITCH | FF_SWISS, FontFaceFor(6));
    HGDIOBJ old = SelectObject(dc, font);
    for (LANGID language : languages) {
        for (DWORD id : captions) {
            const fw::CSharedString text = LoadMessageText(language, id);
            RECT rect = {0, 0, 200, 47};
            DrawTextW(dc, text.c_str(), -1, &rect,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_CALCRECT);
            EXPECT_LE(rect.right - rect.left, 196)
                << std::hex << language << " " << id << ": " << text.c_str();
            EXPECT_EQ(wcschr(text.c_str(), L'&'), nullptr)
                << std::hex << language << " " << id << ": " << text.c_str();
        }
    }
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}
