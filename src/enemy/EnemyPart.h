// One live, hittable piece of a placed enemy: an ordinary enemy's body or one unit of its
// formation. It holds its place, size, life and score value, its damage flash, the explosions and
// the floating score of its death, and the item it drops. While it dies it stays drawn and keeps
// scrolling with the stage after its kind has stopped moving it.
#pragma once
#include "bullet/ExpBombScroll.h"
#include "engine/DSurface.h"
#include "engine/NumberBase.h"
#include "engine/ShowableSet.h"
#include "player/Item.h"
#include "stage/Flashable.h"
#include "stage/Neighbours.h"

#define ENEMYPART_EXPLOSIONS 5
#define ENEMY_DAMAGE_WAVE ".\\GameData\\System\\EnemyDamage.wav"

// One ENEMY_ key of Param.txt.
struct ENEMYPARAM {
    int nLife;
    int nValue1;  // read and kept; nothing uses it
    int nValue2;  // likewise
    int nScore;
    int nBigDeath;  // 1: five explosions and the score after them
};

// The place of the explosions of a death burst around the part, and their start delays.
extern const float g_fBurstOffset[ENEMYPART_EXPLOSIONS][2];
#define ENEMYPART_BURST_DELAY 125

class CEnemyPart : public IEnemyPart, public CShowable, public CScrollable {
public:
    CEnemyPart();
    ~CEnemyPart() override;

    // The hit registry.
    int Collide(CStage* pStage, CCrushable* pOther) override;
    // The damage handler: flash, 10 points per life taken, the score value and the burst at death.
    int HitByPlayerBullet(CStage* pStage, CCrushable* pAttacker) override;
    void GetHitQuad(D3DVECTOR* pOut /*[4]*/) override;
    D3DVECTOR* GetPos(D3DVECTOR* pOut) override;
    BOOL IsDead() override { return m_bDead; }

    // Top-left of the picture (integer halves), y down, view offset in.
    virtual D3DVECTOR* GetDrawPos(D3DVECTOR* pOut);
    virtual void FilterDamage(int*) {}
    // A replay that ends with this part's death ends on the score it recorded (the last boss).
    virtual BOOL EndsOnRecordedScore() { return 0; }
    virtual BOOL IsLastExplosionDone();
    // The dying step of a big death; 0 while the part is alive.
    virtual int Die();
    virtual void Show();
    virtual void Explode();
    virtual void DropItem();

    // The drawables' layer 1: the dying part's remembered picture.
    BOOL Draw(IDirectDrawSurface7* lpSurface) override;
    // The scroll registry, joined only while dying.
    void SetScrollSpeed(float fOffset) override { SetViewOffset(fOffset); }
    void SetScrollPos(float fStep) override { m_fScrollSpeed = fStep; }
    void Tick() override { OnScrollTick(); }

    void SetViewOffset(float fOffset) { m_fViewOffset = fOffset; }
    void OnScrollTick();
    // Explosion styles (all five with a big death) and the carried item's settings.
    void LoadEffects(IDirect3DDevice7* lpDevice);
    void ReleaseExplosions();
    // 0 faces right (the mirrored picture); anything else faces left.
    void SetFacing(int nDirection);
    int GetImageKind();
    IDirectDrawSurface7* SelectImage(const CDSurfaceEx& slot);
    void StartFlash() { m_Flash.Start(); }
    void UpdateFlash() { m_Flash.Update(); }
    void Kill();
    void SetRecordedScore(CStage* pStage);
    void ShowScore();
    void Hide();
    // The bounding rectangle of the hit box.
    RECT* GetHitRect(RECT* pOut);

    // What the kinds share when a part starts an appearance: block, parameters, life, size and
    // carried item, alive and in the hit registry.
    void Begin(int nBlock, const ENEMYPARAM& param, int nWidth, int nHeight, int nItemKind);
    // Out of play after leaving the screen or dying: out of the hit registry; a destroyed part
    // keeps its explosions, which may still wait for their delays.
    void Remove();
    // 1 while the part is in the scroll registry, that is while its death runs.
    BOOL IsDying() const { return CScrollable::m_nIndex >= 0; }

    D3DVECTOR m_vPos{};
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nLife = 0;
    int m_nBlock = 0;
    ENEMYPARAM m_Param{};
    float m_fScaleX = 1.0f;
    float m_fScaleY = 1.0f;
    float m_fViewOffset = 0.0f;
    CExpBombScrollRef m_Explosions[ENEMYPART_EXPLOSIONS];
    // The element the last explosion of the burst went off with: its end ends the dying.
    CExpBombScroll* m_pLastBurst = nullptr;
    int m_nItemKind = 0;
    // The pooled item it drops; none when the pool is empty.
    CItemGunRef m_Item;
    CPointNumber m_Score;
    BOOL m_bDead = 1;
    CFlashable m_Flash;
    DWORD m_dwDrawFlags = 0;
    IDirectDrawSurface7* m_lpRemembered = nullptr;
    float m_fScrollSpeed = 0.0f;
};

// Score additions without overflow: the missing-value default is INT_MAX.
int SaturateScore(long long nPoints);
