// The WMI value formatter and the multi-string search of the hardware identifiers.

#include <windows.h>

#include <oleauto.h>

#include <cwchar>

#include "diaglib/devices/Wmi.h"

namespace {

// Every non-string form fits in 31 characters.
constexpr int kMaxFormatted = 31;

fw::CSharedString Printed(const wchar_t* format, ...)
{
    wchar_t text[kMaxFormatted + 1];
    va_list arguments;
    va_start(arguments, format);
    const int written = _vsnwprintf(text, kMaxFormatted, format, arguments);
    va_end(arguments);
    // A form that does not fit is cut at the limit rather than overrunning the buffer.
    text[written < 0 || written > kMaxFormatted ? kMaxFormatted : written] = L'\0';
    return fw::CSharedString(text);
}

// "%10.4f", the text WMI readers use for real numbers. From about 1e26 on that takes more than
// 31 characters (up to 300 digits); cutting it would give a plainly wrong number, so such
// values keep four decimals in exponent form instead.
fw::CSharedString PrintedReal(double value)
{
    wchar_t text[kMaxFormatted + 2];
    const int written = _snwprintf(text, kMaxFormatted + 1, L"%10.4f", value);
    if (written >= 0 && written <= kMaxFormatted) {
        text[written] = L'\0';
        return fw::CSharedString(text);
    }
    return Printed(L"%.4e", value);
}

} // namespace

fw::CSharedString FormatWmiValue(const VARIANT& value)
{
    switch (value.vt) {
    case VT_NULL:
        return fw::CSharedString(L"<null>");
    case VT_I2:
        return Printed(L"%hu (0x%hX)", static_cast<unsigned short>(value.iVal),
                       static_cast<unsigned short>(value.iVal));
    case VT_UI1:
        if (value.bVal < 32)
            return Printed(L"%hu (0x%hX)", static_cast<unsigned short>(value.bVal),
                           static_cast<unsigned short>(value.bVal));
        return Printed(L"'%lc' (%hu, 0x%hX)", static_cast<wint_t>(value.bVal),
                       static_cast<unsigned short>(value.bVal),
                       static_cast<unsigned short>(value.bVal));
    case VT_I4:
        return Printed(L"%d (0x%X)", static_cast<int>(value.lVal),
                       static_cast<unsigned int>(value.lVal));
    case VT_R4:
        return PrintedReal(value.fltVal);
    case VT_R8:
        return PrintedReal(value.dblVal);
    case VT_BSTR: {
        // Strings keep their whole length: descriptions and device identifiers run past 31
        // characters. A BSTR ends at its first NUL for our purposes.
        fw::CSharedString text(L"\"");
        if (value.bstrVal)
            text.Append(value.bstrVal);
        text.Append(L"\"");
        return text;
    }
    case VT_BOOL:
        return fw::CSharedString(value.boolVal == VARIANT_FALSE ? L"FALSE" : L"TRUE");
    case VT_UNKNOWN:
    case VT_DISPATCH:
        return fw::CSharedString();
    default:
        // VT_EMPTY, arrays, references and every type WMI readers do not print.
        return fw::CSharedString(L"<conversion error>");
    }
}

bool MultiStringContains(const wchar_t* value, size_t characters, const wchar_t* marker)
{
    // A hardware identifier list is a few hundred characters; the limit keeps the length well
    // inside the string's int range.
    if (!value || !marker || characters > 0x100000)
        return false;
    // A copy with a terminator of its own: the registry hands over values without their
    // terminators as readily as with them.
    fw::CSharedString joined;
    wchar_t* text = joined.GetBuffer(static_cast<int>(characters));
    for (size_t i = 0; i < characters; ++i) {
        // The separators between identifiers, but not the list's closing pair, become 0x7F so
        // that one search covers every identifier and no marker matches across two of them.
        text[i] = (value[i] == L'\0' && i + 2 < characters) ? wchar_t(0x7F) : value[i];
    }
    text[characters] = L'\0';
    joined.ReleaseBuffer(static_cast<int>(characters));
    return wcsstr(joined.c_str(), marker) != nullptr;
}
