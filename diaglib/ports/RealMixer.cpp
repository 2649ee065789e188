// The multimedia mixer, which XP has instead of Core Audio: one control of mixer 0's speakers
// destination line, read through the usual open / line / control / details steps.

#include <windows.h>

#include <mmsystem.h>

#include "diaglib/ports/RealPorts.h"

namespace diag {

namespace {

class OpenMixer {
  public:
    OpenMixer() = default;
    ~OpenMixer()
    {
        if (mixer_)
            mixerClose(mixer_);
    }
    OpenMixer(const OpenMixer&) = delete;
    OpenMixer& operator=(const OpenMixer&) = delete;

    bool Open() { return mixerOpen(&mixer_, 0, 0, 0, MIXER_OBJECTF_MIXER) == MMSYSERR_NOERROR; }
    HMIXEROBJ get() const { return reinterpret_cast<HMIXEROBJ>(mixer_); }

  private:
    HMIXER mixer_ = nullptr;
};

// The first channel's value of the speakers line's control of `controlType`. Boolean and
// unsigned details have the same layout, one 32-bit value per channel.
bool ReadSpeakerControl(DWORD controlType, DWORD* value, MixerStep* failedStep)
{
    OpenMixer mixer;
    if (!mixer.Open()) {
        *failedStep = MixerStep::Open;
        return false;
    }

    MIXERLINEW line = {};
    line.cbStruct = sizeof(line);
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    if (mixerGetLineInfoW(mixer.get(), &line,
                          MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
        MMSYSERR_NOERROR) {
        *failedStep = MixerStep::LineInfo;
        return false;
    }

    MIXERCONTROLW control = {};
    control.cbStruct = sizeof(control);
    MIXERLINECONTROLSW controls = {};
    controls.cbStruct = sizeof(controls);
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = controlType;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(control);
    controls.pamxctrl = &control;
    if (mixerGetLineControlsW(mixer.get(), &controls,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR) {
        *failedStep = MixerStep::LineControls;
        return false;
    }

    MIXERCONTROLDETAILS_UNSIGNED channel = {};
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof(details);
    details.dwControlID = control.dwControlID;
    details.cChannels = 1; // all channels read as one
    details.cbDetails = sizeof(channel);
    details.paDetails = &channel;
    if (mixerGetControlDetailsW(mixer.get(), &details,
                                MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR) {
        *failedStep = MixerStep::ControlDetails;
        return false;
    }
    *value = channel.dwValue;
    return true;
}

} // namespace

bool RealMixerPort::SpeakerMute(bool* muted)
{
    DWORD value = 0;
    MixerStep failedStep = MixerStep::Open;
    *muted = false;
    if (!ReadSpeakerControl(MIXERCONTROL_CONTROLTYPE_MUTE, &value, &failedStep))
        return false;
    *muted = value != 0;
    return true;
}

bool RealMixerPort::SpeakerVolume(DWORD* value, MixerStep* failedStep)
{
    *value = 0;
    return ReadSpeakerControl(MIXERCONTROL_CONTROLTYPE_VOLUME, value, failedStep);
}

} // namespace diag
