// The joystick calls over the headless host: scripted states per tick, plugging and unplugging,
// and the script lines that set them.
#include <gtest/gtest.h>

#include "platform/host/HostHeadless.h"
#include "platform/win/Joystick.h"

namespace {

class JoystickTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Host.SetQuiet(true);
        SetHost(&m_Host);
    }
    void TearDown() override { SetHost(nullptr); }

    JOYINFOEX ReadAll(UINT id, MMRESULT* pResult) {
        JOYINFOEX info{};
        info.dwSize = sizeof(info);
        info.dwFlags = JOY_RETURNALL;
        *pResult = joyGetPosEx(id, &info);
        return info;
    }

    CHostHeadless m_Host;
};

TEST(JoystickScriptTest, ParsesJoyAndUnplugLines) {
    std::vector<HOSTSCRIPTCMD> cmds;
    std::string error;
    ASSERT_TRUE(ParseHostScript("3 joy 1 0 65535 0x201\n4 joy 0 100 200 5\n9 unplug 1\n", &cmds, &error)) << error;
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(cmds[0].op, HSOP_JOY);
    EXPECT_EQ(cmds[0].nJoy, 1);
    EXPECT_EQ(cmds[0].dwJoyX, 0u);
    EXPECT_EQ(cmds[0].dwJoyY, 65535u);
    EXPECT_EQ(cmds[0].dwButtons, 0x201u);
    EXPECT_EQ(cmds[1].dwButtons, 5u);
    EXPECT_EQ(cmds[2].op, HSOP_UNPLUG);
    EXPECT_EQ(cmds[2].nJoy, 1);
}

TEST(JoystickScriptTest, RefusesBadJoystickLines) {
    const char* const kBad[] = {"1 joy 2 0 0 0\n", "1 joy 0 65536 0 0\n", "1 joy 0 -1 0 0\n", "1 joy 0 0 0 -1\n",
                                "1 joy 0 0 0 0x\n", "1 joy 0 0 0\n",        "1 unplug x\n",      "1 joy 0 0 0 12z\n"};
    for (const char* pszLine : kBad) {
        std::vector<HOSTSCRIPTCMD> cmds;
        std::string error;
        EXPECT_FALSE(ParseHostScript(pszLine, &cmds, &error)) << pszLine;
        EXPECT_EQ(error.rfind("line 1: ", 0), 0u) << error;
        EXPECT_TRUE(cmds.empty());
    }
}

TEST_F(JoystickTest, NoHostMeansNoDevices) {
    SetHost(nullptr);
    EXPECT_EQ(joyGetNumDevs(), 0u);
    JOYCAPSA caps;
    EXPECT_EQ(joyGetDevCapsA(0, &caps, sizeof(caps)), (MMRESULT)JOYERR_PARMS);
}

TEST_F(JoystickTest, UnpluggedSlotsRefuseEveryRead) {
    EXPECT_EQ(joyGetNumDevs(), (UINT)JOY_DRIVER_DEVICES);
    JOYCAPSA caps;
    EXPECT_EQ(joyGetDevCapsA(0, &caps, sizeof(caps)), (MMRESULT)JOYERR_PARMS);
    MMRESULT r;
    ReadAll(0, &r);
    EXPECT_EQ(r, (MMRESULT)JOYERR_UNPLUGGED);
    JOYINFO info;
    EXPECT_EQ(joyGetPos(1, &info), (MMRESULT)JOYERR_UNPLUGGED);
    EXPECT_EQ(joyGetDevCapsA(7, &caps, sizeof(caps)), (MMRESULT)JOYERR_PARMS);
    EXPECT_EQ(joyGetDevCapsA(0, &caps, sizeof(caps) - 1), (MMRESULT)MMSYSERR_INVALPARAM);
}

TEST_F(JoystickTest, ScriptedJoystickIsPluggedFromTheStartAndFollowsTheTicks) {
    std::string error;
    ASSERT_TRUE(m_Host.AddScript("2 joy 0 0 65535 0x3FF\n4 unplug 0\n6 joy 0 40000 30000 0x400\n", &error)) << error;
    // Before the first tick: centred, no buttons, full range.
    JOYCAPSA caps;
    ASSERT_EQ(joyGetDevCapsA(0, &caps, sizeof(caps)), (MMRESULT)JOYERR_NOERROR);
    EXPECT_EQ(caps.wXmin, 0u);
    EXPECT_EQ(caps.wXmax, 65535u);
    EXPECT_EQ(caps.wYmin, 0u);
    EXPECT_EQ(caps.wYmax, 65535u);
    MMRESULT r;
    JOYINFOEX info = ReadAll(0, &r);
    ASSERT_EQ(r, (MMRESULT)JOYERR_NOERROR);
    EXPECT_EQ(info.dwXpos, 32768u);
    EXPECT_EQ(info.dwYpos, 32768u);
    EXPECT_EQ(info.dwButtons, 0u);

    m_Host.FrameTick();  // tick 1: unchanged
    m_Host.FrameTick();  // tick 2
    info = ReadAll(0, &r);
    EXPECT_EQ(info.dwXpos, 0u);
    EXPECT_EQ(info.dwYpos, 65535u);
    EXPECT_EQ(info.dwButtons, 0x3FFu);
    EXPECT_EQ(info.dwButtonNumber, 10u);
    EXPECT_EQ(info.dwPOV, (DWORD)JOY_POVCENTERED);
    JOYINFO shortInfo;
    ASSERT_EQ(joyGetPos(0, &shortInfo), (MMRESULT)JOYERR_NOERROR);
    EXPECT_EQ(shortInfo.wButtons, 0xFu);

    m_Host.FrameTick();
    m_Host.FrameTick();  // tick 4: pulled out
    ReadAll(0, &r);
    EXPECT_EQ(r, (MMRESULT)JOYERR_UNPLUGGED);
    m_Host.FrameTick();
    m_Host.FrameTick();  // tick 6: back, eleventh button down
    info = ReadAll(0, &r);
    ASSERT_EQ(r, (MMRESULT)JOYERR_NOERROR);
    EXPECT_EQ(info.dwXpos, 40000u);
    EXPECT_EQ(info.dwYpos, 30000u);
    EXPECT_EQ(info.dwButtons, 0x400u);
    // The other slot was never named: still empty.
    ReadAll(1, &r);
    EXPECT_EQ(r, (MMRESULT)JOYERR_UNPLUGGED);
}

TEST_F(JoystickTest, OnlyRequestedFieldsAreFilled) {
    m_Host.SetJoystick(1, HOSTJOYSTATE{1, 2, 3});
    JOYINFOEX info{};
    info.dwSize = sizeof(info);
    info.dwFlags = JOY_RETURNX | JOY_RETURNBUTTONS;
    info.dwYpos = 777;
    ASSERT_EQ(joyGetPosEx(1, &info), (MMRESULT)JOYERR_NOERROR);
    EXPECT_EQ(info.dwXpos, 1u);
    EXPECT_EQ(info.dwYpos, 777u);
    EXPECT_EQ(info.dwButtons, 3u);
    info.dwSize = 4;
    EXPECT_EQ(joyGetPosEx(1, &info), (MMRESULT)MMSYSERR_INVALPARAM);
}

}  // namespace
