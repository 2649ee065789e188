#pragma once
// The Windows Firewall's current profile (traces call it "WindowsFirewallInitialize").

#include "diaglib/ports/Ports.h"

// The status of the firewall manager calls and, on success, the current profile, owned by the
// caller.
HRESULT WindowsFirewallInitialize(diag::IFirewallProfile** profile);
