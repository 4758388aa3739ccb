#include "player/Item.h"

#include <cmath>

#include "engine/AppTimer.h"
#include "engine/Geometry.h"
#include "engine/Log.h"
#include "engine/Param.h"
#include "engine/Sound.h"
#include "engine/Util.h"
#include "player/HudDraw.h"
#include "player/Player.h"

const ITEMKIND g_ItemKinds[ITEM_KIND_NUM] = {
    {-1, 1, -1, 100},    {-1, 2, -1, 200},    {-1, 8, -1, 1000},   {-1, -1, 10, 1000},
    {-1, -1, 40, 2000},  {100, -1, -1, -1},   {500, -1, -1, -1},   {1000, -1, -1, -1},
    {5000, -1, -1, -1},  {10000, -1, -1, -1}, {0, 0, 0, 0},
};

namespace {

// Where a kind's animation is: the sheet (0 "Item01.bmp", 1 "Item02.bmp", -1 none), its row and
// cell size.
struct ITEMPICTURE {
    int nSheet;
    int nRow;
    int nWidth;
    int nHeight;
};
const ITEMPICTURE kPictures[ITEM_KIND_NUM] = {
    {0, 2, 32, 32}, {0, 3, 32, 32}, {1, 3, 60, 40}, {1, 5, 60, 40}, {1, 4, 60, 40}, {0, 0, 32, 32},
    {0, 1, 32, 32}, {1, 0, 60, 40}, {1, 1, 60, 40}, {1, 2, 60, 40}, {-1, 0, 0, 0},
};
const char* const kSheetPaths[2] = {".\\GameData\\System\\Item01.bmp", ".\\GameData\\System\\Item02.bmp"};
CDSurface s_Sheets[2];

const char kGetExp1[] = ".\\GameData\\System\\GetExp1.wav";
const char kGetExp2[] = ".\\GameData\\System\\GetExp2.wav";
const char kGetLife[] = ".\\GameData\\System\\GetLife.wav";
const char* const kSounds[ITEM_KIND_NUM] = {kGetExp1, kGetExp1, kGetExp2, kGetLife, kGetLife, kGetExp1,
                                            kGetExp1, kGetExp2, kGetExp2, kGetExp2, nullptr};

const float kNumberSpeed = 12.0f, kNumberDistance = 100.0f;
const DWORD kNumberHold = 500;
const float kLeaveLeft = -200.0f;
const float kBoxWidth = 0.8f;
const float kPickRadius2 = 40000.0f;
const float kPickDrop = 16.0f;       // her point for the attraction test is this far above her position
const float kTargetAbove = 50.0f;    // items fly to this far above her position
const float kThrowLift = 4.0f;       // added to a thrown item's forward speed
const float kBounce = 0.8f;
const float kCollectableFall = 1.0f;
// Attraction: it sets off slowly and speeds up to a pace the heroine cannot outrun.
const float kAttractStart = 2.0f, kAttractStep = 0.5f, kAttractMax = 12.0f;
const float kTerrainRight = 960.0f, kTerrainBottom = 480.0f;
const int kTopGunBaseLevel = 5;
const float kPowerDrift = 1.5f;
const float kBobMax = 1.5f, kBobStep = 0.025f;

// The pool: static storage, constructed on first use.
struct ITEMPOOL {
    CItemGun items[ITEM_POOL_SIZE];
    int bReserved[ITEM_POOL_SIZE] = {};
};

ITEMPOOL& Pool()
{
    static ITEMPOOL s_Pool;
    return s_Pool;
}

int PoolIndex(const CItemGun* pItem)
{
    ITEMPOOL& pool = Pool();
    for (int i = 0; i < ITEM_POOL_SIZE; i++) {
        if (&pool.items[i] == pItem)
            return i;
    }
    return -1;
}

int IsKind(int nKind)
{
    return nKind >= 0 && nKind < ITEM_KIND_NUM;
}

} // namespace

// ---- CItem --------------------------------------------------------------------------------------

CItem::CItem() : CCrushable(CRUSH_ITEM)
{
}

CItem::~CItem() = default;

