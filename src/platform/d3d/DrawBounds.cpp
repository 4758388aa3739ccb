#include "platform/d3d/DrawBounds.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/d3d/Rasterizer.h"

namespace {

// Pixels added on every side: screen positions are snapped and points and lines have width.
constexpr float kMargin = 2.0f;

} // namespace

RECT DrawScreenBounds(DWORD dwFVF, const void* pVertices, DWORD dwCount, const D3DMATRIX& m,
                      const D3DVIEWPORT7& vp)
{
    const LONG vl = (LONG)vp.dwX, vt = (LONG)vp.dwY;
    const LONG vr = (LONG)(vp.dwX + vp.dwWidth), vb = (LONG)(vp.dwY + vp.dwHeight);
    const RECT rcAll = {vl, vt, vr, vb};
    const int nStride = VertexStride(dwFVF);
    if (nStride == 0 || !pVertices || dwCount == 0) {
        return rcAll;
    }
    const bool bRHW = (dwFVF & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    const float fHalfW = (float)vp.dwWidth * 0.5f, fHalfH = (float)vp.dwHeight * 0.5f;
    float x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    const uint8_t* p = static_cast<const uint8_t*>(pVertices);
    for (DWORD i = 0; i < dwCount; i++, p += nStride) {
        float pos[3];
        std::memcpy(pos, p, sizeof pos);
        float sx = pos[0], sy = pos[1];
        if (!bRHW) {
            const float cx = pos[0] * m._11 + pos[1] * m._21 + pos[2] * m._31 + m._41;
            const float cy = pos[0] * m._12 + pos[1] * m._22 + pos[2] * m._32 + m._42;
            const float cw = pos[0] * m._14 + pos[1] * m._24 + pos[2] * m._34 + m._44;
            // With every vertex in front of the eye, what is drawn lies within their projections.
            if (!(cw > 1e-6f)) {
                return rcAll;
            }
            const float fInv = 1.0f / cw;
            sx = (float)vp.dwX + (cx * fInv + 1.0f) * fHalfW;
            sy = (float)vp.dwY + (1.0f - cy * fInv) * fHalfH;
        }
        if (!std::isfinite(sx) || !std::isfinite(sy)) {
            return rcAll;
        }
        x0 = std::fmin(x0, sx);
        y0 = std::fmin(y0, sy);
        x1 = std::fmax(x1, sx);
        y1 = std::fmax(y1, sy);
    }
    auto clampTo = [](float f, LONG lo, LONG hi) {
        return f <= (float)lo ? lo : f >= (float)hi ? hi : (LONG)f;
    };
    return RECT{clampTo(std::floor(x0 - kMargin), vl, vr), clampTo(std::floor(y0 - kMargin), vt, vb),
                clampTo(std::ceil(x1 + kMargin), vl, vr), clampTo(std::ceil(y1 + kMargin), vt, vb)};
}
