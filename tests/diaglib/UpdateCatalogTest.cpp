// The update catalog reader: real catalog files below the Program Files folders the registry
// names, read through the export as the update page calls it, and the reader on its own for
// what an entry is made of and for documents that are not catalogs.

#include "tests/diaglib/DiagExports.h"
#include "tests/diaglib/DiagTestSupport.h"
#include "tests/support/TestSupport.h"

#include "diaglib/exports/Engine.h"
#include "diaglib/repairs/UpdateCatalog.h"
#include "framework/Registry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using diagtest::kVista;
using diagtest::Recorder;

constexpr int kLines = diag::kUpdateCatalogEntries;

const wchar_t kPatchwellFolder[] = L"\\Vantrel\\Patchwell";
const wchar_t kDownloaded[] = L"\\Vantrel\\Patchwell\\DownloadedCatalog.xml";
const wchar_t kSearched[] = L"\\Vantrel\\Patchwell\\SearchedCatalog.xml";

std::wstring EngineTrace(const wchar_t* outcome)
{
    return std::wstring(diag::kEngineName) + L"::TestSystemPTWConfig - " + outcome;
}

struct Update {
    std::string name;
    std::string version;
    std::string size;
};

// A catalog as the update tool writes it, with `word` as the entry element.
std::string Catalog(const std::vector<Update>& updates, const std::string& word = "Item")
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Catalog>\r\n";
    for (const Update& u : updates) {
        xml += "  <" + word + " id=\"" + u.name + "\">\r\n";
        xml += "    <NAME>" + u.name + "</NAME>\r\n";
        xml += "    <VERSION>" + u.version + "</VERSION>\r\n";
        xml += "    <FILESIZE>" + u.size + "</FILESIZE>\r\n";
        xml += "  </" + word + ">\r\n";
    }
    return xml + "</Catalog>\r\n";
}

std::wstring ReadProgramFolder(const wchar_t* value)
{
    fw::RegKey key;
    fw::CSharedString folder;
    if (key.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_READ,
                 fw::RegView::Force64) != fw::RegResult::Ok ||
        key.ReadString(value, folder, MAX_PATH) != fw::RegResult::Ok)
        return {};
    return folder.c_str();
}

bool WriteWholeFile(const std::wstring& path, const std::string& content)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
        written == content.size();
    CloseHandle(file);
    return ok;
}

bool ReadWholeFile(const std::wstring& path, std::string& content)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    content.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    const bool ok =
        content.empty() ||
        (ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &read, nullptr) &&
         read == content.size());
    CloseHandle(file);
    return ok;
}

// What one call of the export handed back.
struct Outcome {
    double total = 0.0;
    int32_t count = 0;
    std::vector<std::wstring> lines; // the lines written, up to the count
    bool restUntouched = true;       // every line past the count kept its old text
};

Outcome CallExport(int32_t kind)
{
    Outcome outcome;
    outcome.count = 17;
    // One line more than the caller's array has, to see that nothing is written past it.
    fw::CSharedString lines[kLines + 1];
    for (fw::CSharedString& line : lines)
        line = L"untouched";
    outcome.total = DllGetUpdateStringArray(&outcome.count, lines, kind);
    const int written = outcome.count >= 0 && outcome.count <= kLines ? outcome.count : 0;
    for (int i = 0; i < written; ++i)
        outcome.lines.emplace_back(lines[i].c_str());
    for (int i = written; i <= kLines; ++i)
        outcome.restUntouched = outcome.restUntouched && lines[i] == L"untouched";
    return outcome;
}

// The four catalog places, emptied for each test and given back afterwards as they were (the
// simulated notebook may keep catalogs of its own there).
class UpdateCatalog : public ::testing::Test {
  protected:
    enum Place { Downloaded, Searched, DownloadedX86, SearchedX86, kPlaces };

    void SetUp() override
    {
        folder_ = hlmtest::ProgramFilesDir();
        folderX86_ = ReadProgramFolder(L"ProgramFilesDir (x86)");
        ASSERT_FALSE(folderX86_.empty());
        ASSERT_NE(folder_, folderX86_) << "the fall-back needs two folders";
        for (int place = 0; place < kPlaces; ++place) {
            const std::wstring path = Path(static_cast<Place>(place));
            saved_[place].present = ReadWholeFile(path, saved_[place].content);
            DeleteFileW(path.c_str());
        }
    }

