// Beam sabers. CEBSaber is one swing: a crescent band round the saber's centre, drawn as a strip
// of coloured vertices that is brightest at the blade and fades away within a quarter second, with
// a rectangular hit area on the side the swinger faces. CEBMoveSaber is a crescent thrown across
// the screen. Both hurt the heroine on contact and cannot be shot down: a player bullet that meets
// one is left to its own handler.
#pragma once
#include "bullet/EBulletPart.h"
#include "engine/AccAdjust.h"
#include "engine/ShowableSet.h"

#define EBSABER_VERTEX_NUM 40
#define EBSABER_RADIUS 100.0f

// The 40 vertices of the crescent: pairs k = 0..19 at angle k x 0.157, the even one on the
// ellipse (R ex cos a, R ey sin a), the odd one on the circle (R cos a, R sin a). dwOuter is the
// circle's colour.
void BuildCrescent(D3DLVERTEX* pOut /*[EBSABER_VERTEX_NUM]*/, float fRadius, float fEllipseX, float fEllipseY,
                   D3DCOLOR dwOuter);
// 0xFF000000 with each component trunc(c x 255), held to 0..255.
D3DCOLOR PackSaberColor(float r, float g, float b);

class CEBSaber : public CEBulletPart, public CScrollable {
public:
    CEBSaber();
    ~CEBSaber() override;

    // Contact hurts her; a faded swing no longer does.
    int Collide(CStage* pStage, CCrushable* pOther) override;
    int HitByPlayerBullet(CStage* pStage, CCrushable* pBullet) override;
    // The hit area beside the centre on the facing side (screen rows): 1.7 R + 10 wide, 2 R high.
    void GetQuad(D3DVECTOR* pOut) override;
    void GetHitQuad(D3DVECTOR* pOut) override { GetQuad(pOut); }
    void SetPlayerScroll(int) override {}
    int Fire() override;
    void Stop() override;
    void Move() override;
    int Render3D(IDirect3DDevice7* lpDevice) override;

    void SetScrollSpeed(float fOffset) override { m_fViewOffset = fOffset; }
    void SetScrollPos(float) override {}

    // The centre, y up; the owner moves it with the swinger every update.
    virtual void SetPosition(const D3DVECTOR& v) { m_vCenter = v; }
    virtual void GetPosition(D3DVECTOR* pOut) { *pOut = m_vCenter; }
    virtual int Load(IDirect3DDevice7*)
    {
        Release();
        return 1;
    }
    virtual void Release() {}

    // Lights the blade at the angle (0 to 3.14) in colour (r, g, b), the trail on either side 0.05
    // darker per vertex pair. Other angles change nothing.
    void SetBlade(float fAngle, float r, float g, float b);
    // Colour component c (0 r, 1 g, 2 b) of vertex i as stored.
    float GetColor(int i, int c) const { return m_fColor[i][c]; }

    float m_fColor[EBSABER_VERTEX_NUM][3];
    D3DLVERTEX m_Vertices[EBSABER_VERTEX_NUM];
    D3DVECTOR m_vCenter{};
    float m_fFadeBase = 0.01f;
    float m_fTrailStep = 0.05f;
    float m_fRadius = EBSABER_RADIUS;
    D3DVECTOR m_vScale{{1.7f}, {1.0f}, {1.0f}};
    float m_fEllipseX = 1.0f;
    float m_fEllipseY = 0.5f;
    // 1 or more faces left, below 0 faces right, 0 has no hit area. m_bIdle is the faded flag.
    int m_nDirection = 1;
    float m_fViewOffset = 0.0f;

private:
    void SetVertexColor(int i, float r, float g, float b);
};

class CEBMoveSaber : public CEBulletPart, public CScrollable {
public:
    CEBMoveSaber();
    ~CEBMoveSaber() override;

    int Collide(CStage* pStage, CCrushable* pOther) override;
    int HitByPlayerBullet(CStage* pStage, CCrushable* pBullet) override;
    void GetQuad(D3DVECTOR* pOut) override;
    void GetHitQuad(D3DVECTOR* pOut) override { GetQuad(pOut); }
    void SetPlayerScroll(int) override {}
    int Fire() override;
    void Stop() override;
    void Move() override;
    int Render3D(IDirect3DDevice7* lpDevice) override;

    void SetScrollSpeed(float fOffset) override { m_fViewOffset = fOffset; }
    void SetScrollPos(float) override {}

    virtual void SetPosition(const D3DVECTOR& v) { m_vPos = v; }
    virtual void GetPosition(D3DVECTOR* pOut) { *pOut = m_vPos; }
    virtual int Load(IDirect3DDevice7*)
    {
        Release();
        return 1;
    }
    virtual void Release() {}

    D3DLVERTEX m_Vertices[EBSABER_VERTEX_NUM];
    float m_fRadius = EBSABER_RADIUS;
    D3DVECTOR m_vScale{{1.0f}, {0.5f}, {1.0f}};
    float m_fEllipseX = 1.0f;
    float m_fEllipseY = 0.5f;
    // The speed along the flight angle; the owner presets it.
    ACCINFO m_Speed;
    // Radians: 3.14 flies left, 0 flies right. m_bIdle is the gone flag.
    float m_fAngle = 3.14f;
    float m_fViewOffset = 0.0f;
};

// The crescent drawn at (v) turned by fTurn about z, then stretched by (-sx, sy, sz); additive,
// untextured, the device's blend and world put back afterwards.
int RenderCrescent(IDirect3DDevice7* lpDevice, const D3DLVERTEX* pVertices, const D3DVECTOR& vScale, float fTurn,
                   const D3DVECTOR& v);
