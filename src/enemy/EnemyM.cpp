#include "enemy/EnemyM.h"

#include "engine/AppTimer.h"
#include "enemy/EnemyLabel.h"

namespace {

const float kEntrySpeed = 2.0f;
const DWORD kStayMs = 4000;
const DWORD kVolleyMs = 1000;
const DWORD kBurstMs = 800;
const DWORD kBurstShotMs = 50;
const DWORD kFirstBurstMs = 1000;

// Per missile of a volley: its horizontal and vertical records. They fly backwards fanning out,
// then turn and speed forwards.
const ACCINFO kMissileXLeft = {5.0f, 5.0f, -0.3f, -100.0f, 5.0f, 0, 1, 0, 0};
const ACCINFO kMissileXRight = {-5.0f, -5.0f, 0.3f, -5.0f, 100.0f, 0, 1, 0, 0};
const ACCINFO kMissileY[CEnemyPartM::PER_VOLLEY] = {
    {5.5f, 5.5f, -0.2f, 0.0f, 5.5f, 0, 1, 0, 0},
    {2.2f, 2.2f, -0.1f, 0.0f, 2.2f, 0, 1, 0, 0},
    {-5.5f, -5.5f, 0.2f, -5.5f, 0.0f, 0, 1, 0, 0},
    {-2.2f, -2.2f, 0.1f, -2.2f, 0.0f, 0, 1, 0, 0},
};

const float kFanLeft[CEnemyPartN::PER_SHOT] = {2.356194f, 2.879793f, -2.879793f, -2.356194f};
const float kFanRight[CEnemyPartN::PER_SHOT] = {0.785398f, 0.261799f, -0.261799f, -0.785398f};

} // namespace

// ---- What the stations share ----------------------------------------------------------------------

CEnemyStation::CEnemyStation(int nVariant, int nFamily, const char* pszBitmap, const char* pszKey)
    : CEnemy(nVariant), m_pszBitmap(pszBitmap), m_pszKey(pszKey)
{
    m_nFamily = nFamily;
}

int CEnemyStation::Load(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    Release();
    const ENEMYSLOT slot = {m_pszBitmap, m_pszKey};
    return LoadSlot(lpDevice, pszFolder, 0, slot);
}

CEnemyPartStation* CEnemyStation::GetUnit(CEnemyLabel* pLabel)
{
    return static_cast<CEnemyPartStation*>(GetPart(pLabel, 0));
}

int CEnemyStation::Draw(IDirectDrawSurface7* lpTarget, CEnemyLabel* pLabel, float)
{
    CEnemyPartStation* pPart = GetUnit(pLabel);
    if (pLabel->m_bFinished || !pPart || !lpTarget)
        return 0;
    DrawPart(lpTarget, pPart);
    return 1;
}

void CEnemyStation::Enter(CEnemyLabel* pLabel, CEnemyPartStation& part)
{
    int nRow = 0;
    pLabel->GetCell(nullptr, &nRow);
    const int w = m_nWidths[0];
    part.m_X.SetConstant(kEntrySpeed);
    part.m_Y.SetConstant(0.0f);
    if (IsRightward()) {
        part.m_vPos.x = -(float)(w / 2);
        part.SetFacing(0);
    } else {
        part.m_vPos.x = (float)(w / 2 + 640);
        part.SetFacing(1);
    }
    part.m_vPos.y = (float)(nRow * 64);
    part.m_vPos.z = 0.0f;
    part.m_nState = CEnemyPartStation::STATE_ENTER;
    part.Begin(0, m_Params[0], w, m_nHeights[0], 1);
    pLabel->m_bFinished = 0;
}

BOOL CEnemyStation::Fly(CEnemyPartStation& part)
{
    D3DVECTOR& p = part.m_vPos;
    const BOOL bRight = IsRightward();
    p.x += bRight ? part.m_X.fValue : -part.m_X.fValue;
    p.y += IsUpward() ? part.m_Y.fValue : -part.m_Y.fValue;
    part.m_X.Step();
    part.m_Y.Step();
    return part.m_nState == CEnemyPartStation::STATE_ENTER &&
           ((!bRight && p.x < ENEMY_FIRE_LINE_LEFT) || (bRight && p.x > ENEMY_FIRE_LINE_RIGHT));
}

