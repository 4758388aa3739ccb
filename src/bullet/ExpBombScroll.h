// The explosion that follows the stage: a bomb burst with a start delay, a sound and sparks that
// drift with the scroll. Enemy weapons and parts hold only a handle and take an element from a
// static pool of 128 when they explode; labels and the heroine's miss own theirs.
#pragma once
#include "bullet/ExpBomb4.h"
#include "engine/ShowableSet.h"
#include "stage/LabelEffects.h"

#define EXPBOMB_POOL_SIZE 128
#define EXPBOMB_BREAK1_WAVE ".\\GameData\\System\\Break1.wav"
#define EXPBOMB_BREAK2_WAVE ".\\GameData\\System\\Break2.wav"

class CExpBombScroll : public CExpBomb4, public CScrollable, public IScrollExplosion {
public:
    CExpBombScroll() = default;
    // Stops it and takes it out of both registries.
    ~CExpBombScroll() override;

    // From the draw registry: waits for the delay, begins, then steps the burst.
    void Update() override;
    // Finished, out of the scroll registry; the element goes back to the pool.
    void Stop() override;

    // The scroll registry: view offset (kept, never read), scroll speed, and the second step.
    void SetScrollSpeed(float fOffset) override { m_fViewOffset = fOffset; }
    void SetScrollPos(float fStep) override { m_fScrollSpeed = fStep; }
    void Tick() override;

    // IScrollExplosion
    void SetStyle(int nStyle) override;
    int Load(IDirect3DDevice7* lpDevice) override { return CExpBomb4::Load(lpDevice); }
    void Start(DWORD dwDelay) override;
    // y up.
    void SetPosition(float x, float y) override;
    void SetDrift(const D3DVECTOR& vDrift) override { m_vDrift = vDrift; }
    BOOL IsIdle() override { return m_bIdle; }
    BOOL IsFinished() override { return m_bFinished; }

    float m_fScrollSpeed = 0.0f;
    float m_fViewOffset = 0.0f;
    BOOL m_bFinished = 1;
    const char* m_pszSound = "";
    DWORD m_dwStart = 0;
    DWORD m_dwDelay = 0;
    // The handle that holds this pool element (set when it is handed out).
    class CExpBombScrollRef* m_pHolder = nullptr;
};

// A holder's claim on one pool element. The element is taken only when the holder explodes (or
// asks whether its explosion has finished) and is handed back once the burst begins. Without a
// free element the handle holds nothing: the explosion is skipped and counts as finished.
class CExpBombScrollRef {
public:
    CExpBombScrollRef() = default;
    // Frees the element but does not stop it: a waiting explosion still goes off.
    virtual ~CExpBombScrollRef();
    CExpBombScrollRef(const CExpBombScrollRef&) = delete;
    CExpBombScrollRef& operator=(const CExpBombScrollRef&) = delete;

    // The held element, taken from the pool when none is held; null when the pool has none.
    CExpBombScroll* Get();
    // Places, styles and starts the held (or a new) element: (x, y) y up, delay in ms.
    void Explode(float x, float y, DWORD dwDelay);
    BOOL IsFinished();
    // Forgets the element first, then stops it and frees it.
    void Release();

    CExpBombScroll* m_pElement = nullptr;
    int m_nStyle = 0;
};

CExpBombScroll* AllocExpBombScroll();
// Nothing for an address outside the pool.
void FreeExpBombScroll(CExpBombScroll* p);
// Every element free for taking again; running bursts go on.
void ClearExpBombScrollPool();
// A stage restart: every pool element still waiting or running ends, and the explosions' looks
// start over from their first draw.
void ResetExplosions();
CExpBombScroll* GetExpBombScrollPool();
int IsExpBombScrollBusy(int nIndex);

void SetExpBombStyle1(CExpBombScroll* p);
void SetExpBombStyle2(CExpBombScroll* p);
void SetExpBombStyle3(CExpBombScroll* p);
void SetExpBombStyle4(CExpBombScroll* p);
// Styles 1 to 4; nothing for any other value.
void SetExpBombStyle(CExpBombScroll* p, int nStyle);