int CItem::LoadImages(IDirect3DDevice7* lpDevice)
{
    ReleaseImages();
    int bOk = 1;
    for (int i = 0; i < 2; i++) {
        bOk &= s_Sheets[i].LoadFromFile(lpDevice, kSheetPaths[i], nullptr, MEM_VIDEO);
        s_Sheets[i].SetColorKeyGreen();
    }
    return bOk;
}

void CItem::ReleaseImages()
{
    for (CDSurface& sheet : s_Sheets)
        sheet.Release();
}

void CItem::GetKindSize(int nKind, int* pnWidth, int* pnHeight)
{
    const ITEMPICTURE& p = kPictures[IsKind(nKind) ? nKind : ITEM_KIND_NUM - 1];
    *pnWidth = p.nWidth;
    *pnHeight = p.nHeight;
}

IDirectDrawSurface7* CItem::GetCell(int nKind, int nFrame, RECT* pCell)
{
    if (!IsKind(nKind) || kPictures[nKind].nSheet < 0)
        return nullptr;
    const ITEMPICTURE& p = kPictures[nKind];
    const int f = nFrame & (ITEM_FRAMES - 1);
    *pCell = RECT{f * p.nWidth, p.nRow * p.nHeight, (f + 1) * p.nWidth, (p.nRow + 1) * p.nHeight};
    return s_Sheets[p.nSheet].GetSurface();
}

void CItem::Start()
{
    m_nFrame = 0;
    m_dwFrameTime = FRAME_MS;
    m_dwFrameStamp = CAppTimer::GetElapsed(0);
    m_bFinished = 0;
    CCrushableSet::Register(this);
}

void CItem::Update()
{
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (dwNow - m_dwFrameStamp > m_dwFrameTime) {
        m_nFrame = (m_nFrame + 1) % ITEM_FRAMES;
        m_dwFrameStamp = dwNow;
    }
    D3DVECTOR v;
    GetPosition(&v);
    if (v.x < kLeaveLeft)
        Finish();
}

void CItem::Finish()
{
    m_bFinished = 1;
    CCrushableSet::Unregister(this);
}

D3DVECTOR* CItem::GetPosition(D3DVECTOR* pOut)
{
    *pOut = m_vPos;
    return pOut;
}

void CItem::MovePosition(const D3DVECTOR& v)
{
    m_vPos.x += v.x;
    m_vPos.y += v.y;
    m_vPos.z += v.z;
}

RECT CItem::GetBoxRect()
{
    D3DVECTOR quad[4];
    GetQuad(quad);
    RECT rc;
    GetQuadRect(&rc, quad);
    return rc;
}

void CItem::GetQuad(D3DVECTOR* pOut)
{
    int w = 0, h = 0;
    GetKindSize(m_nItemKind, &w, &h);
    D3DVECTOR c;
    GetPosition(&c);
    const float dx = kBoxWidth * (float)w, dy = (float)h;
    pOut[0] = D3DVECTOR{c.x - dx, c.y - dy, 0.0f};
    pOut[1] = D3DVECTOR{c.x + dx, c.y - dy, 0.0f};
    pOut[2] = D3DVECTOR{c.x + dx, c.y + dy, 0.0f};
    pOut[3] = D3DVECTOR{c.x - dx, c.y + dy, 0.0f};
}

int CItem::TouchesPlayer(CPlayer* pPlayer)
{
    RECT rcPlayer;
    pPlayer->GetDamageRect(&rcPlayer);
    if (!IsRectOverlap(rcPlayer, GetBoxRect()))
        return 0;
    D3DVECTOR quad[4], quadPlayer[4];
    GetQuad(quad);
    pPlayer->GetDamageQuad(quadPlayer);
    return IsQuadOverlap(quadPlayer, quad);
}

