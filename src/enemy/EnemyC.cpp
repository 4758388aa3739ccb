#include "enemy/EnemyC.h"

#include "engine/AppTimer.h"
#include "enemy/EnemyLabel.h"

namespace {

const float kSwoopSpeed = -12.0f;
const float kSwoopTurnRight = 0.22429906f;
const float kSwoopTurnLeft = 0.225f;
const float kSwoopClimb = 13.333333f;
const DWORD kFrameMs = 30;
const float kBrakeSpeed = 12.0f;
const float kBrakeLeft = -0.225f;
const float kBrakeRight = -0.22431f;
const DWORD kAimWaitMs = 500;

} // namespace

// ---- What C and H share ---------------------------------------------------------------------------

CEnemySwoop::CEnemySwoop(int nVariant) : CEnemy(nVariant)
{
    m_nFamily = ENEMY_FAMILY_C;
}

int CEnemySwoop::CreateParts(int, CEnemyLabel* pLabel)
{
    return pLabel->MakeParts<CEnemyPartC>(ENEMY_FAMILY_C, 1);
}

CEnemyPartC* CEnemySwoop::GetUnit(CEnemyLabel* pLabel)
{
    return pLabel->GetParts<CEnemyPartC>(ENEMY_FAMILY_C);
}

int CEnemySwoop::SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char*)
{
    CEnemyPartC* pPart = GetUnit(pLabel);
    if (!pPart)
        return 0;
    pPart->LoadEffects(lpDevice);
    pPart->m_Normal.SetGraphic(lpDevice, 0);
    return 1;
}

void CEnemySwoop::Enter(CEnemyLabel* pLabel, CEnemyPartC& part)
{
    int nRow = 0;
    pLabel->GetCell(nullptr, &nRow);
    const int w = m_nWidths[0];
    if (IsRightward()) {
        part.m_vPos.x = -(float)(w / 2);
        part.SetFacing(0);
    } else {
        part.m_vPos.x = (float)(w / 2 + 640);
        part.SetFacing(1);
    }
    part.m_vPos.y = (float)(nRow * 64);
    part.m_vPos.z = 0.0f;
    part.m_bFired = 0;
    part.m_Normal.Stop();
    part.Begin(0, m_Params[0], w, m_nHeights[0], 0);
    pLabel->m_bFinished = 0;
}

void CEnemySwoop::Leave(CEnemyLabel* pLabel, CEnemyPartC& part)
{
    part.Remove();
    Stop(pLabel);
}

int CEnemySwoop::Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float)
{
    CEnemyPartC* pPart = GetUnit(pLabel);
    if (pLabel->m_bFinished || !pPart || !lpTarget)
        return 0;
    DrawPart(lpTarget, pPart);
    return 1;
}

// ---- Kind C ---------------------------------------------------------------------------------------

int CEnemyC::Load(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    Release();
    char szPath[MAX_PATH];
    snprintf(szPath, sizeof(szPath), "%s%s", pszFolder, "EnemyC1.bmp");
    CDSurface sheet;
    if (!sheet.LoadFromFile(lpDevice, szPath, nullptr, 0))
        return 0;
    int w = 0, h = 0;
    sheet.GetSize(&w, &h);
    const RECT rcFrames[FRAMES] = {{0, 0, w / 2, h}, {w / 2, 0, w, h}};
    for (int i = 0; i < FRAMES; i++) {
        if (!m_Pictures[i].Create(lpDevice, sheet.GetSurface(), &rcFrames[i], 0))
            continue;
        m_Pictures[i].SetColorKeyGreen();
        m_Pictures[i].GetSize(&m_nWidths[i], &m_nHeights[i]);
    }
    ReadParamBlock("ENEMY_C1-4", &m_Params[0]);
    m_Params[1] = m_Params[0];
    return 1;
}

void CEnemyC::Spawn(CEnemyLabel* pLabel)
{
    CEnemyPartC* pPart = GetUnit(pLabel);
    if (!pPart)
        return;
    const float a = IsRightward() ? kSwoopTurnLeft : kSwoopTurnRight;
    pPart->m_X.Set(kSwoopSpeed, a, 0.0f, 0.0f, 0);
    pPart->m_Y.SetConstant(a * kSwoopClimb);
    pPart->m_dwFrameMs = kFrameMs;
    pPart->m_nFrames = FRAMES;
    pPart->m_nFrame = 0;
    pPart->m_dwFrameStart = Now();
    Enter(pLabel, *pPart);
}

