// A boss body's destruction: three seconds of pool explosions that come faster and faster around
// the body, a smoke cloud once the chain is fast, then a particle burst and a white disc that grows
// for 200 ms and fades. The boss asks IsFinished to know when its fall may begin.
#pragma once
#include "bullet/ExpBombScroll.h"
#include "effect/EffectRandom.h"
#include "effect/RVMEffect.h"
#include "engine/AccAdjust.h"
#include "engine/ShowableSet.h"

#define EXPBOSS_HANDLES 40
#define EXPBOSS_DISC_VERTICES 18
#define EXPBOSS_DISC_RIM 16
#define SMOKEEX_PUFFS 50
#define SMOKEEX_PICTURE_PATH ".\\GameData\\System\\smoke2.bmp"

struct SMOKEPUFF {
    int nLife;  // steps left; alive while > 0
    float x, y, z;
    float fRed, fGreen, fBlue;
    ACCINFO Speed;
    float fScale;
    float fAngle;
};

// The cloud that spreads from the boss while the chain is fast.
class CSmokeEx {
public:
    CSmokeEx();
    virtual ~CSmokeEx();
    CSmokeEx(const CSmokeEx&) = delete;
    CSmokeEx& operator=(const CSmokeEx&) = delete;

    int Load(IDirect3DDevice7* lpDevice) { return LoadTexture(lpDevice, SMOKEEX_PICTURE_PATH); }
    // 0 (and no texture) when the picture does not load.
    int LoadTexture(IDirect3DDevice7* lpDevice, const char* pszPath);
    void Release();
    void Start(DWORD dwDuration);
    void StopEmit() { m_bEmitStopped = 1; }
    void Clear();
    // One new puff in slot i; nothing for a slot outside the table.
    void Emit(int i);
    void Update();
    int Render(IDirect3DDevice7* lpDevice);
    void SetOrigin(float x, float y, float z)
    {
        m_fOrigin[0] = x;
        m_fOrigin[1] = y;
        m_fOrigin[2] = z;
    }
    int CountAlive() const;

    SMOKEPUFF m_Puffs[SMOKEEX_PUFFS];
    D3DLVERTEX m_Quad[4];
    IDirectDrawSurface7* m_lpTexture = nullptr;
    float m_fOrigin[3] = {0.0f, 0.0f, 0.0f};
    DWORD m_dwEmitInterval = 20;
    DWORD m_dwLastEmit = 0;
    int m_bEmitStep = 0;
    DWORD m_dwDuration = 0;
    DWORD m_dwStart = 0;
    int m_bEmitStopped = 1;
    int m_bDisabled = 1;
};

class CExpBoss : public CShowable {
public:
    enum { STATE_CHAIN = 0, STATE_FADING = 1, STATE_GROWING = 2 };

    CExpBoss();
    ~CExpBoss() override;

    int Load(IDirect3DDevice7* lpDevice);
    // The point in the 3D pass's space (y up); the smoke spreads from the same point.
    void SetPoint(float x, float y, float z);
    void Start();
    void Stop();
    // 1 from the first fading frame on: the disc still shows but the destruction counts as over.
    int IsFinished() const { return m_nState == STATE_FADING ? 1 : m_bFinished; }

    void Update() override;
    BOOL Draw(IDirectDrawSurface7*) override { return 1; }
    BOOL Draw3D(IDirect3DDevice7* lpDevice) override;
    void GetPosition(D3DVECTOR* pOut) const { *pOut = D3DVECTOR{{m_fX}, {m_fY}, {m_fZ}}; }
    // The chain's own generator: where the explosions go off around the point.
    static CSubtractiveRandom& GetRandom();

    int m_nState = STATE_CHAIN;
    CRVMParticleEffect m_Effect;
    CExpBombScrollRef m_Handles[EXPBOSS_HANDLES];
    CSmokeEx m_Smoke;
    D3DLVERTEX m_Disc[EXPBOSS_DISC_VERTICES];
    float m_fBrightness = 1.0f;
    float m_fStartBrightness = 1.0f;
    ACCINFO m_Scale;
    DWORD m_dwBurstDelay = 3000;
    DWORD m_dwBurstStart = 0;
    int m_bBurstDone = 1;
    DWORD m_dwGrowTime = 200;
    DWORD m_dwGrowStart = 0;
    int m_bGrowDone = 1;
    DWORD m_dwChainInterval = 150;
    DWORD m_dwLastChain = 0;
    int m_bChainStep = 0;
    int m_nNextHandle = 0;
    DWORD m_dwNextInterval = 150;
    DWORD m_dwFirstInterval = 150;
    float m_fX = 0.0f, m_fY = 0.0f, m_fZ = 0.0f;
    int m_bFinished = 1;
    // How many chain explosions went off since the start (for the looks only).
    int m_nChainCount = 0;

private:
    void BuildDisc();
    void SetCentreColor();
    void StepChain(DWORD dwNow);
};
