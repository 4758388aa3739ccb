#include "engine/EnumDriver.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/CpuInfo.h"
#include "engine/Log.h"
#include "engine/RenderState.h"
#include "engine/WinMain.h"
#include "platform/d3d/D3DX.h"
#include "platform/win/Win.h"

namespace {

const char kReportFile[] = "debug.txt";
constexpr double kBytesToMB = 9.536743e-7;
constexpr int kMaxTexFormats = 16;

// Process-wide state of the device module.
struct DEVICESTATE {
    int nWidth, nHeight, nBpp;
    IDirectDraw7* lpDD;
    IDirectDrawSurface7* lpDDSPrimary;
    IDirectDrawSurface7* lpDDSBack;
    IDirectDrawClipper* lpDDClipper;
    IDirect3D7* lpD3D;
    IDirect3DDevice7* lpD3DDevice;
    IDirectDrawSurface7* lpDDSZBuffer;
    int bHAL;
    char szCardName[512];
    DDDEVICEIDENTIFIER2 DeviceIdentifier;
    int bIdentifierRead;
    int bStretch;
    int nShiftR, nShiftG, nShiftB;
    WORD wRequest, wFound, wTexLimit, wDeviceType;
    int nAntialias;
    int bBlendNormal, bBlendAdd, bBlendSub, bBlendInvert, bBlendBright;
    int nZMode;
    int nTexMinW, nTexMinH, nTexMaxW, nTexMaxH;
    GUID DeviceGuid;
    DDPIXELFORMAT ZFormat;
    int nZDepth;
    DDPIXELFORMAT TexFormat[kMaxTexFormats];
    int nTexFormats;
    int nAlphaTexFormat;
};

DEVICESTATE s_dev;
CEnumDriver* s_pInstance = nullptr;

// Each line is appended on its own (open, write, close), so a crash mid-way keeps what was said.
void Report(const char* pszFormat, ...)
{
    char szLine[2048];
    va_list args;
    va_start(args, pszFormat);
    vsnprintf(szLine, sizeof(szLine), pszFormat, args);
    va_end(args);
    if (GetLoggingFlag()) {
        OutputDebugStringA(szLine);
    }
    FILE* fp = fopen(kReportFile, "ab");
    if (!fp) {
        return;
    }
    fputs(szLine, fp);
    fclose(fp);
}

void ReportLine(const char* pszLine, void*)
{
    Report("%s", pszLine);
}

// The failure report; returns 0 so a failing step can end with `return Fail(...)`.
int Fail(const char* pszContext, const char* pszMessage, HRESULT hr, bool bCodeKnown)
{
    Report("\n\n　<エラー>　%s関数 / %s\n", pszContext, pszMessage);
    if (bCodeKnown) {
        Report("　<詳　細>　%s ( DirectX SDKのヘルプで確認 )\n", GetErrorName(hr));
    }
    Report("\n");
    if (s_dev.lpDD) {
        s_dev.lpDD->FlipToGDISurface();
    }
    return 0;
}

int LowestBit(DWORD dwMask)
{
    if (dwMask == 0) {
        return 0;
    }
    int n = 0;
    while (!(dwMask & 1)) {
        dwMask >>= 1;
        n++;
    }
    return n;
}

double FreeVideoMB()
{
    DDCAPS caps = {};
    caps.dwSize = sizeof(caps);
    if (!s_dev.lpDD || FAILED(s_dev.lpDD->GetCaps(&caps, nullptr))) {
        return 0.0;
    }
    return caps.dwVidMemFree * kBytesToMB;
}

template <typename T> void ReleaseInto(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

// ---- DirectDraw device enumeration: the first device with 3D hardware, for the report -------------
BOOL EnumDDrawCallback(GUID* lpGuid, LPSTR lpDescription, LPSTR, LPVOID, HMONITOR)
{
    IDirectDraw7* lpDD = nullptr;
    if (FAILED(DirectDrawCreateEx(lpGuid, reinterpret_cast<LPVOID*>(&lpDD), IID_IDirectDraw7, nullptr))) {
        return DDENUMRET_OK;
    }
    DDCAPS hal = {};
    hal.dwSize = sizeof(hal);
    DDCAPS hel = {};
    hel.dwSize = sizeof(hel);
    lpDD->GetCaps(&hal, &hel);
    const bool b3D = (hal.dwCaps & DDCAPS_3D) && (hal.ddsCaps.dwCaps & DDSCAPS_TEXTURE);
    if (b3D) {
        s_dev.bHAL = 1;
        if (SUCCEEDED(lpDD->GetDeviceIdentifier(&s_dev.DeviceIdentifier, 0))) {
            s_dev.bIdentifierRead = 1;
        }
        snprintf(s_dev.szCardName, sizeof(s_dev.szCardName), "%s", lpDescription ? lpDescription : "");
    }
    lpDD->Release();
    return b3D ? DDENUMRET_CANCEL : DDENUMRET_OK;
}

// ---- Direct3D device search ---------------------------------------------------------------------
bool DepthIncluded(DWORD dwDepths, int nBpp)
{
    switch (nBpp) {
    case 16: return (dwDepths & DDBD_16) != 0;
    case 24: return (dwDepths & DDBD_24) != 0;
    case 32: return (dwDepths & DDBD_32) != 0;
    default: return false;
    }
}

void ReportDeviceCaps()
{
    if (s_dev.wTexLimit) {
        Report("テクスチャーの制限 = ");
        if (s_dev.wTexLimit & CEnumDriver::TEX_POW2) {
            Report("幅と高さは２の累乗");
        }
        if ((s_dev.wTexLimit & CEnumDriver::TEX_POW2) && (s_dev.wTexLimit & CEnumDriver::TEX_SQUARE)) {
            Report("、");
        }
        if (s_dev.wTexLimit & CEnumDriver::TEX_SQUARE) {
            Report("正方形");
        }
        Report("\n");
    }
    Report("テクスチャーサイズの範囲 = %d,%d ～ %d,%d\n", s_dev.nTexMinW, s_dev.nTexMinH, s_dev.nTexMaxW,
           s_dev.nTexMaxH);
    if (s_dev.bBlendNormal || s_dev.bBlendAdd || s_dev.bBlendSub || s_dev.bBlendInvert || s_dev.bBlendBright) {
        Report("アルファブレンド  = ");
        if (s_dev.bBlendNormal) Report(" 通常");
        if (s_dev.bBlendAdd) Report(" 加算");
        if (s_dev.bBlendSub) Report(" 減算");
        if (s_dev.bBlendInvert) Report(" 反転");
        if (s_dev.bBlendBright) Report(" 明度");
        Report("\n");
    }
}

void TakeBlendCaps(const D3DPRIMCAPS& tri)
{
    const DWORD src = tri.dwSrcBlendCaps;
    const DWORD dst = tri.dwDestBlendCaps;
    s_dev.bBlendNormal = (src & D3DPBLENDCAPS_SRCALPHA) && (dst & D3DPBLENDCAPS_INVSRCALPHA);
    s_dev.bBlendAdd = (src & D3DPBLENDCAPS_SRCALPHA) && (dst & D3DPBLENDCAPS_ONE);
    s_dev.bBlendSub = (src & D3DPBLENDCAPS_ZERO) && (dst & D3DPBLENDCAPS_INVSRCALPHA);
    s_dev.bBlendInvert = (src & D3DPBLENDCAPS_INVDESTCOLOR) && (dst & D3DPBLENDCAPS_ZERO);
    s_dev.bBlendBright = (src & D3DPBLENDCAPS_DESTCOLOR) && (dst & D3DPBLENDCAPS_SRCALPHA);
}

// Context of one enumeration pass: 1 takes only devices with hardware transform and lighting.
struct DEVICEPASS {
    int nPassFlag;
};

HRESULT EnumDeviceCallback(LPSTR, LPSTR, LPD3DDEVICEDESC7 lpDesc, LPVOID lpContext)
{
    const auto* pPass = static_cast<const DEVICEPASS*>(lpContext);
    s_dev.wFound = 0;
    s_dev.wTexLimit = 0;
    const bool bHW = (lpDesc->dwDevCaps & D3DDEVCAPS_HWRASTERIZATION) != 0;
    const bool bTnL = (lpDesc->dwDevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0;
    const WORD wReq = s_dev.wRequest;
    if (!bHW && !(wReq & (CEnumDriver::REQ_SOFTWARE | CEnumDriver::REQ_GUID))) {
        return D3DENUMRET_OK;
    }
    if (bHW && (wReq & CEnumDriver::REQ_SOFTWARE)) {
        return D3DENUMRET_OK;
    }
    if ((wReq & CEnumDriver::REQ_GUID) && memcmp(&lpDesc->deviceGUID, &s_dev.DeviceGuid, sizeof(GUID)) != 0) {
        return D3DENUMRET_OK;
    }
    if ((wReq & CEnumDriver::REQ_DEPTHMATCH) && (!DepthIncluded(lpDesc->dwDeviceRenderBitDepth, s_dev.nBpp) ||
                                                 !DepthIncluded(lpDesc->dwDeviceZBufferBitDepth, s_dev.nBpp))) {
        return D3DENUMRET_OK;
    }
    if (bTnL) {
        s_dev.wFound |= CEnumDriver::FOUND_TNL;
    } else if (pPass->nPassFlag == 1) {
        return D3DENUMRET_OK;
    }
    if (bHW) {
        s_dev.wFound |= CEnumDriver::FOUND_HW;
    }
    const D3DPRIMCAPS& tri = lpDesc->dpcTriCaps;
    if (tri.dwTextureCaps & D3DPTEXTURECAPS_POW2) {
        s_dev.wTexLimit |= CEnumDriver::TEX_POW2;
    }
    if (tri.dwTextureCaps & D3DPTEXTURECAPS_SQUAREONLY) {
        s_dev.wTexLimit |= CEnumDriver::TEX_SQUARE;
    }
    s_dev.nAntialias =
        (tri.dwRasterCaps & (D3DPRASTERCAPS_ANTIALIASSORTDEPENDENT | D3DPRASTERCAPS_ANTIALIASSORTINDEPENDENT)) ? 2
                                                                                                              : 0;
    s_dev.nZMode = (tri.dwRasterCaps & D3DPRASTERCAPS_WBUFFER) ? 2 : 1;
    s_dev.nTexMinW = static_cast<int>(lpDesc->dwMinTextureWidth);
    s_dev.nTexMinH = static_cast<int>(lpDesc->dwMinTextureHeight);
    s_dev.nTexMaxW = static_cast<int>(lpDesc->dwMaxTextureWidth);
    s_dev.nTexMaxH = static_cast<int>(lpDesc->dwMaxTextureHeight);
    TakeBlendCaps(tri);
    ReportDeviceCaps();
    s_dev.DeviceGuid = lpDesc->deviceGUID;
    s_dev.wFound |= CEnumDriver::FOUND;
    return D3DENUMRET_CANCEL;
}

bool EnumDevicesPass(int nPassFlag)
{
    DEVICEPASS pass = {nPassFlag};
    s_dev.wFound = 0;
    s_dev.lpD3D->EnumDevices(EnumDeviceCallback, &pass);
    return (s_dev.wFound & CEnumDriver::FOUND) != 0;
}

// Hardware transform and lighting first, then any device of the request.
bool SearchOnce()
{
    if (EnumDevicesPass(1)) {
        s_dev.wDeviceType = 4;
        return true;
    }
    return EnumDevicesPass(0);
}

bool SearchDevice()
{
    s_dev.wDeviceType = 1;
    for (;;) {
        if (SearchOnce()) {
            return true;
        }
        if (s_dev.wRequest & CEnumDriver::REQ_DEPTHMATCH) {
            s_dev.wRequest &= ~CEnumDriver::REQ_DEPTHMATCH;
            continue;
        }
        if (s_dev.wRequest & CEnumDriver::REQ_SOFTWARE) {
            return false;
        }
        s_dev.wRequest &= ~CEnumDriver::REQ_GUID;
        s_dev.wRequest |= CEnumDriver::REQ_SOFTWARE;
        return EnumDevicesPass(0);
    }
}

HRESULT EnumZCallback(LPDDPIXELFORMAT lpFormat, LPVOID lpContext)
{
    auto* pbFound = static_cast<bool*>(lpContext);
    if (lpFormat->dwFlags != DDPF_ZBUFFER) {
        return D3DENUMRET_OK;
    }
    if ((s_dev.wRequest & CEnumDriver::REQ_DEPTHMATCH) &&
        static_cast<int>(lpFormat->dwZBufferBitDepth) != s_dev.nBpp) {
        return D3DENUMRET_OK;
    }
    s_dev.ZFormat = *lpFormat;
    s_dev.nZDepth = static_cast<int>(lpFormat->dwZBufferBitDepth);
    *pbFound = true;
    return D3DENUMRET_CANCEL;
}

bool FindZFormat()
{
    for (;;) {
        bool bFound = false;
        s_dev.lpD3D->EnumZBufferFormats(s_dev.DeviceGuid, EnumZCallback, &bFound);
        if (bFound) {
            Report("Ｚバッファ = %dビット", s_dev.nZDepth);
            Report(s_dev.nZMode == 2 ? " / ＷバッファOK\n" : "\n");
            return true;
        }
        if (!(s_dev.wRequest & CEnumDriver::REQ_DEPTHMATCH)) {
            return false;
        }
        s_dev.wRequest &= ~CEnumDriver::REQ_DEPTHMATCH;
    }
}

HRESULT EnumTexCallback(LPDDPIXELFORMAT lpFormat, LPVOID)
{
    const DWORD dwRejected = DDPF_FOURCC | DDPF_PALETTEINDEXED1 | DDPF_PALETTEINDEXED2 | DDPF_PALETTEINDEXED4 |
                             DDPF_PALETTEINDEXED8 | DDPF_LUMINANCE | DDPF_BUMPDUDV | DDPF_BUMPLUMINANCE;
    if (s_dev.nTexFormats >= kMaxTexFormats) {
        return D3DENUMRET_CANCEL;
    }
    if ((lpFormat->dwFlags & dwRejected) || lpFormat->dwRGBBitCount < 16) {
        return D3DENUMRET_OK;
    }
    s_dev.TexFormat[s_dev.nTexFormats++] = *lpFormat;
    return D3DENUMRET_OK;
}

// Three passes, the first qualifying entry winning: an alpha mask other than 4 bits at the screen
// depth; any alpha at the screen depth; any alpha at all.
int ChooseAlphaFormat()
{
    for (int nPass = 0; nPass < 3; nPass++) {
        for (int i = 0; i < s_dev.nTexFormats; i++) {
            const DDPIXELFORMAT& pf = s_dev.TexFormat[i];
            if (!(pf.dwFlags & DDPF_ALPHAPIXELS)) {
                continue;
            }
            if (nPass == 0 && pf.dwRGBAlphaBitMask == 0xF000) {
                continue;
            }
            if (nPass <= 1 && static_cast<int>(pf.dwRGBBitCount) != s_dev.nBpp) {
                continue;
            }
            return i;
        }
    }
    return -1;
}

void SetFixedDeviceStates(IDirect3DDevice7* lpDevice)
{
    lpDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    lpDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    lpDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    lpDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
    lpDevice->SetRenderState(D3DRENDERSTATE_DITHERENABLE, TRUE);
    lpDevice->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
    lpDevice->SetRenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD);
    lpDevice->SetRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID);
    lpDevice->SetRenderState(D3DRENDERSTATE_ANTIALIAS, FALSE);
    lpDevice->SetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    lpDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    lpDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
    lpDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
    lpDevice->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, FALSE);
    lpDevice->SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF);
}

