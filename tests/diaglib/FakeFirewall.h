#pragma once
// A firewall manager the test sets up: whether the current profile is on, which step of
// reaching it fails, and what reading or switching the profile answers. Profiles it hands out
// share its state, so a switch made through one shows in `enabled`.

#include <windows.h>

#include <vector>

#include "diaglib/ports/Ports.h"

class FakeFirewall : public diag::IFirewallPort {
  public:
    bool enabled = false;
    HRESULT readStatus = S_OK;
    HRESULT switchStatus = S_OK;

    // The step that fails with `failure`; none while `fails` is false.
    bool fails = false;
    diag::FirewallStep failingStep = diag::FirewallStep::CreateManager;
    HRESULT failure = E_FAIL;

    // What the library asked SetEnabled for, in order.
    std::vector<bool> switches;
    // Profiles handed out and not yet deleted.
    int liveProfiles = 0;

    HRESULT CurrentProfile(diag::IFirewallProfile** profile,
                           diag::FirewallStep* failedStep) override;
};

// Installs a firewall port for the life of the object, then puts back the ports used before.
class ScopedFirewallPort {
  public:
    explicit ScopedFirewallPort(diag::IFirewallPort& port);
    ~ScopedFirewallPort();
    ScopedFirewallPort(const ScopedFirewallPort&) = delete;
    ScopedFirewallPort& operator=(const ScopedFirewallPort&) = delete;

  private:
    diag::Ports previous_;
};
