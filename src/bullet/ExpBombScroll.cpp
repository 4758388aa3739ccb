#include "bullet/ExpBombScroll.h"

#include "engine/AppTimer.h"
#include "engine/PCMManagerTask.h"

namespace {

const int kScrollDriftDivisor = 60;

CExpBombScroll s_Pool[EXPBOMB_POOL_SIZE];
DWORD s_dwBusy[EXPBOMB_POOL_SIZE];

int PoolIndexOf(const CExpBombScroll* p)
{
    for (int i = 0; i < EXPBOMB_POOL_SIZE; i++) {
        if (p == &s_Pool[i])
            return i;
    }
    return -1;
}

// The looks of an explosion before any style.
const int kDefaultLongestLife = 80;
const int kDefaultShortestLife = 0;
const float kDefaultHighestSpeed = 4.0f;
const float kDefaultLowestSpeed = 0.0f;

void SetLooks(CExpBombScroll* p, const char* pszSound, int nLongest, int nShortest, float fHighest, float fLowest,
              BOOL bPicture)
{
    p->m_pszSound = pszSound;
    p->m_nLongestLife = nLongest;
    p->m_nShortestLife = nShortest;
    p->m_fHighestSpeed = fHighest;
    p->m_fLowestSpeed = fLowest;
    p->m_bPicture = bPicture;
}

} // namespace

// ---- The scrolling explosion ----------------------------------------------------------------------

CExpBombScroll::~CExpBombScroll()
{
    Stop();
    CShowableSet::Unregister(this, 0);
}

void CExpBombScroll::Start(DWORD dwDelay)
{
    m_dwDelay = dwDelay;
    m_dwStart = CAppTimer::GetElapsed(0);
    m_bFinished = 0;
    CScrollableSet::Unregister(this);
    CShowableSet::Register(this, 0);
}

void CExpBombScroll::SetPosition(float x, float y)
{
    m_fX = x;
    m_fY = -y;
    m_fZ = 0.0f;
}

void CExpBombScroll::SetStyle(int nStyle)
{
    SetExpBombStyle(this, nStyle);
}

void CExpBombScroll::Update()
{
    if (m_bFinished) {
        if (CShowable::m_nIndex >= 0)
            CShowableSet::Unregister(this, 0);
        return;
    }
    if (CAppTimer::GetElapsed(0) - m_dwStart < m_dwDelay)
        return;
    if (m_bIdle) {
        Begin();
        m_bFinished = 0;
        CScrollableSet::Register(this);
        if (m_pszSound && *m_pszSound)
            g_PCMManagerTask.Play(m_pszSound);
        return;
    }
    CExpBomb4::Update();
    if (m_bIdle) {
        CShowableSet::Unregister(this, 0);
        Stop();
    }
}

void CExpBombScroll::Tick()
{
    m_vDrift = D3DVECTOR{{-m_fScrollSpeed * m_fScrollSpeed / (float)kScrollDriftDivisor}, {0.0f}, {0.0f}};
    CExpBomb4::Update();
    if (m_bIdle)
        CShowableSet::Unregister(this, 0);
}

void CExpBombScroll::Stop()
{
    m_bFinished = 1;
    CScrollableSet::Unregister(this);
    CExpBomb4::Stop();
}

// ---- The handle -----------------------------------------------------------------------------------

CExpBombScrollRef::~CExpBombScrollRef()
{
    if (m_pElement) {
        FreeExpBombScroll(m_pElement);
        m_pElement->m_pOwner = nullptr;
        m_pElement = nullptr;
    }
}

CExpBombScroll* CExpBombScrollRef::Get()
{
    if (!m_pElement) {
        m_pElement = AllocExpBombScroll();
        if (m_pElement)
            m_pElement->m_pHolder = this;
    }
    return m_pElement;
}

