#include "tests/diaglib/FakeFirewall.h"

namespace {

class FakeProfile : public diag::IFirewallProfile {
  public:
    explicit FakeProfile(FakeFirewall& firewall) : firewall_(firewall) { ++firewall_.liveProfiles; }
    ~FakeProfile() override { --firewall_.liveProfiles; }

    HRESULT GetEnabled(bool* enabled) override
    {
        if (FAILED(firewall_.readStatus))
            return firewall_.readStatus;
        *enabled = firewall_.enabled;
        return S_OK;
    }

    HRESULT SetEnabled(bool enabled) override
    {
        firewall_.switches.push_back(enabled);
        if (FAILED(firewall_.switchStatus))
            return firewall_.switchStatus;
        firewall_.enabled = enabled;
        return S_OK;
    }

  private:
    FakeFirewall& firewall_;
};

} // namespace

HRESULT FakeFirewall::CurrentProfile(diag::IFirewallProfile** profile,
                                     diag::FirewallStep* failedStep)
{
    *profile = nullptr;
    if (fails) {
        *failedStep = failingStep;
        return failure;
    }
    *profile = new FakeProfile(*this);
    return S_OK;
}

ScopedFirewallPort::ScopedFirewallPort(diag::IFirewallPort& port) : previous_(diag::CurrentPorts())
{
    diag::Ports replacement;
    replacement.firewall = &port;
    diag::InstallPorts(replacement);
}

ScopedFirewallPort::~ScopedFirewallPort()
{
    // Every member of the saved set is filled, so this puts back all of them.
    diag::InstallPorts(previous_);
}
