// The firewall profile accessor on the fake firewall manager: the profile it hands over, and
// for each step that can fail its trace, its status and no profile. Then the real manager,
// read only: Wine's reads "off" and cannot be switched.

#include "tests/diaglib/DiagTestSupport.h"
#include "tests/diaglib/FakeFirewall.h"

#include "diaglib/devices/Firewall.h"
#include "diaglib/exports/Engine.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using diagtest::Recorder;

TEST(WindowsFirewallInitialize, HandsOverTheCurrentProfile)
{
    FakeFirewall firewall;
    firewall.enabled = true;
    ScopedFirewallPort scoped(firewall);
    Recorder recorder;

    diag::IFirewallProfile* raw = nullptr;
    ASSERT_EQ(WindowsFirewallInitialize(&raw), S_OK);
    std::unique_ptr<diag::IFirewallProfile> profile(raw);
    ASSERT_TRUE(profile);
    bool enabled = false;
    EXPECT_EQ(profile->GetEnabled(&enabled), S_OK);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(profile->SetEnabled(false), S_OK);
    EXPECT_FALSE(firewall.enabled);
    EXPECT_TRUE(recorder.Traces().empty());

    profile.reset();
    EXPECT_EQ(firewall.liveProfiles, 0);
}

struct StepCase {
    diag::FirewallStep step;
    HRESULT status;
    const wchar_t* trace;
};

TEST(WindowsFirewallInitialize, AFailedStepIsTracedAndItsStatusReturnedWithoutAProfile)
{
    const StepCase cases[] = {
        {diag::FirewallStep::CreateManager, REGDB_E_CLASSNOTREG,
         L"WindowsFirewallInitialize : CoCreateInstance Failed"},
        {diag::FirewallStep::LocalPolicy, E_ACCESSDENIED,
         L"WindowsFirewallInitialize : get_LocalPolicy Failed"},
        {diag::FirewallStep::CurrentProfile, HRESULT_FROM_WIN32(ERROR_SERVICE_NOT_ACTIVE),
         L"WindowsFirewallInitialize : get_CurrentProfile failed"},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.status);
        FakeFirewall firewall;
        firewall.fails = true;
        firewall.failingStep = c.step;
        firewall.failure = c.status;
        ScopedFirewallPort scoped(firewall);
        Recorder recorder;

        diag::IFirewallProfile* profile = reinterpret_cast<diag::IFirewallProfile*>(1);
        EXPECT_EQ(WindowsFirewallInitialize(&profile), c.status);
        EXPECT_EQ(profile, nullptr);
        EXPECT_EQ(recorder.Traces(), std::vector<std::wstring>{c.trace});
        EXPECT_EQ(firewall.liveProfiles, 0);
    }
}

TEST(WindowsFirewallInitialize, RefusesANullPlaceForTheProfile)
{
    FakeFirewall firewall;
    ScopedFirewallPort scoped(firewall);
    EXPECT_EQ(WindowsFirewallInitialize(nullptr), E_POINTER);
    EXPECT_EQ(firewall.liveProfiles, 0);
}

TEST(WindowsFirewallInitialize, TheFakeIsRemovedWithItsScope)
{
    const diag::Ports before = diag::CurrentPorts();
    {
        FakeFirewall firewall;
        ScopedFirewallPort scoped(firewall);
        EXPECT_EQ(diag::CurrentPorts().firewall, &firewall);
        EXPECT_EQ(diag::CurrentPorts().setup, before.setup);
    }
    EXPECT_EQ(diag::CurrentPorts().firewall, before.firewall);
}

TEST(RealFirewall, ReadsTheCurrentProfile)
{
    diag::Engine().EnsureComInitialized();
    Recorder recorder;

    diag::IFirewallProfile* raw = nullptr;
    const HRESULT status = WindowsFirewallInitialize(&raw);
    std::unique_ptr<diag::IFirewallProfile> profile(raw);
    ASSERT_TRUE(SUCCEEDED(status)) << std::hex << status;
    ASSERT_TRUE(profile);
    EXPECT_TRUE(recorder.Traces().empty());
    bool enabled = true;
    EXPECT_EQ(profile->GetEnabled(&enabled), S_OK);
    // Wine's firewall manager always reads "off".
    EXPECT_FALSE(enabled);
}

} // namespace
