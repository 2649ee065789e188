#pragma once
// Real services of the prefix's service control manager, made for a test on the stand-in
// service program (HLMStandInService.exe in the bin folder) and stopped and deleted afterwards.

#include "framework/Handles.h"
#include "tests/support/TestSupport.h"

#include <windows.h>

#include <string>

namespace diagtest {

constexpr DWORD kStateChangeMs = 10000;

struct ServiceHandleTraits {
    using Handle = SC_HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { CloseServiceHandle(handle); }
};
using UniqueServiceHandle = fw::UniqueResource<ServiceHandleTraits>;

inline std::wstring UniqueServiceName()
{
    static int made = 0;
    return L"HLMTestService_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           std::to_wstring(GetTickCount()) + L"_" + std::to_wstring(++made);
}

inline std::wstring StandInCommand(const std::wstring& arguments = std::wstring())
{
    std::wstring command = L"\"" + hlmtest::BinDir() + L"\\HLMStandInService.exe\"";
    if (!arguments.empty())
        command += L" " + arguments;
    return command;
}

// A service on the stand-in program; stopped and deleted when the object goes.
class TestService {
  public:
    // A service of a name of its own, or of `name` when it is given.
    explicit TestService(DWORD startType, const std::wstring& arguments = std::wstring(),
                         const std::wstring& name = std::wstring())
        : name_(name.empty() ? UniqueServiceName() : name)
    {
        manager_.reset(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        if (!manager_)
            return;
        const std::wstring command = StandInCommand(arguments);
        service_.reset(CreateServiceW(manager_.get(), name_.c_str(), name_.c_str(),
                                      SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS, startType,
                                      SERVICE_ERROR_IGNORE, command.c_str(), nullptr, nullptr,
                                      nullptr, nullptr, nullptr));
    }

    ~TestService()
    {
        if (!service_)
            return;
        SERVICE_STATUS status = {};
        if (ControlService(service_.get(), SERVICE_CONTROL_STOP, &status))
            WaitForState(SERVICE_STOPPED);
        DeleteService(service_.get());
        service_.reset();
        // The service is only gone once its process has ended; until then a service of the
        // same name cannot be made again, which the next case of a table may want at once.
        const DWORD started = GetTickCount();
        while (GetTickCount() - started < kStateChangeMs) {
            UniqueServiceHandle left(
                OpenServiceW(manager_.get(), name_.c_str(), SERVICE_QUERY_STATUS));
            if (!left)
                break;
            Sleep(20);
        }
    }

    TestService(const TestService&) = delete;
    TestService& operator=(const TestService&) = delete;

    bool Created() const { return static_cast<bool>(service_); }
    const std::wstring& Name() const { return name_; }

    bool Start()
    {
        return StartServiceW(service_.get(), 0, nullptr) && WaitForState(SERVICE_RUNNING);
    }

    bool ChangeStartType(DWORD startType)
    {
        return ChangeServiceConfigW(service_.get(), SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE,
                                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                    nullptr) != FALSE;
    }

    DWORD State() const
    {
        SERVICE_STATUS status = {};
        return QueryServiceStatus(service_.get(), &status) ? status.dwCurrentState : 0;
    }

  private:
    bool WaitForState(DWORD state) const
    {
        const DWORD started = GetTickCount();
        while (GetTickCount() - started < kStateChangeMs) {
            if (State() == state)
                return true;
            Sleep(20);
        }
        return false;
    }

    std::wstring name_;
    UniqueServiceHandle manager_;
    UniqueServiceHandle service_;
};

// The states a service the library looks at is tried in: only one that starts with Windows and
// runs is in order.
struct ServiceStateCase {
    const char* label;
    DWORD startType;
    bool running;
    bool inOrder;
};
inline constexpr ServiceStateCase kServiceStates[] = {
    {"automatic, running", SERVICE_AUTO_START, true, true},
    {"automatic, stopped", SERVICE_AUTO_START, false, false},
    {"manual, running", SERVICE_DEMAND_START, true, false},
    {"disabled", SERVICE_DISABLED, false, false},
};

} // namespace diagtest
