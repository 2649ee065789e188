#include "framework/SharedString.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace fw {
namespace {

// Keeps every byte count of a block inside an int (and so inside a 32-bit size_t).
constexpr int kHeaderBytes = static_cast<int>(sizeof(SharedStringHeader));
constexpr int kMaxLength = (INT_MAX - kHeaderBytes) / static_cast<int>(sizeof(wchar_t)) - 1;

// msvcrt's _vsnwprintf answers -1 both for "buffer too small" and for a bad format, so the
// probing has to stop somewhere; no message of ours comes near this.
constexpr int kMaxFormattedLength = 16 * 1024 * 1024;

volatile LONG g_freedBlocks = 0;

// The single out-of-memory exit of the framework string. Non-continuable: a handler that tries
// to resume gets STATUS_NONCONTINUABLE_EXCEPTION instead of a string that silently lost text.
[[noreturn]] void FailFastOutOfMemory() noexcept
{
    ::RaiseException(STATUS_NO_MEMORY, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    ::TerminateProcess(::GetCurrentProcess(), STATUS_NO_MEMORY);
    for (;;) {
    }
}

// Every module that links the framework has its own copy of this function, so a block always
// returns to the allocator of the module that made it.
void __cdecl FreeBlock(SharedStringHeader* header)
{
    ::InterlockedIncrement(&g_freedBlocks);
    std::free(header);
}

wchar_t* CharsOf(SharedStringHeader* header) noexcept
{
    return reinterpret_cast<wchar_t*>(header + 1);
}

// A new block owned by this module, one reference, empty text.
SharedStringHeader* AllocateBlock(int capacity)
{
    if (capacity < 0 || capacity > kMaxLength) {
        FailFastOutOfMemory();
    }
    const size_t bytes =
        sizeof(SharedStringHeader) + (static_cast<size_t>(capacity) + 1) * sizeof(wchar_t);
    auto* header = static_cast<SharedStringHeader*>(std::malloc(bytes));
    if (!header) {
        FailFastOutOfMemory();
    }
    header->deallocate = &FreeBlock;
    header->refs = 1;
    header->length = 0;
    header->capacity = capacity;
    CharsOf(header)[0] = L'\0';
    return header;
}

wchar_t* NewChars(const wchar_t* text, int length)
{
    if (!text || length <= 0) {
        return nullptr;
    }
    SharedStringHeader* header = AllocateBlock(length);
    wchar_t* chars = CharsOf(header);
    std::memcpy(chars, text, static_cast<size_t>(length) * sizeof(wchar_t));
    chars[length] = L'\0';
    header->length = length;
    return chars;
}

// A plain read of the count is not enough for "am I the only owner?" on every compiler; this is
// a full-barrier read.
LONG RefCount(SharedStringHeader* header) noexcept
{
    return ::InterlockedCompareExchange(&header->refs, 0, 0);
}

int LengthOf(const wchar_t* text) noexcept
{
    if (!text) {
        return 0;
    }
    const size_t length = std::wcslen(text);
    if (length > static_cast<size_t>(kMaxLength)) {
        FailFastOutOfMemory();
    }
    return static_cast<int>(length);
}

int CompareOrdinal(const wchar_t* a, int aLength, const wchar_t* b, int bLength) noexcept
{
    const int common = aLength < bLength ? aLength : bLength;
    for (int i = 0; i < common; ++i) {
        if (a[i] != b[i]) {
            return static_cast<unsigned>(a[i]) < static_cast<unsigned>(b[i]) ? -1 : 1;
        }
    }
    return aLength == bLength ? 0 : (aLength < bLength ? -1 : 1);
}

wchar_t FoldCase(wchar_t ch) noexcept
{
    ::CharUpperBuffW(&ch, 1);
    return ch;
}

int CompareFolded(const wchar_t* a, int aLength, const wchar_t* b, int bLength) noexcept
{
    const int common = aLength < bLength ? aLength : bLength;
    for (int i = 0; i < common; ++i) {
        const wchar_t ca = FoldCase(a[i]);
        const wchar_t cb = FoldCase(b[i]);
        if (ca != cb) {
            return static_cast<unsigned>(ca) < static_cast<unsigned>(cb) ? -1 : 1;
        }
    }
    return aLength == bLength ? 0 : (aLength < bLength ? -1 : 1);
}

} // namespace

CSharedString::CSharedString(const wchar_t* text) : chars_(NewChars(text, LengthOf(text))) {}

CSharedString::CSharedString(const wchar_t* text, int length) : chars_(NewChars(text, length)) {}

CSharedString::CSharedString(const CSharedString& other) noexcept : chars_(other.chars_)
{
    if (chars_) {
        ::InterlockedIncrement(&Header()->refs);
    }
}

CSharedString::CSharedString(CSharedString&& other) noexcept : chars_(other.chars_)
{
    other.chars_ = nullptr;
}

CSharedString::~CSharedString()
{
    Release();
}

CSharedString& CSharedString::operator=(const CSharedString& other) noexcept
{
    if (other.chars_) {
        ::InterlockedIncrement(&other.Header()->refs);
    }
    Release();
    chars_ = other.chars_;
    return *this;
}

CSharedString& CSharedString::operator=(CSharedString&& other) noexcept
{
    if (this != &other) {
        Release();
        chars_ = other.chars_;
        other.chars_ = nullptr;
    }
    return *this;
}

CSharedString& CSharedString::operator=(const wchar_t* text)
{
    // Build first: text may point into this string.
    wchar_t* chars = NewChars(text, LengthOf(text));
    Release();
    chars_ = chars;
    return *this;
}

SharedStringHeader* CSharedString::Header() const noexcept
{
    return chars_ ? reinterpret_cast<SharedStringHeader*>(chars_) - 1 : nullptr;
}

void CSharedString::Release() noexcept
{
    SharedStringHeader* header = Header();
    chars_ = nullptr;
    if (header && ::InterlockedDecrement(&header->refs) == 0) {
        header->deallocate(header);
    }
}

const wchar_t* CSharedString::c_str() const noexcept
{
    return chars_ ? chars_ : L"";
}

int CSharedString::GetLength() const noexcept
{
    return chars_ ? Header()->length : 0;
}

void CSharedString::Empty() noexcept
{
    Release();
}

void CSharedString::PrepareToWrite(int capacity)
{
    SharedStringHeader* header = Header();
    if (header && RefCount(header) == 1 && header->capacity >= capacity) {
        return;
    }
    const int length = GetLength();
    SharedStringHeader* fresh = AllocateBlock(capacity > length ? capacity : length);
    if (length > 0) {
        std::memcpy(CharsOf(fresh), chars_, static_cast<size_t>(length) * sizeof(wchar_t));
    }
    CharsOf(fresh)[length] = L'\0';
    fresh->length = length;
    Release();
    chars_ = CharsOf(fresh);
}

CSharedString& CSharedString::Append(const wchar_t* text)
{
    return Append(text, LengthOf(text));
}

CSharedString& CSharedString::Append(const CSharedString& other)
{
    return Append(other.chars_, other.GetLength());
}

CSharedString& CSharedString::Append(const wchar_t* text, int length)
{
    if (!text || length <= 0) {
        return *this;
    }
    const int oldLength = GetLength();
    if (length > kMaxLength - oldLength) {
        FailFastOutOfMemory();
    }
    const int newLength = oldLength + length;
    SharedStringHeader* header = Header();
    if (header && RefCount(header) == 1 && header->capacity >= newLength) {
        // memmove: text may be a part of this very string.
        std::memmove(chars_ + oldLength, text, static_cast<size_t>(length) * sizeof(wchar_t));
    } else {
        // Shared or too small: a new block of this module. The old one stays alive until the
        // copy is done, since text may point into it.
        int capacity = newLength;
        if (header) {
            const int grown = header->capacity + header->capacity / 2;
            if (grown > capacity && grown <= kMaxLength) {
                capacity = grown;
            }
        }
        SharedStringHeader* fresh = AllocateBlock(capacity);
        wchar_t* chars = CharsOf(fresh);
        if (oldLength > 0) {
            std::memcpy(chars, chars_, static_cast<size_t>(oldLength) * sizeof(wchar_t));
        }
        std::memcpy(chars + oldLength, text, static_cast<size_t>(length) * sizeof(wchar_t));
        Release();
        chars_ = chars;
        header = fresh;
    }
    header->length = newLength;
    chars_[newLength] = L'\0';
    return *this;
}

int CSharedString::Compare(const wchar_t* text) const noexcept
{
    return CompareOrdinal(c_str(), GetLength(), text ? text : L"", LengthOf(text));
}

int CSharedString::Compare(const CSharedString& other) const noexcept
{
    return CompareOrdinal(c_str(), GetLength(), other.c_str(), other.GetLength());
}

int CSharedString::CompareNoCase(const wchar_t* text) const noexcept
{
    return CompareFolded(c_str(), GetLength(), text ? text : L"", LengthOf(text));
}

int CSharedString::CompareNoCase(const CSharedString& other) const noexcept
{
    return CompareFolded(c_str(), GetLength(), other.c_str(), other.GetLength());
}

int CSharedString::Find(const wchar_t* needle, int start) const noexcept
{
    const int length = GetLength();
    if (!needle || start < 0 || start > length) {
        return -1;
    }
    // Compared by length, not with wcsstr, so text after an embedded NUL is searched too.
    const int needleLength = LengthOf(needle);
    const wchar_t* chars = c_str();
    for (int i = start; i + needleLength <= length; ++i) {
        if (std::wmemcmp(chars + i, needle, static_cast<size_t>(needleLength)) == 0) {
            return i;
        }
    }
    return -1;
}

int CSharedString::Find(wchar_t ch, int start) const noexcept
{
    const int length = GetLength();
    if (start < 0) {
        return -1;
    }
    for (int i = start; i < length; ++i) {
        if (chars_[i] == ch) {
            return i;
        }
    }
    return -1;
}

int CSharedString::ReverseFind(wchar_t ch) const noexcept
{
    for (int i = GetLength() - 1; i >= 0; --i) {
        if (chars_[i] == ch)
            return i;
    }
    return -1;
}

CSharedString CSharedString::Left(int count) const
{
    return Mid(0, count);
}

CSharedString CSharedString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CSharedString CSharedString::Mid(int first, int count) const
{
    const int length = GetLength();
    if (first < 0) {
        first = 0;
    }
    if (first > length) {
        first = length;
    }
    if (count < 0) {
        count = 0;
    }
    if (count > length - first) {
        count = length - first;
    }
    if (first == 0 && count == length) {
        return *this;
    }
    return CSharedString(chars_ + first, count);
}

void CSharedString::MakeUpper()
{
    const int length = GetLength();
    if (length == 0) {
        return;
    }
    PrepareToWrite(length);
    ::CharUpperBuffW(chars_, static_cast<DWORD>(length));
}

bool CSharedString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const bool ok = FormatV(format, args);
    va_end(args);
    return ok;
}

