// The front screens update by update on a software device with the generated pictures and keys
// held on the headless host: the key-sequence detector, the title's wipe, menu, count-down and
// hidden sequences, the start menu's rows and arrows, the logo sequence and its bar, and the
// provisional ending.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <initializer_list>

#include "engine/AppTimer.h"
#include "engine/BmpIndex.h"
#include "engine/Input.h"
#include "engine/KeyRecorder.h"
#include "engine/Param.h"
#include "rvm/rvm_stl.h"
#include "scene/EndingKari.h"
#include "scene/Logo.h"
#include "scene/ReplaySel.h"
#include "scene/Start.h"
#include "scene/StateSwitch.h"
#include "scene/Title.h"
#include "stage/CrushableSet.h"
#include "support/BmpPixels.h"
#include "support/DeviceFixture.h"
#include "support/GeneratedData.h"
#include "support/TempFolder.h"

namespace {

const int U = VK_UP, D = VK_DOWN, L = VK_LEFT, R = VK_RIGHT;

class FrontScreens : public CDeviceFixture {
protected:
    void SetUp() override
    {
        CDeviceFixture::SetUp();
        CopyGeneratedData();
        ClearParams();
        CKeyRecorder::InitKeyMap();
        CAppTimer::ResetFrameClock();
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        CAppTimer::ResetAll();
        for (int& n : g_nOptionFlags) {
            n = 0;
        }
    }
    void TearDown() override
    {
        for (int vk : m_Held) {
            m_Host.ReleaseKey(vk);
        }
        for (int& n : g_nOptionFlags) {
            n = 0;
        }
        CKeyRecorder::ClearKeyMap();
        ReleaseSystemIndexes();
        ClearParams();
        CDeviceFixture::TearDown();
    }
    void Hold(int vk)
    {
        m_Host.PressKey(vk);
        m_Held.push_back(vk);
    }
    void Let(int vk) { m_Host.ReleaseKey(vk); }
    // n update passes of a scene, each a frame of the clock.
    template <typename T> static void Tick(T& scene, int n = 1)
    {
        for (int i = 0; i < n; i++) {
            CAppTimer::FrameTick();
            scene.Update();
        }
    }
    // A key pressed for one pass and let go for the next.
    template <typename T> void Tap(T& scene, int vk)
    {
        m_Host.PressKey(vk);
        Tick(scene);
        m_Host.ReleaseKey(vk);
        Tick(scene);
    }
    // Passes until the condition holds: their number, or -1 after nLimit.
    template <typename T, typename F> static int TickUntil(T& scene, F&& done, int nLimit = 5000)
    {
        for (int i = 0; i < nLimit; i++) {
            if (done()) {
                return i;
            }
            Tick(scene);
        }
        return -1;
    }

    rvm::vector<int> m_Held;
};

// The milliseconds of n passes of the frame clock (16 and 17 ms in turn, two thirds apart).
int Ms(int n)
{
    return n * 50 / 3;
}

void Type(CStateSwitch& sw, std::initializer_list<int> keys)
{
    for (int k : keys) {
        sw.Input(k);
    }
}

CStateSwitch Detector(std::initializer_list<int> target)
{
    CStateSwitch sw;
    for (int k : target) {
        sw.AddTarget(k);
    }
    return sw;
}

} // namespace

// ---- The key-sequence detector ------------------------------------------------------------------

TEST(StateSwitch, ItIsDoneExactlyWhenTheLastPressesAreTheTarget)
{
    const std::initializer_list<int> target = {U, U, D, D, L, R, L, R};
    {
        CStateSwitch sw = Detector(target);
        Type(sw, {U, U, U, D, D, L, R, L});
        EXPECT_FALSE(sw.IsDone());
        EXPECT_EQ(sw.GetMatched(), 6);
        sw.Input(R);
        EXPECT_TRUE(sw.IsDone()) << "an extra key before the sequence";
    }
    {
        CStateSwitch sw = Detector(target);
        Type(sw, {L, U, U, D, U, U, D, D, L, R, L, R});
        EXPECT_TRUE(sw.IsDone()) << "a wrong key in the middle restarts from the longest usable tail";
    }
    {
        CStateSwitch sw = Detector(target);
        Type(sw, {U, U, D, D, L, R, L, L});
        EXPECT_FALSE(sw.IsDone());
        EXPECT_EQ(sw.GetMatched(), -1);
        // Done, then deaf: more keys change nothing.
        Type(sw, {U, U, D, D, L, R, L, R, U, D});
        EXPECT_TRUE(sw.IsDone());
        EXPECT_EQ(sw.GetMatched(), 7);
    }
    // Every wrong key at every place in the sequence, then the whole sequence: done, history in range.
    const int keys[] = {U, U, D, D, L, R, L, R};
    for (int nAt = 0; nAt < 8; nAt++) {
        for (int nWrong : {U, D, L, R, int('Z')}) {
            CStateSwitch sw = Detector(target);
            for (int i = 0; i < nAt; i++) {
                sw.Input(keys[i]);
            }
            sw.Input(nWrong);
            ASSERT_GE(sw.GetHistoryLength(), 0);
            ASSERT_LE(sw.GetHistoryLength(), STATESWITCH_MAX);
            for (int k : keys) {
                sw.Input(k);
            }
            EXPECT_TRUE(sw.IsDone()) << nAt << " " << nWrong;
        }
    }
}

