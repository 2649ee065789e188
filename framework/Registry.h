#pragma once

// Registry access that checks what it reads. Values come from other programs and from users, so
// a reader never trusts the stored type or length:
//   - the type must be the one asked for (REG_SZ or REG_EXPAND_SZ for strings, REG_MULTI_SZ for
//     lists, REG_DWORD for numbers), else WrongType;
//   - string data must be a whole number of wide characters, else Malformed; a DWORD must be
//     exactly 4 bytes, else Malformed;
//   - a string ends at its first NUL. A string stored without its NUL is accepted and the NUL
//     added here, since many writers leave it out; what follows the first NUL is ignored;
//   - text longer than the caller's limit gives TooLong, never a cut-down text; so does a value
//     of more than 16 MB, whatever its text.
// Whatever the result, nothing is written outside the caller's buffer, and a failed read leaves
// an empty result (and an empty C string in a caller's buffer).
//
// Works on XP: only RegQueryValueExW with explicit sizes, no RegGetValueW.

#include "framework/Array.h"
#include "framework/Handles.h"
#include "framework/SharedString.h"

#include <windows.h>

#include <utility>

namespace fw {

enum class RegResult {
    Ok,
    NotFound,  // no such key or value
    WrongType, // the value exists with another type
    TooLong,   // longer than the caller's limit
    Malformed, // wrong size for its type
    Error,     // any other failure (access denied, invalid handle, ...)
};

// Which view a 32-bit program sees on 64-bit Windows. Ignored on 32-bit Windows.
enum class RegView {
    Default,
    Force64, // KEY_WOW64_64KEY
    Force32, // KEY_WOW64_32KEY
};

enum class RegExpand {
    Keep,   // REG_EXPAND_SZ text as stored
    Expand, // REG_EXPAND_SZ text with %VARIABLES% expanded; REG_SZ is never expanded
};

// For logs.
const wchar_t* ToString(RegResult result) noexcept;

class RegKey {
  public:
    RegKey() noexcept = default;
    explicit RegKey(UniqueKey key) noexcept : key_(std::move(key)) {}

    // Both close any key held first.
    RegResult Open(HKEY parent, const wchar_t* subKey, REGSAM access = KEY_READ,
                   RegView view = RegView::Default) noexcept;
    // Opens the key, making it (and missing parents) when it does not exist.
    RegResult Create(HKEY parent, const wchar_t* subKey, REGSAM access = KEY_READ | KEY_WRITE,
                     RegView view = RegView::Default) noexcept;
    void Close() noexcept { key_.reset(); }

    bool IsOpen() const noexcept { return key_.IsValid(); }
    HKEY get() const noexcept { return key_.get(); } // borrowed

    // name null or L"" means the key's default value.
    RegResult ReadDword(const wchar_t* name, DWORD& value) const noexcept;
    // maxLength: the most characters the caller accepts, not counting the terminator.
    RegResult ReadString(const wchar_t* name, CSharedString& value, int maxLength,
                         RegExpand expand = RegExpand::Keep) const;
    // Into a caller's buffer of bufferChars characters, terminator included.
    RegResult ReadString(const wchar_t* name, wchar_t* buffer, int bufferChars,
                         RegExpand expand = RegExpand::Keep) const;
    // The list ends at its first empty string, as REG_MULTI_SZ is defined; missing final NULs
    // are tolerated. maxLength applies to each string.
    RegResult ReadMultiString(const wchar_t* name, CArray<CSharedString>& values,
                              int maxLength) const;

    RegResult WriteDword(const wchar_t* name, DWORD value) const noexcept;
    RegResult WriteString(const wchar_t* name, const wchar_t* value) const noexcept;
    RegResult WriteExpandString(const wchar_t* name, const wchar_t* value) const noexcept;
    // An empty string cannot be stored inside a list (it would end the list): Malformed.
    RegResult WriteMultiString(const wchar_t* name, const CArray<CSharedString>& values) const;

    RegResult DeleteValue(const wchar_t* name) const noexcept;

  private:
    UniqueKey key_;
};

// Deletes subKey of parent with everything below it. Written out by hand because RegDeleteTreeW
// and SHDeleteKeyW either need Vista or ignore the WOW64 view. A missing key is NotFound.
RegResult DeleteKeyTree(HKEY parent, const wchar_t* subKey, RegView view = RegView::Default);

} // namespace fw
