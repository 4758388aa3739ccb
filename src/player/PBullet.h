// The heroine's main gun: one object holding a fixed set of 32 bullets that share one picture, the
// muzzle flash, and the hit handlers through which enemy parts, enemy bullets and placed labels
// spend its bullets. Bullets live in the y-up space of the 3D pass.
#pragma once
#include "engine/Geometry.h"
#include "engine/ShowableSet.h"
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/WinTypes.h"
#include "stage/Neighbours.h"

#define PBULLET_SLOTS 32
#define PBULLET_KINDS 3
#define PBULLET_LEVELS 5
#define PBULLET_MUZZLE_FRAMES 2
#define PBULLET_CELL_WIDTH 96
#define PBULLET_CELL_HEIGHT 72
#define PBULLET_MUZZLE_SIZE 72
#define PBULLET_LEVEL_MIN 4
#define PBULLET_LEVEL_MAX 8

#define VULCAN_IMAGE_PATH ".\\GameData\\System\\Vulcan.bmp"
#define GUNFIRE_IMAGE_PATH ".\\GameData\\System\\GunFire.bmp"
#define SHOT_SOUND_PATH ".\\GameData\\System\\Shot.wav"

struct PBULLETSLOT {
    BOOL bInactive;     // 1: free
    D3DVECTOR vPos;     // y up
    D3DVECTOR vPrev;
    D3DVECTOR vOffset;  // hit-box offset
    float fAngle;
    float fVelX;
    float fVelY;
};

class CPBullet : public IPlayerBullet, public CScrollable {
public:
    CPBullet();
    ~CPBullet() override;

    // The shared pictures: machine-gun cells and muzzle flashes of the three kinds, once at program
    // start (after the device) and released at shutdown. 1 when both sheets loaded.
    static int LoadImages(IDirect3DDevice7* lpDevice);
    static void ReleaseImages();
    // Surfaces (96 x 72) and textures (72 x 72 picture) the class keeps; null before LoadImages or
    // for arguments out of range.
    static IDirectDrawSurface7* GetVulcanImage(int nKind, int nLevel);
    static IDirectDrawSurface7* GetMuzzleImage(int nKind, int nFrame);
    static int IsImageLoaded() { return s_bLoaded; }

    // The bullet picture from the shared images (call LoadImages first); 0 when they are missing.
    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    // All slots free.
    void Reset();
    // Enters the hit registry (category 2) and the scroll registry; nothing when already there.
    void Register();
    void Fire();
    void Update();
    int Render(IDirect3DDevice7* lpDevice);
    // 4..8 picks the picture of that level; any other value is only stored.
    void SetLevel(int nLevel);
    int GetLevel() const { return m_nLevel; }
    void SetMuzzle(const D3DVECTOR& v) { m_vMuzzle = v; }

    int Collide(CStage* pStage, CCrushable* pOther) override;
    int HitByEnemyBullet(CStage* pStage, CCrushable* pBullet) override;
    int HitByEnemyPart(CStage* pStage, CCrushable* pPart) override;
    int HitByLabel(CStage* pStage, CCrushable* pLabel) override;
    int GetPower() override;

    // Scroll registry: the gun's bullets do not follow the stage.
    void SetScrollSpeed(float) override {}
    void SetScrollPos(float) override {}

    // The hit quad of a flying slot in screen space (top-left, top-right, bottom-right,
    // bottom-left) and its bounding rectangle.
    void GetSlotQuad(int nSlot, D3DVECTOR* pQuad /*[4]*/) const;
    RECT GetSlotRect(int nSlot) const;
    const PBULLETSLOT& GetSlot(int nSlot) const { return m_Slots[nSlot]; }
    DWORD GetActiveMask() const { return m_dwActive; }
    int CountFlying() const;
    int IsMuzzleHidden() const { return m_bMuzzleHidden; }
    int GetMuzzleFrame() const { return m_nMuzzleFrame; }
    IDirectDrawSurface7* GetBulletTexture() const { return m_lpPicture; }

    // Written by the heroine before each shot.
    float m_fShotAngle = 0.0f;
    D3DVECTOR m_vMuzzle{};
    D3DVECTOR m_vDrift{};
    float m_fSpeed = 4.0f;
    int m_nKind = 0;
    BOOL m_bDoublePower = 0;

private:
    // The first flying slot, from the lowest, whose rectangle meets the other's rectangle (or cell
    // mask) and one of whose corners or centre, lowered by 16 px, lies inside the other's quad; -1
    // when none.
    int FindHit(const RECT* prcOther, const CELLMASK* pMaskOther, const D3DVECTOR* pQuadOther) const;
    int SpendOnQuad(const D3DVECTOR* pQuad /*[4]*/);
    void FreeSlot(int nSlot);
    void DrawQuad(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpTexture, const D3DLVERTEX* pQuad, float x, float y,
                  float fAngle);

    PBULLETSLOT m_Slots[PBULLET_SLOTS];
    DWORD m_dwActive = 0;
    IDirectDrawSurface7* m_lpPicture = nullptr;  // texture: a copy of the current level's cell
    D3DLVERTEX m_BulletQuad[4];
    D3DLVERTEX m_MuzzleQuad[4];
    float m_fWidth = 0.0f;
    float m_fHeight = 0.0f;
    float m_fHitRatioY = 0.8f;
    int m_nLevel = PBULLET_LEVEL_MIN;
    float m_fMuzzleAngle = 0.0f;
    D3DVECTOR m_vFlash{};
    BOOL m_bMuzzleHidden = 1;
    int m_nMuzzleFrame = 0;
    DWORD m_dwMuzzleTime = 40;
    DWORD m_dwLastFire = 0;

    static IDirectDrawSurface7* s_lpVulcan[PBULLET_KINDS][PBULLET_LEVELS];
    static IDirectDrawSurface7* s_lpMuzzle[PBULLET_KINDS][PBULLET_MUZZLE_FRAMES];
    static int s_bLoaded;
};
