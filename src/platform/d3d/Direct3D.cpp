#include <atomic>
#include <cstring>

#include "platform/d3d/D3DDevice.h"
#include "platform/d3d/D3DObjects.h"
#include "platform/ddraw/DDObjects.h"

// {F5049E77-4861-11D2-A407-00A0C90629A8}
const GUID IID_IDirect3D7 = {0xF5049E77, 0x4861, 0x11D2, {0xA4, 0x07, 0x00, 0xA0, 0xC9, 0x06, 0x29, 0xA8}};
// {F5049E79-4861-11D2-A407-00A0C90629A8}
const GUID IID_IDirect3DDevice7 = {0xF5049E79, 0x4861, 0x11D2, {0xA4, 0x07, 0x00, 0xA0, 0xC9, 0x06, 0x29, 0xA8}};
// {A4665C60-2673-11CF-A31A-00AA00B93356}
const GUID IID_IDirect3DRGBDevice = {0xA4665C60, 0x2673, 0x11CF, {0xA3, 0x1A, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
// {84E63DE0-46AA-11CF-816F-0000C020156E}
const GUID IID_IDirect3DHALDevice = {0x84E63DE0, 0x46AA, 0x11CF, {0x81, 0x6F, 0x00, 0x00, 0xC0, 0x20, 0x15, 0x6E}};
// {F5049E78-4861-11D2-A407-00A0C90629A8}
const GUID IID_IDirect3DTnLHalDevice = {0xF5049E78, 0x4861, 0x11D2, {0xA4, 0x07, 0x00, 0xA0, 0xC9, 0x06, 0x29, 0xA8}};
// {50936643-13E9-11D1-89AA-00A0C9054129}
const GUID IID_IDirect3DRefDevice = {0x50936643, 0x13E9, 0x11D1, {0x89, 0xAA, 0x00, 0xA0, 0xC9, 0x05, 0x41, 0x29}};

namespace {

std::atomic<DWORD> g_dwExtraTextureCaps{0};

const char kDeviceDescription[] = "Microsoft Direct3D RGB Software Emulation";
const char kDeviceName[] = "RGB Emulation";

void FillPrimCaps(D3DPRIMCAPS* p)
{
    std::memset(p, 0, sizeof(*p));
    p->dwSize = sizeof(*p);
    p->dwMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
    p->dwRasterCaps = D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_SUBPIXEL;
    p->dwZCmpCaps = 0xFF;  // every comparison
    p->dwSrcBlendCaps = 0x3FF;  // ZERO .. INVDESTCOLOR
    p->dwDestBlendCaps = 0x3FF;
    p->dwAlphaCmpCaps = 0xFF;
    p->dwShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB | D3DPSHADECAPS_ALPHAGOURAUDBLEND;
    p->dwTextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_TRANSPARENCY |
                       g_dwExtraTextureCaps.load();
    p->dwTextureFilterCaps = D3DPTFILTERCAPS_NEAREST | D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MAGFPOINT;
    p->dwTextureAddressCaps = D3DPTADDRESSCAPS_WRAP;
}

class CDirect3D final : public IDirect3D7 {
public:
    explicit CDirect3D(IDirectDraw7* pDD) : m_pDD(pDD) { m_pDD->AddRef(); }

    HRESULT QueryInterface(REFIID riid, LPVOID* ppvObj) override
    {
        if (!ppvObj) {
            return DDERR_INVALIDPARAMS;
        }
        *ppvObj = nullptr;
        if (IsSameGUID(riid, IID_IDirect3D7)) {
            AddRef();
            *ppvObj = static_cast<IDirect3D7*>(this);
            return D3D_OK;
        }
        return m_pDD->QueryInterface(riid, ppvObj);
    }
    ULONG AddRef() override { return ++m_nRef; }
    ULONG Release() override
    {
        const ULONG n = --m_nRef;
        if (n == 0) {
            delete this;
        }
        return n;
    }

    HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK7 lpCallback, LPVOID lpContext) override
    {
        if (!lpCallback) {
            return DDERR_INVALIDPARAMS;
        }
        D3DDEVICEDESC7 desc;
        FillSoftwareDeviceDesc(&desc);
        char szDesc[sizeof(kDeviceDescription)];
        char szName[sizeof(kDeviceName)];
        std::memcpy(szDesc, kDeviceDescription, sizeof(szDesc));
        std::memcpy(szName, kDeviceName, sizeof(szName));
        lpCallback(szDesc, szName, &desc, lpContext);
        return D3D_OK;
    }

    HRESULT CreateDevice(REFCLSID rclsid, IDirectDrawSurface7* lpTarget, IDirect3DDevice7** lplpDevice) override
    {
        if (!lplpDevice) {
            return DDERR_INVALIDPARAMS;
        }
        *lplpDevice = nullptr;
        if (!lpTarget) {
            return DDERR_INVALIDPARAMS;
        }
        if (!IsSameGUID(rclsid, IID_IDirect3DRGBDevice)) {
            return D3DERR_INVALID_DEVICE;
        }
        CDDSurface* pTarget = CDDSurface::From(lpTarget);
        if (pTarget->Kind() != PK_R5G6B5) {
            return DDERR_INVALIDPIXELFORMAT;
        }
        *lplpDevice = new CD3DDevice(this, pTarget);
        return D3D_OK;
    }

    HRESULT EnumZBufferFormats(REFCLSID, LPD3DENUMPIXELFORMATSCALLBACK lpCallback, LPVOID lpContext) override
    {
        if (!lpCallback) {
            return DDERR_INVALIDPARAMS;
        }
        DDPIXELFORMAT pf = MakePixelFormat(PK_Z16);
        lpCallback(&pf, lpContext);
        return D3D_OK;
    }

    HRESULT EvictManagedTextures() override { return D3D_OK; }

private:
    ~CDirect3D() override { m_pDD->Release(); }

    std::atomic<ULONG> m_nRef{1};
    IDirectDraw7* m_pDD;
};

} // namespace

IDirect3D7* CreateDirect3DObject(IDirectDraw7* pDD)
{
    return pDD ? new CDirect3D(pDD) : nullptr;
}

void SetDeviceExtraTextureCaps(DWORD dwCaps)
{
    g_dwExtraTextureCaps = dwCaps & (D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY);
}

void FillSoftwareDeviceDesc(D3DDEVICEDESC7* pDesc)
{
    std::memset(pDesc, 0, sizeof(*pDesc));
    pDesc->dwDevCaps = D3DDEVCAPS_FLOATTLVERTEX | D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
                       D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_DRAWPRIMITIVES2 |
                       D3DDEVCAPS_DRAWPRIMITIVES2EX;
    FillPrimCaps(&pDesc->dpcLineCaps);
    FillPrimCaps(&pDesc->dpcTriCaps);
    pDesc->dwDeviceRenderBitDepth = DDBD_16;
    pDesc->dwDeviceZBufferBitDepth = DDBD_16;
    pDesc->dwMinTextureWidth = 1;
    pDesc->dwMinTextureHeight = 1;
    pDesc->dwMaxTextureWidth = 2048;
    pDesc->dwMaxTextureHeight = 2048;
    pDesc->dwMaxTextureRepeat = 2048;
    pDesc->dwMaxTextureAspectRatio = 2048;
    pDesc->dwMaxAnisotropy = 1;
    pDesc->dvGuardBandLeft = -2560.0f;
    pDesc->dvGuardBandTop = -1920.0f;
    pDesc->dvGuardBandRight = 3200.0f;
    pDesc->dvGuardBandBottom = 2400.0f;
    pDesc->dwFVFCaps = 1;
    pDesc->dwTextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                             D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_MODULATE4X |
                             D3DTEXOPCAPS_ADD | D3DTEXOPCAPS_ADDSIGNED | D3DTEXOPCAPS_SUBTRACT |
                             D3DTEXOPCAPS_BLENDDIFFUSEALPHA | D3DTEXOPCAPS_BLENDTEXTUREALPHA |
                             D3DTEXOPCAPS_BLENDFACTORALPHA | D3DTEXOPCAPS_BLENDCURRENTALPHA;
    pDesc->wMaxTextureBlendStages = 1;
    pDesc->wMaxSimultaneousTextures = 1;
    pDesc->dwMaxActiveLights = 1024;
    pDesc->dvMaxVertexW = 1.0e10f;
    pDesc->deviceGUID = IID_IDirect3DRGBDevice;
}
