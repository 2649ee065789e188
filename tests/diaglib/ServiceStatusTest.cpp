// The service check on real services of the prefix's service control manager, each made for
// the test on the stand-in service program: every start type with the service running and
// stopped, a service that does not exist, and one whose configuration does not fit the check's
// buffer. Each service has a name of its own and is stopped and deleted afterwards.

#include "tests/diaglib/DiagTestSupport.h"
#include "tests/diaglib/TestService.h"
#include "tests/support/TestSupport.h"

#include "diaglib/exports/Engine.h"
#include "framework/Handles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using diagtest::Recorder;
using diagtest::TestService;
using diagtest::UniqueServiceHandle;
using diagtest::UniqueServiceName;

std::wstring Engine(const wchar_t* rest)
{
    return std::wstring(diag::kEngineName) + rest;
}

struct StatusCase {
    const char* label;
    DWORD startType;      // as the service is created and started
    DWORD startTypeAfter; // set once it runs; SERVICE_NO_CHANGE keeps it
    bool running;
    bool inOrder;
};

// Only "starts with Windows and runs now" is in order; a running service that would not come
// back after a restart is not.
const StatusCase kStatusCases[] = {
    {"automatic, running", SERVICE_AUTO_START, SERVICE_NO_CHANGE, true, true},
    {"automatic, stopped", SERVICE_AUTO_START, SERVICE_NO_CHANGE, false, false},
    {"manual, running", SERVICE_DEMAND_START, SERVICE_NO_CHANGE, true, false},
    {"manual, stopped", SERVICE_DEMAND_START, SERVICE_NO_CHANGE, false, false},
    {"disabled, stopped", SERVICE_DISABLED, SERVICE_NO_CHANGE, false, false},
    {"disabled while running", SERVICE_DEMAND_START, SERVICE_DISABLED, true, false},
};

TEST(DetectServiceStatus, IsInOrderOnlyWhenStartingAutomaticallyAndRunning)
{
    for (const StatusCase& c : kStatusCases) {
        SCOPED_TRACE(c.label);
        TestService service(c.startType);
        ASSERT_TRUE(service.Created()) << "CreateService failed: " << GetLastError();
        if (c.running) {
            ASSERT_TRUE(service.Start()) << "the stand-in service did not start";
        }
        if (c.startTypeAfter != SERVICE_NO_CHANGE) {
            ASSERT_TRUE(service.ChangeStartType(c.startTypeAfter));
        }
        ASSERT_EQ(service.State(), c.running ? SERVICE_RUNNING : SERVICE_STOPPED);

        Recorder recorder;
        EXPECT_EQ(diag::Engine().DetectServiceStatus(service.Name().c_str()), c.inOrder);
        EXPECT_TRUE(recorder.Traces().empty());
    }
}

TEST(DetectServiceStatus, AServiceThatDoesNotExistCountsAsInOrder)
{
    Recorder recorder;
    const std::wstring name = UniqueServiceName();
    EXPECT_TRUE(diag::Engine().DetectServiceStatus(name.c_str()));
    EXPECT_EQ(recorder.Traces(),
              std::vector<std::wstring>{Engine(L"::DetectServiceStatus -  schService NUL")});
}

TEST(DetectServiceStatus, AConfigurationLargerThanTheBufferCountsAsInOrder)
{
    // The command line alone takes more than the 4096 bytes the configuration is read into,
    // so the query fails: a check that cannot be made never reports a stopped service.
    TestService service(SERVICE_AUTO_START, L"/" + std::wstring(2100, L'x'));
    ASSERT_TRUE(service.Created()) << "CreateService failed: " << GetLastError();
    ASSERT_EQ(service.State(), static_cast<DWORD>(SERVICE_STOPPED));

    Recorder recorder;
    EXPECT_TRUE(diag::Engine().DetectServiceStatus(service.Name().c_str()));
    EXPECT_EQ(recorder.Traces(), std::vector<std::wstring>{
                                     Engine(L"::DetectServiceStatus -   QueryServiceConfig Fail")});
}

TEST(DetectServiceStatus, LeavesNoHandleOpenSoADeletedServiceGoesAtOnce)
{
    // A service marked for deletion stays until the last handle to it is closed: a handle the
    // check left open would keep the name taken.
    std::wstring name;
    {
        TestService service(SERVICE_AUTO_START);
        ASSERT_TRUE(service.Created());
        name = service.Name();
        ASSERT_TRUE(service.Start());
        EXPECT_TRUE(diag::Engine().DetectServiceStatus(name.c_str()));
    }
    const UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    ASSERT_TRUE(manager);
    const UniqueServiceHandle again(
        OpenServiceW(manager.get(), name.c_str(), SERVICE_QUERY_STATUS));
    const DWORD error = GetLastError();
    EXPECT_FALSE(again);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
}

} // namespace
