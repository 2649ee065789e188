#include "diaglib/repairs/UpdateCatalog.h"

#include <windows.h>

#include <objidl.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <cwchar>

#include "diaglib/exports/Trace.h"
#include "framework/Handles.h"
#include "framework/Registry.h"

namespace diag {

namespace {

const wchar_t kDownloadedCatalog[] = L"\\Vantrel\\Patchwell\\DownloadedCatalog.xml";
const wchar_t kSearchedCatalog[] = L"\\Vantrel\\Patchwell\\SearchedCatalog.xml";
const wchar_t kSearchedCatalogName[] = L"SearchedCatalog.xml";

// A catalog is a handful of levels deep; a document nested deeper is not one of ours, and the
// limit keeps a hostile one from costing the reader time and memory.
constexpr LONG_PTR kMaxElementDepth = 64;
// DTDs are prohibited, so nothing can expand; the limit stays in case that ever changes.
constexpr LONG_PTR kMaxEntityExpansion = 1000;

// The Vista build has always compared the field names exactly.
#if HLM_DIAG_GENERATION == 6
constexpr bool kFieldNamesExact = true;
#else
constexpr bool kFieldNamesExact = false;
#endif

enum class Field { None, Name, Version, FileSize };

// "ProgramFilesDir" and "ProgramFilesDir (x86)" from the 64-bit view, each read as 256 bytes at
// most as they always have been; a longer value counts as missing.
void ReadProgramFolders(fw::CSharedString& folder, fw::CSharedString& folderX86)
{
    constexpr int kMaxChars = 256 / sizeof(wchar_t) - 1;
    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_READ,
                 fw::RegView::Force64) != fw::RegResult::Ok) {
        TraceOutcome(L"GetProgramFiles", L"RegOpenEx Fail");
        return;
    }
    if (key.ReadString(L"ProgramFilesDir", folder, kMaxChars) != fw::RegResult::Ok) {
        folder.Empty();
        TraceOutcome(L"GetProgramFiles", L"RegQueryValueEx Fail");
    }
    if (key.ReadString(L"ProgramFilesDir (x86)", folderX86, kMaxChars) != fw::RegResult::Ok) {
        folderX86.Empty();
        TraceOutcome(L"GetProgramFiles", L"RegQueryValueEx Fail");
    }
}

fw::CSharedString CatalogPath(const fw::CSharedString& folder, const wchar_t* catalog)
{
    fw::CSharedString path = folder;
    path += catalog;
    return path;
}

// The existence test the update tool's files have always had: execute access, read sharing,
// open existing. Without its folder the path would name the root of the current drive, which
// is no catalog of the update tool.
bool CatalogExists(const fw::CSharedString& folder, const fw::CSharedString& path)
{
    if (folder.IsEmpty())
        return false;
    fw::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_EXECUTE, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid();
}

bool IsSearchedCatalog(const wchar_t* path)
{
    const wchar_t* slash = wcsrchr(path, L'\\');
    const wchar_t* name = slash ? slash + 1 : path;
    return _wcsicmp(name, kSearchedCatalogName) == 0;
}

bool SameName(const wchar_t* name, const wchar_t* field)
{
    return kFieldNamesExact ? wcscmp(name, field) == 0 : _wcsicmp(name, field) == 0;
}

Field FieldOf(const wchar_t* name)
{
    if (SameName(name, L"NAME"))
        return Field::Name;
    if (SameName(name, L"VERSION"))
        return Field::Version;
    if (SameName(name, L"FILESIZE"))
        return Field::FileSize;
    return Field::None;
}

// XmlLite has no import library in our toolchain, and XP only has it from SP3 on: it is taken
// from the system folder for the call and never from beside the program.
using CreateXmlReaderFn = HRESULT(WINAPI*)(REFIID riid, void** reader, IMalloc* malloc);

fw::UniqueModule LoadXmlLite()
{
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    const wchar_t kName[] = L"\\xmllite.dll";
    if (length == 0 || length + wcslen(kName) >= MAX_PATH)
        return fw::UniqueModule();
    wcscpy(path + length, kName);
    return fw::UniqueModule(LoadLibraryW(path));
}

HRESULT CreateReader(HMODULE xmlLite, fw::ComPtr<IXmlReader>& reader)
{
    if (!xmlLite)
        return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    auto create = reinterpret_cast<CreateXmlReaderFn>(
        reinterpret_cast<void*>(GetProcAddress(xmlLite, "CreateXmlReader")));
    if (!create)
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    return create(__uuidof(IXmlReader), reader.put_void(), nullptr);
}

