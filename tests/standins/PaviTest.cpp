// The BIOS interface stand-ins, loaded by name and bound with GetProcAddress as the program does,
// answering from the firmware state in the registry.
#include "framework/Handles.h"
#include "shell/outside/OutsideApi.h"
#include "standins/pavi/FirmwareState.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// Saves the firmware state key, clears it for the test, and puts the saved values back
// afterwards, so a prefix prepared as a notebook keeps its state.
class FirmwareStateFixture : public ::testing::Test {
  protected:
    void SetUp() override
    {
        Save();
        DeleteKey();
    }

    void TearDown() override
    {
        DeleteKey();
        Restore();
    }

    static void SetDword(const wchar_t* name, DWORD value)
    {
        ASSERT_EQ(ERROR_SUCCESS, Write(name, REG_DWORD, &value, sizeof(value)));
    }

    static void SetString(const wchar_t* name, const std::wstring& value)
    {
        ASSERT_EQ(ERROR_SUCCESS, Write(name, REG_SZ, value.c_str(),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))));
    }

    // -1 when the value is missing.
    static long long GetDword(const wchar_t* name)
    {
        fw::UniqueKey key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, 0,
                          KEY_QUERY_VALUE | pavi_state::kView, key.put()) != ERROR_SUCCESS)
            return -1;
        DWORD value = 0;
        DWORD type = 0;
        DWORD size = sizeof(value);
        LSTATUS status = RegQueryValueExW(key.get(), name, nullptr, &type,
                                          reinterpret_cast<BYTE*>(&value), &size);
        return status == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long long>(value) : -1;
    }

    static void DeleteKey()
    {
        LSTATUS status =
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, pavi_state::kView, 0);
        ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
    }

  private:
    struct SavedValue {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };

    static LSTATUS Write(const wchar_t* name, DWORD type, const void* data, DWORD bytes)
    {
        fw::UniqueKey key;
        LSTATUS status =
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, 0, nullptr, 0,
                            KEY_SET_VALUE | pavi_state::kView, nullptr, key.put(), nullptr);
        if (status != ERROR_SUCCESS)
            return status;
        return RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), bytes);
    }

    void Save()
    {
        saved_.clear();
        fw::UniqueKey key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, 0,
                          KEY_QUERY_VALUE | pavi_state::kView, key.put()) != ERROR_SUCCESS)
            return;
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD nameLength = 256;
            DWORD type = 0;
            DWORD size = 0;
            if (RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS)
                break;
            SavedValue value{name, type, std::vector<BYTE>(size)};
            RegQueryValueExW(key.get(), name, nullptr, nullptr, value.data.data(), &size);
            saved_.push_back(std::move(value));
        }
    }

    void Restore()
    {
        for (const SavedValue& value : saved_)
            EXPECT_EQ(ERROR_SUCCESS, Write(value.name.c_str(), value.type, value.data.data(),
                                           static_cast<DWORD>(value.data.size())));
    }

    std::vector<SavedValue> saved_;
};

// One of the two libraries, loaded by file name and bound by export name.
struct Pavi {
    explicit Pavi(const wchar_t* file) : module(LoadLibraryW(file))
    {
        if (!module)
            return;
        init = Bind<PFN_InitBIOSInterface>("InitBIOSInterface");
        modelName = Bind<PFN_GetModelNameFromPaviW>("GetModelNameFromPaviW");
        modelNameEx = Bind<PFN_GetModelNameFromPaviExW>("GetModelNameFromPaviExW");
        call = Bind<PFN_CallBIOSInterface>("CallBIOSInterface");
    }

    template <typename Function> Function Bind(const char* name) const
    {
        return reinterpret_cast<Function>(GetProcAddress(module.get(), name));
    }

    fw::UniqueModule module;
    PFN_InitBIOSInterface init = nullptr;
    PFN_GetModelNameFromPaviW modelName = nullptr;
    PFN_GetModelNameFromPaviExW modelNameEx = nullptr;
    PFN_CallBIOSInterface call = nullptr;
};