TEST(StateSwitch, ForceDoneTypesTheTargetAndAnEmptyTargetIsNeverDone)
{
    CStateSwitch sw = Detector({R, R, L, L, D, U});
    sw.ForceDone();
    EXPECT_TRUE(sw.IsDone());
    sw.Reset();
    EXPECT_FALSE(sw.IsDone());
    EXPECT_EQ(sw.GetTargetLength(), 6);
    sw.Clear();
    EXPECT_EQ(sw.GetTargetLength(), 0);
    sw.ForceDone();
    Type(sw, {R, R, L, L, D, U});
    EXPECT_FALSE(sw.IsDone());
    // At most ten keys make a target.
    for (int i = 0; i < 12; i++) {
        sw.AddTarget(U);
    }
    EXPECT_EQ(sw.GetTargetLength(), STATESWITCH_MAX);
}

TEST_F(FrontScreens, TheDetectorCountsAKeyOnceWhileItIsHeld)
{
    CStateSwitch sw = Detector({L, R, L, R});
    for (int vk : {L, R, L}) {
        m_Host.PressKey(vk);
        for (int i = 0; i < 3; i++) {
            sw.Update();
        }
        m_Host.ReleaseKey(vk);
        sw.Update();
    }
    EXPECT_EQ(sw.GetMatched(), 2);
    m_Host.PressKey(R);
    sw.Update();
    m_Host.ReleaseKey(R);
    EXPECT_TRUE(sw.IsDone());
}

// ---- The title --------------------------------------------------------------------------------------

TEST_F(FrontScreens, TheTitleComesInSlatBySlatThenTakesTheMenuAfterATenthOfASecond)
{
    CTitle title;
    ASSERT_EQ(title.Load(g_lpD3DDevice), 1);
    title.Reset(1, 1);
    const CBmpPixels picture("GameData/Title/Title.bmp");
    for (int i = 0; i < 20; i++) {
        Tick(title);
        ASSERT_EQ(title.GetSlatWidth(), (float)i);
        ASSERT_EQ(title.GetResult(), CTitle::RESULT_WIPE);
    }
    Tick(title);
    EXPECT_EQ(title.GetSlatWidth(), 20.0f);
    EXPECT_EQ(title.GetResult(), CTitle::RESULT_DELAYED);
    ASSERT_EQ(title.Draw(g_lpDDSBack), 1);
    // The 33 slats cover the screen: the picture everywhere but the highlighted first item.
    for (int y = 0; y < 480; y += 24)
        for (int x = 0; x < 640; x += 5)
            if (y < 185 || y >= 245) {
                ASSERT_EQ(BackPixel(x, y), picture.Rgb565(x, y)) << x << ", " << y;
            }
    const int nTicks = TickUntil(title, [&] { return title.GetResult() == CTitle::RESULT_MENU; });
    EXPECT_GT(Ms(nTicks), 100);
    EXPECT_LE(Ms(nTicks), 117);
}

TEST_F(FrontScreens, TheTitleMenuWrapsSkipsTheMissingReplayAndMapsEachItemToItsResult)
{
    CTitle title;
    ASSERT_EQ(title.Load(g_lpD3DDevice), 1);
    const int results[4] = {CTitle::RESULT_START, CTitle::RESULT_REPLAY, CTitle::RESULT_SETTINGS,
                            CTitle::RESULT_QUIT};
    std::filesystem::remove_all("Replay");
    title.Reset(1, 1);
    TickUntil(title, [&] { return title.GetResult() == CTitle::RESULT_MENU; });
    Tap(title, D);
    EXPECT_EQ(title.GetCursor(), 2) << "no replay file: the replay item is skipped";
    Tap(title, U);
    EXPECT_EQ(title.GetCursor(), 0);
    Tap(title, U);
    EXPECT_EQ(title.GetCursor(), 3);
    Tap(title, D);
    EXPECT_EQ(title.GetCursor(), 0);

    CTempFolder::Put("Replay/Replay03.dat", rvm::string("x"));
    for (int nItem = 0; nItem < 4; nItem++) {
        title.Reset(1, 1);
        TickUntil(title, [&] { return title.GetResult() == CTitle::RESULT_MENU; });
        for (int i = 0; i < nItem; i++) {
            Tap(title, D);
        }
        ASSERT_EQ(title.GetCursor(), nItem);
        Tap(title, 'Z');
        EXPECT_EQ(title.GetResult(), results[nItem]) << nItem;
    }
    std::filesystem::remove_all("Replay");
}

