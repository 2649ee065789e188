// Every language block of the message table against the English one and against its source:
// complete, translated, stored as written, and fitting the places the program draws it in.
// Each check runs once per language, so a block that is still being translated fails on its own
// while the others pass; CTest runs each language's checks as a test of their own.
#include "shell/MessageText.h"
#include "tests/messages/MessageSources.h"
#include "tests/support/TestSupport.h"

#include "framework/Handles.h"

#include <windows.h>

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cwctype>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr DWORD kFirstId = 0x20002710;
constexpr DWORD kLastId = 0x200029A3;
constexpr LANGID kEnglish = 0x0409;
static_assert(kLastId - kFirstId + 1 == 660, "the table's ids");

struct Language {
    LANGID id;
    const char* name;
};

const Language kLanguages[] = {
    {0x0401, "Arabic"},
    {0x0402, "Bulgarian"},
    {0x0404, "ChineseTraditional"},
    {0x0405, "Czech"},
    {0x0406, "Danish"},
    {0x0407, "German"},
    {0x0408, "Greek"},
    {0x0409, "English"},
    {0x040A, "Spanish"},
    {0x040B, "Finnish"},
    {0x040C, "French"},
    {0x040E, "Hungarian"},
    {0x0410, "Italian"},
    {0x0412, "Korean"},
    {0x0413, "Dutch"},
    {0x0414, "Norwegian"},
    {0x0415, "Polish"},
    {0x0416, "PortugueseBrazil"},
    {0x0418, "Romanian"},
    {0x0419, "Russian"},
    {0x041A, "Croatian"},
    {0x041B, "Slovak"},
    {0x041D, "Swedish"},
    {0x041E, "Thai"},
    {0x041F, "Turkish"},
    {0x0422, "Ukrainian"},
    {0x0424, "Slovenian"},
    {0x0804, "ChineseSimplified"},
    {0x0816, "PortuguesePortugal"},
    {0x081A, "SerbianLatin"},
};

std::string Hex(DWORD value, int digits = 8)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%0*lX", digits, static_cast<unsigned long>(value));
    return text;
}

std::string BlockName(const Language& language)
{
    return "block " + Hex(language.id, 4) + " (" + language.name + ")";
}

// Ids as ranges, so a block that lacks hundreds of them still fails in a readable line.
std::string IdRanges(const std::vector<DWORD>& ids)
{
    std::string text;
    for (size_t i = 0; i < ids.size();) {
        size_t j = i;
        while (j + 1 < ids.size() && ids[j + 1] == ids[j] + 1)
            ++j;
        if (!text.empty())
            text += ", ";
        text += Hex(ids[i]);
        if (j > i)
            text += "-" + Hex(ids[j]);
        i = j + 1;
    }
    return text;
}

// Carriage returns shown, so a text in a message reads on one line.
std::string Quoted(const std::wstring& text)
{
    std::wstring shown;
    for (wchar_t c : text)
        shown += c == L'\r' ? std::wstring(L"\\r") : std::wstring(1, c);
    return "\"" + msgsrc::Utf8(shown) + "\"";
}

// ---- the table, read the way the program reads it -------------------------------------------

using msgsrc::Lookup;