void CEnemyStation::StartLeaving(CEnemyPartStation& part)
{
    part.m_nState = CEnemyPartStation::STATE_LEAVE;
    part.m_X.Set(0.0f, -0.6f, -100.0f, 0.0f, 1);
    part.m_Y.Set(0.0f, 0.6f, 0.0f, 1000.0f, 1);
}

// A destroyed station goes at once in any state: left to the leaving state alone, its wreck
// would go on firing while it stays.
BOOL CEnemyStation::RemoveIfGone(CEnemyLabel* pLabel, CEnemyPartStation& part)
{
    const float x = part.m_vPos.x, w = (float)part.m_nWidth;
    const BOOL bOut = part.m_nState == CEnemyPartStation::STATE_LEAVE && (x > 640.0f + w || x < -2.0f * w);
    if (!bOut && part.m_nLife > 0)
        return 0;
    part.Remove();
    Stop(pLabel);
    return 1;
}

BOOL CEnemyStation::StepStation(CEnemyLabel* pLabel, CEnemyPartStation& part, DWORD* pdwFireClock)
{
    part.UpdateFlash();
    part.SetViewOffset(pLabel->GetOffsetY());
    if (RemoveIfGone(pLabel, part))
        return 0;
    if (part.m_nState != CEnemyPartStation::STATE_STAY) {
        if (Fly(part)) {
            part.m_nState = CEnemyPartStation::STATE_STAY;
            part.m_dwStateTime = Now();
            *pdwFireClock = part.m_dwStateTime;
        }
        return 0;
    }
    if (Now() - part.m_dwStateTime > part.m_dwStayMs) {
        StartLeaving(part);
        return 0;
    }
    return 1;
}

// ---- Kind M ---------------------------------------------------------------------------------------

CEnemyM::CEnemyM(int nVariant) : CEnemyStation(nVariant, ENEMY_FAMILY_M, "EnemyM1.bmp", "ENEMY_M1-4") {}

int CEnemyM::CreateParts(int, CEnemyLabel* pLabel)
{
    return pLabel->MakeParts<CEnemyPartM>(ENEMY_FAMILY_M, 1);
}

int CEnemyM::SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char*)
{
    auto* pPart = static_cast<CEnemyPartM*>(GetUnit(pLabel));
    if (!pPart)
        return 0;
    pPart->LoadEffects(lpDevice);
    for (CEBMissile& missile : pPart->m_Missiles)
        missile.Load(lpDevice);
    return 1;
}

void CEnemyM::Spawn(CEnemyLabel* pLabel)
{
    auto* pPart = static_cast<CEnemyPartM*>(GetUnit(pLabel));
    if (!pPart)
        return;
    pPart->m_dwStayMs = kStayMs;
    pPart->m_dwVolleyMs = kVolleyMs;
    pPart->m_nVolleys = 0;
    for (CEBMissile& missile : pPart->m_Missiles)
        missile.Stop();
    Enter(pLabel, *pPart);
}

// The volley's four missiles go from the unit, y up as enemy shots keep it.
void CEnemyM::FireVolley(CEnemyPartM& part)
{
    const BOOL bRight = IsRightward();
    for (int i = 0; i < CEnemyPartM::PER_VOLLEY; i++) {
        CEBMissile& missile = part.m_Missiles[part.m_nVolleys * CEnemyPartM::PER_VOLLEY + i];
        missile.SetAccInfo(bRight ? kMissileXRight : kMissileXLeft, kMissileY[i]);
        if (bRight)
            missile.m_nFacing = -1;
        missile.SetPosition(D3DVECTOR{{part.m_vPos.x}, {16.0f - part.m_vPos.y}, {0.0f}});
        missile.Fire();
    }
    part.m_nVolleys++;
}