TEST_F(FrontScreens, KeysHeldOnEnteringTheTitleDoNotActUntilPressedAgain)
{
    CTitle title;
    ASSERT_EQ(title.Load(g_lpD3DDevice), 1);
    Hold('Z');
    Hold(D);
    title.Reset(1, 1);
    TickUntil(title, [&] { return title.GetResult() == CTitle::RESULT_MENU; });
    Tick(title, 5);
    EXPECT_EQ(title.GetResult(), CTitle::RESULT_MENU);
    EXPECT_EQ(title.GetCursor(), 0);
    Let('Z');
    Let(D);
    Tick(title);
    Tap(title, 'Z');
    EXPECT_EQ(title.GetResult(), CTitle::RESULT_START);
}

TEST_F(FrontScreens, TheDemoCountDownIsPutBackOnlyByInputInItsLastStretch)
{
    CTitle title;
    ASSERT_EQ(title.Load(g_lpD3DDevice), 1);
    title.Reset(1, 1);
    EXPECT_EQ(title.GetRemaining(), 30000);
    TickUntil(title, [&] { return title.GetResult() == CTitle::RESULT_MENU; });
    // Input in the first stretch does not delay the count-down.
    const int nFirst = TickUntil(title, [&] {
        if (!title.IsLastStretch()) {
            m_Host.PressKey(VK_SHIFT);
        }
        return title.IsLastStretch() != 0;
    });
    m_Host.ReleaseKey(VK_SHIFT);
    EXPECT_NEAR(Ms(nFirst), 20000, 1100);
    // A key in the last stretch puts it back to ten seconds.
    Tick(title, 200);
    const int nBefore = title.GetRemaining();
    EXPECT_LT(nBefore, 8000);
    m_Host.PressKey(VK_SHIFT);
    Tick(title);
    m_Host.ReleaseKey(VK_SHIFT);
    EXPECT_EQ(title.GetRemaining(), 10000);
    const int nLast = TickUntil(title, [&] { return title.GetResult() == CTitle::RESULT_DEMO; });
    EXPECT_NEAR(Ms(nLast), 10000, 1100);
    // Not fresh, after the last stretch began: ten seconds again.
    title.Reset(2, 0);
    EXPECT_EQ(title.GetRemaining(), 10000);
    EXPECT_EQ(title.GetStage(), 2);
}

TEST_F(FrontScreens, AHiddenSequenceOnTheTitleUnlocksItsOptionOnceAndTheUnlockIsKept)
{
    CTitle title;
    ASSERT_EQ(title.Load(g_lpD3DDevice), 1);
    title.Reset(1, 1);
    TickUntil(title, [&] { return title.GetResult() == CTitle::RESULT_MENU; });
    const int* pKeys = nullptr;
    int nCount = 0;
    CTitle::GetSequence(1, &pKeys, &nCount);
    ASSERT_EQ(nCount, 8);
    for (int i = 0; i < nCount; i++) {
        ASSERT_FALSE(title.GetDetector(1).IsDone());
        Tap(title, pKeys[i]);
    }
    EXPECT_TRUE(title.GetDetector(1).IsDone());
    EXPECT_FALSE(title.GetDetector(2).IsDone());
    // The half-damage sequence is not read on the title: the start menu's mode sets that option.
    CTitle::GetSequence(0, &pKeys, &nCount);
    for (int i = 0; i < nCount; i++) {
        Tap(title, pKeys[i]);
    }
    EXPECT_FALSE(title.GetDetector(0).IsDone());
    // Confirming (the cursor has moved; settings then) sets the options from the detectors.
    while (title.GetCursor() != 0) {
        Tap(title, D);
    }
    Tap(title, 'Z');
    EXPECT_EQ(title.GetResult(), CTitle::RESULT_START);
    EXPECT_EQ(g_nOptionFlags[0], 0);
    EXPECT_EQ(g_nOptionFlags[1], 1);
    EXPECT_EQ(g_nOptionFlags[2], 0);
    // Back from the settings screen: still unlocked. A fresh visit forgets it.
    title.Reset(1, 0);
    EXPECT_TRUE(title.GetDetector(1).IsDone());
    title.Reset(1, 1);
    EXPECT_FALSE(title.GetDetector(1).IsDone());
}

// ---- The start menu ---------------------------------------------------------------------------------