int CItem::Collect(int nKind, CPlayer* pPlayer)
{
    if (!IsKind(nKind)) {
        // A bad kind comes from a bad caller: reported, and nothing is paid.
        DebugPrintf("アイテム得点テーブルで無効のインデックスを指定しました。\n");
        return COLLECT_INVALID;
    }
    D3DVECTOR v;
    pPlayer->GetPosition(&v);
    m_Number.m_fX = v.x;
    m_Number.m_fY = v.y;
    m_Number.m_fZ = 0.0f;
    const ITEMKIND& k = g_ItemKinds[nKind];
    int nShown = -1;
    int nResult = COLLECT_NOTHING;
    if (nKind >= 5 && nKind <= 9) {
        pPlayer->AddPoint(k.nPoints, 0);
        nShown = k.nPoints;
        nResult = COLLECT_POINTS;
    } else if (nKind <= 2) {
        if (pPlayer->GetGunBaseLevel() != kTopGunBaseLevel) {
            pPlayer->AddExp(k.nExp, 1, 1);
            nResult = COLLECT_EXP;
        } else {
            pPlayer->AddPoint(k.nFullPoints, 0);
            nShown = k.nFullPoints;
            nResult = COLLECT_FULL;
        }
    } else if (nKind <= 4) {
        if (pPlayer->IsLifeFull()) {
            pPlayer->AddPoint(k.nFullPoints, 0);
            nShown = k.nFullPoints;
            nResult = COLLECT_FULL;
        } else {
            pPlayer->AddLife((float)k.nLife * 0.01f);
            nResult = COLLECT_LIFE;
        }
    }
    if (nShown >= 0) {
        m_Number.SetNumber(nShown);
        m_Number.Start(kNumberSpeed, kNumberDistance, kNumberHold);
    }
    if (kSounds[nKind])
        PlaySoundFile(kSounds[nKind]);
    return nResult;
}

int CItem::DrawFrame(IDirectDrawSurface7* lpSurface, const D3DVECTOR& vPos, float fOffsetY)
{
    RECT rcCell;
    IDirectDrawSurface7* lpSheet = GetCell(m_nItemKind, m_nFrame, &rcCell);
    if (!lpSheet)
        return 1;
    const int w = rcCell.right - rcCell.left, h = rcCell.bottom - rcCell.top;
    const int x = FloatToInt(vPos.x - (float)w / 2.0f);
    const int y = FloatToInt(vPos.y - (float)h / 2.0f - 16.0f + fOffsetY);
    if (x + w <= 0 || x >= 640 || y + h <= 0 || y >= 480)
        return 1;
    return BltKeyedCell(lpSurface, lpSheet, &rcCell, x, y);
}

// ---- CItemGun -----------------------------------------------------------------------------------

CItemGun::CItemGun() : CBoundable(1)
{
    m_Horz.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
    m_Vert.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
    m_Attract.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
}

CItemGun::~CItemGun()
{
    if (m_pRef) {
        m_pRef->m_pItem = nullptr;
        m_pRef->m_nIndex = -1;
    }
}

IStageItem* CItemGun::Create()
{
    CItemGun* pItem = new CItemGun;
    pItem->Load(nullptr);
    return pItem;
}

int CItemGun::Load(IDirect3DDevice7*)
{
    m_fItemSpeed = -GetParamFloat("ITEM_SPEED", 0, -m_fItemSpeed);
    m_fGravity = GetParamFloat("ITEM_GRAVITY", 0, m_fGravity);
    m_dwFadeTime = (DWORD)GetParamInt("ITEM_FADE_TIME", 0, (int)m_dwFadeTime);
    return 1;
}

void CItemGun::Start(float fSpeed, float fAngle)
{
    Finish();
    m_Horz.Set(cosf(fAngle) * fSpeed + kThrowLift, 0.0f, 0.0f, 0.0f, 0);
    m_Vert.Set(sinf(fAngle) * fSpeed, m_fGravity, 0.0f, 0.0f, 0);
    m_bAttract = 0;
    m_nAttractTicks = 0;
    m_nBounce = 0;
    m_bCollectable = 0;
    m_bCollected = 0;
    m_bBlinkOff = 0;
    m_dwState = 0;
    m_vA = m_vB = m_vC = D3DVECTOR{};
    CBoundableSet::Register(this);
    CScrollableSet::Register(this);
    CItem::Start();
}

