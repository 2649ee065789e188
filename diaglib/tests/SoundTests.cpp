// The sound tests. Until their examinations are written each answers like a test that cannot
// examine: the export's defaults stand and no problem is reported.

#include "diaglib/exports/Engine.h"

bool HLM_DIAG_ENGINE::TestSoundDrv(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSoundDeviceStatus(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSoundService(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSoundOutputDevice(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSoundVolumelevel(TestResult*)
{
    return true;
}

bool HLM_DIAG_ENGINE::TestSoundSamplePlay(TestResult*)
{
    return true;
}