TEST_F(FrontScreens, TheStartMenuChoosesTheModeThenTheSubWeaponOfEachTab)
{
    CStart start;
    ASSERT_EQ(start.Load(g_lpD3DDevice), 1);
    const int subWeapons[4] = {1, 2, 0, 3};
    for (int nTab = 0; nTab < 4; nTab++) {
        for (int nMode = 0; nMode < 2; nMode++) {
            g_nOptionFlags[0] = nMode == 0 ? 0 : 1;
            g_nOptionFlags[1] = 1;
            g_nOptionFlags[2] = 0;
            start.Enter();
            if (nMode) {
                Tap(start, L);  // wraps from easy to hard
            }
            EXPECT_EQ(start.GetMode(), nMode);
            Tap(start, 'Z');
            ASSERT_EQ(start.GetResult(), CStart::RESULT_SUBWEAPON);
            EXPECT_EQ(g_nOptionFlags[0], nMode == 0 ? 1 : 0) << "easy halves the damage";
            EXPECT_EQ(g_nOptionFlags[1], 1);
            EXPECT_EQ(g_nOptionFlags[2], 0);
            for (int i = 0; i < nTab; i++) {
                Tap(start, R);
            }
            Tap(start, VK_RETURN);
            ASSERT_EQ(start.GetResult(), CStart::RESULT_CONFIRMED);
            EXPECT_EQ(start.GetSubWeapon(), subWeapons[nTab]);
            // A second's pause, then the game starts.
            const int n = TickUntil(start, [&] { return start.GetResult() == CStart::RESULT_START; });
            EXPECT_GT(Ms(n + 1), 1000);
            EXPECT_LE(Ms(n + 1), 1017);
        }
    }
}

TEST_F(FrontScreens, JumpHeldNeverConfirmsItStepsBack)
{
    CStart start;
    ASSERT_EQ(start.Load(g_lpD3DDevice), 1);
    start.Enter();
    Tap(start, 'Z');
    ASSERT_EQ(start.GetResult(), CStart::RESULT_SUBWEAPON);
    Hold('X');
    Tap(start, 'Z');
    EXPECT_EQ(start.GetResult(), CStart::RESULT_MODE) << "back to the mode row, not confirmed";
    Tap(start, 'Z');
    EXPECT_EQ(start.GetResult(), CStart::RESULT_MODE);
    Let('X');
    Tick(start);
    Tap(start, 'X');
    EXPECT_EQ(start.GetResult(), CStart::RESULT_BACK);
    // Keys held on entry act only when pressed again.
    Hold('Z');
    Hold(R);
    start.Enter();
    Tick(start, 3);
    EXPECT_EQ(start.GetResult(), CStart::RESULT_MODE);
    EXPECT_EQ(start.GetMode(), CStart::MODE_EASY);
}

TEST_F(FrontScreens, AnArrowSpringsBackInFiveUpdates)
{
    CStart start;
    ASSERT_EQ(start.Load(g_lpD3DDevice), 1);
    start.Enter();
    m_Host.PressKey(L);
    Tick(start);
    m_Host.ReleaseKey(L);
    const float expected[] = {-7.0f, -4.45f, -2.35f, -0.70f, 0.0f};
    EXPECT_NEAR(start.GetNudge(CStart::ARROW_LEFT).fOffset, expected[0], 1e-4);
    for (int i = 1; i < 5; i++) {
        Tick(start);
        EXPECT_NEAR(start.GetNudge(CStart::ARROW_LEFT).fOffset, expected[i], 1e-4) << i;
    }
    EXPECT_TRUE(start.GetNudge(CStart::ARROW_LEFT).bStopped);
    EXPECT_TRUE(start.GetNudge(CStart::ARROW_RIGHT).bStopped);
}

// ---- The logo sequence ------------------------------------------------------------------------------

TEST_F(FrontScreens, TheBarFallsFlattensAndComesToRest)
{
    CLogo logo;
    ASSERT_EQ(logo.Load(g_lpD3DDevice), 1);
    logo.StartBar();
    const CBriskoBar& bar = logo.GetBar();
    TickUntil(logo, [&] { return logo.GetState() == CLogo::STATE_BAR; });
    EXPECT_EQ(bar.GetY(), -20.0f);
    int nFall = 0;
    while (bar.GetState() == CBriskoBar::STATE_FALLING) {
        Tick(logo);
        nFall++;
    }
    EXPECT_EQ(nFall, 11);
    EXPECT_EQ(bar.GetY(), 310.0f);
    float fMinScale = 1.0f;
    int nFlat = 0;
    while (bar.GetState() == CBriskoBar::STATE_FLATTENING) {
        Tick(logo);
        nFlat++;
        fMinScale = std::min(fMinScale, bar.GetScaleY());
        if (bar.GetState() == CBriskoBar::STATE_FLATTENING) {
            ASSERT_NEAR(bar.GetScaleX(), 1.0f / bar.GetScaleY(), 1e-5);
        }
    }
    EXPECT_EQ(nFlat, 12);
    EXPECT_NEAR(fMinScale, 0.847f, 0.001f);
    EXPECT_EQ(bar.GetX(), bar.GetWidth() / 2 + 120.0f);
    EXPECT_EQ(bar.GetY(), bar.GetHeight() + 190.0f);
    // After the bar, two seconds before the fade to white starts.
    TickUntil(logo, [&] { return bar.GetState() == CBriskoBar::STATE_DONE; });
    const int nPause = TickUntil(logo, [&] { return logo.GetState() == CLogo::STATE_FADE_OUT; });
    EXPECT_NEAR(Ms(nPause), 2000, 40);
    EXPECT_GT(TickUntil(logo, [&] { return logo.GetState() == CLogo::STATE_FINISHED; }), 10);
}

