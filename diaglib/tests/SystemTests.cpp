// The system tests. Until their examinations are written each answers like a test that cannot
// examine: the export's defaults stand and no problem is reported.

#include "diaglib/exports/Engine.h"

bool HLM_DIAG_ENGINE::TestSystemHddSpace(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemAntiVirusInstalled(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemFirewall(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemVirtualMemory(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemWindowsUpdate(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemTempInternetFile(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemKYVInstalled(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemDSVInstalled(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemSPVInstalled(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemPTWInstalled(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemPTWConfig(TestResult*)
{
    return true;
}