// Where the reader is in the catalog: how many entry elements it has met and which field the
// next text belongs to.
class CatalogWalk {
  public:
    CatalogWalk(const wchar_t* entryWord, int32_t& count,
                UpdateEntry (&entries)[kUpdateCatalogEntries])
        : entryWord_(entryWord), count_(count), entries_(entries)
    {
    }

    void StartElement(const wchar_t* name, bool isEmpty)
    {
        if (wcscmp(name, entryWord_) == 0) {
            // Past the table's end entries are walked over but not stored, so their fields
            // cannot land in the last stored entry either.
            ++entriesSeen_;
            if (entriesSeen_ <= kUpdateCatalogEntries)
                count_ = entriesSeen_;
            return;
        }
        const Field field = FieldOf(name);
        if (field == Field::None)
            return;
        // An empty field element has no text; the next text is not its.
        marked_ = isEmpty ? Field::None : field;
    }

    // A field's text is what stands inside its element: one that closes without any keeps its
    // field empty rather than taking the blanks that follow it.
    void EndElement() { marked_ = Field::None; }

    void Text(const wchar_t* value, UINT length)
    {
        if (marked_ == Field::None)
            return;
        const Field field = marked_;
        marked_ = Field::None;
        // Fields before the first entry, or of entries past the table, belong to none.
        if (entriesSeen_ < 1 || entriesSeen_ > kUpdateCatalogEntries)
            return;
        UpdateEntry& entry = entries_[entriesSeen_ - 1];
        const fw::CSharedString text(value, static_cast<int>(length));
        switch (field) {
        case Field::Name:
            entry.name = text;
            break;
        case Field::Version:
            entry.version = text;
            break;
        case Field::FileSize:
            entry.fileSizeText = text;
            entry.fileSize = ParseFileSize(text.c_str());
            break;
        case Field::None:
            break;
        }
    }

  private:
    const wchar_t* entryWord_;
    int32_t& count_;
    UpdateEntry (&entries_)[kUpdateCatalogEntries];
    int32_t entriesSeen_ = 0;
    Field marked_ = Field::None;
};

// One element start: its name (elements with a prefix belong to someone else) and its
// attributes, which are walked and not used.
HRESULT ReadElement(IXmlReader* reader, CatalogWalk& walk)
{
    const wchar_t* prefix = nullptr;
    UINT prefixLength = 0;
    HRESULT hr = reader->GetPrefix(&prefix, &prefixLength);
    if (FAILED(hr))
        return hr;
    const wchar_t* name = nullptr;
    hr = reader->GetLocalName(&name, nullptr);
    if (FAILED(hr))
        return hr;
    // Asked before the attributes are walked: on an attribute the answer is about that.
    const bool isEmpty = reader->IsEmptyElement() != FALSE;
    if (prefixLength == 0 && name)
        walk.StartElement(name, isEmpty);

    hr = reader->MoveToFirstAttribute();
    if (FAILED(hr)) {
        Trace(L"Error moving to first attribute");
        return hr;
    }
    while (hr == S_OK) {
        hr = reader->MoveToNextAttribute();
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

// The most nodes a document of this stream's size can hold.
unsigned long long NodeBudget(IStream* stream)
{
    STATSTG stat = {};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)))
        return 1ULL << 26; // 64 M: far beyond any catalog, still a bound
    return stat.cbSize.QuadPart + 1;
}

} // namespace

int32_t ParseFileSize(const wchar_t* text)
{
    const wchar_t* p = text;
    while (*p == L' ' || *p == L'\t' || *p == L'\r' || *p == L'\n')
        ++p;
    bool negative = false;
    if (*p == L'+' || *p == L'-') {
        negative = *p == L'-';
        ++p;
    }
    // Counted in 64 bits and held at 2^31 once past it, so no run of digits can overflow.
    constexpr long long kBeyond = 2147483648LL;
    long long value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        value = value * 10 + (*p - L'0');
        if (value > kBeyond)
            value = kBeyond;
    }
    if (negative)
        return static_cast<int32_t>(-value);
    return static_cast<int32_t>(value == kBeyond ? kBeyond - 1 : value);
}