void ReportDeviceIdentifier()
{
    if (!s_dev.bIdentifierRead) {
        return;
    }
    const DDDEVICEIDENTIFIER2& id = s_dev.DeviceIdentifier;
    char sz[256];
    Report("……　Device information　……\n");
    snprintf(sz, sizeof(sz), "Vendor ID : %08X", static_cast<unsigned>(id.dwVendorId));
    Report("%s\n", sz);
    snprintf(sz, sizeof(sz), "Device ID : %08X", static_cast<unsigned>(id.dwDeviceId));
    Report("%s\n", sz);
    snprintf(sz, sizeof(sz), "SubSys ID : %08X", static_cast<unsigned>(id.dwSubSysId));
    Report("%s\n", sz);
    snprintf(sz, sizeof(sz), "Revision  : %08X", static_cast<unsigned>(id.dwRevision));
    Report("%s\n", sz);
    const DWORD dwHigh = id.liDriverVersion.HighPart;
    const DWORD dwLow = id.liDriverVersion.LowPart;
    snprintf(sz, sizeof(sz), "%d.%02d.%02d.%04d", static_cast<int>(dwHigh >> 16), static_cast<int>(dwHigh & 0xFFFF),
             static_cast<int>(dwLow >> 16), static_cast<int>(dwLow & 0xFFFF));
    Report("Driver version : %s\n", sz);
    Report("Description : %s\n", id.szDescription);
    Report("Driver file name : %s\n", id.szDriver);
    const GUID& g = id.guidDeviceIdentifier;
    snprintf(sz, sizeof(sz), "%08X-%04X-%04X-%02X%02X%02X%02X%02X%02X%02X%02X", static_cast<unsigned>(g.Data1),
             g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
             g.Data4[7]);
    Report("GUID : %s\n", sz);
    snprintf(sz, sizeof(sz), "WHQL : %08x", static_cast<unsigned>(id.dwWHQLLevel));
    Report("%s\n", sz);
    Report("………………………………………\n");
}

