// A stage marker in one of two modes. A danger beacon pops in at a point of the stage, follows the
// camera and pops out after half a second. The boss warning slides two bands across the screen,
// opens a message window and sounds the warning three times, a second apart.
#pragma once
#include "engine/MenuItem.h"
#include "engine/MsgWin.h"
#include "engine/PopSurface.h"
#include "engine/ShowableSet.h"
#include "stage/StageScreens.h"

class CBeacon : public IBeacon, public CScrollable {
public:
    enum { SHOW_MS = 500, WARNING_PERIOD_MS = 1000, WARNING_REPEATS = 2 };

    CBeacon() = default;
    ~CBeacon() override = default;

    // bBossWarning 1: the boss warning's bands and window; 0: the danger picture. 0 on failure.
    int Load(IDirect3DDevice7* lpDevice, int bBossWarning) override;
    void SetPoint(float x, float y) override
    {
        m_nX = (int)x;
        m_nY = (int)y;
    }
    void Start(int bChat) override;
    void Stop() override;
    int IsFinished() override;
    void Update() override;
    int Draw(IDirectDrawSurface7* lpSurface) override;
    int GetHeight() override { return m_nHeight; }

    // The stage's vertical view offset, drawn with.
    void SetScrollSpeed(float fOffset) override { m_fOffsetY = fOffset; }
    void SetScrollPos(float) override {}

    int IsBossWarning() const { return m_bBossWarning; }
    int GetWarningCount() const { return m_nWarningCount; }
    const CPopSurface& GetPicture() const { return m_Pop; }
    const CMIBoss& GetBand(int i) const { return m_Band[i]; }
    const CMsgWin& GetWindow() const { return m_Window; }
    // Where the danger picture's centre is drawn.
    int GetDrawX() const { return m_nX; }
    int GetDrawY() const { return m_nY + (int)m_fOffsetY + 16; }

private:
    int LoadWarning(IDirect3DDevice7* lpDevice);
    void UpdateWarning();
    void UpdateDanger();

    CPopSurface m_Pop;
    CMIBoss m_Band[2];
    CMsgWin m_Window;
    int m_nX = 0;
    int m_nY = 0;
    int m_nHeight = 0;
    DWORD m_dwShowStart = 0;
    int m_bPopOutStarted = 0;
    int m_bBossWarning = 0;
    float m_fOffsetY = 0.0f;
    DWORD m_dwWarningStart = 0;
    int m_nWarningCount = 0;
};
