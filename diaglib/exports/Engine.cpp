#include "diaglib/exports/Engine.h"

#include <objbase.h>

#include "diaglib/exports/Trace.h"
#include "framework/App.h"

namespace diag {

#if HLM_DIAG_GENERATION == 7
const wchar_t kEngineName[] = L"DiagnosticsWin7";
#elif HLM_DIAG_GENERATION == 6
const wchar_t kEngineName[] = L"DiagnosticsVista";
#else
const wchar_t kEngineName[] = L"DiagnosticsXP";
#endif

} // namespace diag

namespace {

// The library's application object: it exists for the life of the library and does only the
// framework's default work; the exports are plain functions.
#if HLM_DIAG_GENERATION == 7
class CProbixWin7App : public fw::CApp {};
CProbixWin7App application;
#elif HLM_DIAG_GENERATION == 6
class CProbixVistaApp : public fw::CApp {};
CProbixVistaApp application;
#else
class CProbixXpApp : public fw::CApp {};
CProbixXpApp application;
#endif

HLM_DIAG_ENGINE engine;

} // namespace

HLM_DIAG_ENGINE& diag::Engine()
{
    return engine;
}

HLM_DIAG_ENGINE::HLM_DIAG_ENGINE() = default;

HLM_DIAG_ENGINE::~HLM_DIAG_ENGINE()
{
    // COM stays initialised: the library never knows whether the thread still uses it.
    if (comReady_) {
        comWords_[0] = 0;
        comWords_[1] = 0;
    }
}

void HLM_DIAG_ENGINE::EnsureComInitialized()
{
    if (comReady_)
        return;
    if (FAILED(CoInitialize(nullptr))) {
        diag::Trace(L"CoInitialize Failed");
    } else if (FAILED(CoInitializeSecurity(
                   nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY,
                   RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_SECURE_REFS, nullptr))) {
        diag::Trace(L"CoInitializeSecurity Failed");
    }
    // One attempt per library, whatever its outcome: a test goes on and its COM calls fail.
    comReady_ = true;
}
