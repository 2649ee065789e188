// The Windows Firewall through its COM manager: the local policy's current profile, read and
// switched through FirewallEnabled. COM is initialised by the engine before this is used.

#include <windows.h>

#include <netfw.h>
#include <objbase.h>

#include <utility>

#include "diaglib/ports/RealPorts.h"
#include "framework/Handles.h"

namespace diag {

namespace {

class NetFwProfile : public IFirewallProfile {
  public:
    explicit NetFwProfile(fw::ComPtr<INetFwProfile> profile) : profile_(std::move(profile)) {}

    HRESULT GetEnabled(bool* enabled) override
    {
        VARIANT_BOOL value = VARIANT_FALSE;
        const HRESULT status = profile_->get_FirewallEnabled(&value);
        if (enabled)
            *enabled = SUCCEEDED(status) && value != VARIANT_FALSE;
        return status;
    }

    HRESULT SetEnabled(bool enabled) override
    {
        return profile_->put_FirewallEnabled(enabled ? VARIANT_TRUE : VARIANT_FALSE);
    }

  private:
    fw::ComPtr<INetFwProfile> profile_;
};

} // namespace

HRESULT RealFirewallPort::CurrentProfile(IFirewallProfile** profile, FirewallStep* failedStep)
{
    *profile = nullptr;
    // The manager and the policy are released on every way out; only the profile is handed on.
    fw::ComPtr<INetFwMgr> manager;
    HRESULT status = CoCreateInstance(__uuidof(NetFwMgr), nullptr, CLSCTX_INPROC_SERVER,
                                      __uuidof(INetFwMgr), manager.put_void());
    if (FAILED(status) || !manager) {
        *failedStep = FirewallStep::CreateManager;
        return FAILED(status) ? status : E_POINTER;
    }
    fw::ComPtr<INetFwPolicy> policy;
    status = manager->get_LocalPolicy(policy.put());
    if (FAILED(status) || !policy) {
        *failedStep = FirewallStep::LocalPolicy;
        return FAILED(status) ? status : E_POINTER;
    }
    fw::ComPtr<INetFwProfile> current;
    status = policy->get_CurrentProfile(current.put());
    if (FAILED(status) || !current) {
        *failedStep = FirewallStep::CurrentProfile;
        return FAILED(status) ? status : E_POINTER;
    }
    *profile = new NetFwProfile(std::move(current));
    return status;
}

} // namespace diag
