#include "tests/messages/MessageSources.h"

#include <shlwapi.h>

#include "framework/Handles.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace msgsrc {

namespace {

// windmc -c sets the customer bit; our facility and severity are both 0.
constexpr DWORD kCustomerBit = 0x20000000;

std::wstring Widen(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], units);
    return text;
}

bool ReadBytes(const std::wstring& path, std::string& bytes)
{
    fw::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (16 << 20))
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes.empty() ||
           (::ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) &&
            read == bytes.size());
}

std::vector<std::wstring> Lines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::wstring Trimmed(const std::wstring& text, const wchar_t* blanks)
{
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// "Keyword = value" outside an entry's text; keywords are not case-sensitive.
bool Keyword(const std::wstring& line, const wchar_t* keyword, std::wstring& value)
{
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos)
        return false;
    if (_wcsicmp(Trimmed(line.substr(0, equals), L" \t").c_str(), keyword) != 0)
        return false;
    value = Trimmed(line.substr(equals + 1), L" \t");
    return true;
}

} // namespace

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], bytes,
                        nullptr, nullptr);
    return utf8;
}

std::wstring Render(const std::vector<std::wstring>& lines, std::wstring* fault)
{
    std::wstring joined;
    for (const std::wstring& line : lines) {
        joined += line;
        joined += L' '; // the soft break that ends every line
    }
    std::wstring rendered;
    for (size_t i = 0; i < joined.size(); ++i) {
        if (joined[i] != L'%') {
            rendered += joined[i];
            continue;
        }
        const wchar_t next = i + 1 < joined.size() ? joined[i + 1] : L'\0';
        switch (next) {
        case L'r':
            rendered += L'\r';
            break;
        case L'.':
            rendered += L'.';
            break;
        case L'%':
            rendered += L'%';
            break;
        default:
            if (fault && fault->empty())
                *fault = std::wstring(L"%") +
                         (next == L' ' ? L"<space or line end>" : std::wstring(1, next));
            rendered += L'%';
            if (next)
                rendered += next;
            break;
        }
        ++i;
    }
    return Trimmed(rendered, L" ");
}

std::wstring SourceFolder()
{
    const std::string configured = HLM_MESSAGE_SOURCES;
    std::wstring folder = Widen(configured);
    // The build hands over the host's path; Wine opens it through its mapping of the host's
    // file system, which it names itself.
    if (!folder.empty() && folder[0] == L'/') {
        using DosName = WCHAR*(CDECL*)(const char*);
        const auto dosName = reinterpret_cast<DosName>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name"));
        WCHAR* mapped = dosName ? dosName(configured.c_str()) : nullptr;
        if (mapped) {
            folder = mapped;
            HeapFree(GetProcessHeap(), 0, mapped);
        } else {
            std::replace(folder.begin(), folder.end(), L'/', L'\\');
            folder = L"Z:" + folder;
        }
    }
    return folder;
}

std::vector<std::wstring> SourceNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\*.mc").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool ReadSource(const std::wstring& folder, const std::wstring& name, File& file)
{
    file = File();
    file.name = name;
    file.language = static_cast<LANGID>(wcstoul(name.substr(0, 4).c_str(), nullptr, 16));
    std::string bytes;
    if (!ReadBytes(folder + L"\\" + name, bytes))
        return false;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);

    const std::vector<std::wstring> lines = Lines(Widen(bytes));
    DWORD messageId = 0;
    bool haveId = false;
    int idLine = 0;
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::wstring& line = lines[n];
        std::wstring value;
        if (line.empty() || line[0] == L';')
            continue;
        if (Keyword(line, L"MessageId", value)) {
            // An empty value continues from the last id, "+n" counts on from it.
            if (value.empty())
                messageId = haveId ? messageId + 1 : 0;
            else if (value[0] == L'+')
                messageId += wcstoul(value.c_str() + 1, nullptr, 0);
            else
                messageId = wcstoul(value.c_str(), nullptr, 0);
            haveId = true;
            idLine = static_cast<int>(n + 1);
            continue;
        }
        if (!Keyword(line, L"Language", value))
            continue; // Severity, Facility, the header's names
        if (!haveId) {
            file.faults.push_back("line " + std::to_string(n + 1) + ": text without a MessageId");
            haveId = true;
        }
        std::vector<std::wstring> text;
        size_t end = n + 1;
        while (end < lines.size() && lines[end] != L".")
            text.push_back(lines[end++]);
        if (end == lines.size()) {
            file.faults.push_back("line " + std::to_string(n + 1) + ": text never ends with \".\"");
            break;
        }
        Entry entry;
        entry.id = kCustomerBit | messageId;
        entry.line = idLine;
        entry.pending = text.size() == 1 && text[0] == L"TODO";
        entry.rendered = Render(text, &entry.escapeFault);
        file.entries.push_back(entry);
        n = end;
    }
    return true;
}

Lookup LookUp(HMODULE table, DWORD id, LANGID language)
{
    std::vector<wchar_t> buffer(4096, L'\0');
    SetLastError(0);
    // The program's flags: from the given module, soft line breaks folded into spaces and hard
    // ones kept. No argument list; no message takes inserts.
    constexpr DWORD flags = FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_MAX_WIDTH_MASK;
    static_assert(flags == 0x8FF, "the program's lookup flags");
    Lookup result;
    if (FormatMessageW(flags, table, id, language, buffer.data(),
                       static_cast<DWORD>(buffer.size()), nullptr) == 0) {
        result.error = GetLastError();
        return result;
    }
    StrTrimW(buffer.data(), L" ");
    result.text = buffer.data();
    return result;
}

} // namespace msgsrc
