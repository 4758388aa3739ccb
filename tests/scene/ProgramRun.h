// The whole program on the headless host, in a fresh folder: the process frame, the game object
// and the present, run until a tick (or until the program ends itself) and closed the way the
// close box closes it. The game notes every state it enters, with the tick, and a test may act on
// it after each render pass.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "bullet/ExpBomb4.h"
#include "bullet/ExpBoss.h"
#include "bullet/ExpDamage.h"
#include "bullet/SubtractiveRandom.h"
#include "engine/WinMain.h"
#include "headless/HeadlessGame.h"
#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"
#include "enemy/EnemyLabel.h"
#include "scene/Game.h"
#include "scene/RunDataEdit.h"
#include "support/GeneratedData.h"
#include "support/TempFolder.h"

// A key of a scripted track, pressed or released at a tick of the stage.
struct KEYEVENT {
    int nTick;
    int nKey;
    bool bDown;
};

// FNV-1a over the frame's bytes, low byte first.
inline uint64_t HashFrame(const std::vector<uint16_t>& frame)
{
    uint64_t h = 1469598103934665603ULL;
    for (uint16_t w : frame) {
        h = (h ^ (w & 0xFF)) * 1099511628211ULL;
        h = (h ^ (w >> 8)) * 1099511628211ULL;
    }
    return h;
}

// The effects' generators as a fresh process has them: unseeded. They keep their state from one
// stage run to the next, as in the game, so without this a test's frames would depend on the runs
// of the tests before it in the same process.
inline void UnseedEffectRandoms()
{
    GetLookRandom() = CEffectRandom();
    GetExplosionRandom() = CEffectRandom();
    CExpBomb4::GetRandom() = CSubtractiveRandom();
    CExpDamage::GetRandom() = CSubtractiveRandom();
    CExpDamageEx::GetRandom() = CSubtractiveRandom();
    CExpBoss::GetRandom() = CSubtractiveRandom();
}

struct STATEENTRY {
    int nState;
    uint32_t nTick;
};

// Loads take the ticks they take unless the test asks the first loading frame to wait for them, as
// the headless runner does.
class CObservedGame : public CHeadlessGame {
public:
    explicit CObservedGame(CHostHeadless& host) : m_Host(host) { m_bWaitForLoads = false; }

    void Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice) override
    {
        Note();
        CHeadlessGame::Render(lpDest, lpDevice);
        Note();
        PlayFront();
        if (m_OnRender) {
            // A copy: the hook may replace itself.
            const std::function<void(CObservedGame&)> onRender = m_OnRender;
            onRender(*this);
        }
    }

    void Update() override
    {
        CHeadlessGame::Update();
        if (m_OnUpdate) {
            const std::function<void(CObservedGame&)> onUpdate = m_OnUpdate;
            onUpdate(*this);
        }
    }

    // The states entered, in order (each once per visit).
    std::vector<int> States() const
    {
        std::vector<int> states;
        for (const STATEENTRY& e : m_Entries) {
            states.push_back(e.nState);
        }
        return states;
    }
    // The tick of the first entry into the state; 0 when never entered.
    uint32_t FirstTick(int nState) const
    {
        for (const STATEENTRY& e : m_Entries) {
            if (e.nState == nState) {
                return e.nTick;
            }
        }
        return 0;
    }
    // How often the state was entered.
    int Visits(int nState) const
    {
        int n = 0;
        for (const STATEENTRY& e : m_Entries) {
            n += e.nState == nState;
        }
        return n;
    }

    std::vector<STATEENTRY> m_Entries;
    std::function<void(CObservedGame&)> m_OnRender;
    // After every update pass.
    std::function<void(CObservedGame&)> m_OnUpdate;
    // A player at the front screens: Enter at the caution screen, Z on the title's menu (its first
    // item, start) and on both rows of the start menu, X (back) in the replay selection, each key
    // let go again on the next pass.
    bool m_bPassCaution = true;
    bool m_bStartFromTitle = false;
    bool m_bConfirmStartMenu = true;
    bool m_bLeaveReplaySelect = true;
    // Cleared when the test has seen what it wanted: the ticks up to the close are not noted.
    bool m_bNoting = true;

