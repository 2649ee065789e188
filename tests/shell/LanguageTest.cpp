// The rules that choose the message language, the picture language code and the font face.
#include "shell/MessageText.h"

#include <gtest/gtest.h>

TEST(MessageLanguage, MapsUiLanguagesToTheTablesBlocks)
{
    const struct {
        LANGID ui;
        LANGID expected;
    } cases[] = {
        {0x0412, 0x0412},                   // Korean
        {0x0405, 0x0405},                   // Czech
        {0x0816, 0x0816},                   // Portuguese (Portugal) keeps its second variant
        {0x0416, 0x0416},                   // Portuguese (Brazil)
        {0x081A, 0x081A},                   // Serbian (Latin)
        {0x0C1A, 0x041A},                   // Serbian (Cyrillic) falls to the first variant
        {0x0804, 0x0804},                   // Chinese (PRC)
        {0x0C04, 0x0404},                   // Chinese (Hong Kong) reads Traditional Chinese
        {0x0404, 0x0404}, {0x0809, 0x0409}, // English (United Kingdom)
        {0x0411, 0x0409},                   // Japanese: no block, English
        {0x0401, 0x0409},                   // Arabic: the block exists but is never chosen
        {0x0C0A, 0x040A},                   // Spanish (modern sort)
        {0x0403, 0x0409},                   // Catalan
        {0x040D, 0x0409},                   // Hebrew
        {0x0421, 0x0409},                   // Indonesian
        {0x0423, 0x0409},                   // Belarusian
        {0x0424, 0x0424},                   // Slovenian
        {0x0422, 0x0422},                   // Ukrainian
        {0x0425, 0x0409},                   // Estonian (37) is past the kept range
        {0x0001, 0x0409},                   // below the range
        {0x0807, 0x0407},                   // German (Switzerland)
    };
    for (const auto& c : cases)
        EXPECT_EQ(MessageLanguageFor(c.ui), c.expected) << std::hex << c.ui;
}

TEST(LanguageCode, PicksThePictureLanguage)
{
    const struct {
        LANGID ui;
        const wchar_t* code;
    } cases[] = {
        {0x0804, L"Chs"}, {0x0404, L"Cht"}, {0x0C04, L"Cht"}, {0x0406, L"Dan"}, {0x0407, L"Ger"},
        {0x0408, L"GRE"}, {0x0C0A, L"Spa"}, {0x040B, L"Fin"}, {0x040C, L"Fra"}, {0x0410, L"Ita"},
        {0x0412, L"Kor"}, {0x0413, L"Dut"}, {0x0414, L"Nor"}, {0x0415, L"Pol"}, {0x0416, L"BRA"},
        {0x0816, L"POR"}, {0x0419, L"Rus"}, {0x041D, L"Swe"}, {0x041E, L"THA"}, {0x041F, L"Tur"},
        {0x0422, L"Ukr"}, {0x0405, L"Eng"}, {0x0411, L"Eng"}, {0x0409, L"Eng"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(LanguageCodeFor(c.ui), c.code) << std::hex << c.ui;
}

TEST(LanguageCode, IsFixedOnFirstUse)
{
    const wchar_t* first = GetLanguageCode();
    EXPECT_EQ(GetLanguageCode(), first);
    EXPECT_STREQ(first, LanguageCodeFor(GetUserDefaultUILanguage()));
}

TEST(FontFace, FollowsTheWindowsVersionOnly)
{
    EXPECT_STREQ(FontFaceFor(5), L"Tahoma");
    EXPECT_STREQ(FontFaceFor(6), L"Segoe UI");
    EXPECT_STREQ(FontFaceFor(10), L"Segoe UI");
}