HMODULE Table()
{
    static fw::UniqueModule module(LoadLibraryExW(
        (hlmtest::BinDir() + L"\\HLMMessages.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    return module.get();
}

Lookup Read(DWORD id, LANGID language)
{
    return msgsrc::LookUp(Table(), id, language);
}

// ---- the sources ------------------------------------------------------------------------------

const std::map<LANGID, msgsrc::File>& Sources()
{
    static std::map<LANGID, msgsrc::File> files;
    static bool read = false;
    if (read)
        return files;
    read = true;
    const std::wstring folder = msgsrc::SourceFolder();
    for (const std::wstring& name : msgsrc::SourceNames(folder)) {
        msgsrc::File file;
        if (msgsrc::ReadSource(folder, name, file))
            files[file.language] = file;
    }
    return files;
}

// ---- texts that may stay as they are in English ------------------------------------------

// The names of the maker's and others' products: they are not translated. Longer names first,
// so "Cellavon" goes as a whole before "Cellavo" could leave an "n" behind.
const wchar_t* const kProductNames[] = {
    L"McAfee Security Center",
    L"Cellavon",
    L"Cellavo",
    L"Helmora",
    L"Vantrel",
    L"Netaide",
    L"Netvo",
    L"Patchwell",
    L"Restorix",
    L"Resolvo",
    L"Printavo",
    L"Dispavo",
    L"Speedavo",
    L"McAfee",
    L"Windows",
    L"UAC",
};
// Whole texts every language may keep: the placeholder of rows without a repair, and the button
// word that nearly every one of our languages writes as in English.
const wchar_t* const kKeptTexts[] = {L"?", L"OK"};

// Words some of our languages write exactly as English does, each checked for the languages
// named: a text on this list is translated there, not left over. Add a language only for a word
// that really is spelled so in it.
struct SameWord {
    const wchar_t* english;
    std::vector<LANGID> languages;
};
const SameWord kSameWords[] = {
    {L"Help", {0x0413}},
    {L"Home", {0x0410}},
    {L"Start", {0x0406, 0x0414, 0x0415, 0x0418}},
    {L"Version", {0x0406, 0x0407, 0x040C, 0x041D}},
    {L"Date", {0x040C}},
    {L"Description", {0x040C}},
    {L"Name", {0x0407}},
    {L"Status", {0x0406, 0x0407, 0x0413, 0x0414, 0x0416, 0x041D, 0x081A}},
    {L"Option", {0x0407, 0x040C}},
    {L"Item", {0x0413, 0x0416, 0x0816}},
    {L"Details", {0x0407, 0x0413}},
    {L"Printer", {0x0406, 0x0413}},
    {L"Computer", {0x0406, 0x0407, 0x0410, 0x0413, 0x0418}},
    {L"General", {0x040A, 0x0418}},
    {L"No", {0x040A, 0x0410}},
    {L"Subnet mask:", {0x0410}},
    // The tool keeps its English name in these languages' Windows.
    {L"Windows Easy Transfer", {0x040A, 0x0413, 0x041D, 0x041E}},
    // Countries of the contact table.
    {L"Australia", {0x040A, 0x040B, 0x0410, 0x0414, 0x0415, 0x0418}},
    {L"Brazil", {0x041A, 0x081A}},
    {L"Canada", {0x0406, 0x040C, 0x0410, 0x0413, 0x0414, 0x0418}},
    {L"China", {0x0407, 0x040A, 0x0413, 0x0416, 0x0418, 0x0816}},
    {L"France", {0x040C}},
    {L"Korea", {0x0405, 0x0406, 0x0407, 0x040B, 0x040E, 0x0413, 0x0414, 0x0415, 0x041D}},
    {L"Mexico", {0x0406, 0x0413, 0x0414}},
    {L"Russia", {0x0410}},
    {L"Taiwan",
     {0x0406, 0x0407, 0x040B, 0x0410, 0x0413, 0x0414, 0x0416, 0x0418, 0x041B, 0x041D, 0x0816}},
    {L"Thailand", {0x0406, 0x0407, 0x0413, 0x0414, 0x041D}},
};

bool SameWordIn(const std::wstring& english, LANGID language)
{
    for (const SameWord& word : kSameWords)
        if (english == word.english)
            for (LANGID same : word.languages)
                if (same == language)
                    return true;
    return false;
}

// A text that is nothing but product names, digits, punctuation and symbols reads the same in
// every language; anything with a word of English left in it does not.
bool MayStayEnglish(const std::wstring& english)
{
    for (const wchar_t* kept : kKeptTexts)
        if (english == kept)
            return true;
    std::wstring rest = english;
    for (const wchar_t* name : kProductNames) {
        const std::wstring word = name;
        for (size_t at = rest.find(word); at != std::wstring::npos; at = rest.find(word))
            rest.replace(at, word.size(), L" ");
    }
    for (wchar_t c : rest)
        if (iswalpha(c))
            return false;
    return true;
}

// ---- where the program draws its texts ----------------------------------------------------

// The program's font faces: "Segoe UI" from Windows 6 on, "Tahoma" on XP. Both are measured,
// since the same texts show on both.
const wchar_t* const kFaces[] = {L"Segoe UI", L"Tahoma"};

struct FontSpec {
    int height;
    int weight;
    const char* name;
};
// The main window's three fonts, and the left band's caption font.
constexpr FontSpec kTextFont = {13, FW_NORMAL, "textFont 13/400"};
constexpr FontSpec kBoldFont = {13, FW_BOLD, "boldFont 13/700"};
constexpr FontSpec kTitleFont = {17, FW_BOLD, "titleFont 17/700"};
constexpr FontSpec kBandFont = {14, FW_NORMAL, "band caption 14/400"};

enum class Layout {
    Line,    // one line; a hard break starts another (the picture buttons drop DT_SINGLELINE)
    Wrapped, // word-wrapped within the width (static controls, DrawText with DT_WORDBREAK)
};

// One fixed place: the texts `first` to `last` (each on its own), or `first` followed by `then`
// (the troubleshooting intro is two texts in one static).
struct Place {
    const char* where;
    DWORD first;
    DWORD last; // 0: only `first`
    DWORD then; // 0: none
    int width;
    int height;
    FontSpec font;
    Layout layout;
};

const Place kPlaces[] = {
    // Main window: the left band's buttons draw their captions in 200 x 47.
    {"main window: page button", 0x20002710, 0x20002714, 0, 200, 47, kBandFont, Layout::Line},
    {"main window: user guide button", 0x200029A3, 0, 0, 200, 47, kBandFont, Layout::Line},
    // Every page's title static, 400 x 20.
    {"troubleshooting page: title", 0x2000272D, 0, 0, 400, 20, kTitleFont, Layout::Wrapped},
    {"utilities page: title", 0x20002771, 0, 0, 400, 20, kTitleFont, Layout::Wrapped},
    {"internet assistance page: title", 0x2000277D, 0, 0, 400, 20, kTitleFont, Layout::Wrapped},
    {"update page: title", 0x20002787, 0, 0, 400, 20, kTitleFont, Layout::Wrapped},
    {"restore page: title", 0x200027A7, 0, 0, 400, 20, kTitleFont, Layout::Wrapped},
    // Home page statics.
    {"home page: introduction", 0x2000271C, 0, 0, 415, 45, kTextFont, Layout::Wrapped},
    {"home page: troubleshooting text", 0x2000271D, 0, 0, 415, 50, kTextFont, Layout::Wrapped},
    {"home page: utilities text", 0x2000271E, 0, 0, 415, 45, kTextFont, Layout::Wrapped},
    // Troubleshooting page statics.
    {"troubleshooting page: introduction", 0x2000272E, 0, 0x2000272F, 400, 70, kTextFont,
     Layout::Wrapped},
    {"troubleshooting page: topics hint", 0x20002730, 0, 0, 500, 15, kTextFont, Layout::Wrapped},
    {"troubleshooting page: diagnosis hint", 0x20002731, 0, 0, 500, 15, kTextFont, Layout::Wrapped},
    {"troubleshooting page: selection hint", 0x20002732, 0, 0, 385, 28, kTextFont, Layout::Wrapped},
    {"troubleshooting page: utilities hint", 0x20002733, 0, 0, 520, 30, kTextFont, Layout::Wrapped},
    {"troubleshooting page: result", 0x20002734, 0, 0, 385, 20, kTextFont, Layout::Wrapped},
    {"troubleshooting page: result", 0x20002736, 0, 0, 385, 20, kTextFont, Layout::Wrapped},
    {"troubleshooting page: problems found hint", 0x20002735, 0, 0, 520, 30, kTextFont,
     Layout::Wrapped},
    {"troubleshooting page: no problems hint", 0x20002737, 0x20002738, 0, 520, 50, kTextFont,
     Layout::Wrapped},
    // Troubleshooting page buttons: tabs 200 x 20, actions 130 x 30, topics 490 x 30.
    {"troubleshooting page: tab", 0x2000275B, 0x2000275C, 0, 200, 20, kBoldFont, Layout::Line},
    {"troubleshooting page: action button", 0x2000275D, 0x2000275E, 0, 130, 30, kBoldFont,
     Layout::Line},
    {"troubleshooting page: memory diagnostic button", 0x2000275F, 0, 0, 130, 30, kBoldFont,
     Layout::Wrapped},
    {"troubleshooting page: self-help topic", 0x20002760, 0x20002769, 0, 490, 30, kTextFont,
     Layout::Line},
    // Diagnosis progress popup.
    {"progress popup: title", 0x200028D5, 0, 0, 520, 30, kTitleFont, Layout::Wrapped},
    {"progress popup: cancel button", 0x200028D6, 0, 0, 100, 30, kTextFont, Layout::Line},
    {"progress popup: category band", 0x2000273A, 0x2000273D, 0, 526, 30, kTextFont, Layout::Line},
    {"progress popup: row", 0x2000273E, 0x2000275A, 0, 461, 30, kTextFont, Layout::Wrapped},
    {"progress popup: row being diagnosed", 0x2000273E, 0x2000275A, 0, 481, 30, kBoldFont,
     Layout::Wrapped},
    {"progress popup: row status, running", 0x200028D7, 0, 0, 431, 30, kBoldFont, Layout::Line},
    {"progress popup: row status, done", 0x200028D8, 0, 0, 431, 30, kTextFont, Layout::Line},
    // Cancel confirmation.
    {"cancel popup: question", 0x200028DA, 0, 0, 340, 30, kTextFont, Layout::Wrapped},
    {"cancel popup: button", 0x200028DB, 0x200028DC, 0, 100, 30, kTextFont, Layout::Line},
    // Check Disk and temporary files confirmation.
    {"check disk popup: title", 0x200028C6, 0, 0, 520, 30, kTitleFont, Layout::Wrapped},
    {"check disk popup: text", 0x200028C7, 0x200028CB, 0, 520, 30, kTextFont, Layout::Wrapped},
    {"check disk popup: button", 0x200028CC, 0x200028CD, 0, 100, 30, kTextFont, Layout::Line},
    {"temporary files popup: title", 0x200028CE, 0, 0, 520, 30, kTitleFont, Layout::Wrapped},
    {"temporary files popup: question", 0x200028CF, 0, 0, 520, 30, kTextFont, Layout::Wrapped},
    {"temporary files popup: text 1", 0x200028D0, 0, 0, 520, 45, kTextFont, Layout::Wrapped},
    {"temporary files popup: text 2", 0x200028D1, 0, 0, 520, 60, kTextFont, Layout::Wrapped},
    {"temporary files popup: text 3", 0x200028D2, 0, 0, 520, 30, kTextFont, Layout::Wrapped},
    // Diagnosis result view: a row's title band (10 to 420, cut with an ellipsis), its status
    // word (420 to 495), its button, and its explanation (indented 25, 90 high).
    {"result view: row title band", 0x200028E0, 0x20002902, 0, 410, 25, kBoldFont, Layout::Line},
    {"result view: status word", 0x200028DD, 0x200028DF, 0, 75, 25, kBoldFont, Layout::Line},
    {"result view: row button", 0x2000296C, 0x2000298E, 0, 80, 20, kBoldFont, Layout::Line},
    {"result view: solution", 0x20002903, 0x20002925, 0, 395, 90, kTextFont, Layout::Wrapped},
    {"result view: fixed", 0x20002926, 0x20002948, 0, 395, 90, kTextFont, Layout::Wrapped},
    {"result view: not fixed", 0x20002949, 0x2000296B, 0, 395, 90, kTextFont, Layout::Wrapped},
};

SIZE Measure(HDC dc, const std::wstring& text, int width, Layout layout)
{
    UINT format = DT_CALCRECT | DT_NOPREFIX | DT_LEFT | DT_TOP;
    if (layout == Layout::Wrapped)
        format |= DT_WORDBREAK | DT_EXPANDTABS;
    else if (text.find(L'\r') == std::wstring::npos)
        format |= DT_SINGLELINE;
    RECT rect = {0, 0, width, 0};
    DrawTextW(dc, text.c_str(), -1, &rect, format);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// Whether the font selected into `dc` has a glyph for every character of `text` (line breaks
// aside). Where it has not, GDI draws the text in a linked font of other widths: Wine's own
// Tahoma has no Greek, Thai, Chinese, Korean or Arabic letters, which Windows' Tahoma has, so
// such a measurement would say nothing about the program on Windows.
bool HasEveryGlyph(HDC dc, const std::wstring& text)
{
    std::wstring letters;
    for (wchar_t ch : text) {
        if (ch != L'\r' && ch != L'\n')
            letters += ch;
    }
    std::vector<WORD> glyphs(letters.size() + 1);
    if (GetGlyphIndicesW(dc, letters.c_str(), static_cast<int>(letters.size()), glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
        return false;
    for (size_t i = 0; i < letters.size(); ++i) {
        if (glyphs[i] == 0xFFFF)
            return false;
    }
    return true;
}

// Texts no window ever shows: row 23 of the result view belongs to a task that every task
// table drops, so its title, explanations and button caption ("IP address setting") never appear.
const DWORD kNeverDrawn[] = {0x200028F6, 0x20002919, 0x2000293C, 0x2000295F, 0x20002982};

// English row titles that are the product's own wording and a pixel or ten wider than the title
// band in Tahoma: the band ends them with an ellipsis. Translations must fit.
const DWORD kEnglishWiderThanTheBand[] = {0x200028E5, 0x200028F5};

bool EnglishWiderThanTheBand(DWORD id, LANGID language)
{
    if (language != kEnglish)
        return false;
    for (DWORD wide : kEnglishWiderThanTheBand) {
        if (id == wide)
            return true;
    }
    return false;
}

bool NeverDrawn(DWORD id)
{
    for (DWORD never : kNeverDrawn)
        if (id == never)
            return true;
    return false;
}

fw::UniqueFont MakeFont(const FontSpec& wanted, const wchar_t* face)
{
    return fw::UniqueFont(CreateFontW(wanted.height, 0, 0, 0, wanted.weight, FALSE, FALSE, FALSE,
                                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                      DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, face));
}

// The face GDI really draws when `face` is asked for.
std::wstring DrawnFace(HDC dc, const wchar_t* face)
{
    const fw::UniqueFont font = MakeFont(kTextFont, face);
    const HGDIOBJ old = SelectObject(dc, font.get());
    wchar_t drawn[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, drawn);
    SelectObject(dc, old);
    return drawn;
}

// ---- the checks, one language at a time ------------------------------------------------------

class LanguageBlock : public ::testing::TestWithParam<Language> {
  protected:
    void SetUp() override { ASSERT_NE(nullptr, Table()) << "HLMMessages.dll did not load"; }
    const Language& language() const { return GetParam(); }
    std::string block() const { return BlockName(GetParam()); }
};

TEST_P(LanguageBlock, HoldsEveryMessageWithText)
{
    std::vector<DWORD> missing;
    std::vector<DWORD> empty;
    for (DWORD id = kFirstId; id <= kLastId; ++id) {
        const Lookup lookup = Read(id, language().id);
        if (lookup.error != 0)
            missing.push_back(id);
        else if (lookup.text.empty())
            empty.push_back(id);
    }
    EXPECT_TRUE(missing.empty()) << block() << " lacks " << missing.size()
                                 << " of 660 ids: " << IdRanges(missing);
    EXPECT_TRUE(empty.empty()) << block() << " has empty texts: " << IdRanges(empty);
}

TEST_P(LanguageBlock, LeavesNoEnglishText)
{
    if (language().id == kEnglish)
        GTEST_SKIP() << "the reference";
    for (DWORD id = kFirstId; id <= kLastId; ++id) {
        const Lookup english = Read(id, kEnglish);
        const Lookup translated = Read(id, language().id);
        if (english.error || translated.error || translated.text != english.text)
            continue;
        EXPECT_TRUE(MayStayEnglish(english.text) || SameWordIn(english.text, language().id))
            << block() << ", " << Hex(id) << " is still English: " << Quoted(english.text);
    }
}

// What each source entry must render as, against what the compiled table gives: the message
// compiler kept every text, escape and soft break as written.
TEST_P(LanguageBlock, RendersEverySourceEntryAsWritten)
{
    const auto found = Sources().find(language().id);
    ASSERT_NE(Sources().end(), found)
        << block() << ": no source file in " << msgsrc::Utf8(msgsrc::SourceFolder());
    const msgsrc::File& file = found->second;
    for (const std::string& fault : file.faults)
        ADD_FAILURE() << block() << ", " << msgsrc::Utf8(file.name) << " " << fault;
    EXPECT_FALSE(file.entries.empty()) << block() << ": " << msgsrc::Utf8(file.name);

    std::set<DWORD> seen;
    for (const msgsrc::Entry& entry : file.entries) {
        const std::string at = block() + ", " + Hex(entry.id) + " (" + msgsrc::Utf8(file.name) +
                               " line " + std::to_string(entry.line) + ")";
        EXPECT_TRUE(seen.insert(entry.id).second) << at << ": written twice";
        EXPECT_TRUE(entry.id >= kFirstId && entry.id <= kLastId) << at << ": outside the table";
        const Lookup lookup = Read(entry.id, language().id);
        if (entry.pending) {
            // The program must find nothing rather than the placeholder.
            EXPECT_EQ(static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND), lookup.error)
                << at << ": waiting for its translation, yet compiled as " << Quoted(lookup.text);
            continue;
        }
        EXPECT_TRUE(entry.escapeFault.empty())
            << at << ": escape " << msgsrc::Utf8(entry.escapeFault) << " has no rendering";
        EXPECT_EQ(0u, lookup.error) << at << ": not in the compiled table";
        EXPECT_EQ(entry.rendered, lookup.text)
            << at << ": written " << Quoted(entry.rendered) << ", compiled " << Quoted(lookup.text);
    }
}

TEST_P(LanguageBlock, TextsFitWhereTheyAreDrawn)
{
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(nullptr, dc);
    int measuredFaces = 0;
    int unmeasured = 0;
    for (const wchar_t* face : kFaces) {
        // A face the machine lacks is drawn in another font, whose widths say nothing about
        // the program's: such a face is named and left out.
        const std::wstring drawn = DrawnFace(dc, face);
        if (_wcsicmp(drawn.c_str(), face) != 0) {
            std::printf("%s: \"%s\" is drawn as \"%s\" here, not measured\n", block().c_str(),
                        msgsrc::Utf8(face).c_str(), msgsrc::Utf8(drawn).c_str());
            continue;
        }
        ++measuredFaces;
        for (const Place& place : kPlaces) {
            const fw::UniqueFont font = MakeFont(place.font, face);
            ASSERT_TRUE(font);
            const HGDIOBJ old = SelectObject(dc, font.get());
            const DWORD last = place.last ? place.last : place.first;
            for (DWORD id = place.first; id <= last; ++id) {
                if (NeverDrawn(id) || EnglishWiderThanTheBand(id, language().id))
                    continue;
                const Lookup lookup = Read(id, language().id);
                std::wstring text = lookup.text;
                if (place.then)
                    text += Read(place.then, language().id).text;
                // A missing text is the completeness check's to report.
                if (lookup.error || text.empty())
                    continue;
                if (!HasEveryGlyph(dc, text)) {
                    ++unmeasured;
                    continue;
                }
                const SIZE size = Measure(dc, text, place.width, place.layout);
                EXPECT_TRUE(size.cx <= place.width && size.cy <= place.height)
                    << block() << ", " << Hex(id) << (place.then ? "+" + Hex(place.then) : "")
                    << " does not fit the " << place.where << " in " << msgsrc::Utf8(face) << " "
                    << place.font.name
                    << (place.layout == Layout::Line ? " on one line" : " word-wrapped")
                    << ": needs " << size.cx << " x " << size.cy << ", has " << place.width << " x "
                    << place.height << ": " << Quoted(text);
            }
            SelectObject(dc, old);
        }
    }
    DeleteDC(dc);
    EXPECT_GT(measuredFaces, 0) << "neither of the program's faces is installed";
    if (unmeasured)
        std::printf("%s: %d texts not measured, the installed face lacks their letters\n",
                    block().c_str(), unmeasured);
}

// The program looks its texts up in its own module (this test program carries the same table):
// the longest text of the block comes out whole, not cut or empty.
TEST_P(LanguageBlock, ProgramLookupGivesTheLongestTextWhole)
{
    DWORD longest = 0;
    std::wstring longestText;
    for (DWORD id = kFirstId; id <= kLastId; ++id) {
        const Lookup lookup = Read(id, language().id);
        if (!lookup.error && lookup.text.size() > longestText.size()) {
            longest = id;
            longestText = lookup.text;
        }
    }
    ASSERT_NE(0u, longest) << block() << " has no text at all";
    const std::wstring loaded = LoadMessageText(language().id, longest).c_str();
    EXPECT_EQ(longestText, loaded) << block() << ", " << Hex(longest) << " (" << longestText.size()
                                   << " units) came out with " << loaded.size() << " units";
}

std::string LanguageTestName(const ::testing::TestParamInfo<Language>& info)
{
    return Hex(info.param.id, 4).substr(2) + "_" + info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Blocks, LanguageBlock, ::testing::ValuesIn(kLanguages), LanguageTestName);

// ---- the whole table at once ------------------------------------------------------------------

TEST(MessageSources, OneSourcePerLanguageBlock)
{
    std::set<LANGID> expected;
    for (const Language& language : kLanguages)
        expected.insert(language.id);
    std::set<LANGID> sources;
    for (const auto& entry : Sources())
        sources.insert(entry.first);
    EXPECT_EQ(expected, sources) << "sources in " << msgsrc::Utf8(msgsrc::SourceFolder());
}

// The numbers a status report needs, one line per language: how many ids the block holds and
// its longest text. Also which face Wine really draws for each of the program's faces.
TEST(MessageTableSummary, PrintsCountsAndLongestTextPerLanguage)
{
    ASSERT_NE(nullptr, Table());
    for (const Language& language : kLanguages) {
        int count = 0;
        DWORD longest = 0;
        size_t longestLength = 0;
        for (DWORD id = kFirstId; id <= kLastId; ++id) {
            const Lookup lookup = Read(id, language.id);
            if (lookup.error)
                continue;
            ++count;
            if (lookup.text.size() > longestLength) {
                longest = id;
                longestLength = lookup.text.size();
            }
        }
        int pending = 0;
        const auto source = Sources().find(language.id);
        if (source != Sources().end())
            for (const msgsrc::Entry& entry : source->second.entries)
                pending += entry.pending ? 1 : 0;
        std::printf("%s %-18s %3d of 660 ids, longest %s (%u units), %d waiting for translation\n",
                    Hex(language.id, 4).c_str(), language.name, count,
                    longest ? Hex(longest).c_str() : "-", static_cast<unsigned>(longestLength),
                    pending);
    }
    HDC dc = CreateCompatibleDC(nullptr);
    for (const wchar_t* face : kFaces)
        std::printf("font \"%s\" is drawn as \"%s\"\n", msgsrc::Utf8(face).c_str(),
                    msgsrc::Utf8(DrawnFace(dc, face)).c_str());
    DeleteDC(dc);
    std::fflush(stdout);
}

// The yardstick itself: what the lookup makes of the escapes and line ends.
TEST(SourceRendering, FollowsTheLookupsRules)
{
    struct Case {
        std::vector<std::wstring> lines;
        const wchar_t* rendered;
        const wchar_t* fault;
    };
    const Case cases[] = {
        {{L"Helmora should be run as an administrator%."},
         L"Helmora should be run as an administrator.",
         L""},
        {{L"Set the volume to 50%%%."}, L"Set the volume to 50%.", L""},
        {{L"Do you have a problem?%r"}, L"Do you have a problem?\r", L""},
        {{L"Transfers files from%rone computer"}, L"Transfers files from\rone computer", L""},
        // Each line end is one space; spaces at both ends go, those inside stay.
        {{L"  first line", L"second  line  ", L""}, L"first line second  line", L""},
        {{L"Vantrel%rRestorix"}, L"Vantrel\rRestorix", L""},
        {{L"a %1 insert"}, L"a %1 insert", L"%1"},
        {{L"ends in %"}, L"ends in %", L"%<space or line end>"},
    };
    for (const Case& c : cases) {
        std::wstring fault;
        EXPECT_EQ(std::wstring(c.rendered), msgsrc::Render(c.lines, &fault)) << Quoted(c.rendered);
        EXPECT_EQ(std::wstring(c.fault), fault) << Quoted(c.rendered);
    }
}

TEST(SourceRendering, KnowsWhatMayStayEnglish)
{
    struct Case {
        const wchar_t* english;
        bool mayStay;
    };
    const Case cases[] = {
        {L"Netaide", true},
        {L"Vantrel\rRestorix", true},
        {L"McAfee Security Center", true},
        {L"Cellavon", true},
        {L"?", true},
        {L"OK", true},
        {L"Vantrel Update", false},
        {L"3D Test", false},
        {L"TCP/IP Properties", false},
        {L"Windows Easy Transfer", false},
        {L"Install Speedavo.", false},
        {L"UAC", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.mayStay, MayStayEnglish(c.english)) << Quoted(c.english);
    // A word that is the same in one language is still English in another.
    EXPECT_TRUE(SameWordIn(L"Version", 0x0407));
    EXPECT_FALSE(SameWordIn(L"Version", 0x0419));
    EXPECT_FALSE(SameWordIn(L"Version Information", 0x0407));
}

} // namespace