// The buffer the callers pass, with guard units behind it that must stay untouched.
constexpr int kGuardUnits = 6;
constexpr wchar_t kCanary = 0xCCCC;

struct ModelNameBuffer {
    wchar_t units[kPaviModelNameCapacity + kGuardUnits];

    ModelNameBuffer()
    {
        for (wchar_t& unit : units)
            unit = kCanary;
    }
    bool GuardIntact() const
    {
        for (int i = kPaviModelNameCapacity; i < kPaviModelNameCapacity + kGuardUnits; ++i)
            if (units[i] != kCanary)
                return false;
        return true;
    }
};

// Both libraries answer alike; a test runs once for each.
class PaviTest : public FirmwareStateFixture, public ::testing::WithParamInterface<const wchar_t*> {
  protected:
    void SetUp() override
    {
        FirmwareStateFixture::SetUp();
        pavi_.reset(new Pavi(GetParam()));
        ASSERT_TRUE(pavi_->module) << "LoadLibraryW failed: " << GetLastError();
        ASSERT_NE(nullptr, pavi_->init);
        ASSERT_NE(nullptr, pavi_->call);
    }

    void TearDown() override
    {
        pavi_.reset();
        FirmwareStateFixture::TearDown();
    }

    // Reads the model name as the program does on this library; false if the guard was hit.
    bool ReadModelName(ModelNameBuffer& buffer)
    {
        if (pavi_->modelName) {
            pavi_->modelName(buffer.units);
        } else {
            int extra = 0;
            pavi_->modelNameEx(buffer.units, kPaviModelNameCapacity, &extra);
        }
        return buffer.GuardIntact();
    }

    std::wstring ModelName()
    {
        ModelNameBuffer buffer;
        EXPECT_TRUE(ReadModelName(buffer));
        return buffer.units;
    }

    // Calls a command with byte 0 = `request` and the rest zero; returns the result, byte 0 in
    // `answer`.
    int Call(int command, unsigned char request, unsigned char& answer)
    {
        unsigned char buffer[kPaviBufferSize] = {request};
        int result = pavi_->call(command, buffer);
        answer = buffer[0];
        return result;
    }

    std::unique_ptr<Pavi> pavi_;
};

INSTANTIATE_TEST_SUITE_P(Libraries, PaviTest, ::testing::Values(kPavi2DllName, kPavi3DllName),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                             return info.param == kPavi2DllName ? "PAVI2" : "PAVI3";
                         });

// Each library has exactly its own model-name function; the program binds by these names.
TEST(PaviExports, EachLibraryHasItsOwnModelNameFunction)
{
    struct Case {
        const wchar_t* file;
        bool hasW;
        bool hasExW;
    };
    const Case cases[] = {{kPavi2DllName, true, false}, {kPavi3DllName, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << (c.hasW ? "PAVI2" : "PAVI3"));
        Pavi pavi(c.file);
        ASSERT_TRUE(pavi.module) << GetLastError();
        EXPECT_NE(nullptr, pavi.init);
        EXPECT_NE(nullptr, pavi.call);
        EXPECT_EQ(c.hasW, pavi.modelName != nullptr);
        EXPECT_EQ(c.hasExW, pavi.modelNameEx != nullptr);
    }
}

TEST_P(PaviTest, MissingStateIsAnOrdinaryNotebook)
{
    EXPECT_EQ(0, pavi_->init());
    EXPECT_EQ(L"", ModelName());

    unsigned char answer = 0;
    EXPECT_EQ(0, Call(kPaviCmdRadioState, 0, answer));
    EXPECT_EQ(1, answer);
    EXPECT_EQ(0, Call(kPaviCmdBatteryTopic, 0, answer));
    EXPECT_EQ(0, answer & kPaviBatteryTopicBit);
    EXPECT_EQ(-1, GetDword(pavi_state::kFactoryRestoreRequested));
}

