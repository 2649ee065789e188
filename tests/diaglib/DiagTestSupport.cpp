#include "tests/diaglib/DiagTestSupport.h"

#include "diaglib/exports/Trace.h"

namespace diagtest {

namespace {

std::vector<std::wstring> traces;
std::vector<std::wstring> messages;
int recorders = 0; // alive; the sinks stay installed while any is

void OnTrace(const wchar_t* text)
{
    traces.emplace_back(text);
}

void OnMessage(const wchar_t* text)
{
    messages.emplace_back(text);
}

} // namespace

Recorder::Recorder()
{
    Clear();
    ++recorders;
    diag::SetTraceSink(&OnTrace);
    diag::SetMessageSink(&OnMessage);
}

Recorder::~Recorder()
{
    if (--recorders == 0) {
        diag::SetTraceSink(nullptr);
        diag::SetMessageSink(nullptr);
    }
}

const std::vector<std::wstring>& Recorder::Traces() const
{
    return traces;
}

const std::vector<std::wstring>& Recorder::Messages() const
{
    return messages;
}

bool Recorder::Traced(const std::wstring& text) const
{
    for (const std::wstring& trace : traces) {
        if (trace == text)
            return true;
    }
    return false;
}

void Recorder::Clear()
{
    traces.clear();
    messages.clear();
}

} // namespace diagtest