TEST_F(FrontScreens, TheCautionWaitsFiveSecondsThenForAKeyHeldFromBefore)
{
    CLogo logo;
    ASSERT_EQ(logo.Load(g_lpD3DDevice), 1);
    logo.StartCaution();
    EXPECT_EQ(logo.GetState(), CLogo::STATE_CAUTION_IN);
    Hold(VK_RETURN);
    TickUntil(logo, [&] { return logo.GetState() == CLogo::STATE_WAIT; });
    EXPECT_EQ(logo.GetNextState(), CLogo::STATE_CAUTION_WAIT);
    const int nWait = TickUntil(logo, [&] { return logo.GetState() != CLogo::STATE_WAIT; });
    EXPECT_NEAR(Ms(nWait), 5000, 40);
    // The key held all along is taken at once.
    EXPECT_EQ(logo.GetState(), CLogo::STATE_CAUTION_WAIT);
    Tick(logo);
    EXPECT_EQ(logo.GetState(), CLogo::STATE_CAUTION_OUT);
    Let(VK_RETURN);
    // Without a key the caution screen waits for ever.
    logo.StartCaution();
    TickUntil(logo, [&] { return logo.GetState() == CLogo::STATE_CAUTION_WAIT; });
    Tick(logo, 2000);
    EXPECT_EQ(logo.GetState(), CLogo::STATE_CAUTION_WAIT);
    // The caution picture is drawn over white while it waits.
    const CBmpPixels picture("GameData/First/Caution.bmp");
    logo.Draw(g_lpDDSBack);
    EXPECT_EQ(BackPixel(320, 240), picture.Rgb565(320, 240));
    EXPECT_EQ(BackPixel(5, 5), picture.Rgb565(5, 5));
}

// ---- The provisional ending -------------------------------------------------------------------------

TEST_F(FrontScreens, TheProvisionalEndingIgnoresButtonsForTenSecondsThenEndsOnOneHeld)
{
    CEndingKari ending;
    ASSERT_EQ(ending.Load(g_lpD3DDevice), 1);
    ending.Start();
    int nPass = 0;
    for (; nPass < 700 && ending.GetState() != CEndingKari::STATE_ENDED; nPass++) {
        // X pressed and let go in turns: every press falls in the first ten seconds.
        if (nPass < 590) {
            if (nPass % 2) {
                m_Host.PressKey('X');
            } else {
                m_Host.ReleaseKey('X');
            }
        } else {
            m_Host.ReleaseKey('X');
        }
        Tick(ending);
    }
    m_Host.ReleaseKey('X');
    EXPECT_EQ(ending.GetState(), CEndingKari::STATE_WAITING) << "ended after " << nPass;
    // Held through the ten seconds: ends on the first update after them.
    for (int vk : {int('Z'), int('X'), VK_SHIFT, VK_RETURN}) {
        ending.Start();
        m_Host.PressKey(vk);
        const int n = TickUntil(ending, [&] { return ending.GetState() == CEndingKari::STATE_ENDED; });
        m_Host.ReleaseKey(vk);
        // The first pass more than 10000 ms on.
        EXPECT_GT(Ms(n), 10000) << vk;
        EXPECT_LE(Ms(n), 10017) << vk;
    }
    const CBmpPixels picture("GameData/System/TestEnding.bmp");
    ending.Draw(g_lpDDSBack);
    EXPECT_EQ(BackPixel(100, 100), picture.Rgb565(100, 100));
    ending.Stop();
    FillBack(0x1234);
    ending.Draw(g_lpDDSBack);
    EXPECT_EQ(BackPixel(100, 100), 0x1234);
}

// ---- Replay selection -------------------------------------------------------------------------------

