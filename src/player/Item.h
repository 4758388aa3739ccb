// The pick-ups destroyed enemies and knocked-over passers-by leave: experience crystals, life
// capsules and money. CItem is the hittable base with the kind table, the collect rule and the
// shared pictures; CItemGun flies out, falls, bounces along the ground and is drawn to the heroine
// when she comes near (128 of them in a pool, plus those a passer-by carries); CItemPower drifts
// and bobs without terrain; CItemGunRef is the handle by which an owner keeps a pooled CItemGun.
#pragma once
#include "engine/AccAdjust.h"
#include "engine/DSurface.h"
#include "engine/NumberBase.h"
#include "engine/ShowableSet.h"
#include "stage/BoundableSet.h"
#include "stage/CrushableSet.h"
#include "stage/StageItem.h"

class CPlayer;
class CItemGunRef;

#define ITEM_KIND_NUM 11
#define ITEM_POOL_SIZE 128
#define ITEM_FRAMES 8
#define ITEM_STATE_NO_TERRAIN 0x10000u

// What collecting gave.
enum { COLLECT_INVALID = -1, COLLECT_POINTS = 0, COLLECT_EXP = 1, COLLECT_LIFE = 2, COLLECT_FULL = 3,
       COLLECT_NOTHING = 10 };

// A row of the kind table; -1 where the kind has no such payout.
struct ITEMKIND {
    int nPoints;
    int nExp;
    int nLife;        // percent
    int nFullPoints;  // paid instead of experience at the top gun level, or of life at full life
};
extern const ITEMKIND g_ItemKinds[ITEM_KIND_NUM];

class CItem : public CCrushable {
public:
    enum { FRAME_MS = 20 };

    CItem();
    ~CItem() override;

    virtual void SetKind(int nKind) { m_nItemKind = nKind; }
    virtual int GetKind() const { return m_nItemKind; }
    virtual D3DVECTOR* GetPosition(D3DVECTOR* pOut);
    virtual int Load(IDirect3DDevice7*) { return 1; }
    virtual void Release() {}
    // Frame 0, in the hit registry.
    virtual void Start();
    // The animation; an item far off the left edge finishes.
    virtual void Update();
    // Out of play and out of the hit registry.
    virtual void Finish();
    virtual int Draw(IDirectDrawSurface7* lpSurface) = 0;
    // Its box: 1.6 times the picture's width by twice its height around its position.
    virtual void GetQuad(D3DVECTOR* pOut /*[4]*/);

    // What the kind gives the heroine (COLLECT_*); the floating number shows paid points.
    int Collect(int nKind, CPlayer* pPlayer);

    int IsFinished() const { return m_bFinished; }
    int GetFrame() const { return m_nFrame; }
    CPointNumber& GetNumber() { return m_Number; }

    // "Item01.bmp" and "Item02.bmp" of .\GameData\System\, once at start-up.
    static int LoadImages(IDirect3DDevice7* lpDevice);
    static void ReleaseImages();
    // The picture cell of a kind's animation frame, and the sheet it is on (null for kind 10 or
    // before the pictures are loaded).
    static IDirectDrawSurface7* GetCell(int nKind, int nFrame, RECT* pCell);
    static void GetKindSize(int nKind, int* pnWidth, int* pnHeight);

protected:
    // Both collision tests against the heroine's damage box.
    int TouchesPlayer(CPlayer* pPlayer);
    // The bounding rectangle of its box.
    RECT GetBoxRect();
    void MovePosition(const D3DVECTOR& v);
    // The current frame with its centre at (x, y - 16 + offset), unless wholly off the screen.
    int DrawFrame(IDirectDrawSurface7* lpSurface, const D3DVECTOR& vPos, float fOffsetY);

    D3DVECTOR m_vPos{};
    CPointNumber m_Number;
    int m_nItemKind = -1;
    int m_nFrame = 0;
    DWORD m_dwFrameTime = FRAME_MS;
    DWORD m_dwFrameStamp = 0;
    int m_bFinished = 1;
};

class CItemGun : public CItem, public CBoundable, public CScrollable, public IStageItem {
public:
    enum { BLINK_MS = 20, ATTRACT_TICKS = 100 };

    CItemGun();
    ~CItemGun() override;

    // ITEM_SPEED, ITEM_GRAVITY, ITEM_FADE_TIME.
    int Load(IDirect3DDevice7* lpDevice) override;
    using CItem::Start;
    // Thrown from its position at fSpeed along fAngle (y down).
    void Start(float fSpeed, float fAngle);
    void Update() override;
    void Finish() override;
    int Draw(IDirectDrawSurface7* lpSurface) override;
    int HitByPlayer(CStage* pStage, CCrushable* pPlayer) override;

