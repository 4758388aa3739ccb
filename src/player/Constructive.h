// The CONSTRUCTIVE bonus a stage event starts: while the stage plays on and the heroine keeps to the
// right half of the view, 50 points pour in every 50 ms and a small sign says so. The points go
// through the key record, so a replay adds exactly what the recorded run added.
#pragma once
#include "engine/PopSurface.h"
#include "stage/StageScreens.h"

class CConstructive : public IConstructive {
public:
    enum { STEP_MS = 50, STEP_POINTS = 50, POP_Y = 451 };

    CConstructive() = default;
    ~CConstructive() override = default;

    // The two sign pictures: 64 x 24 cells of the "Option" region at y 24 and 48.
    int Load(IDirect3DDevice7* lpDevice) override;
    void Reset() override;
    void Start() override;
    void PopOut() override;
    void Update() override;
    void UpdateBonus(IStagePlayer& player, CStage& stage) override;
    int Draw(IDirectDrawSurface7* lpSurface) override;

    // The points of the 50-ms steps completed between two elapsed times.
    static int StepPoints(DWORD dwElapsed, DWORD dwLast);

    int IsHidden() const { return m_bHidden; }
    int IsSignOn() const { return m_bSignOn; }
    const CPopSurface& GetSign() const { return m_Sign; }

private:
    // The points of this tick: counted while recording, read back from the record in playback.
    int TickPoints(DWORD dwElapsed);

    CPopSurface m_Sign;
    DWORD m_dwStart = 0;
    DWORD m_dwLast = 0;
    int m_bSignOn = 0;
    int m_bLeaving = 0;
    int m_bHidden = 1;
};