namespace {

// A replay of a run from stage nStage on, with the given header values.
rvm::string ReplayBytes(int nStage, int nSubWeapon, int nMonth, int nScore, int nOption = 1)
{
    REPLAYIMAGE image;
    image.header.nYear = 2026;
    image.header.nMonth = nMonth;
    image.header.nDay = 9;
    image.header.nScore = nScore;
    image.header.nPlayerValue = nSubWeapon;
    image.header.nOptions[1] = nOption;
    image.header.nPairs[nStage - 1][0] = 0;
    image.header.nPairs[nStage - 1][1] = 0;
    image.tracks[nStage - 1].push_back({0, 0, 0, 1, 0, 0, 0, 4, 0});
    const rvm::vector<uint8_t> bytes = EncodeReplay(image);
    return rvm::string(bytes.begin(), bytes.end());
}

void PutSlot(int n, const rvm::string& bytes)
{
    char szName[32];
    snprintf(szName, sizeof(szName), "Replay/Replay%02d.dat", n);
    CTempFolder::Put(szName, bytes);
}

} // namespace

TEST_F(FrontScreens, ReplaySlotsAreValidOnlyWithASoundHeaderAndTheLoadCursorSkipsTheOthers)
{
    // The faces and sub-weapon icons come from the cockpit's sheet.
    ASSERT_EQ(LoadSystemIndexes(g_lpD3DDevice), 1);
    CReplaySel sel;
    ASSERT_EQ(sel.Load(g_lpD3DDevice), 1);
    std::filesystem::remove_all("Replay");
    sel.Enter(g_lpD3DDevice);
    EXPECT_TRUE(std::filesystem::is_directory("Replay")) << "the folder is made when missing";
    sel.SetMode(0);
    EXPECT_EQ(sel.GetCursor(), 0) << "no valid slot: the first";
    Tap(sel, 'Z');
    EXPECT_EQ(sel.GetResult(), CReplaySel::RESULT_NONE) << "nothing to play";

    PutSlot(1, "ZORVA-REPLAY-06 but nothing after it");       // damaged
    PutSlot(2, ReplayBytes(3, 2, 12, 123456));                 // sound: from stage 3
    PutSlot(3, ReplayBytes(1, 7, 5, 10));                      // no such sub-weapon
    PutSlot(4, ReplayBytes(1, 0, 13, 10));                     // no such month
    PutSlot(5, ReplayBytes(2, 1, 1, 0, 2));                    // an option flag of 2
    sel.Enter(g_lpD3DDevice);
    for (int i = 0; i < REPLAY_SLOTS; i++) {
        EXPECT_EQ(sel.GetSlot(i).bValid, i == 1) << i;
    }
    EXPECT_EQ(sel.GetSlot(1).nSubWeapon, 2);
    EXPECT_EQ(sel.GetSlot(1).nScore, 123456);
    EXPECT_EQ(sel.GetSlot(1).nOptions[1], 1);
    sel.SetMode(0);
    EXPECT_EQ(sel.GetCursor(), 1);
    EXPECT_EQ(sel.GetStage(), 3);
    EXPECT_STREQ(sel.GetFileName(), "Replay02.dat");
    Tap(sel, D);
    EXPECT_EQ(sel.GetCursor(), 1) << "the only valid slot";
    PutSlot(5, ReplayBytes(2, 1, 1, 0));
    sel.Enter(g_lpD3DDevice);
    sel.SetMode(0);
    Tap(sel, D);
    EXPECT_EQ(sel.GetCursor(), 4);
    Tap(sel, D);
    EXPECT_EQ(sel.GetCursor(), 1) << "wraps past the invalid slots";
    Tap(sel, U);
    EXPECT_EQ(sel.GetCursor(), 4);
    EXPECT_EQ(sel.GetStage(), 2);
    Tap(sel, 'Z');
    EXPECT_EQ(sel.GetResult(), CReplaySel::RESULT_PLAY);
    sel.SetMode(0);
    Tap(sel, 'X');
    EXPECT_EQ(sel.GetResult(), CReplaySel::RESULT_LOAD_CANCEL);

    // The valid slot shows its date and score, the others the empty plate.
    const CBmpPixels back("GameData/Title/Replay.bmp");
    sel.SetMode(0);
    sel.Draw(g_lpDDSBack);
    int nDateInk = 0, nEmptyInk = 0;
    for (int y = 158; y < 182; y++)
        for (int x = 400; x < 520; x++)
            nDateInk += BackPixel(x, y) != back.Rgb565(x, y);
    for (int y = 80; y < 110; y++)
        for (int x = 360; x < 580; x++)
            nEmptyInk += BackPixel(x, y) != back.Rgb565(x, y);
    EXPECT_GT(nDateInk, 200);
    EXPECT_GT(nEmptyInk, 2000);
    // Her calm face stands at (306, y) beside the valid slot (left of its date), not beside the
    // others: every pixel of it that is not the key.
    const CBmpPixels sheet("GameData/System/CockpitSheet.bmp");
    const int kFaceTop = 84;  // FaceNormal's region in the sheet starts at (0, 84)
    int nFace = 0, nWrong = 0, nEmptyRowFace = 0;
    for (int y = 0; y < 76; y++) {
        for (int x = 0; x < 94; x++) {
            const uint16_t w = sheet.Rgb565(x, kFaceTop + y);
            if (w == 0x07E0)
                continue;
            nFace++;
            nWrong += BackPixel(306 + x, 152 + y) != w;
            nEmptyRowFace += BackPixel(306 + x, 72 + y) == w && back.Rgb565(306 + x, 72 + y) != w;
        }
    }
    EXPECT_GT(nFace, 5000);
    EXPECT_EQ(nWrong, 0);
    EXPECT_EQ(nEmptyRowFace, 0);

    // A sound header is not enough: a file whose track is cut short, or whose fourth track counts
    // more records than the file holds, cannot be played, shows as empty and is passed by.
    const rvm::string sound = ReplayBytes(2, 1, 1, 0);
    PutSlot(3, sound.substr(0, sound.size() - 20));
    rvm::string damaged = sound;
    const size_t nFourthCount =
        ReplayHeaderSize(REPLAY_FORMAT_LATEST) + 4 + 4 + ReplayRecordSize(REPLAY_FORMAT_LATEST) + 4;
    damaged[nFourthCount + 1] = '\x03';
    PutSlot(4, damaged);
    // What saves cut short left beside slots 1 and 2 goes when the list is read; a folder of that
    // name, a name of no slot and a name that only begins like one stay.
    CTempFolder::Put("Replay/Replay01.dat.new", std::string("half a sa"));
    CTempFolder::Put("Replay/Replay02.dat.new", sound.substr(0, 40));
    std::filesystem::create_directories("Replay/Replay03.dat.new");
    CTempFolder::Put("Replay/Replay06.dat.new", std::string("x"));
    CTempFolder::Put("Replay/Replay04.dat.new.old", std::string("x"));
    sel.Enter(g_lpD3DDevice);
    for (int i = 0; i < REPLAY_SLOTS; i++) {
        EXPECT_EQ(sel.GetSlot(i).bValid, i == 1 || i == 4) << i;
    }
    sel.SetMode(0);
    Tap(sel, D);
    EXPECT_EQ(sel.GetCursor(), 4);
    Tap(sel, U);
    EXPECT_EQ(sel.GetCursor(), 1);
    EXPECT_FALSE(std::filesystem::exists("Replay/Replay01.dat.new"));
    EXPECT_FALSE(std::filesystem::exists("Replay/Replay02.dat.new"));
    EXPECT_TRUE(std::filesystem::is_directory("Replay/Replay03.dat.new"));
    EXPECT_TRUE(std::filesystem::exists("Replay/Replay06.dat.new"));
    EXPECT_TRUE(std::filesystem::exists("Replay/Replay04.dat.new.old"));
    std::filesystem::remove_all("Replay");
}

