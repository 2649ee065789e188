#include "diaglib/ports/Ports.h"
#include "tests/diaglib/FakeWmi.h"

ScopedWmi::ScopedWmi(diag::IWmiPort& port) : previous_(diag::CurrentPorts().wmi)
{
    diag::Ports ports;
    ports.wmi = &port;
    diag::InstallPorts(ports);
}

ScopedWmi::~ScopedWmi()
{
    diag::Ports ports;
    ports.wmi = previous_;
    diag::InstallPorts(ports);
}