bool CSharedString::FormatV(const wchar_t* format, va_list args)
{
    if (!format) {
        Empty();
        return false;
    }
    int capacity = LengthOf(format) + 64;
    for (;;) {
        SharedStringHeader* block = AllocateBlock(capacity);
        wchar_t* chars = CharsOf(block);
        va_list attempt;
        va_copy(attempt, args);
        // Room for capacity characters; the extra slot keeps the terminator ours to write,
        // because msvcrt leaves it out when the text fills the count exactly.
        const int written = ::_vsnwprintf(chars, static_cast<size_t>(capacity), format, attempt);
        va_end(attempt);
        if (written >= 0 && written <= capacity) {
            chars[written] = L'\0';
            block->length = written;
            Release();
            chars_ = chars;
            return true;
        }
        block->deallocate(block);
        if (capacity >= kMaxFormattedLength) {
            Empty();
            return false;
        }
        capacity = capacity > kMaxFormattedLength / 2 ? kMaxFormattedLength : capacity * 2;
    }
}

wchar_t* CSharedString::GetBuffer(int minLength)
{
    // Always leaves a block, so even GetBuffer(0) on an empty string has a terminator slot.
    PrepareToWrite(minLength > 0 ? minLength : 0);
    return chars_;
}

void CSharedString::ReleaseBuffer(int newLength) noexcept
{
    SharedStringHeader* header = Header();
    if (!header) {
        return;
    }
    const int capacity = header->capacity;
    if (newLength < 0) {
        // The caller's text may lack its NUL: look no further than the buffer.
        newLength = 0;
        while (newLength < capacity && chars_[newLength] != L'\0') {
            ++newLength;
        }
    } else if (newLength > capacity) {
        newLength = capacity;
    }
    header->length = newLength;
    chars_[newLength] = L'\0';
}

wchar_t* CSharedString::Detach() noexcept
{
    wchar_t* chars = chars_;
    chars_ = nullptr;
    return chars;
}

CSharedString CSharedString::Attach(wchar_t* chars) noexcept
{
    CSharedString result;
    result.chars_ = chars;
    return result;
}

LONG CSharedString::FreedBlockCount() noexcept
{
    return ::InterlockedCompareExchange(&g_freedBlocks, 0, 0);
}

bool operator==(const CSharedString& a, const CSharedString& b) noexcept
{
    return a.Compare(b) == 0;
}
bool operator==(const CSharedString& a, const wchar_t* b) noexcept
{
    return a.Compare(b) == 0;
}
bool operator==(const wchar_t* a, const CSharedString& b) noexcept
{
    return b.Compare(a) == 0;
}
bool operator!=(const CSharedString& a, const CSharedString& b) noexcept
{
    return !(a == b);
}
bool operator!=(const CSharedString& a, const wchar_t* b) noexcept
{
    return !(a == b);
}
bool operator!=(const wchar_t* a, const CSharedString& b) noexcept
{
    return !(a == b);
}

} // namespace fw
