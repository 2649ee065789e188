#include "diaglib/ports/Ports.h"

#include "diaglib/ports/RealPorts.h"

namespace diag {

namespace {

// Objects without state, set up before any code of the library runs (no initialisation at run
// time, so no guard either).
RealWmiPort realWmi;
RealSetupPort realSetup;
RealDisplayPort realDisplay;
RealFirewallPort realFirewall;
RealAudioPort realAudio;
RealMixerPort realMixer;
RealSystemPort realSystem;
Ports installed = {&realWmi, &realSetup, &realDisplay, &realFirewall, &realAudio, &realMixer,
                   &realSystem};

Ports& Installed()
{
    return installed;
}

} // namespace

const Ports& CurrentPorts()
{
    return Installed();
}

void InstallPorts(const Ports& replacements)
{
    Ports& ports = Installed();
    if (replacements.wmi)
        ports.wmi = replacements.wmi;
    if (replacements.setup)
        ports.setup = replacements.setup;
    if (replacements.display)
        ports.display = replacements.display;
    if (replacements.firewall)
        ports.firewall = replacements.firewall;
    if (replacements.audio)
        ports.audio = replacements.audio;
    if (replacements.mixer)
        ports.mixer = replacements.mixer;
    if (replacements.system)
        ports.system = replacements.system;
}

} // namespace diag
