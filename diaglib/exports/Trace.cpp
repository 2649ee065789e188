#include "diaglib/exports/Trace.h"

#include <cstdarg>
#include <cwchar>

#include "diaglib/exports/Engine.h"

namespace diag {

namespace {
TextSink traceSink = nullptr;
TextSink messageSink = nullptr;
} // namespace

void SetTraceSink(TextSink sink)
{
    traceSink = sink;
}

void SetMessageSink(TextSink sink)
{
    messageSink = sink;
}

void ShowMessage(const wchar_t* text)
{
    if (messageSink) {
        messageSink(text);
        return;
    }
    // Captioned with the library's name, as a framework library's message boxes are.
#if HLM_DIAG_GENERATION == 7
    MessageBoxW(nullptr, text, L"ProbixWin7", MB_OK);
#elif HLM_DIAG_GENERATION == 6
    MessageBoxW(nullptr, text, L"ProbixVista", MB_OK);
#else
    MessageBoxW(nullptr, text, L"ProbixXp", MB_OK);
#endif
}

void Trace(const wchar_t* text)
{
    OutputDebugStringW(text);
    if (traceSink)
        traceSink(text);
}

void TraceOutcome(const wchar_t* operation, const wchar_t* outcome)
{
    TraceFormat(L"%ls::%ls - %ls", kEngineName, operation, outcome);
}

void TraceFormat(const wchar_t* format, ...)
{
    wchar_t text[1024];
    va_list arguments;
    va_start(arguments, format);
    const int written = _vsnwprintf(text, 1023, format, arguments);
    va_end(arguments);
    // msvcrt answers -1 when the text was cut; a C99 printf the full length it wanted.
    text[written < 0 || written > 1023 ? 1023 : written] = L'\0';
    Trace(text);
}

} // namespace diag