// A valid row carries its slot number over the face's corner and its score on the cockpit's rolling
// digits, seven places ending short of the screen's edge; the pointer is a spinning item that stays
// beside the chosen row and belongs to no stage registry.
TEST_F(FrontScreens, AReplayRowShowsItsNumberAndScoreAndTheChosenOneASpinningItem)
{
    {
        CReplaySel bare;
        EXPECT_EQ(bare.Load(g_lpD3DDevice), 0) << "its face, digits and icons come from the cockpit's sheet";
    }
    ASSERT_EQ(LoadSystemIndexes(g_lpD3DDevice), 1);
    ASSERT_EQ(CPointNumber::LoadImage(g_lpD3DDevice), 1);
    ASSERT_EQ(CItem::LoadImages(g_lpD3DDevice), 1);
    CReplaySel sel;
    ASSERT_EQ(sel.Load(g_lpD3DDevice), 1);
    PutSlot(2, ReplayBytes(3, 2, 12, 123456));
    sel.Enter(g_lpD3DDevice);
    sel.SetMode(0);
    ASSERT_EQ(sel.GetCursor(), 1);
    rvm::set<int> frames;
    for (int i = 0; i < 12; i++) {
        Tick(sel);
        frames.insert(sel.GetCursorItem().GetFrame());
    }
    EXPECT_GE(frames.size(), 5u) << "the item spins through its frames";
    // No stage can pick it up, scroll it or land it.
    for (int i = 0; i < CRUSHABLE_MAX; i++) {
        EXPECT_NE(CCrushableSet::GetAt(CRUSH_ITEM, i), static_cast<const CCrushable*>(&sel.GetCursorItem())) << i;
    }
    EXPECT_EQ(CScrollableSet::Count(), 0);
    sel.Draw(g_lpDDSBack);
    EXPECT_EQ(CShowableSet::Count(0), 0) << "the slot numbers leave no drawable behind for a stage";

    // The item's frame, whole, centred on (286, 80 + 122) as items are drawn (16 px above).
    const CBmpPixels items("GameData/System/Item01.bmp");
    const CBmpPixels sheet("GameData/System/CockpitSheet.bmp");
    const int nFrame = sel.GetCursorItem().GetFrame();
    int nItem = 0, nItemWrong = 0;
    for (int y = 0; y < 32; y++) {
        for (int x = 0; x < 32; x++) {
            const uint16_t w = items.Rgb565(nFrame * 32 + x, 64 + y);
            if (w == 0x07E0)
                continue;
            nItem++;
            nItemWrong += BackPixel(270 + x, 170 + y) != w;
        }
    }
    EXPECT_GT(nItem, 100);
    EXPECT_EQ(nItemWrong, 0);

    // "02" in the level digits (10 x 16, second row of LvNumbers at (124, 0), cells 1..9, 0),
    // centred on x 316 and 60 px above y 152 + 114.
    int nDigits = 0, nDigitsWrong = 0;
    for (int k = 0; k < 2; k++) {
        const int nCell = k == 0 ? 9 : 1;
        for (int y = 0; y < 16; y++) {
            for (int x = 0; x < 10; x++) {
                const uint16_t w = sheet.Rgb565(124 + nCell * 10 + x, 16 + y);
                if (w == 0x07E0)
                    continue;
                nDigits++;
                nDigitsWrong += BackPixel(306 + 10 * k + x, 206 + y) != w;
            }
        }
    }
    EXPECT_GT(nDigits, 20);
    EXPECT_EQ(nDigitsWrong, 0);

    // The score's last place lies where a seven-place counter at x 426 puts it; nothing of it lies
    // beyond, as a ten-place counter there would run off the screen.
    CStagePointEx& score = sel.GetScoreDisplay();
    EXPECT_EQ(score.GetNumber(), 123456);
    const int nLast = 426 + score.GetYenWidth() + 6 * 20 + 2 * score.GetCommaWidth();
    ASSERT_LE(nLast + 20, 640);
    const CBmpPixels back("GameData/Title/Replay.bmp");
    int nSix = 0, nSixWrong = 0, nBeyond = 0;
    for (int y = 0; y < 34; y++) {
        for (int x = 0; x < 20; x++) {
            const uint16_t w = sheet.Rgb565(5 * 20 + x, 240 + y);  // the strip runs 1..9, 0
            if (w == 0x07E0)
                continue;
            nSix++;
            nSixWrong += BackPixel(nLast + x, 172 + y) != w;
        }
    }
    // Right of the last place, below the sub-weapon icon (56 rows from y 152 - 12).
    for (int y = 196; y < 206; y++)
        for (int x = nLast + 20; x < 640; x++)
            nBeyond += BackPixel(x, y) != back.Rgb565(x, y);
    EXPECT_GT(nSix, 50);
    EXPECT_EQ(nSixWrong, 0);
    EXPECT_EQ(nBeyond, 0);
    sel.Release();
    CItem::ReleaseImages();
    CPointNumber::ReleaseImage();
    std::filesystem::remove_all("Replay");
}

