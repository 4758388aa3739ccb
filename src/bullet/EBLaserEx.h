// The enemy laser: a beam drawn in 3D that grows from its origin toward one screen edge, holds,
// then narrows and vanishes, cycling through three colours. Its body is a strip that flares from a
// point (half width 0.45 ln(4k + 1) of the beam's at the k-th 5 px step) with the texture mirrored
// every 5 px; a four-vertex head caps it. Nothing shoots it down; it hurts the heroine when her
// damage box meets one of its three bands. CEBLaserDx is the same beam turned about its origin.
#pragma once
#include "bullet/EBulletPart.h"
#include "engine/AccAdjust.h"
#include "engine/ShowableSet.h"

#define EBLASER_COLOR_NUM 3
#define EBLASER_MAX_VERTEX_NUM 256
#define EBLASER_DAMAGE 5
#define EBLASER_HOLD_MS 1000
#define EBLASER_COLOR_MS 20

class CEBLaserEx : public CEBulletPart, public CScrollable {
public:
    enum { STATE_GROWING = 0, STATE_NARROWING = 1, STATE_HOLDING = 2 };
    enum { TEX_HEAD_LEFT = 0, TEX_HEAD_RIGHT = 1, TEX_BODY = 2, TEX_KINDS = 3 };

    CEBLaserEx();
    ~CEBLaserEx() override;

    // The three colours' pictures, each cut into its two heads and its body; 0 when one is missing.
    static int LoadShared(IDirect3DDevice7* lpDevice);
    static void ReleaseShared();
    static IDirectDrawSurface7* GetTexture(int nColor, int nKind);

    // It only hurts through HitByPlayer, and has no picture box or cells of its own.
    int Collide(CStage*, CCrushable*) override { return 0; }
    int HitByPlayerBullet(CStage*, CCrushable*) override { return 0; }
    int HitByPlayer(CStage* pStage, CCrushable* pPlayer) override;
    void GetQuad(D3DVECTOR* pOut) override;
    CELLMASK* GetRect(CELLMASK* pOut) override;
    void GetHitQuad(D3DVECTOR* pOut) override { GetQuad(pOut); }
    void SetPlayerScroll(int) override {}
    int Fire() override;
    void Stop() override;
    void Move() override;
    int Render3D(IDirect3DDevice7* lpDevice) override;

    void SetScrollSpeed(float fOffset) override { m_fViewOffset = fOffset; }
    void SetScrollPos(float fStep) override { SetPlayerScroll((int)fStep); }

    // The origin; the end's row follows it.
    virtual void SetPosition(const D3DVECTOR& v);
    virtual void GetPosition(D3DVECTOR* pOut) { *pOut = m_vOrigin; }
    virtual int Load(IDirect3DDevice7* lpDevice);
    virtual void Release() {}
    // One draw of each colour's head and body; 0 as soon as a draw fails.
    virtual int Preload(IDirect3DDevice7* lpDevice);

    // The band test in screen rows; the heroine's box rows as given (already moved by the view
    // offset). 1 when one of the bands meets the box.
    int HitsBox(float fLeft, float fTop, float fRight, float fBottom);
    // The half width of body pair k at the current width.
    float HalfWidth(int k) const;

    int m_nState = STATE_GROWING;
    D3DLVERTEX m_Head[4];
    D3DLVERTEX m_Body[EBLASER_MAX_VERTEX_NUM];
    int m_nCount = 0;
    float m_fGrowth = 5.0f;
    float m_fHeadLength = 64.0f;
    int m_nDirection = 1;
    int m_nColor = 0;
    BOOL m_bTimed = 0;
    ACCINFO m_Narrowing;
    DWORD m_dwStateTime = 0;
    DWORD m_dwHoldTime = EBLASER_HOLD_MS;
    DWORD m_dwColorTime = 0;
    DWORD m_dwColorPeriod = EBLASER_COLOR_MS;
    float m_fWidth = 128.0f;
    D3DVECTOR m_vOrigin{};
    float m_fEndX = 0.0f;
    float m_fEndY = 0.0f;
    float m_fScale = 1.0f;
    float m_fScaleStart = 1.0f;
    float m_fAngle = 0.0f;
    float m_fViewOffset = 0.0f;

protected:
    void BuildVertices();
    // The screen row of the beam's axis.
    float GetBeamRow() const;
};

class CEBLaserDx : public CEBLaserEx {
public:
    // The centre of her damage box inside the turned beam.
    int HitByPlayer(CStage* pStage, CCrushable* pPlayer) override;
    void GetQuad(D3DVECTOR* pOut) override { CEBLaserEx::GetQuad(pOut); }

    // The point (screen rows) inside the turned beam.
    int HitsPoint(float x, float fRow);
};
