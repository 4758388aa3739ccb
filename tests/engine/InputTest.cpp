// The input layer on the headless host: keyboard keys, joystick thresholds and buttons, and the
// merge rule of devices and players.
#include <gtest/gtest.h>

#include "engine/Config.h"
#include "engine/Input.h"
#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Host.SetQuiet(true);
        SetHost(&m_Host);
        CInputState::Reset();
        g_Config.SetDefaults();
    }
    void TearDown() override {
        CInputState::Reset();
        g_Config.SetDefaults();
        SetHost(nullptr);
    }
    void Joy(int n, uint32_t x, uint32_t y, uint32_t buttons) { m_Host.SetJoystick(n, HOSTJOYSTATE{x, y, buttons}); }

    CHostHeadless m_Host;
};

TEST_F(InputTest, KeyboardKeysGiveTheirBits) {
    struct {
        int nKey;
        int nMask;
    } const kKeys[] = {{VK_UP, 1},   {VK_DOWN, 2}, {VK_LEFT, 4},   {VK_RIGHT, 8}, {'Z', 16},
                       {'X', 32},    {VK_SHIFT, 64}, {'C', 64},    {VK_LSHIFT, 64}, {VK_RETURN, 0}, {'Q', 0}};
    for (const auto& k : kKeys) {
        m_Host.PressKey(k.nKey);
        EXPECT_EQ(CInputState::GetInput(0), k.nMask) << k.nKey;
        EXPECT_EQ(CInputState::Keyboard(1), 0);
        m_Host.ReleaseKey(k.nKey);
    }
    m_Host.PressKey('Z');
    m_Host.PressKey(VK_LEFT);
    m_Host.PressKey('C');
    EXPECT_EQ(CInputState::GetInput(0), 16 | 4 | 64);
    EXPECT_EQ(CInputState::IsAnyButton(), 1);
    EXPECT_EQ(CInputState::IsAnyInput(), 1);
}

TEST_F(InputTest, WithoutJoysticksInitFailsAndTheKeyboardServesAlone) {
    SetHost(nullptr);
    EXPECT_EQ(CInputState::Init(), 0);
    EXPECT_EQ(CInputState::GetJoystickCount(), 0u);
    SetHost(&m_Host);
    EXPECT_EQ(CInputState::Init(), 1);  // the headless host has the driver, no device
    EXPECT_EQ(CInputState::GetJoystickCount(), 0u);
    EXPECT_EQ(CInputState::GetMode(), INPUT_MODE_SPLIT);
    EXPECT_EQ(CInputState::ReadJoystick(0, nullptr), 0);
    EXPECT_EQ(CInputState::IsAnyInput(), 0);
}

TEST_F(InputTest, ThresholdsAreThirdsOfTheRangeAndStrict) {
    Joy(0, 32768, 32768, 0);
    ASSERT_EQ(CInputState::Init(), 1);
    uint32_t t[4];
    CInputState::GetThresholds(t);
    EXPECT_EQ(t[0], 21845u);
    EXPECT_EQ(t[1], 43690u);
    EXPECT_EQ(t[2], 21845u);
    EXPECT_EQ(t[3], 43690u);
    EXPECT_EQ(CInputState::GetJoystickCount(), 1u);
    CInputState::SetMode(INPUT_MODE_MERGED);
    struct {
        uint32_t x, y;
        int nMask;
    } const kCases[] = {{21845, 43690, 0}, {21844, 32768, 4}, {43691, 32768, 8}, {32768, 21844, 1},
                        {32768, 43691, 2}, {0, 0, 5},         {65535, 65535, 10}};
    for (const auto& c : kCases) {
        Joy(0, c.x, c.y, 0);
        EXPECT_EQ(CInputState::Joystick(0), c.nMask) << c.x << "," << c.y;
        EXPECT_EQ(CInputState::GetInput(0), c.nMask);
    }
}

