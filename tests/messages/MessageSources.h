#pragma once
// The message texts as they are written, read from the .mc sources, and what each of them must
// look like once the program has looked it up: the yardstick for what windmc stored.

#include <windows.h>

#include <string>
#include <vector>

namespace msgsrc {

// One entry of a source file.
struct Entry {
    DWORD id = 0;             // the full message id, customer bit set
    int line = 0;             // line of its MessageId in the source
    std::wstring rendered;    // what FormatMessageW (0x8FF) and trimming must give
    std::wstring escapeFault; // an escape the program's lookup has no rendering for
    bool pending = false;     // text "TODO": waiting for its translation, left out of the build
};

struct File {
    LANGID language = 0; // from the file name: "0412-Korean.mc" is block 0x0412
    std::wstring name;   // the file name
    std::vector<Entry> entries;
    std::vector<std::string> faults; // what could not be read as an entry
};

// What the lookup makes of an entry's text lines: every line end a soft break (one space), "%r"
// a carriage return, "%." a full stop, "%%" a per-cent sign, then spaces trimmed at both ends.
// Any other escape is named in `fault`, since no text of ours may use one.
std::wstring Render(const std::vector<std::wstring>& lines, std::wstring* fault);

// A text as the program gets it from a message table: FormatMessageW with the program's flags
// (0x8FF) into a buffer far larger than any text, so a long text shows whole, spaces trimmed.
struct Lookup {
    DWORD error = 0;   // GetLastError of a failed lookup; 0 when the text was found
    std::wstring text; // rendered and trimmed
};
Lookup LookUp(HMODULE table, DWORD id, LANGID language);

// UTF-8, for failure messages.
std::string Utf8(const std::wstring& text);

// The folder of the sources, as a path this (Windows) program can open.
std::wstring SourceFolder();

// Every "*.mc" file of `folder`, sorted by name.
std::vector<std::wstring> SourceNames(const std::wstring& folder);

// Reads one source (UTF-8, with or without a byte order mark, LF or CR LF line ends).
// False when the file cannot be read at all.
bool ReadSource(const std::wstring& folder, const std::wstring& name, File& file);

} // namespace msgsrc
