// A running stage for tests: a crafted stage file loaded without a device (object types sized by
// hand), the stub heroine, screens that write down what the stage asks of them, and the frame
// clock under the test's control.
#pragma once
#include <gtest/gtest.h>

#include <cstring>

#include "engine/AppTimer.h"
#include "engine/ShowableSet.h"
#include "rvm/rvm_stl.h"
#include "stage/BoundableSet.h"
#include "stage/CrushableSet.h"
#include "stage/Object.h"
#include "stage/ObjectLabel.h"
#include "stage/Stage.h"
#include "stage/StageScreens.h"
#include "support/TempFolder.h"
#include "StubPlayer.h"

class CFakePause : public IPause {
public:
    int Load(IDirect3DDevice7*) override { return 1; }
    void Start() override
    {
        m_bDecided = 0;
        m_nStarts++;
    }
    void UpdateInput() override {}
    void Update() override { m_nUpdates++; }
    void Hide() override {}
    int Draw(IDirectDrawSurface7*) override { return 1; }
    int IsDecided() override { return m_bDecided; }
    int GetChoice() override { return m_nChoice; }
    int m_bDecided = 0;
    int m_nChoice = 0;
    int m_nStarts = 0;
    int m_nUpdates = 0;
};

class CFakeGameOver : public IGameOver {
public:
    int Load(IDirect3DDevice7*) override { return 1; }
    void Start(int bInteractive) override
    {
        m_bHidden = 0;
        m_nState = 0;
        m_bInteractive = bInteractive;
        m_nStarts++;
    }
    void Update() override {}
    void Hide() override { m_bHidden = 1; }
    int Draw(IDirectDrawSurface7*, IDirect3DDevice7*) override { return 1; }
    int IsHidden() override { return m_bHidden; }
    int GetState() override { return m_nState; }
    void SetRunning(int bRunning) override { m_bRunning = bRunning; }
    int GetChoice() override { return m_nChoice; }
    int IsFinished() override { return m_bFinished; }
    int m_bHidden = 1;
    int m_nState = 0;
    int m_bRunning = 0;
    int m_nChoice = 0;
    int m_bFinished = 0;
    int m_bInteractive = -1;
    int m_nStarts = 0;
};

class CFakeStageClear : public IStageClear {
public:
    int Load(IDirect3DDevice7*) override { return 1; }
    void Start() override
    {
        m_bHidden = 0;
        m_nState = 0;
        m_nStarts++;
    }
    void Update() override {}
    void Hide() override { m_bHidden = 1; }
    int Draw(IDirectDrawSurface7*) override { return 1; }
    int IsHidden() override { return m_bHidden; }
    int GetState() override { return m_nState; }
    int GetTotal() override { return m_nTotal; }
    void SetLastStage(int bLast) override { m_bLast = bLast; }
    void SetResults(int nLife, int nTime, int nTarget) override
    {
        m_nLife = nLife;
        m_nTime = nTime;
        m_nTarget = nTarget;
    }
    int m_bHidden = 1;
    int m_nState = 0;
    int m_nTotal = 0;
    int m_bLast = -1;
    int m_nLife = -1;
    int m_nTime = -1;
    int m_nTarget = -1;
    int m_nStarts = 0;
};

class CFakeBossCockpit : public IBossCockpit {
public:
    int Load(IDirect3DDevice7*) override { return 1; }
    void Start() override { m_bHidden = 0; }
    void SetBoss(int nBoss) override { m_nBoss = nBoss; }
    void SetLifeMax(int) override {}
    void SetLife(int) override {}
    void Update() override {}
    void Hide() override { m_bHidden = 1; }
    int Draw(IDirectDrawSurface7*) override { return 1; }
    int IsHidden() override { return m_bHidden; }
    int GetSecondsLeft() override { return m_nSeconds; }
    void StopTime() override { m_nStops++; }
    int m_bHidden = 1;
    int m_nBoss = -1;
    int m_nSeconds = 60;
    int m_nStops = 0;
};

class CFakeBeacon : public IBeacon {
public:
    int Load(IDirect3DDevice7*, int) override { return 1; }
    void SetPoint(float x, float y) override
    {
        m_fX = x;
        m_fY = y;
    }
    void Start(int bChat) override
    {
        m_bFinished = 0;
        m_bChat = bChat;
        m_nStarts++;
    }
    void Stop() override { m_bFinished = 1; }
    int IsFinished() override { return m_bFinished; }
    void Update() override {}
    int Draw(IDirectDrawSurface7*) override { return 1; }
    int GetHeight() override { return 40; }
    float m_fX = 0.0f;
    float m_fY = 0.0f;
    int m_bFinished = 1;
    int m_bChat = -1;
    int m_nStarts = 0;
};

