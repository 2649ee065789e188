// The current firewall profile for the firewall repair. The port says which step of reaching
// it failed; the traces are written here, so they read the same whichever port is in use.

#include "diaglib/devices/Firewall.h"

#include "diaglib/exports/Trace.h"

HRESULT WindowsFirewallInitialize(diag::IFirewallProfile** profile)
{
    if (!profile)
        return E_POINTER;
    *profile = nullptr;
    diag::IFirewallProfile* current = nullptr;
    diag::FirewallStep failedStep = diag::FirewallStep::CreateManager;
    const HRESULT status = diag::CurrentPorts().firewall->CurrentProfile(&current, &failedStep);
    if (SUCCEEDED(status) && current) {
        *profile = current;
        return status;
    }
    // A profile handed out together with a failure is not used; success without a profile is
    // a failure of the last step.
    delete current;
    if (SUCCEEDED(status))
        failedStep = diag::FirewallStep::CurrentProfile;
    switch (failedStep) {
    case diag::FirewallStep::CreateManager:
        diag::Trace(L"WindowsFirewallInitialize : CoCreateInstance Failed");
        break;
    case diag::FirewallStep::LocalPolicy:
        diag::Trace(L"WindowsFirewallInitialize : get_LocalPolicy Failed");
        break;
    case diag::FirewallStep::CurrentProfile:
        diag::Trace(L"WindowsFirewallInitialize : get_CurrentProfile failed");
        break;
    }
    return FAILED(status) ? status : E_POINTER;
}
