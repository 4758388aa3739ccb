// The headless host: script parsing, tick-by-tick application, the fake clock and kept frames.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "platform/host/Host.h"
#include "platform/host/HostHeadless.h"
#include "platform/host/Png565.h"
#include "platform/win/Sync.h"
#include "platform/win/Win.h"
#include "WinTestSupport.h"
#include "support/TempFolder.h"

namespace {

std::vector<HOSTEVENT> Drain(CHostHeadless& host) {
    std::vector<HOSTEVENT> out;
    HOSTEVENT ev;
    while (host.PollEvent(&ev)) out.push_back(ev);
    return out;
}

TEST(HostScriptTest, ParsesEveryCommandWithCommentsAndBlankLines) {
    const char* pszText =
        "# start\n"
        "\n"
        "  1 down z   # shot key\r\n"
        "2 up Z\n"
        "3 down Left\n4 down ESC\n5 down enter\n6 down 7\n"
        "10 close\n11 deactivate\n12 activate\n13 minimize\n"
        "14 move -100 50\n"
        "15 shot frame.png\n";
    std::vector<HOSTSCRIPTCMD> cmds;
    std::string error;
    ASSERT_TRUE(ParseHostScript(pszText, &cmds, &error)) << error;
    ASSERT_EQ(cmds.size(), 12u);
    EXPECT_EQ(cmds[0].nTick, 1u);
    EXPECT_EQ(cmds[0].op, HSOP_KEYDOWN);
    EXPECT_EQ(cmds[0].nVirtKey, 'Z');
    EXPECT_EQ(cmds[1].op, HSOP_KEYUP);
    EXPECT_EQ(cmds[2].nVirtKey, VK_LEFT);
    EXPECT_EQ(cmds[3].nVirtKey, VK_ESCAPE);
    EXPECT_EQ(cmds[4].nVirtKey, VK_RETURN);
    EXPECT_EQ(cmds[5].nVirtKey, '7');
    EXPECT_EQ(cmds[6].op, HSOP_CLOSE);
    EXPECT_EQ(cmds[7].op, HSOP_DEACTIVATE);
    EXPECT_EQ(cmds[8].op, HSOP_ACTIVATE);
    EXPECT_EQ(cmds[9].op, HSOP_MINIMIZE);
    EXPECT_EQ(cmds[10].x, -100);
    EXPECT_EQ(cmds[10].y, 50);
    EXPECT_EQ(cmds[11].strFile, "frame.png");
}

TEST(HostScriptTest, LineOfOnlyControlWhiteSpaceIsBlank) {
    std::vector<HOSTSCRIPTCMD> cmds;
    std::string error;
    ASSERT_TRUE(ParseHostScript("\f\v \n1 close\n", &cmds, &error)) << error;
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].op, HSOP_CLOSE);
}

TEST(HostScriptTest, BadLinesNameTheLineAndAppendNothing) {
    struct Case {
        const char* pszText;
        const char* pszError;
    } cases[] = {
        {"1 down Z\nx down Z\n", "line 2: bad tick \"x\""},
        {"-1 close\n", "line 1: bad tick \"-1\""},
        {"4294967296 close\n", "line 1: bad tick \"4294967296\""},
        {"5\n", "line 1: missing command"},
        {"5 jump\n", "line 1: unknown command \"jump\""},
        {"5 down\n", "line 1: \"down\" takes 1 argument(s)"},
        {"5 down F13\n", "line 1: unknown key \"F13\""},
        {"5 close now\n", "line 1: \"close\" takes 0 argument(s)"},
        {"\n\n5 move 1 y\n", "line 3: bad position"},
        {"5 move 1 40000\n", "line 1: bad position"},
    };
    for (const Case& c : cases) {
        std::vector<HOSTSCRIPTCMD> cmds;
        std::string error;
        EXPECT_FALSE(ParseHostScript(c.pszText, &cmds, &error)) << c.pszText;
        EXPECT_EQ(error, c.pszError);
        EXPECT_TRUE(cmds.empty());
    }
}

