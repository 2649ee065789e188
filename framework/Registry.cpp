#include "framework/Registry.h"

#include <cstring>
#include <cwchar>
#include <memory>

namespace fw {
namespace {

// Larger values are refused before reading; none of ours comes near, and it keeps every size
// below in range on 32-bit.
constexpr DWORD kMaxValueBytes = 16 * 1024 * 1024;

// The value may change between asking its size and reading it; try again a few times.
constexpr int kReadAttempts = 4;

REGSAM ViewFlag(RegView view) noexcept
{
    switch (view) {
    case RegView::Force64:
        return KEY_WOW64_64KEY;
    case RegView::Force32:
        return KEY_WOW64_32KEY;
    case RegView::Default:
        break;
    }
    return 0;
}

RegResult FromError(LONG error) noexcept
{
    switch (error) {
    case ERROR_SUCCESS:
        return RegResult::Ok;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return RegResult::NotFound;
    default:
        return RegResult::Error;
    }
}

bool IsStringType(DWORD type) noexcept
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}
bool IsMultiStringType(DWORD type) noexcept
{
    return type == REG_MULTI_SZ;
}

// The characters of a string-like value, as stored, followed by two NULs of our own so that
// parsing always finds an end inside the buffer.
struct StoredChars {
    std::unique_ptr<wchar_t[]> chars;
    int count = 0; // stored characters, without our NULs
    DWORD type = REG_NONE;
};

RegResult ReadStoredChars(HKEY key, const wchar_t* name, bool (*acceptType)(DWORD),
                          StoredChars& out)
{
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        LONG error = ::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
        if (error != ERROR_SUCCESS) {
            return FromError(error);
        }
        if (!acceptType(type)) {
            return RegResult::WrongType;
        }
        if (size % sizeof(wchar_t) != 0) {
            return RegResult::Malformed;
        }
        if (size > kMaxValueBytes) {
            return RegResult::TooLong;
        }
        const DWORD count = size / sizeof(wchar_t);
        std::unique_ptr<wchar_t[]> chars(new wchar_t[count + 2]());
        DWORD readSize = size;
        error = ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(chars.get()),
                                   &readSize);
        if (error == ERROR_MORE_DATA) {
            continue;
        }
        if (error != ERROR_SUCCESS) {
            return FromError(error);
        }
        // Checked again: this is what was read, the first answer may be stale.
        if (!acceptType(type)) {
            return RegResult::WrongType;
        }
        if (readSize % sizeof(wchar_t) != 0) {
            return RegResult::Malformed;
        }
        out.count = static_cast<int>(readSize / sizeof(wchar_t));
        out.chars = std::move(chars);
        out.type = type;
        return RegResult::Ok;
    }
    return RegResult::Error;
}

// Length up to the first NUL, or all of the stored characters when the NUL is missing.
int TextLength(const wchar_t* chars, int count) noexcept
{
    int length = 0;
    while (length < count && chars[length] != L'\0') {
        ++length;
    }
    return length;
}

RegResult ExpandText(const wchar_t* text, CSharedString& value, int maxLength)
{
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        // The answer counts the terminator.
        const DWORD needed = ::ExpandEnvironmentStringsW(text, nullptr, 0);
        if (needed == 0) {
            return RegResult::Error;
        }
        if (needed - 1 > static_cast<DWORD>(maxLength)) {
            return RegResult::TooLong;
        }
        CSharedString expanded;
        wchar_t* buffer = expanded.GetBuffer(static_cast<int>(needed));
        const DWORD written = ::ExpandEnvironmentStringsW(text, buffer, needed);
        if (written == 0) {
            return RegResult::Error;
        }
        if (written > needed) {
            continue; // the environment changed in between
        }
        expanded.ReleaseBuffer(static_cast<int>(written) - 1);
        value = std::move(expanded);
        return RegResult::Ok;
    }
    return RegResult::Error;
}

RegResult SetValue(HKEY key, const wchar_t* name, DWORD type, const wchar_t* data,
                   size_t chars) noexcept
{
    if (chars > kMaxValueBytes / sizeof(wchar_t)) {
        return RegResult::TooLong;
    }
    const LONG error = ::RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(data),
                                        static_cast<DWORD>(chars * sizeof(wchar_t)));
    return FromError(error);
}