IDirectDrawSurface7* CreatePlainSurface(DWORD dwCaps, DWORD dwCaps2, int w, int h)
{
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS;
    ddsd.ddsCaps.dwCaps = dwCaps;
    ddsd.ddsCaps.dwCaps2 = dwCaps2;
    if (w > 0) {
        ddsd.dwFlags |= DDSD_WIDTH | DDSD_HEIGHT;
        ddsd.dwWidth = static_cast<DWORD>(w);
        ddsd.dwHeight = static_cast<DWORD>(h);
    }
    IDirectDrawSurface7* lpSurface = nullptr;
    if (FAILED(s_dev.lpDD->CreateSurface(&ddsd, &lpSurface, nullptr))) {
        return nullptr;
    }
    return lpSurface;
}

bool ReportNotReady(bool bReady, const char* pszMessage)
{
    if (!bReady) {
        OutputDebugStringA(pszMessage);
    }
    return bReady;
}

template <typename T> T* WithReference(T* p)
{
    if (p) {
        p->AddRef();
    }
    return p;
}

} // namespace

CEnumDriver::CEnumDriver()
{
    s_dev = DEVICESTATE{};
    s_dev.nAlphaTexFormat = -1;
}

CEnumDriver::~CEnumDriver()
{
    ReleaseInto(s_dev.lpDDSZBuffer);
    ReleaseInto(s_dev.lpD3DDevice);
    ReleaseInto(s_dev.lpD3D);
    ReleaseInto(s_dev.lpDDClipper);
    ReleaseInto(s_dev.lpDDSBack);
    ReleaseInto(s_dev.lpDDSPrimary);
    ReleaseInto(s_dev.lpDD);
}