TEST(HostHeadlessTest, LoadScriptReportsMissingFileAndBadLineWithPath) {
    CHostHeadless host;
    std::string error;
    EXPECT_FALSE(host.LoadScript("/nonexistent/script.txt", &error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
    std::string strPath = TempTemplate("zorva-script");
    const int fd = mkstemp(strPath.data());
    const char* path = strPath.c_str();
    ASSERT_GE(fd, 0);
    close(fd);
    std::ofstream(path) << "1 down Z\n2 fly\n";
    EXPECT_FALSE(host.LoadScript(path, &error));
    EXPECT_EQ(error, std::string(path) + ": line 2: unknown command \"fly\"");
    std::ofstream(path) << "1 down Z\n";
    EXPECT_TRUE(host.LoadScript(path, &error));
    remove(path);
}

TEST(HostHeadlessTest, ScriptAppliesAtItsTickInFileOrder) {
    CHostHeadless host;
    ASSERT_TRUE(host.AddScript("2 down X\n1 deactivate\n2 activate\n3 up X\n3 move 5 6\n", nullptr));
    host.FrameTick();
    auto evs = Drain(host);
    ASSERT_EQ(evs.size(), 1u);
    EXPECT_EQ(evs[0].type, HOSTEV_ACTIVATE);
    EXPECT_EQ(evs[0].bActive, 0);
    EXPECT_FALSE(host.IsKeyDown('X'));
    host.FrameTick();
    evs = Drain(host);
    ASSERT_EQ(evs.size(), 2u);
    EXPECT_EQ(evs[0].type, HOSTEV_KEYDOWN);
    EXPECT_EQ(evs[0].nChar, 'x');
    EXPECT_EQ(evs[1].bActive, 1);
    EXPECT_TRUE(host.IsKeyDown('X'));
    host.FrameTick();
    evs = Drain(host);
    ASSERT_EQ(evs.size(), 2u);
    EXPECT_EQ(evs[0].type, HOSTEV_KEYUP);
    EXPECT_EQ(evs[1].type, HOSTEV_MOVE);
    EXPECT_EQ(evs[1].x, 5);
    EXPECT_FALSE(host.IsKeyDown('X'));
    EXPECT_EQ(host.GetTick(), 3u);
}

TEST(HostHeadlessTest, LateScheduledCommandRunsAtNextTick) {
    CHostHeadless host;
    host.FrameTick();
    host.FrameTick();
    host.Schedule(HOSTSCRIPTCMD{1, HSOP_CLOSE, 0, 0, 0, {}});
    EXPECT_TRUE(Drain(host).empty());
    host.FrameTick();
    auto evs = Drain(host);
    ASSERT_EQ(evs.size(), 1u);
    EXPECT_EQ(evs[0].type, HOSTEV_CLOSE);
}

TEST(HostHeadlessTest, FakeClockMovesOnlyBySleepTickCostAndWaits) {
    CHostHeadless host;
    EXPECT_EQ(host.NowMs(), 0u);
    host.SleepMs(16);
    host.SleepMs(0);
    host.SleepMs(3);
    EXPECT_EQ(host.NowMs(), 19u);
    EXPECT_EQ(host.GetSleeps(), (std::vector<uint32_t>{16, 0, 3}));
    host.SetTickCost(20);
    host.FrameTick();
    EXPECT_EQ(host.NowMs(), 39u);
    host.ClearSleeps();
    EXPECT_TRUE(host.GetSleeps().empty());

    // An idle wait stands for one tick of the script.
    ASSERT_TRUE(host.AddScript("3 activate\n", nullptr));
    host.WaitEvent(100);
    EXPECT_EQ(host.NowMs(), 139u);
    EXPECT_EQ(host.GetTick(), 2u);
    EXPECT_EQ(host.GetFrameTicks(), 1u);
    host.WaitEvent(100);
    EXPECT_EQ(Drain(host).size(), 1u);
    // With an event waiting, a wait returns at once.
    host.PressKey('A');
    host.WaitEvent(100);
    EXPECT_EQ(host.NowMs(), 239u);
}

// A long run sleeps every tick: the record keeps the latest sleeps in order and counts them all,
// while the clock still moves by every one.
TEST(HostHeadlessTest, SleepRecordKeepsTheLatestAndCountsAll) {
    CHostHeadless host;
    const uint32_t nTotal = static_cast<uint32_t>(CHostHeadless::kSleepsKept) * 2 + 5;
    for (uint32_t i = 0; i < nTotal; ++i) host.SleepMs(i % 7);
    std::vector<uint32_t> sleeps = host.GetSleeps();
    ASSERT_EQ(sleeps.size(), CHostHeadless::kSleepsKept);
    for (size_t k = 0; k < sleeps.size(); ++k)
        ASSERT_EQ(sleeps[k], (nTotal - CHostHeadless::kSleepsKept + k) % 7) << "entry " << k;
    EXPECT_EQ(host.GetSleepCount(), nTotal);
    uint32_t nSum = 0;
    for (uint32_t i = 0; i < nTotal; ++i) nSum += i % 7;
    EXPECT_EQ(host.NowMs(), nSum);

    host.ClearSleeps();
    EXPECT_EQ(host.GetSleepCount(), 0u);
    EXPECT_TRUE(host.GetSleeps().empty());
    host.SleepMs(9);
    EXPECT_EQ(host.GetSleeps(), std::vector<uint32_t>{9});
}

// A raised thread that takes real time over each of its steps: woken by an event, then sleeping
// 50 ms at a time, noting the clock after each wake.
struct STEPPER {
    HANDLE hGo = nullptr;
    std::atomic<bool> bStop{false};
    std::vector<uint32_t> seen;
};

unsigned StepperProc(void* pArg) {
    auto* p = static_cast<STEPPER*>(pArg);
    WaitForSingleObject(p->hGo, INFINITE);
    while (!p->bStop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        p->seen.push_back(timeGetTime());
        Sleep(50);
    }
    return 0;
}

using HostThreadsInStepTest = HeadlessWinTest;

// In step, the thread sees the clock only at the moves that end its waits, however slowly it or
// the driving thread runs, and a wait for its end does not need the clock to move.
TEST_F(HostThreadsInStepTest, ARaisedThreadWakesAtTheMoveThatEndsItsWaitAndHoldsTheClock) {
    m_host.SetThreadsInStep(true);
    STEPPER stepper;
    stepper.hGo = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE hThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, StepperProc, &stepper, 0, nullptr));
    ASSERT_NE(hThread, nullptr);
    ASSERT_TRUE(SetThreadPriority(hThread, THREAD_PRIORITY_HIGHEST));
    // Let it reach its wait, where it sleeps in step.
    for (int i = 0; i < 5000 && m_host.GetThreadsAsleepInStep() == 0; i++)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(m_host.GetThreadsAsleepInStep(), 1u);
    for (int nMove = 1; nMove <= 20; nMove++) {
        m_host.AdvanceClock(17);
        if (nMove == 3) SetEvent(stepper.hGo);
    }
    // Set at 51: seen at the next move, 68; then each 50 ms sleep ends at the first move past it.
    EXPECT_EQ(stepper.seen, (std::vector<uint32_t>{68, 119, 170, 221, 272, 323}));
    stepper.bStop = true;
    EXPECT_EQ(WaitForSingleObject(hThread, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(m_host.NowMs(), 340u);
    CloseHandle(hThread);
    CloseHandle(stepper.hGo);
}

TEST(HostHeadlessTest, RealClockAdvancesByItself) {
    CHostHeadless host(CHostHeadless::CLOCK_REAL);
    uint32_t t0 = host.NowMs();
    host.SleepMs(5);
    EXPECT_GE(host.NowMs() - t0, 5u);
}

TEST(HostHeadlessTest, PresentKeepsThePackedFrameAndShotTickWritesPng) {
    CHostHeadless host;
    host.SetQuiet(true);
    // 3 x 2 frame with a pitch of 4 pixels; the padding must not be kept.
    const uint16_t pixels[8] = {0xF800, 0x07E0, 0x001F, 0xDEAD, 0xFFFF, 0x0000, 0x8410, 0xBEEF};
    std::string strDir = TempTemplate("zorva-shot");
    ASSERT_NE(mkdtemp(strDir.data()), nullptr);
    const char* dir = strDir.c_str();
    std::string shot = std::string(dir) + "/tick2.png";
    ASSERT_TRUE(host.AddScript(("2 shot " + shot + "\n").c_str(), nullptr));

    host.FrameTick();
    ASSERT_TRUE(host.Present(pixels, 8, 3, 2));
    EXPECT_TRUE(host.GetShotsWritten().empty());
    EXPECT_EQ(host.GetLastFrame(), (std::vector<uint16_t>{0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x8410}));
    host.FrameTick();
    ASSERT_TRUE(host.Present(pixels + 4, 8, 3, 1));
    EXPECT_EQ(host.GetPresentCount(), 2);
    ASSERT_EQ(host.GetShotsWritten().size(), 1u);
    std::vector<uint8_t> rgb;
    int w, h;
    std::string error;
    ASSERT_TRUE(ReadPngRgbFile(shot.c_str(), &rgb, &w, &h, &error)) << error;
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(rgb, (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 132, 130, 132}));
    EXPECT_FALSE(host.Present(pixels, 4, 3, 1));  // pitch shorter than a row
    remove(shot.c_str());
    rmdir(dir);
}

TEST(HostHeadlessTest, RecordsWindowAndMessages) {
    CHostHeadless host;
    host.SetQuiet(true);
    EXPECT_FALSE(host.HasMainWindow());
    host.RaiseMainWindow();
    EXPECT_EQ(host.GetRaiseCount(), 0);  // nothing to raise yet
    ASSERT_TRUE(host.CreateMainWindow("t", "Zorva", 640, 480, 1, 2, false));
    host.SetFullScreen(true);
    EXPECT_TRUE(host.IsFullScreen());
    EXPECT_TRUE(host.IsWindowShown());
    host.MessageBox("text", "Zorva");
    host.DebugOutput("debug\n");
    EXPECT_EQ(host.GetMessageBoxes().size(), 1u);
    EXPECT_EQ(host.GetDebugLines(), (std::vector<std::string>{"debug\n"}));
    host.ClearDebugLines();
    host.DebugOutput("again\n");
    EXPECT_EQ(host.GetDebugLines(), (std::vector<std::string>{"again\n"}));
    host.DestroyMainWindow();
    EXPECT_FALSE(host.HasMainWindow());
}

// Game text (code page 932 inside UTF-8 literals) reaches stderr as UTF-8, each distinct line once,
// and a run that keeps finding new faults stops after HOST_ERROR_LINES_MAX with a notice.
TEST(HostHeadlessTest, ErrorLinesReachStderrOnceEachUpToTheLimit) {
    CHostHeadless host;
    SetHost(&host);
    ::testing::internal::CaptureStderr();
    ReportToUser("Stage.txt: ERROR 1 : \x82\xa0");
    ReportToUser("Stage.txt: ERROR 1 : \x82\xa0\r\n");
    ReportToUser("\xe3\x81\x82 [\x82\xa0]\x81");  // a lead byte with no trail ends the text
    ReportToUser("magic \x1b[2J\xc2\x9b" "1m\x7f");  // nothing that would steer a terminal
    std::string expected = "Stage.txt: ERROR 1 : \xe3\x81\x82\n\xe3\x81\x82 [\xe3\x81\x82]\xef\xbf\xbd\n"
                           "magic ?[2J?1m?\n";
    for (int i = 0; i < HOST_ERROR_LINES_MAX + 10; i++) {
        const std::string line = "fault " + std::to_string(i);
        ReportToUser(line.c_str());
        if (i < HOST_ERROR_LINES_MAX - 3) expected += line + "\n";
    }
    expected += "(more errors follow; they are not shown)\n";
    ReportToUser("Stage.txt: ERROR 1 : \x82\xa0");
    const std::string err = ::testing::internal::GetCapturedStderr();
    SetHost(nullptr);
    EXPECT_EQ(err, expected);
    EXPECT_EQ(host.GetErrorLines().size(), static_cast<size_t>(HOST_ERROR_LINES_MAX + 1));
}

}  // namespace