TEST_P(PaviTest, ModelNameIsCutToNineUnitsAndTerminated)
{
    struct Case {
        const wchar_t* stored;
        const wchar_t* read;
    };
    const Case cases[] = {
        {L"", L""},
        {L"N", L"N"},
        {L"dmu4511", L"dmu4511"},
        {L"NB-123456", L"NB-123456"},              // exactly nine
        {L"NB-1234567", L"NB-123456"},             // ten: the terminator's place
        {L"DMU-7100-LONG-NAME-XYZ", L"DMU-7100-"}, // far longer than the buffer
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "stored \"" << c.stored << "\"");
        SetString(pavi_state::kModelName, c.stored);
        ModelNameBuffer buffer;
        EXPECT_TRUE(ReadModelName(buffer)) << "wrote past the 10-unit buffer";
        EXPECT_EQ(std::wstring(c.read), buffer.units);
    }
}

// A model name stored with another type, or a DWORD stored as a string, reads as missing.
TEST_P(PaviTest, ValuesOfTheWrongTypeReadAsMissing)
{
    SetDword(pavi_state::kModelName, 0x4E);
    SetString(pavi_state::kRadioSwitch, L"0");
    EXPECT_EQ(L"", ModelName());
    unsigned char answer = 0;
    EXPECT_EQ(0, Call(kPaviCmdRadioState, 0, answer));
    EXPECT_EQ(1, answer);
}

// The firmware can change between two calls (a test, or the radio switch being flipped).
TEST_P(PaviTest, StateIsReadOnEveryCall)
{
    unsigned char answer = 0;
    SetString(pavi_state::kModelName, L"N100");
    SetDword(pavi_state::kRadioSwitch, 0);
    EXPECT_EQ(L"N100", ModelName());
    Call(kPaviCmdRadioState, 0, answer);
    EXPECT_EQ(0, answer);

    SetString(pavi_state::kModelName, L"DMU200");
    SetDword(pavi_state::kRadioSwitch, 2);
    EXPECT_EQ(L"DMU200", ModelName());
    Call(kPaviCmdRadioState, 0, answer);
    EXPECT_EQ(2, answer);
}

constexpr int kNotFF = -1; // expected byte 0: anything but 0xFF

struct CommandCase {
    const char* what;
    std::vector<std::pair<const wchar_t*, DWORD>> state;
    int command;
    unsigned char request;
    bool succeeds; // result 0
    int answer;    // byte 0, or kNotFF
};

TEST_P(PaviTest, CommandsAnswerFromTheState)
{
    const CommandCase cases[] = {
        {"battery topic set",
         {{pavi_state::kBatteryTopic, 1}},
         kPaviCmdBatteryTopic,
         0,
         true,
         0x08},
        {"battery topic clear", {{pavi_state::kBatteryTopic, 0}}, kPaviCmdBatteryTopic, 0, true, 0},
        {"radio off", {{pavi_state::kRadioSwitch, 0}}, kPaviCmdRadioState, 0, true, 0},
        {"radio on (1)", {{pavi_state::kRadioSwitch, 1}}, kPaviCmdRadioState, 0, true, 1},
        {"radio on (2)", {{pavi_state::kRadioSwitch, 2}}, kPaviCmdRadioState, 0, true, 2},
        {"switch radio on", {{pavi_state::kRadioSwitch, 0}}, kPaviCmdRadioOn, 1, true, 1},
        {"radio on, bad request", {}, kPaviCmdRadioOn, 0, false, 0xFF},
        {"factory restore", {}, kPaviCmdFactoryRestore, 0x83, true, kNotFF},
        {"factory restore, bad request", {}, kPaviCmdFactoryRestore, 0x82, false, kNotFF},
        {"unknown command", {}, 42, 0, false, 0xFF},
        {"command 0", {}, 0, 0, false, 0xFF},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteKey();
        for (const auto& value : c.state)
            SetDword(value.first, value.second);
        unsigned char answer = 0;
        int result = Call(c.command, c.request, answer);
        EXPECT_EQ(c.succeeds, result == 0) << "result " << result;
        if (c.answer != kNotFF) {
            EXPECT_EQ(c.answer, answer);
        } else if (c.succeeds) {
            EXPECT_NE(0xFF, answer);
        }
    }
}