CEnumDriver* CEnumDriver::GetInstance()
{
    if (!s_pInstance) {
        s_pInstance = new CEnumDriver();
    }
    return s_pInstance;
}

void CEnumDriver::DeleteInstance()
{
    delete s_pInstance;
    s_pInstance = nullptr;
}

int CEnumDriver::CreateDirectDraw(HWND hWnd, int nWidth, int nHeight, int nBpp, int bFullScreen)
{
    s_dev.nWidth = nWidth;
    s_dev.nHeight = nHeight;
    s_dev.nBpp = nBpp;
    remove(kReportFile);
    Report("画面 = %d × %d\n", nWidth, nHeight);

    DirectDrawEnumerateExA(EnumDDrawCallback, nullptr,
                           DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES |
                               DDENUM_NONDISPLAYDEVICES);

    HRESULT hr = DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&s_dev.lpDD), IID_IDirectDraw7, nullptr);
    if (FAILED(hr)) {
        return Fail("Screen", "DirectDrawが使用できません", hr, true);
    }

    if (s_dev.lpDD->TestCooperativeLevel() != DDERR_EXCLUSIVEMODEALREADYSET) {
        DWORD dwLevel = DDSCL_NORMAL;
        if (bFullScreen) {
            dwLevel = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE;
            Report("フルスクリーン表示 / ");
        } else {
            Report("ウィンドウ表示 / ");
        }
        hr = s_dev.lpDD->SetCooperativeLevel(hWnd, dwLevel);
        if (FAILED(hr)) {
            return Fail("Screen", "フルスクリーン化できません", hr, true);
        }
        if (bFullScreen) {
            hr = s_dev.lpDD->SetDisplayMode(nWidth, nHeight, nBpp, 0, 0);
            if (FAILED(hr)) {
                return Fail("Screen", "解像度が変更できません", hr, true);
            }
        }
    }
    Report("%dビットカラー\n", nBpp);
    Report("使用可能VRAM = %2.3f MB\n\n", FreeVideoMB());

    Report("表画面の生成 = ");
    s_dev.lpDDSPrimary = CreatePlainSurface(DDSCAPS_PRIMARYSURFACE, 0, 0, 0);
    if (!s_dev.lpDDSPrimary) {
        return Fail("Screen", "表画面が生成できません", 0, false);
    }
    Report("VRAM\n");

    Report("裏画面の生成 = ");
    s_dev.lpDDSBack = CreatePlainSurface(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, DDSCAPS2_HINTANTIALIASING, nWidth,
                                         nHeight);
    if (!s_dev.lpDDSBack) {
        return Fail("Screen", "裏画面が生成できません", 0, false);
    }
    Report("VRAM\n");
    Report("画面生成後のVRAM空き = %2.3f MB\n\n", FreeVideoMB());

    if (!bFullScreen) {
        Report("クリップの生成 = ");
        hr = s_dev.lpDD->CreateClipper(0, &s_dev.lpDDClipper, nullptr);
        if (FAILED(hr)) {
            return Fail("Screen", "クリップが生成できません", hr, true);
        }
        Report("OK / ");
        hr = s_dev.lpDDClipper->SetHWnd(0, hWnd);
        if (FAILED(hr)) {
            return Fail("Screen", "クリップにウィンドウハンドルを設定できません", hr, true);
        }
        hr = s_dev.lpDDSPrimary->SetClipper(s_dev.lpDDClipper);
        if (FAILED(hr)) {
            return Fail("Screen", "表画面をクリップできません", hr, true);
        }
        Report("表画面\n\n");
    }

    DDCAPS hal = {};
    hal.dwSize = sizeof(hal);
    DDCAPS hel = {};
    hel.dwSize = sizeof(hel);
    s_dev.lpDD->GetCaps(&hal, &hel);
    s_dev.bStretch = ((s_dev.bHAL ? hal.dwCaps : hel.dwCaps) & DDCAPS_BLTSTRETCH) ? 1 : 0;
    if (s_dev.bStretch) {
        Report("ハードウェアサポート = 拡大縮小\n");
    }

    DDPIXELFORMAT pf = {};
    pf.dwSize = sizeof(pf);
    hr = s_dev.lpDDSBack->GetPixelFormat(&pf);
    if (FAILED(hr)) {
        return Fail("Screen", "ピクセル情報が取得できません", hr, true);
    }
    s_dev.nShiftR = LowestBit(pf.dwRBitMask);
    s_dev.nShiftG = LowestBit(pf.dwGBitMask);
    s_dev.nShiftB = LowestBit(pf.dwBBitMask);
    Report("ピクセル情報(R:G:B) = %x:%x:%x / %04x:%04x:%04x\n\n", static_cast<unsigned>(pf.dwRBitMask >> s_dev.nShiftR),
           static_cast<unsigned>(pf.dwGBitMask >> s_dev.nShiftG), static_cast<unsigned>(pf.dwBBitMask >> s_dev.nShiftB),
           static_cast<unsigned>(pf.dwRBitMask), static_cast<unsigned>(pf.dwGBitMask),
           static_cast<unsigned>(pf.dwBBitMask));

    if (!CreateDirect3D()) {
        return 0;
    }

    Report("ビデオカード = %s\n", s_dev.szCardName);
    Report("DirectDraw ");
    Report(s_dev.bHAL ? "HAL\n" : "HEL\n");
    Report("Direct3D ");
    if (s_dev.wFound & FOUND_HW) {
        if (s_dev.wFound & FOUND_TNL) {
            Report("TnL ");
        }
        Report("HAL\n");
    } else if (s_dev.wRequest & REQ_GUID) {
        Report("Reference Rasterizer\n");
    } else {
        Report("HEL\n");
    }
    Report("\n……　初期化完了　……\n\n");

    WriteCpuReport(ReportLine, nullptr);
    ReportDeviceIdentifier();
    m_bDDReady = 1;
    return 1;
}

