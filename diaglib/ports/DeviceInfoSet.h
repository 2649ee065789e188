#pragma once
// A setup API device information set, owned like any handle, with its devices counted once and
// addressed by index from then on. Both libraries' device lists are made of it.

#include <windows.h>

#include <setupapi.h>

#include <utility>

#include "framework/Handles.h"

namespace diag {

struct DeviceInfoSetTraits {
    using Handle = HDEVINFO;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) noexcept { SetupDiDestroyDeviceInfoList(handle); }
};
using UniqueDeviceInfoSet = fw::UniqueResource<DeviceInfoSetTraits>;

class IndexedDeviceSet {
  public:
    explicit IndexedDeviceSet(UniqueDeviceInfoSet set) : set_(std::move(set))
    {
        // Counted once: the list is a snapshot.
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        while (SetupDiEnumDeviceInfo(set_.get(), count_, &device))
            ++count_;
    }

  protected:
    DWORD DeviceCount() const { return count_; }
    HDEVINFO Set() const { return set_.get(); }
    bool Device(DWORD index, SP_DEVINFO_DATA& device) const
    {
        device = {};
        device.cbSize = sizeof(device);
        return index < count_ && SetupDiEnumDeviceInfo(set_.get(), index, &device) != FALSE;
    }

  private:
    UniqueDeviceInfoSet set_;
    DWORD count_ = 0;
};

} // namespace diag
