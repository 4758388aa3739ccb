// One placed, moving instance of a stage object type: put into a grid cell by the stage map, it
// scrolls in from the right, serves as terrain, can be shot to pieces when its type is
// destroyable, and leaves once it has passed the left screen edge.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/WinTypes.h"
#include "stage/CrushableSet.h"
#include "stage/Flashable.h"
#include "stage/LabelEffects.h"
#include "stage/Neighbours.h"

class CObject;
class CBoundable;
struct CELLMASK;

// Four corners: top-left, top-right, bottom-right, bottom-left. All zero = no area.
struct HITQUAD {
    D3DVECTOR v[4];
    void SetRect(const RECT& rc);
    void Clear();
    BOOL IsEmpty() const;
};

// Where a movement meets a label's outline. Kinds: 1 left side, 2 top, 3 right side, 4 bottom.
struct CONTACTINFO {
    D3DVECTOR pos;
    int nKind;
    DWORD dwAttribute;
    class CObjectLabel* pLabel;
    DWORD dwReserved[12];
};

enum { CONTACT_NONE = 0, CONTACT_LEFT = 1, CONTACT_TOP = 2, CONTACT_RIGHT = 3, CONTACT_BOTTOM = 4 };

// Terrain state bit of a body whose movement started inside a label.
#define BOUND_STATE_EMBEDDED 0x10000u

class CObjectLabel : public CCrushable {
public:
    CObjectLabel();
    ~CObjectLabel() override;

    CObjectLabel* GetObjectLabel() override { return this; }
    int Collide(CStage* pStage, CCrushable* pOther) override;
    // Takes the bullet set's power off the durability (flash and sound, or the blow-up).
    int HitByPlayerBullet(CStage* pStage, CCrushable* pBullet) override;

    virtual BOOL IsFinished();
    virtual void SetObject(CObject* pObj);
    virtual CObject* GetObject();
    virtual void SetNumber(int nNumber);
    virtual int GetNumber();
    virtual const char* GetName();
    virtual DWORD GetAttribute();
    virtual DWORD GetCrushBits();
    virtual void SetLayer(char chLayer);
    virtual void SetCell(int nColumn, int nRow);
    virtual void GetCell(int* pnColumn, int* pnRow);
    virtual void SetPos(const D3DVECTOR* pPos);
    virtual void SetSpeed(float fSpeed);
    virtual float GetSpeed();
    virtual void SetTarget(const D3DVECTOR* pPos);
    virtual void SetOffsetY(float fOffset);
    virtual float GetOffsetY();
    virtual HITQUAD* GetDamageQuad(HITQUAD* pOut);
    // The terrain outline: slopes cut, RIDEON the top edge only.
    virtual HITQUAD* GetQuad(HITQUAD* pOut);
    virtual HITQUAD* GetHitQuad(HITQUAD* pOut);
    virtual HITQUAD* GetBoxQuad(HITQUAD* pOut);
    virtual CELLMASK* GetHitCellMask(CELLMASK* pOut);
    virtual BOOL IsInside(const D3DVECTOR* pPoint);
    virtual BOOL IsInsideByAngles(const D3DVECTOR* pPoint, float* pfSum);
    virtual BOOL IsPointInside(const D3DVECTOR* pPoint);
    virtual int GetCrossedEdge(const D3DVECTOR* pDir, const D3DVECTOR* pPoint, int nMode, D3DVECTOR* pCross);
    virtual D3DVECTOR* PushOut(D3DVECTOR* pOut, const D3DVECTOR* pPoint);
    virtual D3DVECTOR* PushOutPath(D3DVECTOR* pOut, const D3DVECTOR* pFrom, const D3DVECTOR* pTo);
    virtual void StartFlash();
    virtual void OnTimeOut() {}
    virtual int Setup(IDirect3DDevice7* lpDevice, const char* pszFolder);
    virtual void Release();
    // A restart: explosions of the label's former life that still wait or run end now.
    void StopExplosions();
    virtual void Spawn();
    virtual void Update();
    virtual void Stop();
    virtual int Draw2D(IDirectDrawSurface7* lpTarget);
    virtual int Draw3D(IDirect3DDevice7* lpDevice);
    virtual const char* GetDebugText();

    // Terrain contact tests against the shaped quad (stage pixels, x and y, tolerance 0.01).
    int WhichX(float x);
    int WhichY(const D3DVECTOR* pPoint);
    BOOL Contains(const D3DVECTOR* pPoint);
    float TopYAtX(float x);
    float XAtTopY(float y);
    // Vertical contact of a point moving by pMove; 1 on contact.
    int CheckVert(const D3DVECTOR* pPoint, const D3DVECTOR* pMove, CONTACTINFO* pInfo);
    // General contact of a body's reference point moving by pMove; 1 on contact.
    int CheckMove(const D3DVECTOR* pPoint, const D3DVECTOR* pMove, CONTACTINFO* pInfo, CBoundable* pBody);
    int FindCrossings(const D3DVECTOR* pPoint, const D3DVECTOR* pMove, CONTACTINFO* pFirst, CONTACTINFO* pSecond);
    int SlopeContactUp(const D3DVECTOR* pPoint, const D3DVECTOR* pMove, CONTACTINFO* pInfo);
    int SlopeContactDown(const D3DVECTOR* pPoint, const D3DVECTOR* pMove, CONTACTINFO* pInfo);
    void DebugDrawQuad();

    // Set by FindCrossings when a body glides along a slope; cleared by CheckMove.
    static BOOL s_bGlide;

    CObject* m_pObject = nullptr;
    int m_nNumber = 0;
    char m_chLayer = 0;
    int m_nColumn = 0;
    int m_nRow = 0;
    int m_nDurability = -1;
    float m_fOffsetY = 0.0f;
    CFlashable m_Flash;
    // Made by Setup for a destroyable label (null without the factory hook): the large explosion
    // that ends it and the burst of five before it.
    IScrollExplosion* m_pExplosion = nullptr;
    IScrollExplosion* m_pExplosions[5] = {};
    BOOL m_bCrushed = 0;
    BOOL m_bFinished = 1;
    D3DVECTOR m_vPos{};
    float m_fSpeed = 0.0f;

private:
    BOOL IsDestroyable();
    // No explosion counts as idle and finished.
    BOOL IsExplosionIdle() const { return !m_pExplosion || m_pExplosion->IsIdle(); }
    BOOL IsExplosionFinished() const { return !m_pExplosion || m_pExplosion->IsFinished(); }
    void DeleteBurst();
};