void CEnemyM::Update(CEnemyLabel* pLabel)
{
    auto* pPart = static_cast<CEnemyPartM*>(GetUnit(pLabel));
    if (pLabel->m_bFinished || !pPart || !StepStation(pLabel, *pPart, &pPart->m_dwLastVolley))
        return;
    CEnemyPartM& part = *pPart;
    if (Now() - part.m_dwLastVolley > part.m_dwVolleyMs) {
        if (part.m_nVolleys < CEnemyPartM::VOLLEYS)
            FireVolley(part);
        part.m_dwLastVolley = Now();
    }
}

// ---- Kind N ---------------------------------------------------------------------------------------

CEnemyN::CEnemyN(int nVariant) : CEnemyStation(nVariant, ENEMY_FAMILY_N, "EnemyN1.bmp", "ENEMY_N1-4") {}

int CEnemyN::CreateParts(int, CEnemyLabel* pLabel)
{
    return pLabel->MakeParts<CEnemyPartN>(ENEMY_FAMILY_N, 1);
}

int CEnemyN::SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char*)
{
    auto* pPart = static_cast<CEnemyPartN*>(GetUnit(pLabel));
    if (!pPart)
        return 0;
    pPart->LoadEffects(lpDevice);
    for (CEBBigBullet& bullet : pPart->m_Bullets)
        bullet.Load(lpDevice);
    return 1;
}

const float* CEnemyN::GetAngles() const
{
    return IsRightward() ? kFanRight : kFanLeft;
}

void CEnemyN::Spawn(CEnemyLabel* pLabel)
{
    auto* pPart = static_cast<CEnemyPartN*>(GetUnit(pLabel));
    if (!pPart)
        return;
    pPart->m_dwStayMs = kStayMs;
    pPart->m_dwBurstMs = kBurstMs;
    pPart->m_dwShotMs = kBurstShotMs;
    pPart->m_nBurst = 0;
    pPart->m_nShots = 0;
    pPart->m_bBurst = 0;
    for (CEBBigBullet& bullet : pPart->m_Bullets)
        bullet.Stop();
    Enter(pLabel, *pPart);
}

void CEnemyN::UpdateBursts(CEnemyLabel* pLabel, CEnemyPartN& part)
{
    if (!part.m_bBurst && Now() - part.m_dwLastBurst > part.m_dwBurstMs) {
        part.m_bBurst = 1;
        part.m_dwBurstStart = Now();
        part.m_nShots = 0;
    }
    if (!part.m_bBurst || part.m_nShots >= CEnemyPartN::SHOTS || Now() - part.m_dwBurstStart <= part.m_dwShotMs)
        return;
    if (part.m_nBurst < CEnemyPartN::BURSTS) {
        const float* pAngles = GetAngles();
        const int nFirst = (part.m_nBurst * CEnemyPartN::SHOTS + part.m_nShots) * CEnemyPartN::PER_SHOT;
        for (int i = 0; i < CEnemyPartN::PER_SHOT; i++) {
            CEBBigBullet& bullet = part.m_Bullets[nFirst + i];
            bullet.SetAngle(pAngles[i]);
            // A bullet still flying is skipped, not restarted.
            if (!bullet.m_bIdle)
                continue;
            bullet.SetPosition(D3DVECTOR{{part.m_vPos.x}, {16.0f - part.m_vPos.y}, {0.0f}});
            bullet.SetPlayerScroll((int)pLabel->GetPlayerScroll());
            bullet.Fire();
        }
    }
    part.m_nShots++;
    part.m_dwBurstStart = Now();
    if (part.m_nShots >= CEnemyPartN::SHOTS) {
        part.m_nBurst++;
        part.m_bBurst = 0;
        part.m_dwLastBurst = Now();
    }
}

void CEnemyN::Update(CEnemyLabel* pLabel)
{
    auto* pPart = static_cast<CEnemyPartN*>(GetUnit(pLabel));
    if (pLabel->m_bFinished || !pPart || !StepStation(pLabel, *pPart, &pPart->m_dwLastBurst))
        return;
    CEnemyPartN& part = *pPart;
    if (Now() - part.m_dwStateTime > kFirstBurstMs)
        UpdateBursts(pLabel, part);
}
