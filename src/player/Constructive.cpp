#include "player/Constructive.h"

#include "engine/AppTimer.h"
#include "engine/KeyRecorder.h"
#include "engine/SurfaceUtil.h"
#include "stage/Stage.h"

namespace {

const float kRightHalf = 320.0f;
const int kSignW = 64, kSignH = 24;

} // namespace

int CConstructive::Load(IDirect3DDevice7* lpDevice)
{
    m_Sign.Release();
    IDirectDrawSurface7* lpSource = LoadIndexSurface(lpDevice, IMGKEY{"CockpitIndex.txt", "Option"}, MEM_SYSTEM);
    if (!lpSource)
        return 0;
    const RECT rc0 = {0, 24, kSignW, 24 + kSignH};
    const RECT rc1 = {0, 48, kSignW, 48 + kSignH};
    const int bOk = m_Sign.LoadImageFiles(lpDevice, lpSource, &rc0, &rc1);
    lpSource->Release();
    return bOk;
}

void CConstructive::Reset()
{
    m_Sign.Stop();
    m_bSignOn = 0;
    m_bLeaving = 0;
    m_bHidden = 1;
}

void CConstructive::Start()
{
    Reset();
    m_dwStart = CAppTimer::GetElapsed(0);
    m_dwLast = 0;
    m_Sign.m_fX = kRightHalf + (float)(kSignW / 2);
    m_Sign.m_fY = (float)POP_Y + (float)(kSignH / 2);
    m_Sign.Start();
    m_bSignOn = 1;
    m_bHidden = 0;
}

// The sign folds away; the bonus stops at once.
void CConstructive::PopOut()
{
    if (m_bHidden)
        return;
    m_Sign.StartPopOut();
    m_bLeaving = 1;
}

void CConstructive::Update()
{
    if (m_bHidden)
        return;
    m_Sign.Update();
    if (m_bLeaving && m_Sign.IsFinished()) {
        m_bLeaving = 0;
        m_bHidden = 1;
    }
}

int CConstructive::StepPoints(DWORD dwElapsed, DWORD dwLast)
{
    return STEP_POINTS * (int)((dwElapsed + STEP_MS) / STEP_MS - (dwLast + STEP_MS) / STEP_MS);
}

int CConstructive::TickPoints(DWORD dwElapsed)
{
    CKeyRecorder* pRec = CKeyRecorder::GetInstance();
    if (pRec->GetMode() == KEYREC_MODE_PLAY) {
        // Without a record (a replay that ends early) nothing is added; the scene ends the replay.
        KEYRECINFO info;
        return pRec->GetPlayRecord(&info) ? info.point : 0;
    }
    const int nPoints = StepPoints(dwElapsed, m_dwLast);
    pRec->RecordPoint(nPoints);
    return nPoints;
}

void CConstructive::UpdateBonus(IStagePlayer& player, CStage& stage)
{
    if (m_bHidden || m_bLeaving)
        return;
    const DWORD dwElapsed = CAppTimer::GetElapsed(0) - m_dwStart;
    D3DVECTOR vPos;
    player.GetPosition(&vPos);
    if (vPos.x < kRightHalf) {
        m_bSignOn = 0;
    } else if (!stage.IsClearIdle() && stage.GetState() == STAGE_STATE_PLAY) {
        stage.AddScore(TickPoints(dwElapsed), 0);
        m_bSignOn = 1;
    }
    m_dwLast = dwElapsed;
}

int CConstructive::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bHidden || !m_bSignOn)
        return 1;
    return m_Sign.Draw(lpSurface);
}
