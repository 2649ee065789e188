#pragma once

// The wide string that crosses module boundaries (HLMMain.exe <-> the diagnostic library) inside
// result records.
//
// Layout, shared by every module that compiles this header:
//   CSharedString = one pointer to the characters, or null for the empty string.
//   Before the characters sits a SharedStringHeader {free function, reference count, length,
//   capacity}. The free function belongs to the module that allocated the block, so whichever
//   module drops the last reference gives the block back to the allocator that made it.
//   Consequence: a module must stay loaded while strings it made are alive elsewhere.
//
// Reference counting is atomic (Interlocked*). As with any value type, one CSharedString object
// must not be written by one thread while another thread uses that same object; distinct copies
// sharing a block may be used from different threads freely.
//
// Out of memory ends the process (RaiseException STATUS_NO_MEMORY, non-continuable): the
// framework has no exceptions, and the one place that does this is SharedString.cpp.

#include <windows.h>

#include <cstdarg>

namespace fw {

struct SharedStringHeader;

// __cdecl on purpose: the pointer is called from another module, so its convention is fixed.
using SharedStringFreeFn = void(__cdecl*)(SharedStringHeader* header);

struct SharedStringHeader {
    SharedStringFreeFn deallocate; // a function of the module that allocated the block
    volatile LONG refs;
    int length;   // characters, without the terminator
    int capacity; // characters that fit, without the terminator
};

// Every module reads this header, so its layout must not depend on how a module was compiled.
static_assert(sizeof(SharedStringHeader) == (sizeof(void*) == 4 ? 16 : 24),
              "shared string header layout");

class CSharedString {
  public:
    CSharedString() noexcept = default;
    CSharedString(const wchar_t* text);
    CSharedString(const wchar_t* text, int length);
    CSharedString(const CSharedString& other) noexcept;
    CSharedString(CSharedString&& other) noexcept;
    ~CSharedString();

    CSharedString& operator=(const CSharedString& other) noexcept;
    CSharedString& operator=(CSharedString&& other) noexcept;
    CSharedString& operator=(const wchar_t* text);

    // Never null: the empty string gives L"".
    const wchar_t* c_str() const noexcept;
    int GetLength() const noexcept;
    bool IsEmpty() const noexcept { return GetLength() == 0; }
    void Empty() noexcept;
    // No bounds check, like operator[] of the arrays.
    wchar_t operator[](int index) const noexcept { return chars_[index]; }

    CSharedString& Append(const wchar_t* text);
    CSharedString& Append(const wchar_t* text, int length);
    CSharedString& Append(const CSharedString& other);
    CSharedString& operator+=(const wchar_t* text) { return Append(text); }
    CSharedString& operator+=(const CSharedString& other) { return Append(other); }
    CSharedString& operator+=(wchar_t ch) { return Append(&ch, 1); }

    // Ordinal comparisons: <0, 0, >0. CompareNoCase folds case with the system's uppercase table.
    int Compare(const wchar_t* text) const noexcept;
    int Compare(const CSharedString& other) const noexcept;
    int CompareNoCase(const wchar_t* text) const noexcept;
    int CompareNoCase(const CSharedString& other) const noexcept;

    // Index of the first match at or after start, or -1. An empty needle matches at start.
    // A start outside 0..GetLength() gives -1.
    int Find(const wchar_t* needle, int start = 0) const noexcept;
    int Find(wchar_t ch, int start = 0) const noexcept;
    // Index of the last `ch`, or -1.
    int ReverseFind(wchar_t ch) const noexcept;

    // Out-of-range counts and positions are clamped to the string, as the framework string does.
    CSharedString Left(int count) const;
    CSharedString Mid(int first) const;
    CSharedString Mid(int first, int count) const;

    void MakeUpper();

    // printf-style with msvcrt's wide rules: %s is a wide string, %S a narrow one, %I64d for
    // 64-bit integers. The result is never cut short: on a formatting error, or a result over 16M
    // characters, it returns false and leaves the string empty. Arguments may point into this
    // string.
    bool Format(const wchar_t* format, ...);
    bool FormatV(const wchar_t* format, va_list args);

    // Room for at least minLength characters plus a terminator, owned by this string alone, for
    // Win32 calls that fill a buffer. ReleaseBuffer sets the length: -1 means up to the first
    // NUL, searched only within the buffer; a length beyond the buffer is cut to the buffer.
    wchar_t* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1) noexcept;

    // Hand a reference across a C boundary: Detach gives the raw character pointer (null when
    // empty) and its reference to the caller; Attach takes one reference over again.
    wchar_t* Detach() noexcept;
    static CSharedString Attach(wchar_t* chars) noexcept;

    // Diagnostics: blocks this module's free function has given back so far.
    static LONG FreedBlockCount() noexcept;

  private:
    SharedStringHeader* Header() const noexcept;
    // Makes the block this string's alone with room for capacity characters, keeping the text.
    void PrepareToWrite(int capacity);
    void Release() noexcept;

    wchar_t* chars_ = nullptr;
};

static_assert(sizeof(CSharedString) == sizeof(void*), "result records carry it as one pointer");

bool operator==(const CSharedString& a, const CSharedString& b) noexcept;
bool operator==(const CSharedString& a, const wchar_t* b) noexcept;
bool operator==(const wchar_t* a, const CSharedString& b) noexcept;
bool operator!=(const CSharedString& a, const CSharedString& b) noexcept;
bool operator!=(const CSharedString& a, const wchar_t* b) noexcept;
bool operator!=(const wchar_t* a, const CSharedString& b) noexcept;

} // namespace fw