int CEnumDriver::CreateDirect3D()
{
    HRESULT hr = s_dev.lpDD->QueryInterface(IID_IDirect3D7, reinterpret_cast<LPVOID*>(&s_dev.lpD3D));
    if (FAILED(hr)) {
        return Fail("Init", "Direct3D IMが取得できません", hr, true);
    }
    if (!SearchDevice()) {
        return Fail("Init", "Direct3D IMが見つかりません", 0, false);
    }
    if (!FindZFormat()) {
        return Fail("Init", "Z Bufferが無効です", 0, false);
    }

    const DWORD dwZMemory = (s_dev.wFound & FOUND_HW) ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    ddsd.dwWidth = static_cast<DWORD>(s_dev.nWidth);
    ddsd.dwHeight = static_cast<DWORD>(s_dev.nHeight);
    ddsd.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | dwZMemory;
    ddsd.ddpfPixelFormat = s_dev.ZFormat;
    hr = s_dev.lpDD->CreateSurface(&ddsd, &s_dev.lpDDSZBuffer, nullptr);
    if (FAILED(hr)) {
        return Fail("Init", "Z Bufferが生成できません", hr, true);
    }
    hr = s_dev.lpDDSBack->AddAttachedSurface(s_dev.lpDDSZBuffer);
    if (FAILED(hr)) {
        return Fail("Init", "Z Bufferが接続できません", hr, true);
    }

    hr = s_dev.lpD3D->CreateDevice(s_dev.DeviceGuid, s_dev.lpDDSBack, &s_dev.lpD3DDevice);
    if (FAILED(hr)) {
        return Fail("Init", "Direct3D IMが使用できません", hr, true);
    }

    s_dev.nTexFormats = 0;
    s_dev.lpD3DDevice->EnumTextureFormats(EnumTexCallback, nullptr);
    s_dev.nAlphaTexFormat = ChooseAlphaFormat();
    if (s_dev.nAlphaTexFormat >= 0) {
        const DDPIXELFORMAT& pf = s_dev.TexFormat[s_dev.nAlphaTexFormat];
        Report("アルファ付きテクスチャー = %d ビット / %04x:%04x:%04x:%04x\n", static_cast<int>(pf.dwRGBBitCount),
               static_cast<unsigned>(pf.dwRGBAlphaBitMask), static_cast<unsigned>(pf.dwRBitMask),
               static_cast<unsigned>(pf.dwGBitMask), static_cast<unsigned>(pf.dwBBitMask));
    } else {
        Report("アルファ付きテクスチャー = 使用不可\n");
    }

    SetFixedDeviceStates(s_dev.lpD3DDevice);

    Report("3D初期化後のVRAM空き = %2.3f MB\n\n", FreeVideoMB());
    LPDIRECTXFILE lpFile = nullptr;
    if (SUCCEEDED(DirectXFileCreate(&lpFile)) && lpFile) {
        lpFile->Release();
    }
    m_bD3DReady = 1;
    return 1;
}

