#pragma once
// The library's debug traces: OutputDebugStringW only, never a file and never the user.

#include <windows.h>

namespace diag {

void Trace(const wchar_t* text);
// "<engine>::<operation> - <outcome>", the form most tests use.
void TraceOutcome(const wchar_t* operation, const wchar_t* outcome);
// printf-style, for traces that carry a value; cut at 1023 characters.
void TraceFormat(const wchar_t* format, ...);

// A message box with an OK button and no owner: the library's only words to the user.
void ShowMessage(const wchar_t* text);

// Tests of the library read the traces as they are written and the messages instead of
// showing them. Null (the default) for none. Not exported.
using TextSink = void (*)(const wchar_t* text);
void SetTraceSink(TextSink sink);
void SetMessageSink(TextSink sink);

} // namespace diag