void CEnemyC::Update(CEnemyLabel* pLabel)
{
    CEnemyPartC* pPart = GetUnit(pLabel);
    if (pLabel->m_bFinished || !pPart)
        return;
    CEnemyPartC& part = *pPart;
    part.UpdateFlash();
    part.SetViewOffset(pLabel->GetOffsetY());
    if (Now() - part.m_dwFrameStart > part.m_dwFrameMs) {
        part.m_nFrame = (part.m_nFrame + 1) % part.m_nFrames;
        part.m_nBlock = part.m_nFrame;
        part.m_dwFrameStart = Now();
    }
    const BOOL bRight = IsRightward();
    D3DVECTOR& p = part.m_vPos;
    p.x += bRight ? -part.m_X.fValue : part.m_X.fValue;
    p.y += IsUpward() ? -part.m_Y.fValue : part.m_Y.fValue;
    part.m_X.Step();
    part.m_Y.Step();
    // A destroyed unit ends the label at once, turned back or not.
    if (part.m_nLife < 1) {
        Leave(pLabel, part);
        return;
    }
    if (part.m_X.fValue <= 0.0f)
        return;
    if (!part.m_bFired && ((!bRight && p.x > ENEMY_FIRE_LINE_LEFT) || (bRight && p.x < ENEMY_FIRE_LINE_RIGHT))) {
        part.m_bFired = 1;
        FireNormalAt(part.m_Normal, pLabel, p.x, p.y);
    }
    const float w = (float)part.m_nWidth;
    if ((!bRight && p.x > 640.0f + w) || (bRight && p.x < -2.0f * w))
        Leave(pLabel, part);
}

// ---- Kind H ---------------------------------------------------------------------------------------

int CEnemyH::Load(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    Release();
    const ENEMYSLOT slot = {"EnemyH1.bmp", "ENEMY_H1-4"};
    return LoadSlot(lpDevice, pszFolder, 0, slot);
}

void CEnemyH::Spawn(CEnemyLabel* pLabel)
{
    CEnemyPartC* pPart = GetUnit(pLabel);
    if (!pPart)
        return;
    pPart->m_X.Set(kBrakeSpeed, IsRightward() ? kBrakeLeft : kBrakeRight, 0.0f, kBrakeSpeed, 1);
    pPart->m_Y.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
    pPart->m_dwFrameMs = kAimWaitMs;
    pPart->m_bBusy = 1;
    Enter(pLabel, *pPart);
}

void CEnemyH::Update(CEnemyLabel* pLabel)
{
    CEnemyPartC* pPart = GetUnit(pLabel);
    if (pLabel->m_bFinished || !pPart)
        return;
    CEnemyPartC& part = *pPart;
    part.UpdateFlash();
    part.SetViewOffset(pLabel->GetOffsetY());
    const BOOL bRight = IsRightward();
    D3DVECTOR& p = part.m_vPos;
    p.x += bRight ? part.m_X.fValue : -part.m_X.fValue;
    p.y += IsUpward() ? -part.m_Y.fValue : part.m_Y.fValue;
    part.m_X.Step();
    part.m_Y.Step();
    // A destroyed unit ends the label at once: it must not fire from its wreck while it waits.
    if (part.m_nLife < 1) {
        Leave(pLabel, part);
        return;
    }
    if (!part.m_bFired) {
        if (part.m_bBusy && part.m_X.nReached) {
            part.m_dwFrameStart = Now();
            part.m_bBusy = 0;
        } else if (!part.m_bBusy && Now() - part.m_dwFrameStart > part.m_dwFrameMs) {
            part.m_bBusy = 1;
            part.m_bFired = 1;
            FireNormalAt(part.m_Normal, pLabel, p.x, p.y);
            part.m_X.Set(-10.0f, 0.3125f, -10.0f, 0.0f, 0);
            part.m_Y.Set(2.5f, 0.0f, 0.0f, 0.0f, 0);
        }
    }
    const float v = part.m_X.fValue;
    if (v < 0.0f)
        part.SetFacing(bRight ? 1 : 0);
    else if (v > 0.0f)
        part.SetFacing(bRight ? 0 : 1);
    if (v <= 0.0f)
        return;
    const float w = (float)part.m_nWidth;
    if ((bRight && p.x > 640.0f + w) || (!bRight && p.x < -2.0f * w))
        Leave(pLabel, part);
}