void CItemGun::Fly()
{
    if (m_bAttract) {
        m_Attract.Step();
        m_fAngle = atan2f(m_vTarget.y - m_vPos.y, m_vTarget.x - m_vPos.x);
        m_vA = D3DVECTOR{cosf(m_fAngle) * m_Attract.fValue, 0.0f, 0.0f};
        m_fFallSpeed = sinf(m_fAngle) * m_Attract.fValue;
        // Drawn straight in, through whatever lies between.
        m_dwState |= ITEM_STATE_NO_TERRAIN;
    } else {
        m_vA = D3DVECTOR{m_Horz.fValue - m_fBaseSpeed, 0.0f, 0.0f};
        m_fFallSpeed = m_Vert.fValue;
        m_Horz.Step();
        m_Vert.Step();
    }
    m_vB = D3DVECTOR{0.0f, m_fFallSpeed, 0.0f};
    // Rising or at the top of its arc it passes through everything and cannot be picked up yet.
    if (m_fFallSpeed > kCollectableFall)
        m_bCollectable = 1;
    else
        m_dwState |= ITEM_STATE_NO_TERRAIN;
}

void CItemGun::Update()
{
    if (m_bFinished)
        return;
    CItem::Update();
    if (m_bFinished)
        return;
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (m_bCollected) {
        if (dwNow - m_dwFadeStamp > m_dwFadeTime) {
            Finish();
            return;
        }
        if (dwNow - m_dwBlinkStamp > BLINK_MS) {
            m_bBlinkOff = !m_bBlinkOff;
            m_dwBlinkStamp = dwNow;
        }
    }
    Fly();
    if (m_bAttract && ++m_nAttractTicks > ATTRACT_TICKS) {
        Finish();
        return;
    }
    if (m_vPos.x < 0.0f || m_vPos.x > kTerrainRight || m_vPos.y > kTerrainBottom)
        m_dwState |= ITEM_STATE_NO_TERRAIN;
    int w = 0, h = 0;
    GetKindSize(m_nItemKind, &w, &h);
    if (m_vPos.x < -(float)w)
        Finish();
}

void CItemGun::Finish()
{
    const int bWasInPlay = !m_bFinished;
    CItem::Finish();
    CBoundableSet::Unregister(this);
    CScrollableSet::Unregister(this);
    m_bCollected = 0;
    m_bAttract = 0;
    if (bWasInPlay && m_pRef)
        m_pRef->Release();
}

void CItemGun::SetGroundY(float y)
{
    m_vPos.y = y;
    m_Vert.fValue = 0.0f;
}

// A bounce: the first, or a hard one, springs back at four fifths; a soft one hops up at
// ITEM_SPEED, so an item on the ground keeps hopping.
void CItemGun::Land(float y)
{
    m_vPos.y = y;
    if (m_nBounce == 0 || m_fFallSpeed >= -m_fItemSpeed)
        m_Vert.fValue = -m_fFallSpeed * kBounce;
    else
        m_Vert.fValue = m_fItemSpeed;
    m_nBounce++;
}

int CItemGun::HitByPlayer(CStage*, CCrushable* pOther)
{
    if (m_bFinished || m_bCollected)
        return 0;
    CPlayer* pPlayer = dynamic_cast<CPlayer*>(pOther);
    if (!pPlayer)
        return 0;
    D3DVECTOR v;
    pPlayer->GetPosition(&v);
    const float dx = v.x - m_vPos.x, dy = v.y - kPickDrop - m_vPos.y;
    if (dx * dx + dy * dy < kPickRadius2) {
        if (!m_bAttract) {
            m_bAttract = 1;
            m_nAttractTicks = 0;
            m_Attract.Set(kAttractStart, kAttractStep, kAttractStart, kAttractMax, 1);
        }
        m_vTarget = D3DVECTOR{v.x, v.y - kTargetAbove, 0.0f};
    } else {
        m_bAttract = 0;
    }
    if (!m_bCollectable || !TouchesPlayer(pPlayer))
        return 0;
    Collected();
    Collect(m_nItemKind, pPlayer);
    return 1;
}

// Out of the hit registry; it blinks out over ITEM_FADE_TIME.
void CItemGun::Collected()
{
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    m_bCollected = 1;
    m_dwFadeStamp = dwNow;
    m_dwBlinkStamp = dwNow;
    m_bBlinkOff = 0;
    CCrushableSet::Unregister(this);
}

int CItemGun::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bFinished || (m_bCollected && m_bBlinkOff && !CAppTimer::IsPaused(0)))
        return 1;
    return DrawFrame(lpSurface, m_vPos, m_fDrawOffset);
}

