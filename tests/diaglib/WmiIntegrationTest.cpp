// The WMI helpers of one build through the real port, against Wine's own WMI service: the
// connection, the three device tables and the faulty-device query, as the shipped library
// runs them. Also prints what one connection and each fill cost (median of five runs).

#include "tests/diaglib/DiagTestSupport.h"

#include "diaglib/devices/Wmi.h"
#include "diaglib/exports/Engine.h"
#include "diaglib/ports/Ports.h"

#include <oleauto.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using diagtest::Recorder;

constexpr int kRuns = 5;

double Milliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

template <class Work> double MedianMilliseconds(const char* what, Work work)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        work();
        QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end));
    }
    std::sort(times.begin(), times.end());
    const double median = times[kRuns / 2];
    std::printf("[timing] %s: median %.1f ms (min %.1f, max %.1f) of %d runs\n", what, median,
                times.front(), times.back(), kRuns);
    std::fflush(stdout);
    return median;
}

bool StartsWith(const fw::CSharedString& text, const wchar_t* prefix)
{
    return text.Find(prefix) == 0;
}

class RealWmi : public testing::Test {
  protected:
    static void SetUpTestSuite() { diag::Engine().EnsureComInitialized(); }
};

// Runs first: the first connection of the process also loads WMI's client side.
TEST_F(RealWmi, ConnectsToCimv2)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    CCommonWmiData wmi;
    ASSERT_TRUE(wmi.Connect());
    QueryPerformanceCounter(&end);
    std::printf("[timing] first WMI connection of the process: %.1f ms\n",
                Milliseconds(start, end));
    MedianMilliseconds("WMI connection", [] {
        CCommonWmiData connection;
        EXPECT_TRUE(connection.Connect());
    });
}

// The port's objects report a property the class does not have as missing, which is what
// keeps Wine's sound devices from looking faulty.
TEST_F(RealWmi, MissingPropertiesAreReportedMissing)
{
    struct Probe : diag::IWmiVisitor {
        int objects = 0;
        int withErrorCode = 0;
        int withPnpId = 0;
        bool Visit(diag::IWmiObject& object) override
        {
            ++objects;
            VARIANT value;
            VariantInit(&value);
            if (object.Get(L"ConfigManagerErrorCode", &value))
                ++withErrorCode;
            VariantClear(&value);
            if (object.Get(L"PNPDeviceID", &value))
                ++withPnpId;
            VariantClear(&value);
            return true;
        }
    };
    diag::IWmiConnection* connection = diag::CurrentPorts().wmi->Connect(L"\\\\.\\root\\cimv2");
    ASSERT_NE(connection, nullptr);
    Probe probe;
    EXPECT_TRUE(connection->EnumerateInstances(L"Win32_SoundDevice", probe));
    EXPECT_EQ(probe.withPnpId, probe.objects);
    std::printf("Win32_SoundDevice: %d instances, %d with ConfigManagerErrorCode\n", probe.objects,
                probe.withErrorCode);

    // A class WMI does not have answers with no rows.
    Probe none;
    EXPECT_TRUE(connection->ExecQuery(L"SELECT * FROM Win32_CDROMDrive", none));
    EXPECT_EQ(none.objects, 0);
    delete connection;
}

TEST_F(RealWmi, VideoControllersAreListedAndWorking)
{
    CVideoControllerInfo video;
    ASSERT_TRUE(video.Connect());
    const int count = video.Fill();
    ASSERT_GE(count, 1);
    for (int i = 0; i < count; ++i) {
        const DeviceRecord& record = video.Record(i);
        std::printf("video %d: \"%ls\" state %d ram %d \"%ls\"\n", i, record.description.c_str(),
                    video.State(i), record.hasAdapterRam, record.pnpDeviceId.c_str());
        EXPECT_FALSE(record.description.IsEmpty());
        EXPECT_EQ(record.description.Find(L'"'), -1);
        EXPECT_EQ(video.State(i), kDeviceWorking);
    }
    MedianMilliseconds("CVideoControllerInfo::Fill",
                       [&video, count] { EXPECT_EQ(video.Fill(), count); });
}

// Wine's Win32_SoundDevice has no ConfigManagerErrorCode: its devices must read as working.
TEST_F(RealWmi, SoundDevicesReadAsWorking)
{
    CSoundDeviceInfo sound;
    ASSERT_TRUE(sound.Connect());
    const int count = sound.Fill();
    for (int i = 0; i < count; ++i) {
        const DeviceRecord& record = sound.Record(i);
        std::printf("sound %d: \"%ls\" code %d state %d \"%ls\" by \"%ls\"\n", i,
                    record.description.c_str(), sound.ErrorCode(i), sound.State(i),
                    record.pnpDeviceId.c_str(), record.manufacturer.c_str());
        EXPECT_EQ(sound.State(i), kDeviceWorking);
        EXPECT_EQ(sound.ErrorCode(i), 0);
    }
    MedianMilliseconds("CSoundDeviceInfo::Fill",
                       [&sound, count] { EXPECT_EQ(sound.Fill(), count); });
}

TEST_F(RealWmi, NetworkAdaptersAreOnPciOrSdOnly)
{
    Recorder recorder;
    CNetworkAdapter network;
    ASSERT_TRUE(network.Connect());
    const int count = network.Fill();
    for (int i = 0; i < count; ++i) {
        const DeviceRecord& record = network.Record(i);
        std::printf("network %d: \"%ls\" code %d status %d subtype %d \"%ls\"\n", i,
                    record.description.c_str(), network.ErrorCode(i), network.ConnectionStatus(i),
                    network.MediaSubType(i), record.pnpDeviceId.c_str());
        EXPECT_TRUE(StartsWith(record.pnpDeviceId, L"PCI") || StartsWith(record.pnpDeviceId, L"SD"))
            << i;
    }
    EXPECT_TRUE(recorder.Messages().empty());
    MedianMilliseconds("CNetworkAdapter::Fill",
                       [&network, count] { EXPECT_EQ(network.Fill(), count); });
}

// Wine cannot run the faulty-device query (WBEM_E_FAILED): the message is shown, nothing found.
TEST_F(RealWmi, TheErrorDeviceQueryFailsUnderWine)
{
    Recorder recorder;
    CCommonWmiData wmi;
    ASSERT_TRUE(wmi.Connect());
    fw::CSharedString id(L"old");
    EXPECT_FALSE(FindErrorDevice(wmi, kDisplayDevice, id));
    EXPECT_TRUE(id.IsEmpty());
    EXPECT_EQ(recorder.Messages(), std::vector<std::wstring>{L"ExecQuery() Error!!"});
    MedianMilliseconds("FindErrorDevice (failing query)",
                       [&wmi, &id] { FindErrorDevice(wmi, kDisplayDevice, id); });
}

} // namespace