using RegDeleteKeyExFn = LONG(WINAPI*)(HKEY, const wchar_t*, REGSAM, DWORD);

// RegDeleteKeyExW is missing from 32-bit XP's advapi32, so it cannot be imported directly; there
// is no WOW64 view to choose there anyway.
LONG DeleteOneKey(HKEY parent, const wchar_t* subKey, RegView view) noexcept
{
    if (view != RegView::Default) {
        HMODULE advapi = ::GetModuleHandleW(L"advapi32.dll");
        FARPROC proc = advapi ? ::GetProcAddress(advapi, "RegDeleteKeyExW") : nullptr;
        if (proc) {
            auto deleteKeyEx = reinterpret_cast<RegDeleteKeyExFn>(reinterpret_cast<void*>(proc));
            return deleteKeyEx(parent, subKey, ViewFlag(view), 0);
        }
    }
    return ::RegDeleteKeyW(parent, subKey);
}

} // namespace

const wchar_t* ToString(RegResult result) noexcept
{
    switch (result) {
    case RegResult::Ok:
        return L"ok";
    case RegResult::NotFound:
        return L"not found";
    case RegResult::WrongType:
        return L"wrong type";
    case RegResult::TooLong:
        return L"too long";
    case RegResult::Malformed:
        return L"malformed";
    case RegResult::Error:
        break;
    }
    return L"error";
}

RegResult RegKey::Open(HKEY parent, const wchar_t* subKey, REGSAM access, RegView view) noexcept
{
    Close();
    HKEY key = nullptr;
    const LONG error = ::RegOpenKeyExW(parent, subKey, 0, access | ViewFlag(view), &key);
    if (error != ERROR_SUCCESS) {
        return FromError(error);
    }
    key_.reset(key);
    return RegResult::Ok;
}

RegResult RegKey::Create(HKEY parent, const wchar_t* subKey, REGSAM access, RegView view) noexcept
{
    Close();
    HKEY key = nullptr;
    const LONG error = ::RegCreateKeyExW(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         access | ViewFlag(view), nullptr, &key, nullptr);
    if (error != ERROR_SUCCESS) {
        return FromError(error);
    }
    key_.reset(key);
    return RegResult::Ok;
}

RegResult RegKey::ReadDword(const wchar_t* name, DWORD& value) const noexcept
{
    value = 0;
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG error = ::RegQueryValueExW(key_.get(), name, nullptr, &type, nullptr, &size);
    if (error != ERROR_SUCCESS) {
        return FromError(error);
    }
    if (type != REG_DWORD) {
        return RegResult::WrongType;
    }
    if (size != sizeof(DWORD)) {
        return RegResult::Malformed;
    }
    DWORD data = 0;
    size = sizeof(data);
    error =
        ::RegQueryValueExW(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (error == ERROR_MORE_DATA) {
        return RegResult::Malformed;
    }
    if (error != ERROR_SUCCESS) {
        return FromError(error);
    }
    if (type != REG_DWORD) {
        return RegResult::WrongType;
    }
    if (size != sizeof(DWORD)) {
        return RegResult::Malformed;
    }
    value = data;
    return RegResult::Ok;
}

RegResult RegKey::ReadString(const wchar_t* name, CSharedString& value, int maxLength,
                             RegExpand expand) const
{
    value.Empty();
    if (maxLength < 0) {
        maxLength = 0;
    }
    StoredChars stored;
    const RegResult read = ReadStoredChars(key_.get(), name, &IsStringType, stored);
    if (read != RegResult::Ok) {
        return read;
    }
    const wchar_t* text = stored.chars.get();
    const int length = TextLength(text, stored.count);
    if (expand == RegExpand::Expand && stored.type == REG_EXPAND_SZ) {
        // stored.chars always holds a NUL at length, our own if the value had none.
        return ExpandText(text, value, maxLength);
    }
    if (length > maxLength) {
        return RegResult::TooLong;
    }
    value = CSharedString(text, length);
    return RegResult::Ok;
}

RegResult RegKey::ReadString(const wchar_t* name, wchar_t* buffer, int bufferChars,
                             RegExpand expand) const
{
    if (!buffer || bufferChars <= 0) {
        return RegResult::Error;
    }
    buffer[0] = L'\0';
    CSharedString value;
    const RegResult result = ReadString(name, value, bufferChars - 1, expand);
    if (result != RegResult::Ok) {
        return result;
    }
    // ReadString kept the length within bufferChars - 1, so the terminator fits too.
    std::memcpy(buffer, value.c_str(),
                (static_cast<size_t>(value.GetLength()) + 1) * sizeof(wchar_t));
    return RegResult::Ok;
}

RegResult RegKey::ReadMultiString(const wchar_t* name, CArray<CSharedString>& values,
                                  int maxLength) const
{
    values.RemoveAll();
    StoredChars stored;
    const RegResult read = ReadStoredChars(key_.get(), name, &IsMultiStringType, stored);
    if (read != RegResult::Ok) {
        return read;
    }
    CArray<CSharedString> items;
    const wchar_t* chars = stored.chars.get();
    int position = 0;
    while (position < stored.count) {
        const int length = TextLength(chars + position, stored.count - position);
        if (length == 0) {
            break;
        }
        if (length > maxLength) {
            return RegResult::TooLong;
        }
        items.Add(CSharedString(chars + position, length));
        position += length + 1;
    }
    values.Swap(items);
    return RegResult::Ok;
}

RegResult RegKey::WriteDword(const wchar_t* name, DWORD value) const noexcept
{
    const LONG error = ::RegSetValueExW(key_.get(), name, 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&value), sizeof(value));
    return FromError(error);
}