    void TearDown() override
    {
        for (int place = 0; place < kPlaces; ++place) {
            const std::wstring path = Path(static_cast<Place>(place));
            DeleteFileW(path.c_str());
            if (saved_[place].present)
                WriteWholeFile(path, saved_[place].content);
        }
        for (const std::wstring& base : {folder_, folderX86_}) {
            // Only when empty: other programs of the update tool may live there.
            RemoveDirectoryW((base + kPatchwellFolder).c_str());
            RemoveDirectoryW((base + L"\\Vantrel").c_str());
        }
    }

    std::wstring Path(Place place) const
    {
        switch (place) {
        case Downloaded:
            return folder_ + kDownloaded;
        case Searched:
            return folder_ + kSearched;
        case DownloadedX86:
            return folderX86_ + kDownloaded;
        default:
            return folderX86_ + kSearched;
        }
    }

    void Write(Place place, const std::string& content)
    {
        if (place == Downloaded || place == Searched) {
            ASSERT_FALSE(hlmtest::CreateFileBelowProgramFiles(
                             place == Downloaded ? kDownloaded : kSearched, content)
                             .empty());
            return;
        }
        CreateDirectoryW((folderX86_ + L"\\Vantrel").c_str(), nullptr);
        CreateDirectoryW((folderX86_ + kPatchwellFolder).c_str(), nullptr);
        ASSERT_TRUE(WriteWholeFile(Path(place), content));
    }

    // The catalog that a kind other than 2 reads: the searched one, on Vista the downloaded.
    static Place SearchedOrVista(Place searched)
    {
        if (!kVista)
            return searched;
        return searched == Searched ? Downloaded : DownloadedX86;
    }

  private:
    struct Saved {
        bool present = false;
        std::string content;
    };
    std::wstring folder_;
    std::wstring folderX86_;
    Saved saved_[kPlaces];
};

TEST_F(UpdateCatalog, KindTwoReadsTheDownloadedCatalogAnyOtherTheSearchedOne)
{
    Write(Downloaded, Catalog({{"Downloaded", "1.0", "100"}}));
    Write(Searched, Catalog({{"Searched", "2.0", "200"}}, "Content"));
    // Vista has only ever read the downloaded catalog.
    const std::wstring searchedLine = kVista ? L"- Downloaded  : 1.0" : L"- Searched  : 2.0";
    const double searchedTotal = kVista ? 100.0 : 200.0;

    const struct {
        int32_t kind;
        std::wstring line;
        double total;
    } cases[] = {
        {2, L"- Downloaded  : 1.0", 100.0}, {0, searchedLine, searchedTotal},
        {1, searchedLine, searchedTotal},   {3, searchedLine, searchedTotal},
        {-2, searchedLine, searchedTotal},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const Outcome outcome = CallExport(c.kind);
        EXPECT_EQ(outcome.total, c.total);
        ASSERT_EQ(outcome.count, 1);
        EXPECT_EQ(outcome.lines[0], c.line);
        EXPECT_TRUE(outcome.restUntouched);
    }
}