TEST_F(FrontScreens, InSaveModeEverySlotCanBeChosenAndTheConfirmationLastsASecond)
{
    ASSERT_EQ(LoadSystemIndexes(g_lpD3DDevice), 1);
    CReplaySel sel;
    ASSERT_EQ(sel.Load(g_lpD3DDevice), 1);
    PutSlot(2, ReplayBytes(1, 0, 3, 5));
    sel.Enter(g_lpD3DDevice);
    Hold('Z');
    sel.SetMode(1);
    EXPECT_EQ(sel.GetCursor(), 0);
    Tick(sel, 3);
    EXPECT_EQ(sel.GetResult(), CReplaySel::RESULT_NONE) << "shot held on entry";
    Let('Z');
    for (int i = 1; i <= 6; i++) {
        Tap(sel, D);
        EXPECT_EQ(sel.GetCursor(), i % REPLAY_SLOTS);
    }
    Tap(sel, U);
    Tap(sel, 'Z');
    EXPECT_EQ(sel.GetResult(), CReplaySel::RESULT_SAVE);
    EXPECT_STREQ(sel.GetFileName(), "Replay01.dat");
    sel.ShowSaved();
    const int n = TickUntil(sel, [&] { return sel.GetResult() == CReplaySel::RESULT_BACK; });
    EXPECT_GT(Ms(n), 1000);
    EXPECT_LE(Ms(n), 1017);
    sel.SetMode(1);
    Tap(sel, 'X');
    EXPECT_EQ(sel.GetResult(), CReplaySel::RESULT_SAVE_CANCEL);
    std::filesystem::remove_all("Replay");
}