RegResult RegKey::WriteString(const wchar_t* name, const wchar_t* value) const noexcept
{
    const wchar_t* text = value ? value : L"";
    return SetValue(key_.get(), name, REG_SZ, text, std::wcslen(text) + 1);
}

RegResult RegKey::WriteExpandString(const wchar_t* name, const wchar_t* value) const noexcept
{
    const wchar_t* text = value ? value : L"";
    return SetValue(key_.get(), name, REG_EXPAND_SZ, text, std::wcslen(text) + 1);
}

RegResult RegKey::WriteMultiString(const wchar_t* name, const CArray<CSharedString>& values) const
{
    size_t total = 1; // the empty string that ends the list
    for (const CSharedString& value : values) {
        if (value.IsEmpty()) {
            return RegResult::Malformed;
        }
        total += static_cast<size_t>(value.GetLength()) + 1;
        if (total > kMaxValueBytes / sizeof(wchar_t)) {
            return RegResult::TooLong;
        }
    }
    std::unique_ptr<wchar_t[]> data(new wchar_t[total]);
    wchar_t* out = data.get();
    for (const CSharedString& value : values) {
        const size_t chars = static_cast<size_t>(value.GetLength()) + 1;
        std::memcpy(out, value.c_str(), chars * sizeof(wchar_t));
        out += chars;
    }
    *out = L'\0';
    return SetValue(key_.get(), name, REG_MULTI_SZ, data.get(), total);
}

RegResult RegKey::DeleteValue(const wchar_t* name) const noexcept
{
    return FromError(::RegDeleteValueW(key_.get(), name));
}

RegResult DeleteKeyTree(HKEY parent, const wchar_t* subKey, RegView view)
{
    // An empty name would mean the parent itself; never delete that by accident.
    if (!subKey || !*subKey) {
        return RegResult::Error;
    }
    UniqueKey key;
    const LONG opened = ::RegOpenKeyExW(
        parent, subKey, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | DELETE | ViewFlag(view),
        key.put());
    if (opened != ERROR_SUCCESS) {
        return FromError(opened);
    }
    // Always take the first child: deleting shifts the indexes of the rest.
    for (;;) {
        wchar_t child[256]; // key names are at most 255 characters
        DWORD childChars = ARRAYSIZE(child);
        const LONG error =
            ::RegEnumKeyExW(key.get(), 0, child, &childChars, nullptr, nullptr, nullptr, nullptr);
        if (error == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (error != ERROR_SUCCESS) {
            return FromError(error);
        }
        const RegResult result = DeleteKeyTree(key.get(), child, view);
        if (result != RegResult::Ok && result != RegResult::NotFound) {
            return result;
        }
    }
    key.reset();
    return FromError(DeleteOneKey(parent, subKey, view));
}

} // namespace fw