CItemGun* CItemGun::Alloc()
{
    ITEMPOOL& pool = Pool();
    for (int i = 0; i < ITEM_POOL_SIZE; i++) {
        if (!pool.bReserved[i] && pool.items[i].IsFinished()) {
            pool.bReserved[i] = 1;
            pool.items[i].Load(nullptr);
            return &pool.items[i];
        }
    }
    return nullptr;
}

void CItemGun::Free(CItemGun* pItem)
{
    const int i = PoolIndex(pItem);
    if (i >= 0)
        Pool().bReserved[i] = 0;
}

// A handle kept across the load would free an entry that a new owner holds by then: every item
// finishes and every handle lets go first. The pool outlives the stage, so each entry also goes
// back to what a new item has: an entry's first frame in the next run is drawn before the scroll
// has told it anything, and would otherwise show where the last run left it.
void CItemGun::FreeAll()
{
    ITEMPOOL& pool = Pool();
    const CItemGun fresh;
    for (int i = 0; i < ITEM_POOL_SIZE; i++) {
        CItemGun& item = pool.items[i];
        item.Finish();
        if (item.m_pRef)
            item.m_pRef->Release();
        pool.bReserved[i] = 0;
        item.m_fDrawOffset = fresh.m_fDrawOffset;
        item.m_fBaseSpeed = fresh.m_fBaseSpeed;
    }
}

CItemGun* CItemGun::GetPoolItem(int i)
{
    return (i >= 0 && i < ITEM_POOL_SIZE) ? &Pool().items[i] : nullptr;
}

int CItemGun::IsReserved(int i)
{
    return (i >= 0 && i < ITEM_POOL_SIZE) ? Pool().bReserved[i] : 0;
}

// ---- CItemGunRef --------------------------------------------------------------------------------

CItemGun* CItemGunRef::Alloc()
{
    Release();
    CItemGun* pItem = CItemGun::Alloc();
    if (!pItem)
        return nullptr;
    m_pItem = pItem;
    m_nIndex = PoolIndex(pItem);
    pItem->m_pRef = this;
    return pItem;
}

void CItemGunRef::Release()
{
    if (!m_pItem)
        return;
    CItemGun::Free(m_pItem);
    m_pItem->m_pRef = nullptr;
    m_pItem = nullptr;
    m_nIndex = -1;
}

// ---- CItemPower ---------------------------------------------------------------------------------

CItemPower::CItemPower() : CBoundable(1)
{
    m_Bob.Set(-kBobMax, kBobStep, -kBobMax, kBobMax, 1, 1, 1);
}

CItemPower::~CItemPower() = default;

void CItemPower::Start()
{
    Finish();
    m_Bob.Set(-kBobMax, kBobStep, -kBobMax, kBobMax, 1, 1, 1);
    m_dwState = ITEM_STATE_NO_TERRAIN;
    m_vA = m_vB = m_vC = D3DVECTOR{};
    CBoundableSet::Register(this);
    CScrollableSet::Register(this);
    CItem::Start();
}

void CItemPower::Update()
{
    if (m_bFinished)
        return;
    CItem::Update();
    if (m_bFinished)
        return;
    m_dwState |= ITEM_STATE_NO_TERRAIN;
    m_vA = D3DVECTOR{-kPowerDrift, 0.0f, 0.0f};
    m_vB = D3DVECTOR{0.0f, m_Bob.fValue, 0.0f};
    m_Bob.Step();
    int w = 0, h = 0;
    GetKindSize(m_nItemKind, &w, &h);
    if (m_vPos.x < -(float)w)
        Finish();
}

void CItemPower::Finish()
{
    CItem::Finish();
    CBoundableSet::Unregister(this);
    CScrollableSet::Unregister(this);
}

int CItemPower::HitByPlayer(CStage*, CCrushable* pOther)
{
    CPlayer* pPlayer = dynamic_cast<CPlayer*>(pOther);
    if (m_bFinished || !pPlayer || !TouchesPlayer(pPlayer))
        return 0;
    Finish();
    Collect(m_nItemKind, pPlayer);
    return 1;
}

int CItemPower::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bFinished)
        return 1;
    return DrawFrame(lpSurface, m_vPos, m_fDrawOffset);
}
