// The program's binding to the BIOS interface library, against the stand-in libraries and a
// firmware state in the registry.
#include "shell/outside/Bios.h"
#include "standins/pavi/FirmwareState.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace hlmtest;

namespace {

class BiosSession : public ::testing::Test {
  protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear()
    {
        DeleteRegTree(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, fw::RegView::Force64);
    }
    static void Set(const wchar_t* name, DWORD value)
    {
        ASSERT_TRUE(WriteRegDword(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, name, value,
                                  fw::RegView::Force64));
    }
};

} // namespace

TEST_F(BiosSession, ReadsTheModelNameThroughEitherLibrary)
{
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, pavi_state::kModelName,
                               L"NP300E5ABCDEF", fw::RegView::Force64));
    for (int generation : {0, 1, 2}) {
        CBiosSession bios(generation);
        ASSERT_TRUE(bios.Loaded()) << generation;
        EXPECT_TRUE(bios.Ready());
        wchar_t name[kPaviModelNameCapacity];
        bios.ReadModelName(name);
        EXPECT_STREQ(name, L"NP300E5AB") << generation; // cut to 9 characters
    }
}

TEST_F(BiosSession, FailuresGiveNoAnswer)
{
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, pavi_state::kModelName,
                               L"DMU", fw::RegView::Force64));
    Set(pavi_state::kInitResult, 1);
    {
        CBiosSession bios(2);
        EXPECT_FALSE(bios.Ready());
        wchar_t name[kPaviModelNameCapacity];
        bios.ReadModelName(name);
        EXPECT_STREQ(name, L""); // the model reader gives up without a ready interface
        unsigned char answer[kPaviBufferSize];
        EXPECT_TRUE(bios.Call(kPaviCmdRadioState, 0, answer)); // the radio callers go on
        EXPECT_EQ(answer[0], 1);
    }
    Set(pavi_state::kInitResult, 0);
    Set(pavi_state::kAnswerFF, 1);
    unsigned char answer[kPaviBufferSize];
    EXPECT_FALSE(CBiosSession(1).Call(kPaviCmdRadioState, 0, answer));
}
