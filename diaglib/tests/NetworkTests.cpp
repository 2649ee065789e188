// The network tests. Until their examinations are written each answers like a test that cannot
// examine: the export's defaults stand and no problem is reported.

#include "diaglib/exports/Engine.h"

bool HLM_DIAG_ENGINE::TestNetworkDrv(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestNetworkDeviceStatus(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestNetworkConfig(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestNetworkService(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestNetworkPhysicalConnection(TestResult*)
{
    return true;
}