// Which element starts an entry depends on the catalog, and is compared exactly.
TEST_F(UpdateCatalog, OnlyTheCatalogsOwnEntryWordCounts)
{
    const Update update{"KB1", "1", "10"};
    const struct {
        const char* what;
        Place place;
        int32_t kind;
        std::string content;
        int32_t count;
    } cases[] = {
        {"Item in the searched catalog", Searched, 3, Catalog({update}, "Item"), 0},
        {"Content in the searched catalog", Searched, 3, Catalog({update}, "Content"), 1},
        {"content in the searched catalog", Searched, 3, Catalog({update}, "content"), 0},
        {"Content in the downloaded catalog", Downloaded, 2, Catalog({update}, "Content"), 0},
        {"ITEM in the downloaded catalog", Downloaded, 2, Catalog({update}, "ITEM"), 0},
        {"item in the downloaded catalog", Downloaded, 2, Catalog({update}, "item"), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write(c.place, c.content);
        const Outcome outcome = CallExport(c.kind);
        DeleteFileW(Path(c.place).c_str());
        if (kVista && c.place == Searched) {
            // Never read there: no catalog at all.
            EXPECT_EQ(outcome.total, 1.0);
            EXPECT_EQ(outcome.count, 17);
            continue;
        }
        EXPECT_EQ(outcome.count, c.count);
        EXPECT_EQ(outcome.total, c.count ? 10.0 : -1.0);
    }
}

TEST_F(UpdateCatalog, FieldNamesIgnoreCaseExceptOnVista)
{
    Write(Downloaded,
          "<Catalog>"
          "<Item><name>Mixed</name><Version>1.5</Version><FileSize>4096</FileSize></Item>"
          "<Item><NAME>Upper</NAME><VERSION>2.0</VERSION><FILESIZE>1</FILESIZE></Item>"
          "</Catalog>");
    const Outcome outcome = CallExport(2);
    ASSERT_EQ(outcome.count, 2);
    EXPECT_EQ(outcome.lines[0], kVista ? L"-   : " : L"- Mixed  : 1.5");
    EXPECT_EQ(outcome.lines[1], L"- Upper  : 2.0");
    EXPECT_EQ(outcome.total, kVista ? 1.0 : 4097.0);
}

TEST_F(UpdateCatalog, AddsTheSizesAndWritesOneLinePerEntry)
{
    Write(Downloaded, Catalog({{"Security Update", "3.1.0", "1048576"},
                               {"Driver Pack", "12.04", "2097152"},
                               {"Readme", "1", "0"}}));
    const Outcome outcome = CallExport(2);
    EXPECT_EQ(outcome.total, 3145728.0);
    ASSERT_EQ(outcome.count, 3);
    EXPECT_EQ(outcome.lines[0], L"- Security Update  : 3.1.0");
    EXPECT_EQ(outcome.lines[1], L"- Driver Pack  : 12.04");
    EXPECT_EQ(outcome.lines[2], L"- Readme  : 1");
    EXPECT_TRUE(outcome.restUntouched);
}

// An entry whose size is no number still counts as an entry: 0 bytes, not "no entries".
TEST_F(UpdateCatalog, ASizeThatIsNoNumberCountsNothing)
{
    Write(Downloaded, Catalog({{"Broken", "1", "abc"}}));
    const Outcome outcome = CallExport(2);
    EXPECT_EQ(outcome.count, 1);
    EXPECT_EQ(outcome.total, 0.0);
}

TEST(UpdateCatalogSize, ConvertsDecimalTextAndStopsAtThe32BitLimits)
{
    const struct {
        const wchar_t* text;
        int32_t size;
    } cases[] = {
        {L"1048576", 1048576},
        {L"abc", 0},
        {L"", 0},
        {L"-", 0},
        {L"  42", 42},
        {L"\r\n\t7\r\n", 7},
        {L"12abc", 12},
        {L"1 234", 1},
        {L"+8", 8},
        {L"-5", -5},
        {L"0x10", 0},
        {L"2147483647", INT32_MAX},
        {L"2147483648", INT32_MAX},
        {L"4294967296", INT32_MAX}, // would wrap to 0 in 32 bits
        {L"99999999999999999999999999", INT32_MAX},
        {L"-2147483648", INT32_MIN},
        {L"-99999999999999999999999999", INT32_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(diag::ParseFileSize(c.text), c.size) << "\"" << c.text << "\"";
}

TEST_F(UpdateCatalog, NoCatalogAnswersOneAndLeavesTheCountAlone)
{
    Recorder recorder;
    const Outcome outcome = CallExport(2);
    EXPECT_EQ(outcome.total, 1.0);
    EXPECT_EQ(outcome.count, 17);
    EXPECT_TRUE(outcome.restUntouched);
    EXPECT_TRUE(recorder.Traced(Path(Downloaded)));
    EXPECT_TRUE(recorder.Traced(EngineTrace(L"32bit NO Update")));
    EXPECT_TRUE(recorder.Traced(L"strPath_x86"));
    EXPECT_TRUE(recorder.Traced(EngineTrace(L"64bit No Update, No Error")));
    EXPECT_FALSE(recorder.Traced(L"GetUpdateData"));
}

TEST_F(UpdateCatalog, ACatalogWithoutEntriesAnswersMinusOne)
{
    const struct {
        const char* what;
        std::string content;
    } cases[] = {
        {"empty root", "<?xml version=\"1.0\"?><Catalog/>"},
        {"other elements only", "<Catalog><Header><NAME>x</NAME></Header></Catalog>"},
        {"empty file", ""},
        {"not XML", "PK\x03\x04 this is a zip file, not a catalog"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write(Downloaded, c.content);
        Recorder recorder;
        const Outcome outcome = CallExport(2);
        EXPECT_EQ(outcome.total, -1.0);
        EXPECT_EQ(outcome.count, 0);
        EXPECT_TRUE(outcome.restUntouched);
        EXPECT_TRUE(recorder.Traced(EngineTrace(L"ERROR_SYSTEM_PTW_NEWUPDATE")));
    }
}

// On 64-bit Windows the update tool lives below "Program Files (x86)".
TEST_F(UpdateCatalog, FallsBackToTheX86FolderForBothCatalogs)
{
    const struct {
        int32_t kind;
        Place place;
        std::string word;
    } cases[] = {
        {2, DownloadedX86, "Item"},
        {3, SearchedOrVista(SearchedX86), kVista ? "Item" : "Content"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        Write(c.place, Catalog({{"X86", "1", "5"}}, c.word));
        Recorder recorder;
        const Outcome outcome = CallExport(c.kind);
        DeleteFileW(Path(c.place).c_str());
        EXPECT_EQ(outcome.total, 5.0);
        ASSERT_EQ(outcome.count, 1);
        EXPECT_EQ(outcome.lines[0], L"- X86  : 1");
        EXPECT_TRUE(recorder.Traced(EngineTrace(L"32bit NO Update")));
        EXPECT_TRUE(recorder.Traced(L"strPath_x86"));
        EXPECT_TRUE(recorder.Traced(EngineTrace(L"Download XML PATH - x86")));
    }
}

TEST_F(UpdateCatalog, PrefersTheProgramFilesFolderOverTheX86One)
{
    Write(Downloaded, Catalog({{"Native", "1", "1"}}));
    Write(DownloadedX86, Catalog({{"X86", "1", "2"}}));
    Recorder recorder;
    const Outcome outcome = CallExport(2);
    ASSERT_EQ(outcome.count, 1);
    EXPECT_EQ(outcome.lines[0], L"- Native  : 1");
    EXPECT_FALSE(recorder.Traced(L"strPath_x86"));
}

// The caller's array holds 50 lines: a longer catalog stops there, and the entries past it
// must not overwrite the 50th either.
TEST_F(UpdateCatalog, StopsStoringAtFiftyEntries)
{
    std::vector<Update> updates;
    for (int i = 1; i <= 60; ++i)
        updates.push_back({"U" + std::to_string(i), "1." + std::to_string(i), std::to_string(i)});
    Write(Downloaded, Catalog(updates));

    const Outcome outcome = CallExport(2);
    ASSERT_EQ(outcome.count, 50);
    EXPECT_EQ(outcome.lines[0], L"- U1  : 1.1");
    EXPECT_EQ(outcome.lines[49], L"- U50  : 1.50");
    EXPECT_EQ(outcome.total, 50.0 * 51.0 / 2.0);
    EXPECT_TRUE(outcome.restUntouched);
}

// ---- The reader on its own, on files of a scratch folder.

class CatalogReader : public ::testing::Test {
  protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
        folder_ = std::wstring(temp) + L"hlm-catalog-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
        path_ = folder_ + L"\\DownloadedCatalog.xml";
    }
    void TearDown() override { hlmtest::RemoveTree(folder_); }

    struct Result {
        bool ok = false;
        int32_t count = 0;
        diag::UpdateEntry entries[diag::kUpdateCatalogEntries];
    };

    void Read(const std::string& content, Result& result)
    {
        ASSERT_TRUE(WriteWholeFile(path_, content));
        result.ok = diag::GetUpdateData(path_.c_str(), result.count, result.entries);
    }

    std::wstring folder_;
    std::wstring path_;
};

TEST_F(CatalogReader, TakesTheThreeFieldsOfEachEntryAndNothingElse)
{
    const struct {
        const char* what;
        std::string xml;
        int32_t count;
        const wchar_t* name; // of the first entry
        const wchar_t* version;
        const wchar_t* size;
    } cases[] = {
        {"prefixed elements are someone else's",
         "<Catalog xmlns:p='urn:x'><p:Item><NAME>Foreign</NAME></p:Item>"
         "<Item><p:NAME>Prefixed</p:NAME><VERSION>1</VERSION></Item></Catalog>",
         1, L"", L"1", L""},
        {"attributes are walked over",
         "<Catalog><Item NAME='attr' VERSION='attr'><NAME lang='en'>A</NAME>"
         "<FILESIZE unit='B'>9</FILESIZE></Item></Catalog>",
         1, L"A", L"", L"9"},
        {"fields before the first entry belong to none",
         "<Catalog><NAME>Stray</NAME><Item><VERSION>2</VERSION></Item></Catalog>", 1, L"", L"2",
         L""},
        {"an empty field does not take the blanks after it",
         "<Catalog>\n <Item>\n  <NAME></NAME>\n  <VERSION/>\n  <FILESIZE>3</FILESIZE>\n"
         " </Item>\n</Catalog>",
         1, L"", L"", L"3"},
        {"entities and blanks inside a field are kept",
         "<Catalog><Item><NAME> A &amp; B &#x41; </NAME></Item></Catalog>", 1, L" A & B A ", L"",
         L""},
        {"comments and processing instructions are passed over",
         "<?xml version='1.0'?><!-- c --><Catalog><?pi x?><Item><NAME>A</NAME><!-- c -->"
         "</Item></Catalog>",
         1, L"A", L"", L""},
        {"CDATA is not field text", "<Catalog><Item><NAME><![CDATA[A]]></NAME></Item></Catalog>", 1,
         L"", L"", L""},
        {"entries may sit at any depth",
         "<Catalog><Group><Inner><Item><NAME>Deep</NAME></Item></Inner></Group></Catalog>", 1,
         L"Deep", L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Result result;
        Read(c.xml, result);
        EXPECT_TRUE(result.ok);
        ASSERT_EQ(result.count, c.count);
        EXPECT_EQ(result.entries[0].name, c.name);
        EXPECT_EQ(result.entries[0].version, c.version);
        EXPECT_EQ(result.entries[0].fileSizeText, c.size);
    }
}

TEST_F(CatalogReader, AFileThatCannotBeOpenedGivesNoEntry)
{
    Recorder recorder;
    int32_t count = 0;
    diag::UpdateEntry entries[diag::kUpdateCatalogEntries];
    EXPECT_FALSE(diag::GetUpdateData((folder_ + L"\\Missing.xml").c_str(), count, entries));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(recorder.Traced(L"Error creating file reader, error"));
}

TEST_F(CatalogReader, TracesItsEnd)
{
    Recorder recorder;
    Result result;
    Read(Catalog({{"A", "1", "1"}}), result);
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(recorder.Traced(L"GetUpdateData"));
    EXPECT_TRUE(recorder.Traced(L"GetUpdateData Fin, pFileStream Release call"));
}

// Runs the reader on its own thread, so that a document that hangs it fails this test rather
// than the whole run.
struct BoundedRead {
    const wchar_t* path;
    int32_t count = 0;
    diag::UpdateEntry entries[diag::kUpdateCatalogEntries];
    bool ok = false;

    static DWORD WINAPI Run(void* self)
    {
        auto* read = static_cast<BoundedRead*>(self);
        read->ok = diag::GetUpdateData(read->path, read->count, read->entries);
        return 0;
    }
};

std::string Repeat(const std::string& piece, size_t times)
{
    std::string text;
    text.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

// Documents that are not what the update tool writes, and one that is merely large. Each must
// end the reading in bounded time with the entries read before the fault, and no more.
TEST_F(CatalogReader, MalformedDocumentsEndCleanlyKeepingWhatWasRead)
{
    constexpr int kEither = -1;
    const std::string twoEntries = "<Item><NAME>A</NAME><VERSION>1</VERSION></Item>"
                                   "<Item><NAME>B</NAME><VERSION>2</VERSION></Item>";
    const std::string laughs =
        "<?xml version='1.0'?><!DOCTYPE lolz [<!ENTITY lol 'lol'>"
        "<!ENTITY lol1 '&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;'>"
        "<!ENTITY lol2 '&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;'>"
        "<!ENTITY lol3 '&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;'>"
        "<!ENTITY lol4 '&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;'>"
        "<!ENTITY lol5 '&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;'>"
        "<!ENTITY lol6 '&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;'>"
        "<!ENTITY lol7 '&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;'>"
        "<!ENTITY lol8 '&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;'>"
        "<!ENTITY lol9 '&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;'>"
        "]><Catalog><Item><NAME>&lol9;</NAME></Item></Catalog>";

    const struct {
        const char* what;
        std::string xml;
        int32_t count; // entries kept
        int ok;        // what the reader answers: 1 true, 0 false
    } cases[] = {
        {"truncated inside a tag", "<Catalog>" + twoEntries + "<Item><NA", 3, false},
        {"truncated inside a field", "<Catalog>" + twoEntries + "<Item><NAME>C", 3, false},
        // Wine's reader takes the end of the file for the end of the document in this one and
        // in the binary one below, Windows' reports it broken: the entries are the same.
        {"no end tag of the root", "<Catalog>" + twoEntries, 2, kEither},
        {"unknown encoding",
         "<?xml version='1.0' encoding='x-no-such'?><Catalog>" + twoEntries + "</Catalog>", 0,
         false},
        // Wine's reader sees an empty document here, Windows' a broken one: no entry either way.
        {"UTF-16 mark before UTF-8 text", "\xFF\xFE<Catalog>" + twoEntries + "</Catalog>", 0,
         kEither},
        {"a DTD",
         "<!DOCTYPE Catalog [<!ELEMENT Catalog ANY>]><Catalog>" + twoEntries + "</Catalog>", 0,
         false},
        {"an external entity",
         "<!DOCTYPE Catalog [<!ENTITY x SYSTEM 'file:///C:/windows/win.ini'>]>"
         "<Catalog><Item><NAME>&x;</NAME></Item></Catalog>",
         0, false},
        {"a billion laughs", laughs, 0, false},
        {"10,000 nested elements",
         "<Catalog>" + twoEntries + Repeat("<d>", 10000) + Repeat("</d>", 10000) + "</Catalog>", 2,
         false},
        {"binary", std::string("\x00\x01\x02\xFE\xFD<\x00>\x7F", 10) + Repeat("\xAB\xCD", 500), 0,
         kEither},
        {"10 MB of text between entries",
         "<Catalog><Item><NAME>A</NAME></Item><Notes>" + std::string(10 * 1024 * 1024, 'x') +
             "</Notes><Item><NAME>B</NAME><VERSION>2</VERSION></Item></Catalog>",
         2, true},
        {"a second root", "<Catalog>" + twoEntries + "</Catalog><Catalog><Item/></Catalog>", 2,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteWholeFile(path_, c.xml));
        BoundedRead read;
        read.path = path_.c_str();
        HANDLE thread = CreateThread(nullptr, 0, &BoundedRead::Run, &read, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        const DWORD waited = WaitForSingleObject(thread, 60000);
        CloseHandle(thread);
        if (waited != WAIT_OBJECT_0) {
            // The thread still uses `read`: nothing sound is left to do but stop.
            ADD_FAILURE() << c.what << ": the reader did not finish within 60 s";
            fflush(stdout);
            ExitProcess(3);
        }
        if (c.ok != kEither) {
            EXPECT_EQ(read.ok, c.ok != 0);
        }
        ASSERT_EQ(read.count, c.count);
        if (c.count >= 2) {
            EXPECT_EQ(read.entries[0].name, L"A");
            EXPECT_EQ(read.entries[1].name, L"B");
            EXPECT_EQ(read.entries[1].version, L"2");
        }
    }
}

} // namespace
