// A drawable text: rendered once into a picture (and its shadow), then flown from a start point
// along an angle with an eased speed until its lifetime ends. A layer-0 drawable while it runs.
#pragma once
#include "rvm/rvm_stl.h"
#include "engine/AccAdjust.h"
#include "engine/DSurface.h"
#include "engine/ShowableSet.h"

class CTextSurface : public CShowable {
public:
    enum { DEFAULT_LIFETIME = 9999 };

    CTextSurface();
    ~CTextSurface() override;

    void Update() override;
    BOOL Draw(IDirectDrawSurface7* lpSurface) override;
    virtual void SetStartPos(float x, float y, float z);

    // nKind 0: the shadowed text (white over dark grey); otherwise the outlined one.
    BOOL Create(IDirect3DDevice7* lpDevice, const char* pszText, int nKind);
    // Takes ownership of each non-null surface and keys it green.
    BOOL SetSurfaces(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpText, IDirectDrawSurface7* lpShadow);
    void Release();
    void Start();
    void Stop();

    int IsStopped() const { return m_bStopped; }
    // The width of the rendered text in pixels (0 before Create).
    int GetWidth() const
    {
        int w = 0, h = 0;
        m_Image[0].GetSize(&w, &h);
        return w;
    }
    int GetCount() const { return m_nCount; }
    const rvm::string& GetText() const { return m_strText; }

    float m_fX = 0.0f;
    float m_fY = 0.0f;
    float m_fZ = 0.0f;
    // Radians; 0 moves right, positive moves down the screen.
    float m_fAngle = 0.0f;
    // Its value is the speed in pixels per update; set before Start.
    ACCINFO m_Speed;
    int m_nLifetime = DEFAULT_LIFETIME;

private:
    rvm::string m_strText;
    CDSurface m_Image[2];
    float m_fStartX = 0.0f;
    float m_fStartY = 0.0f;
    float m_fStartZ = 0.0f;
    int m_nCount = 0;
    int m_bStopped = 1;
};