IDirectDraw7* CEnumDriver::GetDirectDraw()
{
    return ReportNotReady(m_bDDReady, "DirectDraw の初期化がされていません。\n") ? WithReference(s_dev.lpDD) : nullptr;
}

IDirectDrawSurface7* CEnumDriver::GetPrimary()
{
    return ReportNotReady(m_bDDReady, "DirectDraw の初期化がされていません。\n") ? WithReference(s_dev.lpDDSPrimary)
                                                                                  : nullptr;
}

IDirectDrawSurface7* CEnumDriver::GetBackBuffer()
{
    return ReportNotReady(m_bDDReady, "DirectDraw の初期化がされていません。\n") ? WithReference(s_dev.lpDDSBack)
                                                                                  : nullptr;
}

IDirect3D7* CEnumDriver::GetDirect3D()
{
    return ReportNotReady(m_bD3DReady, "Direct3D の初期化がされていません。\n") ? WithReference(s_dev.lpD3D) : nullptr;
}

IDirect3DDevice7* CEnumDriver::GetDevice()
{
    return ReportNotReady(m_bD3DReady, "Direct3D の初期化がされていません。\n") ? WithReference(s_dev.lpD3DDevice)
                                                                                : nullptr;
}

IDirectDrawSurface7* CEnumDriver::GetZBuffer()
{
    return ReportNotReady(m_bD3DReady, "Direct3D の初期化がされていません。\n") ? WithReference(s_dev.lpDDSZBuffer)
                                                                                : nullptr;
}

