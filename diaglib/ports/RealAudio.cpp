// Core Audio through the multimedia device enumerator: the default render endpoint, the capture
// endpoints and the endpoint volume. COM is initialised by the engine before this is used.

#include <windows.h>

#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <objbase.h>

#include <utility>

#include "diaglib/ports/RealPorts.h"
#include "framework/Handles.h"

namespace diag {

namespace {

// The enumerator's class, spelled out: MinGW declares it with DEFINE_GUID, which would need
// INITGUID in exactly one file of the library.
constexpr CLSID kDeviceEnumeratorClass = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};

class EndpointVolume : public IAudioVolume {
  public:
    explicit EndpointVolume(fw::ComPtr<IAudioEndpointVolume> volume) : volume_(std::move(volume))
    {
    }

    HRESULT GetMute(bool* muted) override
    {
        BOOL value = FALSE;
        const HRESULT status = volume_->GetMute(&value);
        *muted = SUCCEEDED(status) && value != FALSE;
        return status;
    }

    HRESULT GetMasterLevel(float* level) override
    {
        return volume_->GetMasterVolumeLevelScalar(level);
    }

  private:
    fw::ComPtr<IAudioEndpointVolume> volume_;
};

class Endpoint : public IAudioEndpoint {
  public:
    explicit Endpoint(fw::ComPtr<IMMDevice> device) : device_(std::move(device)) {}

    HRESULT GetId(wchar_t** id) override { return device_->GetId(id); }

    HRESULT ActivateVolume(IAudioVolume** volume) override
    {
        *volume = nullptr;
        fw::ComPtr<IAudioEndpointVolume> endpointVolume;
        const HRESULT status = device_->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL,
                                                 nullptr, endpointVolume.put_void());
        if (FAILED(status))
            return status;
        if (!endpointVolume)
            return E_POINTER;
        *volume = new EndpointVolume(std::move(endpointVolume));
        return S_OK;
    }

  private:
    fw::ComPtr<IMMDevice> device_;
};

class DeviceEnumerator : public IAudioDevices {
  public:
    explicit DeviceEnumerator(fw::ComPtr<IMMDeviceEnumerator> enumerator)
        : enumerator_(std::move(enumerator))
    {
    }

    HRESULT DefaultRenderEndpoint(IAudioEndpoint** endpoint) override
    {
        *endpoint = nullptr;
        fw::ComPtr<IMMDevice> device;
        const HRESULT status = enumerator_->GetDefaultAudioEndpoint(eRender, eConsole, device.put());
        if (FAILED(status))
            return status;
        if (!device)
            return E_POINTER;
        *endpoint = new Endpoint(std::move(device));
        return S_OK;
    }

    HRESULT CaptureEndpoints(DWORD stateMask, UINT* count) override
    {
        *count = 0;
        fw::ComPtr<IMMDeviceCollection> endpoints;
        const HRESULT status = enumerator_->EnumAudioEndpoints(eCapture, stateMask, endpoints.put());
        if (FAILED(status))
            return status;
        if (!endpoints)
            return E_POINTER;
        return endpoints->GetCount(count);
    }

  private:
    fw::ComPtr<IMMDeviceEnumerator> enumerator_;
};

} // namespace

HRESULT RealAudioPort::CreateDevices(IAudioDevices** devices)
{
    *devices = nullptr;
    fw::ComPtr<IMMDeviceEnumerator> enumerator;
    const HRESULT status = CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL,
                                            __uuidof(IMMDeviceEnumerator), enumerator.put_void());
    if (FAILED(status))
        return status;
    if (!enumerator)
        return E_POINTER;
    *devices = new DeviceEnumerator(std::move(enumerator));
    return S_OK;
}

} // namespace diag