    // CBoundable: the terrain carries, lands and stops it.
    void SetState(DWORD dwState) override { m_dwState = dwState; }
    DWORD GetState() override { return m_dwState; }
    void SetPosition(const D3DVECTOR& vPos) override { m_vPos = vPos; }
    D3DVECTOR* GetPosition(D3DVECTOR* pOut) override { return CItem::GetPosition(pOut); }
    void Move() override { MovePosition(m_vC); }
    void SetGroundY(float y) override;
    void Land(float y) override;
    RECT GetBoundRect() override { return GetBoxRect(); }
    int DrawDebug(IDirectDrawSurface7* lpSurface) override { return Draw(lpSurface); }

    // CScrollable: the main layer's vertical offset moves its picture; the scroll step is the
    // speed the ground goes back with.
    void SetScrollSpeed(float fOffset) override { m_fDrawOffset = fOffset; }
    void SetScrollPos(float fStep) override { m_fBaseSpeed = fStep; }

    // IStageItem.
    void SetKind(int nKind) override { CItem::SetKind(nKind); }
    void SetScroll(float fScroll) override { m_fBaseSpeed = fScroll; }
    void Launch(float fSpeed, float fAngle) override { Start(fSpeed, fAngle); }

    // The pool.
    static CItemGun* Alloc();
    static void Free(CItemGun* pItem);
    // At every stage load: every pooled item finishes and every handle lets go.
    static void FreeAll();
    static CItemGun* GetPoolItem(int i);
    static int IsReserved(int i);
    // A new item outside the pool, owned by the caller (the stage's item factory).
    static IStageItem* Create();

    int IsCollected() const { return m_bCollected; }
    int IsAttracted() const { return m_bAttract; }
    int IsCollectable() const { return m_bCollectable; }
    int GetBounces() const { return m_nBounce; }
    int IsBlinkOff() const { return m_bBlinkOff; }
    const ACCINFO& GetHorizontal() const { return m_Horz; }
    const ACCINFO& GetVertical() const { return m_Vert; }
    const D3DVECTOR& GetTarget() const { return m_vTarget; }
    float GetBaseSpeed() const { return m_fBaseSpeed; }

private:
    friend class CItemGunRef;
    void Collected();
    // One tick of flight: drawn in, or thrown under gravity.
    void Fly();

    ACCINFO m_Horz{};
    ACCINFO m_Vert{};
    ACCINFO m_Attract{};
    D3DVECTOR m_vTarget{};
    float m_fAngle = 0.0f;
    int m_nAttractTicks = 0;
    int m_bAttract = 0;
    float m_fFallSpeed = 0.0f;  // the vertical speed of this tick's move
    int m_nBounce = 0;
    int m_bCollectable = 0;
    int m_bCollected = 0;
    int m_bBlinkOff = 0;
    DWORD m_dwBlinkStamp = 0;
    DWORD m_dwFadeStamp = 0;
    float m_fItemSpeed = -6.0f;
    float m_fGravity = 0.5f;
    DWORD m_dwFadeTime = 1000;
    float m_fBaseSpeed = 8.0f;
    float m_fDrawOffset = 0.0f;
    DWORD m_dwState = 0;
    CItemGunRef* m_pRef = nullptr;
};

// What an enemy part or bullet keeps of the pooled item it carries. Letting go frees the pool
// entry; an item that finishes while held lets go of the handle itself.
class CItemGunRef {
public:
    CItemGunRef() = default;
    ~CItemGunRef() { Release(); }
    CItemGunRef(const CItemGunRef&) = delete;
    CItemGunRef& operator=(const CItemGunRef&) = delete;

    // Takes a free item of the pool (letting go of any held one); null when all 128 are taken.
    CItemGun* Alloc();
    void Release();
    CItemGun* Get() const { return m_pItem; }
    int GetIndex() const { return m_nIndex; }

private:
    friend class CItemGun;
    CItemGun* m_pItem = nullptr;
    int m_nIndex = -1;
};

class CItemPower : public CItem, public CScrollable, public CBoundable {
public:
    CItemPower();
    ~CItemPower() override;

    // Drifts from its position, bobbing.
    void Start() override;
    void Update() override;
    void Finish() override;
    int Draw(IDirectDrawSurface7* lpSurface) override;
    int HitByPlayer(CStage* pStage, CCrushable* pPlayer) override;

    void SetPosition(const D3DVECTOR& vPos) override { m_vPos = vPos; }
    D3DVECTOR* GetPosition(D3DVECTOR* pOut) override { return CItem::GetPosition(pOut); }
    DWORD GetState() override { return m_dwState; }
    void SetState(DWORD dwState) override { m_dwState = dwState; }
    void Move() override { MovePosition(m_vC); }
    RECT GetBoundRect() override { return GetBoxRect(); }
    int DrawDebug(IDirectDrawSurface7* lpSurface) override { return Draw(lpSurface); }
    void SetScrollSpeed(float fOffset) override { m_fDrawOffset = fOffset; }
    void SetScrollPos(float) override {}

    const ACCINFO& GetBob() const { return m_Bob; }

private:
    ACCINFO m_Bob{};
    float m_fDrawOffset = 0.0f;
    DWORD m_dwState = 0;
};