class CFakeConstructive : public IConstructive {
public:
    int Load(IDirect3DDevice7*) override { return 1; }
    void Reset() override {}
    void Start() override { m_nStarts++; }
    void PopOut() override { m_nPopOuts++; }
    void Update() override {}
    void UpdateBonus(IStagePlayer&, CStage&) override {}
    int Draw(IDirectDrawSurface7*) override { return 1; }
    int m_nStarts = 0;
    int m_nPopOuts = 0;
};

class CStageHarness {
public:
    CStageHarness()
    {
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        CAppTimer::ResetFrameClock();
        CAppTimer::ResetAll();
        CBoundableSet::Clear();
        CCrushableSet::Clear();
        CScrollableSet::Clear();
        CShowableSet::Clear();
    }
    ~CStageHarness()
    {
        m_Stage.UnloadStage();
        CBoundableSet::Clear();
        CCrushableSet::Clear();
    }

    // Writes the lines as stage 1 and loads it; every OBJECT type is 64 x 64. Reset and Start
    // follow when bStart is set.
    void Load(std::initializer_list<const char*> lines, bool bStart = true)
    {
        rvm::string text;
        rvm::vector<rvm::string> codes;
        for (const char* line : lines) {
            text += line;
            text += "\r\n";
            if (strncmp(line, "#OBJECT", 7) == 0)
                codes.emplace_back(line + 7, 2);
        }
        CTempFolder::Put("GameData/Stage01/Stage.txt", text);
        ASSERT_EQ(m_Stage.LoadStage(nullptr, 1, 0), 1);
        for (const rvm::string& code : codes) {
            CObject* pObj = m_Stage.GetStageData().GetObject(code);
            ASSERT_NE(pObj, nullptr) << code;
            pObj->m_nWidth = 64;
            pObj->m_nHeight = 64;
        }
        if (bStart) {
            m_Stage.Reset();
            m_Stage.Start(1, 0);
        }
    }
    void PlugScreens()
    {
        STAGESCREENS screens;
        screens.pPause = &m_Pause;
        screens.pGameOver = &m_GameOver;
        screens.pStageClear = &m_Clear;
        screens.pBossCockpit = &m_Cockpit;
        screens.pConstructive = &m_Constructive;
        for (int i = 0; i < STAGE_BEACON_NUM; i++)
            screens.pBeacon[i] = &m_Beacon[i];
        m_Stage.SetScreens(screens);
    }
    // One tick: the frame clock moves, then the stage runs.
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; i++) {
            CAppTimer::FrameTick();
            m_Stage.CheckPauseKey();
            m_Stage.Update();
        }
    }
    // The listed label of a layer placed at (screen, column, row); null when not listed.
    CObjectLabel* Listed(int nLayer, int nScreen, int nColumn, int nRow)
    {
        for (CObjectLabel* p : m_Stage.GetLayerList(nLayer)) {
            int c = -1, r = -1;
            p->GetCell(&c, &r);
            if (p->GetNumber() == nScreen && c == nColumn && r == nRow)
                return p;
        }
        return nullptr;
    }
    // Every layer stands still from the next Reset on.
    void StopAllLayers()
    {
        CStageData& d = m_Stage.GetStageData();
        for (int i = 0; i < BG_NUM; i++) {
            d.m_vVelocityInit[i].x = 0.0f;
            d.m_vVelocity[i].x = 0.0f;
        }
    }
    // Loads without starting, stops the scroll, then resets and starts.
    void LoadStill(std::initializer_list<const char*> lines)
    {
        Load(lines, false);
        StopAllLayers();
        m_Stage.Reset();
        m_Stage.Start(1, 0);
    }

    CTempFolder m_Folder;
    CStubPlayer m_Player{300.0f, 200.0f};
    CStage m_Stage{m_Player};
    CFakePause m_Pause;
    CFakeGameOver m_GameOver;
    CFakeStageClear m_Clear;
    CFakeBossCockpit m_Cockpit;
    CFakeConstructive m_Constructive;
    CFakeBeacon m_Beacon[STAGE_BEACON_NUM];
};