// Null when no format with alpha was found: callers then cannot make alpha textures.
DDPIXELFORMAT* CEnumDriver::GetAlphaTextureFormat()
{
    if (!ReportNotReady(m_bD3DReady, "Direct3D の初期化がされていません。\n") || s_dev.nAlphaTexFormat < 0) {
        return nullptr;
    }
    return &s_dev.TexFormat[s_dev.nAlphaTexFormat];
}

int InitDirectDraw(HINSTANCE, HWND hWnd, int bFullScreen)
{
    CEnumDriver* pDriver = CEnumDriver::GetInstance();
    if (!pDriver->CreateDirectDraw(hWnd, 640, 480, 16, bFullScreen)) {
        return 0;
    }
    g_lpDD = pDriver->GetDirectDraw();
    g_lpDDSPrimary = pDriver->GetPrimary();
    if (bFullScreen) {
        return 1;
    }
    if (FAILED(g_lpDD->CreateClipper(0, &g_lpDDClipper, nullptr))) {
        g_pszError = "Fail to CreateClipper";
        return 0;
    }
    g_lpDDClipper->SetHWnd(0, hWnd);
    g_lpDDSPrimary->SetClipper(g_lpDDClipper);
    return 1;
}

int InitDirect3D(HWND)
{
    CEnumDriver* pDriver = CEnumDriver::GetInstance();
    g_lpD3D = pDriver->GetDirect3D();
    g_lpDDSBack = pDriver->GetBackBuffer();
    g_lpD3DDevice = pDriver->GetDevice();
    if (!g_lpD3DDevice) {
        return 0;
    }
    IDirect3DDevice7* lpDevice = g_lpD3DDevice;

    D3DMATERIAL7 mtrl = {};
    mtrl.diffuse.r = mtrl.diffuse.g = mtrl.diffuse.b = mtrl.diffuse.a = 1.0f;
    mtrl.ambient.r = mtrl.ambient.g = mtrl.ambient.b = mtrl.ambient.a = 1.0f;
    lpDevice->SetMaterial(&mtrl);

    D3DVIEWPORT7 vp = {0, 0, 640, 480, 0.0f, 1.0f};
    if (FAILED(lpDevice->SetViewport(&vp))) {
        g_pszError = "Fail to SetViewport";
        return 0;
    }

    D3DXMATRIX mat;
    D3DXMatrixIdentity(&mat);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mat);
    D3DXMatrixOrtho(&mat, 640.0f, 480.0f, 1.0f, 1000.0f);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &mat);

    D3DLIGHT7 light = {};
    light.dltType = D3DLIGHT_DIRECTIONAL;
    light.dcvDiffuse.r = light.dcvDiffuse.g = light.dcvDiffuse.b = 1.0f;
    light.dcvSpecular.r = light.dcvSpecular.g = light.dcvSpecular.b = 1.0f;
    light.dcvAmbient.r = light.dcvAmbient.g = light.dcvAmbient.b = 1.0f;
    light.dvDirection.x = 0.0f;
    light.dvDirection.y = 0.0f;
    light.dvDirection.z = 1.0f;
    lpDevice->SetLight(0, &light);
    lpDevice->LightEnable(0, TRUE);

    lpDevice->SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF);
    if (FAILED(lpDevice->SetRenderState(D3DRENDERSTATE_DITHERENABLE, TRUE)) ||
        FAILED(lpDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW)) ||
        FAILED(lpDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE)) ||
        FAILED(lpDevice->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE))) {
        return 0;
    }

    // The screen's pixel (x, y) is world (x, -y): eye (320, -240, -240) looking at (320, -240, 0).
    D3DXMatrixTranslation(&mat, -320.0f, 240.0f, 240.0f);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, &mat);

    CRenderState::CreatePresets(lpDevice);
    return 1;
}

const char* GetErrorName(HRESULT hr)
{
    const char* pszName = DXGetErrorName(hr);
    return pszName ? pszName : "不明";
}