void CExpBombScrollRef::Explode(float x, float y, DWORD dwDelay)
{
    CExpBombScroll* p = Get();
    if (!p)
        return;
    p->SetPosition(x, y);
    p = Get();
    SetExpBombStyle(p, m_nStyle);
    p->m_pOwner = this;
    p->Start(dwDelay);
}

BOOL CExpBombScrollRef::IsFinished()
{
    if (!m_pElement || m_pElement->m_bIdle) {
        CExpBombScroll* p = Get();
        return p ? p->m_bFinished : 1;
    }
    return 0;
}

void CExpBombScrollRef::Release()
{
    CExpBombScroll* p = m_pElement;
    if (!p)
        return;
    m_pElement = nullptr;
    p->Stop();
    p->m_pOwner = nullptr;
    FreeExpBombScroll(p);
}

// ---- The pool -------------------------------------------------------------------------------------

// A free element first; else one that a handle holds but has not started, taken from that handle
// (which gets another when it needs one). Waiting and running elements are never handed out.
CExpBombScroll* AllocExpBombScroll()
{
    for (int nPass = 0; nPass < 2; nPass++) {
        for (int i = 0; i < EXPBOMB_POOL_SIZE; i++) {
            CExpBombScroll& e = s_Pool[i];
            if (!e.m_bIdle || !e.m_bFinished || (nPass == 0 && s_dwBusy[i]))
                continue;
            if (e.m_pHolder && e.m_pHolder->m_pElement == &e)
                e.m_pHolder->m_pElement = nullptr;
            e.m_pHolder = nullptr;
            s_dwBusy[i] = 1;
            return &e;
        }
    }
    return nullptr;
}

void FreeExpBombScroll(CExpBombScroll* p)
{
    const int i = PoolIndexOf(p);
    if (i < 0)
        return;
    s_dwBusy[i] = 0;
    p->m_pHolder = nullptr;
}

void ClearExpBombScrollPool()
{
    for (DWORD& dwBusy : s_dwBusy)
        dwBusy = 0;
}

void ResetExplosions()
{
    // Each stage starts from the same pool whatever ran before it: an explosion set off without a
    // style of its own would otherwise last as long as the last one its element showed, and a
    // replay could differ from its recording.
    for (CExpBombScroll& e : s_Pool) {
        if (!e.m_bIdle || !e.m_bFinished)
            e.Stop();
        SetLooks(&e, "", kDefaultLongestLife, kDefaultShortestLife, kDefaultHighestSpeed, kDefaultLowestSpeed, 1);
    }
    GetExplosionRandom().Srand(1);
}

CExpBombScroll* GetExpBombScrollPool()
{
    return s_Pool;
}

int IsExpBombScrollBusy(int nIndex)
{
    return nIndex >= 0 && nIndex < EXPBOMB_POOL_SIZE ? (int)s_dwBusy[nIndex] : 0;
}

// ---- Styles ---------------------------------------------------------------------------------------

void SetExpBombStyle1(CExpBombScroll* p)
{
    SetLooks(p, EXPBOMB_BREAK2_WAVE, 40, 20, 8.0f, 4.0f, 1);
}

void SetExpBombStyle2(CExpBombScroll* p)
{
    SetLooks(p, EXPBOMB_BREAK2_WAVE, 40, 30, 12.0f, 8.0f, 1);
}

void SetExpBombStyle3(CExpBombScroll* p)
{
    SetLooks(p, EXPBOMB_BREAK2_WAVE, 40, 20, 8.0f, 4.0f, 1);
}

void SetExpBombStyle4(CExpBombScroll* p)
{
    SetLooks(p, EXPBOMB_BREAK1_WAVE, 8, 5, 4.0f, 2.0f, 0);
}

void SetExpBombStyle(CExpBombScroll* p, int nStyle)
{
    switch (nStyle) {
    case 1:
        SetExpBombStyle1(p);
        break;
    case 2:
        SetExpBombStyle2(p);
        break;
    case 3:
        SetExpBombStyle3(p);
        break;
    case 4:
        SetExpBombStyle4(p);
        break;
    default:
        break;
    }
}
