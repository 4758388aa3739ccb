// Where on the screen a draw may put pixels, found from its vertices before it is drawn: the
// device does the waiting clears of the target and the depth buffer only there.
#pragma once
#include "platform/d3d/D3D.h"

// The rectangle of the viewport that the draw of dwCount vertices of format dwFVF may touch (a
// pixel's margin all round). The whole viewport when it cannot tell: a vertex behind the eye, a
// position that is not finite, a format it does not know.
RECT DrawScreenBounds(DWORD dwFVF, const void* pVertices, DWORD dwCount, const D3DMATRIX& mCombined,
                      const D3DVIEWPORT7& vp);