private:
    void PlayFront()
    {
        const bool bCaution = m_bPassCaution && GetState() == STATE_LOGO &&
                              GetLogo().GetState() == CLogo::STATE_CAUTION_WAIT;
        Hold(VK_RETURN, bCaution, &m_bEnterHeld);
        const bool bTitle = m_bStartFromTitle && GetState() == STATE_TITLE &&
                            GetTitle().GetResult() == CTitle::RESULT_MENU && GetTitle().GetCursor() == 0;
        const bool bStart = m_bConfirmStartMenu && GetState() == STATE_START_MENU &&
                            GetStartMenu().GetResult() <= CStart::RESULT_SUBWEAPON;
        Hold('Z', (bTitle || bStart) && !m_bZHeld, &m_bZHeld);
        const bool bReplay = m_bLeaveReplaySelect && GetState() == STATE_REPLAY_SELECT &&
                             GetReplaySel().GetResult() == CReplaySel::RESULT_NONE;
        Hold('X', bReplay && !m_bXHeld, &m_bXHeld);
    }
    void Hold(int nKey, bool bDown, bool* pbHeld)
    {
        if (bDown && !*pbHeld) {
            m_Host.PressKey(nKey);
        } else if (!bDown && *pbHeld) {
            m_Host.ReleaseKey(nKey);
        }
        *pbHeld = bDown;
    }

    bool m_bEnterHeld = false;
    bool m_bZHeld = false;
    bool m_bXHeld = false;

    void Note()
    {
        if (m_bNoting && (m_Entries.empty() || m_Entries.back().nState != GetState())) {
            m_Entries.push_back({GetState(), m_Host.GetFrameTicks()});
        }
    }

    CHostHeadless& m_Host;
};

class CProgramRun : public ::testing::Test {
protected:
    int Run(uint32_t nTicks) { return RunOn(m_Host, m_Game, nTicks); }

    // The last frame as NAME.png for looking at, written only when ZORVA_LOOK_DIR names a folder.
    static void WriteLook(const CHostHeadless& host, const std::string& strName)
    {
        const char* pszDir = std::getenv("ZORVA_LOOK_DIR");
        if (pszDir)
            host.WriteLastFrame((std::string(pszDir) + "/" + strName + ".png").c_str());
    }

    // The program on a host and game of the test's own (a second run in the same folder). Quiet,
    // the host writes nothing on stderr.
    static int RunOn(CHostHeadless& host, CGame& game, uint32_t nTicks, bool bQuiet = true)
    {
        host.SetQuiet(bQuiet);
        UnseedEffectRandoms();
        return RunOnHost(host, game, nTicks + 1);
    }

    // A close request a few ticks from now, as the close box would send it; the states entered
    // from here on are not noted.
    void CloseSoon(uint32_t nTicks = 2) { CloseSoonOn(m_Host, m_Game, nTicks); }
    static void CloseSoonOn(CHostHeadless& host, CObservedGame& game, uint32_t nTicks = 2)
    {
        game.m_bNoting = false;
        HOSTSCRIPTCMD close = {};
        close.nTick = host.GetTick() + nTicks;
        close.op = HSOP_CLOSE;
        host.Schedule(close);
    }

    // For runs about what the test itself sends at her or at the crates: every enemy leaves as it
    // comes in, before it can fire, touch her or draw her weapons.
    static void CalmEnemies(CObservedGame& game)
    {
        for (CObjectLabel* pLabel : game.GetStage().GetLayerList(STAGE_ENEMY_LAYER)) {
            if (dynamic_cast<CEnemyLabel*>(pLabel))
                pLabel->Stop();
        }
    }

    // The generated data set in the run's folder, a copy the test may change. It starts at the logo.
    static void MakeData() { CopyGeneratedData(); }
    // The generated data set, started the debug way: straight into loading the first stage.
    static void MakeStageData()
    {
        CopyGeneratedData();
        SetParam("STAGE_INIT_STATE", "1");
    }

    // Presses and releases the keys of the track that fall on tick t.
    void PlayKeys(const KEYEVENT* pTrack, size_t nCount, int t)
    {
        for (size_t i = 0; i < nCount; i++) {
            if (pTrack[i].nTick != t)
                continue;
            if (pTrack[i].bDown)
                m_Host.PressKey(pTrack[i].nKey);
            else
                m_Host.ReleaseKey(pTrack[i].nKey);
        }
    }

    WORD Pixel(int x, int y) const { return m_Host.GetLastFrame()[static_cast<size_t>(y) * 640 + x]; }

    CTempFolder m_Folder;
    CHostHeadless m_Host;
    CObservedGame m_Game{m_Host};
};
