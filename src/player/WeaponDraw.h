// What the sub-weapons and the bike effects share: drawing a pre-lit quad under a local transform in
// the 3D pass, the local transforms they use, and the hit shape of whatever a weapon meets.
#pragma once
#include "engine/Geometry.h"
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"
#include "stage/CrushableSet.h"

// Draws the fan with world = mLocal x the current world, the texture bound; the world is put
// back. A null texture draws nothing. 0 when the draw failed.
int DrawWeaponFan(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpTexture, const D3DLVERTEX* pQuad /*[4]*/,
                  const D3DMATRIX& mLocal);
// scale(sx, sy, 1), then rotation about z, then translation (row vectors).
D3DMATRIX ScaleRotateMove(float sx, float sy, float fAngle, float x, float y, float z);
// The quad's four vertex colours.
void SetFanColor(D3DLVERTEX* pQuad /*[4]*/, D3DCOLOR dwColor);
// 0xAARRGGBB of channels in 0..1 (clamped), alpha 255.
D3DCOLOR ColorOf(float r, float g, float b);

// What a weapon tests against: the other object's hit quad in screen pixels, its bounding
// rectangle and its cell mask. Enemy parts and shots carry no mask of their own: theirs is their
// rectangle's.
struct WEAPONTARGET {
    D3DVECTOR quad[4];
    RECT rc;
    CELLMASK mask;
};
// The target of a hit by an object of the family (CRUSH_ENEMY_PART, CRUSH_ENEMY_BULLET,
// CRUSH_LABEL); 0 when pOther is not one.
int GetWeaponTarget(CCrushable* pOther, int nFamily, WEAPONTARGET* pOut);
// The cell mask of a box in screen pixels.
CELLMASK BoxCellMask(float x0, float y0, float x1, float y1);
