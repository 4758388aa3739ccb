#include "support/DeviceFixture.h"

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "engine/RenderState.h"
#include "support/TempFolder.h"

namespace {

LRESULT FixtureWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

} // namespace

void CDeviceFixture::SetUp()
{
    char szOld[4096];
    ASSERT_NE(getcwd(szOld, sizeof(szOld)), nullptr);
    m_strOldDir = szOld;
    std::string strTemplate = TempTemplate("zorva-device");
    ASSERT_NE(mkdtemp(strTemplate.data()), nullptr);
    m_strTempDir = strTemplate;
    ASSERT_EQ(chdir(m_strTempDir.c_str()), 0);

    m_Host.SetQuiet(true);
    SetHost(&m_Host);
    ResetWindowSystem();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FixtureWndProc;
    wc.lpszClassName = "ZorvaTest";
    RegisterClassA(&wc);
    m_hWnd = CreateWindowExA(0, "ZorvaTest", "test", WS_CAPTION, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(m_hWnd, nullptr);
    ASSERT_EQ(InitDirectDraw(nullptr, m_hWnd, m_bFullScreen ? 1 : 0), 1);
    ASSERT_EQ(InitDirect3D(m_hWnd), 1);
}

void CDeviceFixture::TearDown()
{
    CRenderState::DeletePresets(g_lpD3DDevice);
    ReleaseDeviceObjects();
    CEnumDriver::DeleteInstance();
    if (m_hWnd) {
        DestroyWindow(m_hWnd);
    }
    ResetWindowSystem();
    SetHost(nullptr);
    if (!m_strOldDir.empty()) {
        chdir(m_strOldDir.c_str());
    }
    if (!m_strTempDir.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(m_strTempDir, ec);
    }
}

WORD CDeviceFixture::BackPixel(int x, int y)
{
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    if (FAILED(g_lpDDSBack->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr))) {
        ADD_FAILURE() << "back buffer does not lock";
        return 0;
    }
    const auto* pRow = static_cast<const BYTE*>(ddsd.lpSurface) + y * ddsd.lPitch;
    const WORD w = reinterpret_cast<const WORD*>(pRow)[x];
    g_lpDDSBack->Unlock(nullptr);
    return w;
}

void CDeviceFixture::FillBack(WORD wColor)
{
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = wColor;
    ASSERT_TRUE(SUCCEEDED(g_lpDDSBack->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx)));
}

std::string CDeviceFixture::ReadFile(const char* pszName)
{
    std::ifstream in(pszName, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}
