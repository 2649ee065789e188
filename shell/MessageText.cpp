#include "shell/MessageText.h"

#include <shlwapi.h>

namespace {

WORD Primary(LANGID id)
{
    return static_cast<WORD>(id & 0x3FF);
}
WORD Sub(LANGID id)
{
    return static_cast<WORD>(id >> 10);
}

// FormatMessageW fails outright when the text does not fit, so the buffer is made for the
// longest translation with room to spare (the longest are near 600 characters).
constexpr DWORD kMessageBufferChars = 4096;

} // namespace

LANGID MessageLanguageFor(LANGID uiLanguage)
{
    const WORD primary = Primary(uiLanguage);
    const WORD sub = Sub(uiLanguage);
    const bool secondVariant =
        (primary == LANG_CHINESE || primary == LANG_PORTUGUESE || primary == LANG_CROATIAN) &&
        sub == 2;
    bool kept = primary >= 2 && primary <= 36;
    switch (primary) {
    case 3:  // Catalan
    case 13: // Hebrew
    case 15: // Icelandic
    case 17: // Japanese
    case 23: // Romansh
    case 28: // Albanian
    case 32: // Urdu
    case 33: // Indonesian
    case 35: // Belarusian
        kept = false;
        break;
    default:
        break;
    }
    return static_cast<LANGID>((kept ? primary : LANG_ENGLISH) | ((secondVariant ? 2 : 1) << 10));
}

LANGID GetMessageLanguage()
{
    return MessageLanguageFor(GetUserDefaultUILanguage());
}

fw::CSharedString LoadMessageText(LANGID language, DWORD messageId)
{
    fw::CSharedString text;
    wchar_t* buffer = text.GetBuffer(kMessageBufferChars);
    buffer[0] = L'\0';
    // 0x8FF: from our own module; the width mask drops the soft line breaks and keeps the hard
    // ones. No message has inserts, so the escapes "%." and "%%" are rendered (with the
    // ignore-inserts flag they would come through as written).
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_MAX_WIDTH_MASK, nullptr,
                       messageId, language, buffer, kMessageBufferChars, nullptr);
    if (length == 0)
        buffer[0] = L'\0';
    StrTrimW(buffer, L" ");
    text.ReleaseBuffer();
    return text;
}

const wchar_t* LanguageCodeFor(LANGID uiLanguage)
{
    switch (Primary(uiLanguage)) {
    case LANG_CHINESE:
        return Sub(uiLanguage) == 2 ? L"Chs" : L"Cht";
    case LANG_DANISH:
        return L"Dan";
    case LANG_GERMAN:
        return L"Ger";
    case LANG_GREEK:
        return L"GRE";
    case LANG_SPANISH:
        return L"Spa";
    case LANG_FINNISH:
        return L"Fin";
    case LANG_FRENCH:
        return L"Fra";
    case LANG_ITALIAN:
        return L"Ita";
    case LANG_KOREAN:
        return L"Kor";
    case LANG_DUTCH:
        return L"Dut";
    case LANG_NORWEGIAN:
        return L"Nor";
    case LANG_POLISH:
        return L"Pol";
    case LANG_PORTUGUESE:
        return Sub(uiLanguage) == 1 ? L"BRA" : L"POR";
    case LANG_RUSSIAN:
        return L"Rus";
    case LANG_SWEDISH:
        return L"Swe";
    case LANG_THAI:
        return L"THA";
    case LANG_TURKISH:
        return L"Tur";
    case LANG_UKRAINIAN:
        return L"Ukr";
    default:
        return L"Eng";
    }
}

const wchar_t* GetLanguageCode()
{
    // Filled once, on the window thread, and kept: later language changes are not followed.
    static wchar_t code[9];
    if (!code[0])
        lstrcpynW(code, LanguageCodeFor(GetUserDefaultUILanguage()), ARRAYSIZE(code));
    return code;
}

const wchar_t* FontFaceFor(DWORD windowsMajorVersion)
{
    return windowsMajorVersion >= 6 ? L"Segoe UI" : L"Tahoma";
}