bool GetUpdateData(const wchar_t* path, int32_t& count,
                   UpdateEntry (&entries)[kUpdateCatalogEntries])
{
    Trace(L"GetUpdateData");
    // Declared first so that it is freed last, after the reader it made.
    fw::UniqueModule xmlLite;

    fw::ComPtr<IStream> stream;
    if (FAILED(SHCreateStreamOnFileEx(path, STGM_READ | STGM_SHARE_DENY_WRITE,
                                      FILE_ATTRIBUTE_NORMAL, FALSE, nullptr, stream.put()))) {
        Trace(L"Error creating file reader, error");
        return false;
    }
    xmlLite = LoadXmlLite();
    fw::ComPtr<IXmlReader> reader;
    if (FAILED(CreateReader(xmlLite.get(), reader))) {
        Trace(L"Error creating xml reader, error");
        return false;
    }
    if (FAILED(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit))) {
        Trace(L"Error setting XmlReaderProperty_DtdProcessing");
        return false;
    }
    // Not every XmlLite knows both limits; without the DTD they are a second line only.
    if (FAILED(reader->SetProperty(XmlReaderProperty_MaxElementDepth, kMaxElementDepth)))
        Trace(L"Error setting XmlReaderProperty_MaxElementDepth");
    if (FAILED(reader->SetProperty(XmlReaderProperty_MaxEntityExpansion, kMaxEntityExpansion)))
        Trace(L"Error setting XmlReaderProperty_MaxEntityExpansion");
    if (FAILED(reader->SetInput(stream.get()))) {
        Trace(L"Error setting input for reader");
        return false;
    }

    CatalogWalk walk(IsSearchedCatalog(path) && HLM_DIAG_GENERATION != 6 ? L"Content" : L"Item",
                     count, entries);
    // Every node the reader hands out stands for at least one byte of the file, so a reader
    // that goes on longer than that is going round in circles.
    unsigned long long nodesLeft = NodeBudget(stream.get());
    XmlNodeType nodeType = XmlNodeType_None;
    HRESULT hr = S_OK;
    while ((hr = reader->Read(&nodeType)) == S_OK) {
        if (nodesLeft-- == 0) {
            hr = E_UNEXPECTED;
            break;
        }
        switch (nodeType) {
        case XmlNodeType_Element:
            hr = ReadElement(reader.get(), walk);
            break;
        case XmlNodeType_EndElement:
            walk.EndElement();
            break;
        case XmlNodeType_Text:
        case XmlNodeType_Whitespace: {
            const wchar_t* value = nullptr;
            UINT length = 0;
            hr = reader->GetValue(&value, &length);
            // A text node is never empty: an empty one is a reader that no longer moves (Wine's
            // hands out empty texts without end when the file stops inside a text).
            if (SUCCEEDED(hr) && (!value || length == 0))
                hr = E_UNEXPECTED;
            if (SUCCEEDED(hr))
                walk.Text(value, length);
            break;
        }
        default:
            // CDATA, comments, processing instructions, the XML declaration.
            break;
        }
        if (FAILED(hr))
            break;
    }
    // A document that breaks off keeps what was read before the break.
    if (FAILED(hr)) {
        TraceFormat(L"GetUpdateData - Error reading the catalog, error 0x%08lX",
                    static_cast<unsigned long>(hr));
        return false;
    }
    Trace(L"GetUpdateData Fin, pFileStream Release call");
    return true;
}

double ReadUpdateCatalog(int32_t* count, fw::CSharedString* lines, int32_t kind)
{
#if HLM_DIAG_GENERATION == 6
    // The Vista build has only ever read the downloaded catalog.
    (void)kind;
    const wchar_t* catalog = kDownloadedCatalog;
#else
    const wchar_t* catalog = kind == 2 ? kDownloadedCatalog : kSearchedCatalog;
#endif
    fw::CSharedString folder;
    fw::CSharedString folderX86;
    ReadProgramFolders(folder, folderX86);

    fw::CSharedString path = CatalogPath(folder, catalog);
    Trace(path.c_str());
    if (!CatalogExists(folder, path)) {
        TraceOutcome(L"TestSystemPTWConfig", L"32bit NO Update");
        path = CatalogPath(folderX86, catalog);
        Trace(L"strPath_x86");
        if (!CatalogExists(folderX86, path)) {
            TraceOutcome(L"TestSystemPTWConfig", L"64bit No Update, No Error");
            return 1.0;
        }
        TraceOutcome(L"TestSystemPTWConfig", L"Download XML PATH - x86");
    }

    UpdateEntry entries[kUpdateCatalogEntries];
    int32_t read = 0;
    GetUpdateData(path.c_str(), read, entries);
    if (count)
        *count = read;
    if (read <= 0) {
        TraceOutcome(L"TestSystemPTWConfig", L"ERROR_SYSTEM_PTW_NEWUPDATE");
        return -1.0;
    }

    double total = 0.0;
    for (int32_t i = 0; i < read; ++i) {
        if (lines)
            lines[i].Format(L"- %s  : %s", entries[i].name.c_str(), entries[i].version.c_str());
        total += entries[i].fileSize;
    }
    return total;
}

} // namespace diag
