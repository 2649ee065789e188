// The paging-file setting: read by the virtual-memory test, made system-managed by its repair.

#include "diaglib/devices/VirtualMemory.h"

#if HLM_DIAG_GENERATION != 5

#include <windows.h>

#include <climits>

#include "framework/Array.h"
#include "framework/Registry.h"
#include "framework/SharedString.h"

namespace {

const wchar_t kMemoryManagementKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
const wchar_t kPagingFilesValue[] = L"PagingFiles";
// An entry is a path and two numbers. The limit is generous because it applies to every entry
// of the list, and an entry after the first must not make the first unreadable.
constexpr int kMaxEntryLength = 32767;

bool IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t';
}

// The next blank-separated field of `text` from `position`, as [start, end); false when
// none is left.
bool NextField(const wchar_t* text, int length, int& position, int& start, int& end)
{
    while (position < length && IsBlank(text[position]))
        ++position;
    if (position >= length)
        return false;
    start = position;
    while (position < length && !IsBlank(text[position]))
        ++position;
    end = position;
    return true;
}

// A size in MB: decimal digits only, within an int. Signs, letters and overflow are refused.
bool ParseSize(const wchar_t* text, int start, int end, int& size)
{
    long long value = 0;
    for (int i = start; i < end; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        value = value * 10 + (text[i] - L'0');
        if (value > INT_MAX)
            return false;
    }
    size = static_cast<int>(value);
    return true;
}

// One entry: "<path> [<initial MB> [<maximum MB>]]". A missing size is 0, as Windows reads
// a path alone (system-managed). False when a size is not a number.
bool ParseEntry(const fw::CSharedString& entry, int& mode, int& initialMb, int& maximumMb)
{
    const wchar_t* text = entry.c_str();
    const int length = entry.GetLength();
    int position = 0;
    int start = 0;
    int end = 0;
    if (!NextField(text, length, position, start, end)) {
        mode = kNoPagingFile;
        return true;
    }
    const bool anyDrive = text[start] == L'?';
    int sizes[2] = {0, 0};
    for (int& size : sizes) {
        if (!NextField(text, length, position, start, end))
            break;
        if (!ParseSize(text, start, end, size))
            return false;
    }
    initialMb = sizes[0];
    maximumMb = sizes[1];
    mode = anyDrive || (initialMb == 0 && maximumMb == 0) ? kSystemManagedPagingFile
                                                          : kFixedPagingFile;
    return true;
}

} // namespace

bool CVirtualMemInfo::Read(int* mode, int* initialMb, int* maximumMb)
{
    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kMemoryManagementKey, KEY_ALL_ACCESS) != fw::RegResult::Ok)
        return false;

    // Only the first entry counts. The whole value is read, not a fixed first part of it: with
    // paging files on several drives it runs past any small buffer, and reading it as empty
    // would call a working setting "no paging file". A plain string is one entry (Wine's
    // default prefix has one). A value that is missing, of any other type, or whose entry
    // cannot be understood is not a setting Windows can use: it reads as no paging file, which
    // the repair replaces with a system-managed one.
    int readMode = kNoPagingFile;
    int initial = 0;
    int maximum = 0;
    fw::CArray<fw::CSharedString> entries;
    fw::RegResult read = key.ReadMultiString(kPagingFilesValue, entries, kMaxEntryLength);
    if (read == fw::RegResult::WrongType) {
        fw::CSharedString single;
        read = key.ReadString(kPagingFilesValue, single, kMaxEntryLength);
        if (read == fw::RegResult::Ok && !single.IsEmpty())
            entries.Add(single);
    }
    if (read == fw::RegResult::Ok && !entries.IsEmpty() &&
        !ParseEntry(entries[0], readMode, initial, maximum)) {
        readMode = kNoPagingFile;
        initial = 0;
        maximum = 0;
    }
    if (mode)
        *mode = readMode;
    if (initialMb)
        *initialMb = initial;
    if (maximumMb)
        *maximumMb = maximum;
    return true;
}

bool CVirtualMemInfo::SetSystemManaged()
{
    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kMemoryManagementKey, KEY_ALL_ACCESS) != fw::RegResult::Ok)
        return false;
    // "?:" lets Windows choose the drives and the sizes; without sizes the file is managed.
    fw::CArray<fw::CSharedString> entries;
    entries.Add(fw::CSharedString(L"?:\\pagefile.sys"));
    return key.WriteMultiString(kPagingFilesValue, entries) == fw::RegResult::Ok;
}

#endif