TEST_F(InputTest, ButtonsGoThroughTheConfiguredMasks) {
    Joy(0, 32768, 32768, 0);
    ASSERT_EQ(CInputState::Init(), 1);
    CInputState::SetMode(INPUT_MODE_MERGED);
    Joy(0, 32768, 32768, 1);
    EXPECT_EQ(CInputState::GetInput(0), 16);
    Joy(0, 32768, 32768, 2 | 4);
    EXPECT_EQ(CInputState::GetInput(0), 32 | 64);
    Joy(0, 32768, 32768, 8);  // in no mask
    EXPECT_EQ(CInputState::GetInput(0), 0);
    EXPECT_EQ(CInputState::IsAnyJoyButton(), 1);
    EXPECT_EQ(CInputState::IsAnyInput(), 0);
    // A button in two masks sets both bits.
    g_Config.SetButtonMask(1, 1);
    Joy(0, 32768, 32768, 1);
    EXPECT_EQ(CInputState::GetInput(0), 16 | 32);
    // The eleventh button and above do not count.
    g_Config.SetButtonMask(0, 1u << 10);
    Joy(0, 32768, 32768, 1u << 10);
    EXPECT_EQ(CInputState::GetInput(0), 0);
    EXPECT_EQ(CInputState::IsAnyJoyButton(), 0);
    JOYINFOEX info;
    Joy(0, 32768, 32768, 0x7FF);
    ASSERT_EQ(CInputState::ReadJoystick(0, &info), 1);
    EXPECT_EQ(info.dwButtons, 0x3FFu);
}

TEST_F(InputTest, MergeRuleOfDevicesAndPlayers) {
    Joy(0, 0, 32768, 0);      // left
    Joy(1, 65535, 32768, 0);  // right
    ASSERT_EQ(CInputState::Init(), 1);
    EXPECT_EQ(CInputState::GetJoystickCount(), 2u);
    m_Host.PressKey(VK_UP);
    EXPECT_EQ(CInputState::GetInputOf(2, 1, 0), 1 | 4 | 8);
    EXPECT_EQ(CInputState::GetInputOf(2, 1, 1), 1 | 4 | 8);
    EXPECT_EQ(CInputState::GetInputOf(2, 1, 7), 1 | 4 | 8);
    EXPECT_EQ(CInputState::GetInputOf(2, 2, 0), 1 | 4);
    EXPECT_EQ(CInputState::GetInputOf(2, 2, 1), 8);
    EXPECT_EQ(CInputState::GetInputOf(1, 2, 1), 0);
    EXPECT_EQ(CInputState::GetInputOf(1, 1, 0), 1 | 4);
    EXPECT_EQ(CInputState::GetInputOf(0, 2, 0), 1);
    EXPECT_EQ(CInputState::GetInputOf(0, 2, 1), 0);
    EXPECT_EQ(CInputState::GetInputOf(2, 3, 0), 0);
    EXPECT_EQ(CInputState::GetInputOf(3, 1, 0), 0);
    EXPECT_EQ(CInputState::GetInputOf(2, 2, 2), 0);
    EXPECT_EQ(CInputState::GetInputInMode(2, 1), 8);
}

TEST_F(InputTest, SecondJoysticksRangeDecidesTheSharedThresholds) {
    Joy(0, 32768, 32768, 0);
    Joy(1, 32768, 32768, 0);
    ASSERT_EQ(CInputState::Init(), 1);
    uint32_t t[4];
    CInputState::GetThresholds(t);
    EXPECT_EQ(t[0], 21845u);  // both ranges are the host's 0..65535
    // A pulled-out joystick reads as nothing; the other goes on.
    CInputState::SetMode(INPUT_MODE_MERGED);
    m_Host.UnplugJoystick(0);
    Joy(1, 32768, 0, 0);
    EXPECT_EQ(CInputState::GetInput(0), 1);
    EXPECT_EQ(CInputState::IsAnyJoyButton(), 0);
}

}  // namespace