// The ways the firmware fails, each set on its own, as every caller must survive them.
TEST_P(PaviTest, FailureModes)
{
    SetDword(pavi_state::kInitResult, 3);
    EXPECT_EQ(3, pavi_->init());
    SetDword(pavi_state::kInitResult, 0);
    EXPECT_EQ(0, pavi_->init());

    struct Case {
        const wchar_t* value;
        int command;
        unsigned char request;
        int result;
    };
    const Case cases[] = {
        {pavi_state::kCallResult, kPaviCmdBatteryTopic, 0, 0x55},
        {pavi_state::kCallResult, kPaviCmdRadioState, 0, 0x55},
        {pavi_state::kCallResult, kPaviCmdRadioOn, 1, 0x55},
        {pavi_state::kCallResult, kPaviCmdFactoryRestore, 0x83, 0x55},
        {pavi_state::kAnswerFF, kPaviCmdBatteryTopic, 0, 0},
        {pavi_state::kAnswerFF, kPaviCmdRadioState, 0, 0},
        {pavi_state::kAnswerFF, kPaviCmdRadioOn, 1, 0},
        {pavi_state::kAnswerFF, kPaviCmdFactoryRestore, 0x83, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.value << " command " << c.command);
        SetDword(pavi_state::kCallResult, 0);
        SetDword(pavi_state::kAnswerFF, 0);
        SetDword(pavi_state::kRadioSwitch, 0);
        SetDword(c.value, c.value == pavi_state::kCallResult ? 0x55 : 1);

        unsigned char answer = 0;
        EXPECT_EQ(c.result, Call(c.command, c.request, answer));
        if (c.value == pavi_state::kAnswerFF) {
            EXPECT_EQ(0xFF, answer);
        }
        // A call that failed changed nothing.
        EXPECT_EQ(0, GetDword(pavi_state::kRadioSwitch));
        EXPECT_EQ(-1, GetDword(pavi_state::kFactoryRestoreRequested));
    }
}

TEST_P(PaviTest, RadioOnSwitchesTheRadioOn)
{
    SetDword(pavi_state::kRadioSwitch, 0);
    unsigned char answer = 0xAA;
    ASSERT_EQ(0, Call(kPaviCmdRadioState, 0, answer));
    ASSERT_EQ(0, answer);

    ASSERT_EQ(0, Call(kPaviCmdRadioOn, kPaviRadioOnRequest, answer));
    EXPECT_EQ(1, answer);
    ASSERT_EQ(0, Call(kPaviCmdRadioState, 0, answer));
    EXPECT_EQ(1, answer);
    EXPECT_EQ(1, GetDword(pavi_state::kRadioSwitch));
}

TEST_P(PaviTest, FactoryRestoreIsRecordedOnlyForItsRequestByte)
{
    const unsigned char refused[] = {0x00, 0x01, 0x03, 0x82, 0x84, 0xFF};
    unsigned char answer = 0;
    for (unsigned char request : refused) {
        SCOPED_TRACE(::testing::Message() << "request byte " << int(request));
        EXPECT_NE(0, Call(kPaviCmdFactoryRestore, request, answer));
        EXPECT_EQ(-1, GetDword(pavi_state::kFactoryRestoreRequested));
    }

    EXPECT_EQ(0, Call(kPaviCmdFactoryRestore, kPaviFactoryRestoreRequest, answer));
    EXPECT_NE(0xFF, answer);
    EXPECT_EQ(1, GetDword(pavi_state::kFactoryRestoreRequested));
}

} // namespace
