#pragma once
// Every text the program shows comes from its message table, in the language chosen from the
// user's UI language once per main window.

#include <windows.h>

#include "framework/SharedString.h"

// The table's language for a UI language; every block but Arabic can be chosen.
LANGID MessageLanguageFor(LANGID uiLanguage);
// The message language of the user's UI language.
LANGID GetMessageLanguage();

// The text of `messageId` in `language`, trimmed of spaces; empty when the table lacks the
// message or the language (there is no fall-back to another language).
fw::CSharedString LoadMessageText(LANGID language, DWORD messageId);

// The three-letter code of localised picture names ("Kor", "GRE", "BRA", ...) for a UI language.
const wchar_t* LanguageCodeFor(LANGID uiLanguage);
// The code of the user's UI language, fixed on the first call for the life of the process.
const wchar_t* GetLanguageCode();

// The face of every font the program makes: "Segoe UI" from Vista on, "Tahoma" before.
const wchar_t* FontFaceFor(DWORD windowsMajorVersion);
