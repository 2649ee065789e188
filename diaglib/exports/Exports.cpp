// The plain-function surface of the diagnostic library. Every export takes the program's
// result record and answers an 8-bit boolean; names are exported undecorated through the
// build's .def file.

#include "diaglib/exports/TestResult.h"

namespace {

// What every test export writes before its test runs.
void WriteDefaults(TestResult* result, int32_t categoryTag)
{
    result->categoryTag = categoryTag;
    result->problemCode = 0;
    result->problemFound = 0;
    result->detail.Empty();
}

const int32_t kNetworkTag = 8;

} // namespace

extern "C" {

// The packet test has no body in any build: it answers like a test that found nothing.
bool DllTestNetworkPacketTransition(TestResult* result)
{
    WriteDefaults(result, kNetworkTag);
    return true;
}

} // extern "C"
