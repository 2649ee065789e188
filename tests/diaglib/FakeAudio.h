#pragma once
// Core Audio and the XP mixer as a test stages them: whether each call succeeds, the default
// endpoint's identifier, its mute state and master level, the mixer's speaker controls.
// FakeAudio counts the objects it hands out that are still alive (Alive), so a test can see
// that the library released them, and what the library asked for.

#include <windows.h>

#include <objbase.h>

#include <string>

#include "diaglib/ports/Ports.h"

class FakeAudio : public diag::IAudioPort {
  public:
    HRESULT createStatus = S_OK;   // the device enumerator
    HRESULT endpointStatus = S_OK; // the default render endpoint
    HRESULT captureStatus = S_OK;  // the capture endpoint enumeration
    HRESULT idStatus = S_OK;
    std::wstring endpointId = L"{0.0.0.00000000}.{6a2f1c7e-0000-4000-8000-48454c4d4f52}";
    HRESULT activateStatus = S_OK;
    HRESULT muteStatus = S_OK;
    bool muted = false;
    HRESULT levelStatus = S_OK;
    float level = 1.0f;

    // What the library did.
    int enumeratorsMade = 0;
    DWORD captureStateMask = 0;
    int Alive() const { return alive_; }

    HRESULT CreateDevices(diag::IAudioDevices** devices) override
    {
        *devices = nullptr;
        if (FAILED(createStatus))
            return createStatus;
        ++enumeratorsMade;
        *devices = new Devices(*this);
        return S_OK;
    }

  private:
    class Counted {
      public:
        explicit Counted(FakeAudio& audio) : audio_(audio) { ++audio_.alive_; }
        ~Counted() { --audio_.alive_; }
        Counted(const Counted&) = delete;
        Counted& operator=(const Counted&) = delete;

      protected:
        FakeAudio& audio_;
    };

    class Volume : public diag::IAudioVolume, Counted {
      public:
        using Counted::Counted;
        HRESULT GetMute(bool* muted) override
        {
            *muted = audio_.muted;
            return audio_.muteStatus;
        }
        HRESULT GetMasterLevel(float* level) override
        {
            *level = audio_.level;
            return audio_.levelStatus;
        }
    };

    class Endpoint : public diag::IAudioEndpoint, Counted {
      public:
        using Counted::Counted;
        HRESULT GetId(wchar_t** id) override
        {
            *id = nullptr;
            if (FAILED(audio_.idStatus))
                return audio_.idStatus;
            const size_t bytes = (audio_.endpointId.size() + 1) * sizeof(wchar_t);
            *id = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
            memcpy(*id, audio_.endpointId.c_str(), bytes);
            return S_OK;
        }
        HRESULT ActivateVolume(diag::IAudioVolume** volume) override
        {
            *volume = nullptr;
            if (FAILED(audio_.activateStatus))
                return audio_.activateStatus;
            *volume = new Volume(audio_);
            return S_OK;
        }
    };

    class Devices : public diag::IAudioDevices, Counted {
      public:
        using Counted::Counted;
        HRESULT DefaultRenderEndpoint(diag::IAudioEndpoint** endpoint) override
        {
            *endpoint = nullptr;
            if (FAILED(audio_.endpointStatus))
                return audio_.endpointStatus;
            *endpoint = new Endpoint(audio_);
            return S_OK;
        }
        HRESULT CaptureEndpoints(DWORD stateMask, UINT* count) override
        {
            audio_.captureStateMask = stateMask;
            *count = SUCCEEDED(audio_.captureStatus) ? 1 : 0;
            return audio_.captureStatus;
        }
    };

    int alive_ = 0;
};

class FakeMixer : public diag::IMixerPort {
  public:
    bool muteReadable = true;
    bool muted = false;
    // Until a step fails, the speakers line's volume of 0 to 65535.
    bool volumeReadable = true;
    diag::MixerStep failingStep = diag::MixerStep::Open;
    DWORD volume = 0xFFFF;

    bool SpeakerMute(bool* isMuted) override
    {
        *isMuted = muteReadable && muted;
        return muteReadable;
    }

    bool SpeakerVolume(DWORD* value, diag::MixerStep* failedStep) override
    {
        *value = 0;
        if (!volumeReadable) {
            *failedStep = failingStep;
            return false;
        }
        *value = volume;
        return true;
    }
};
