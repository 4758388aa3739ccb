#include "player/Beacon.h"

#include "engine/AppTimer.h"
#include "engine/BmpIndex.h"
#include "engine/Sound.h"

namespace {

const char kSystemIndex[] = "SystemIndex.txt";
const char kBossIndex[] = "BossIndex.txt";
const char kWarningSound[] = ".\\GameData\\System\\Warning.wav";
const char kChatSound[] = ".\\GameData\\System\\Chat.wav";
// Six empty text steps: the window stays for three seconds.
const char kWarningText[] = "\\s\\s\\s\\s\\s";

const float kBandX = 180.0f;
const float kBandY[2] = {156.0f, 324.0f};
const float kBandSpeed[2] = {-3.0f, 3.0f};

// The band piece repeated side by side until the strip spans the screen; null on failure.
IDirectDrawSurface7* MakeBandStrip(IDirect3DDevice7* lpDevice)
{
    IDirectDrawSurface7* lpPiece = LoadIndexSurface(lpDevice, IMGKEY{kBossIndex, "BossWarning2.bmp"}, MEM_SYSTEM);
    int w = 0, h = 0;
    GetSurfaceSize(lpPiece, &w, &h);
    // A piece without width would never fill the strip.
    if (!lpPiece || w <= 0 || h <= 0) {
        SafeRelease(lpPiece);
        return nullptr;
    }
    const int nCopies = (SCREEN_WIDTH + w - 1) / w;
    IDirectDrawSurface7* lpStrip = CreateDevicePlaneSurface(lpDevice, nCopies * w, h, MEM_SYSTEM);
    for (int i = 0; lpStrip && i < nCopies; i++) {
        RECT rcDest = {i * w, 0, (i + 1) * w, h};
        if (!BltOk(lpStrip, &rcDest, lpPiece, nullptr, DDBLT_WAIT, nullptr)) {
            SafeRelease(lpStrip);
        }
    }
    lpPiece->Release();
    return lpStrip;
}

} // namespace

int CBeacon::Load(IDirect3DDevice7* lpDevice, int bBossWarning)
{
    m_bBossWarning = bBossWarning;
    if (bBossWarning) {
        return LoadWarning(lpDevice);
    }
    if (!m_Pop.LoadImages(lpDevice, IMGKEY{kSystemIndex, "DangerBeacon1.bmp"}, IMGKEY{kSystemIndex, "DangerBeacon2.bmp"})) {
        return 0;
    }
    int w = 0;
    CBmpIndex* pIndex = CBmpIndexSet::GetInstance().Find(kSystemIndex);
    if (pIndex) {
        pIndex->GetRegionSize("DangerBeacon1.bmp", &w, &m_nHeight);
    }
    return 1;
}

int CBeacon::LoadWarning(IDirect3DDevice7* lpDevice)
{
    IDirectDrawSurface7* lpStrip = MakeBandStrip(lpDevice);
    if (!lpStrip) {
        return 0;
    }
    int bOk = 1;
    for (int i = 0; i < 2; i++) {
        CMIBoss& band = m_Band[i];
        bOk &= band.CreateFromSurface(lpDevice, lpStrip, nullptr);
        band.m_fX = kBandX;
        band.m_fY = kBandY[i];
        band.m_fScrollSpeed = kBandSpeed[i];
        band.Deselect();
        band.Hide();
    }
    lpStrip->Release();
    MSGINFO msg;
    msg.strText = kWarningText;
    bOk &= m_Window.Create(lpDevice, IMGKEY{kBossIndex, "BossWarning1.bmp"}, msg);
    m_Window.m_fTargetX = 319.0f;
    m_Window.m_fTargetY = 240.0f;
    m_Window.m_fTargetZ = 0.0f;
    m_nHeight = m_Window.GetHeight();
    return bOk;
}

void CBeacon::Start(int bChat)
{
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (m_bBossWarning) {
        m_nWarningCount = 0;
        m_dwWarningStart = dwNow;
        PlaySoundFile(kWarningSound);
        for (CMIBoss& band : m_Band) {
            band.StartPopIn();
        }
        m_Window.Open();
    } else {
        m_Pop.Start();
    }
    if (bChat) {
        PlaySoundFile(kChatSound);
    }
    m_dwShowStart = dwNow;
    m_bPopOutStarted = 0;
    CScrollableSet::Register(this);
}

void CBeacon::Stop()
{
    m_Pop.Stop();
    m_Pop.Reset();
    for (CMIBoss& band : m_Band) {
        band.Hide();
    }
    m_Window.Close();
    CScrollableSet::Unregister(this);
    // Out of the registry the view no longer reaches it: the offset of a stage that has ended would
    // otherwise place the first frame of its next start, where a replay could differ.
    m_fOffsetY = 0.0f;
}

int CBeacon::IsFinished()
{
    if (m_bBossWarning) {
        return m_Band[0].IsHidden() && m_Band[1].IsHidden() && m_Window.IsClosed();
    }
    return m_Pop.IsFinished();
}

void CBeacon::UpdateWarning()
{
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (m_nWarningCount < WARNING_REPEATS && dwNow - m_dwWarningStart > WARNING_PERIOD_MS) {
        PlaySoundFile(kWarningSound);
        m_nWarningCount++;
        m_dwWarningStart = dwNow;
    }
    for (CMIBoss& band : m_Band) {
        band.Update();
    }
    m_Window.Update();
    if (m_Window.GetState() != CMsgWin::STATE_CLOSING) {
        return;
    }
    for (CMIBoss& band : m_Band) {
        if (!band.IsHidden() && !(band.GetFlags() & CMenuItem::FLAG_CLOSING)) {
            band.StartPopOut();
        }
    }
}

void CBeacon::UpdateDanger()
{
    if (!m_bPopOutStarted && CAppTimer::GetElapsed(0) - m_dwShowStart > SHOW_MS) {
        m_Pop.StartPopOut();
        m_bPopOutStarted = 1;
    }
    m_Pop.Update();
}

void CBeacon::Update()
{
    if (IsFinished()) {
        return;
    }
    if (m_bBossWarning) {
        UpdateWarning();
    } else {
        UpdateDanger();
    }
}

int CBeacon::Draw(IDirectDrawSurface7* lpSurface)
{
    if (IsFinished()) {
        return 1;
    }
    if (m_bBossWarning) {
        const int bBands = m_Band[0].Draw(lpSurface) && m_Band[1].Draw(lpSurface);
        return m_Window.Draw(lpSurface) && bBands;
    }
    m_Pop.m_fX = (float)GetDrawX();
    m_Pop.m_fY = (float)GetDrawY();
    return m_Pop.Draw(lpSurface);
}
