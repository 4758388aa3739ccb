#include "player/GameOver.h"

#include <cmath>

#include "engine/AppTimer.h"
#include "engine/Sound.h"
#include "player/HudDraw.h"
#include "platform/win/Win.h"

namespace {

const char kIndex[] = "SystemIndex.txt";
const char kShutterClose[] = ".\\GameData\\System\\SeShutterClose.wav";
const char kMusic[] = ".\\GameData\\System\\BgmGameOver.wav";
const char kVoice[] = ".\\GameData\\System\\CvGameOver.wav";
const char* const kShutterFile[2] = {".\\GameData\\System\\GameOver1.bmp", ".\\GameData\\System\\GameOver2.bmp"};

const float kShutterSpeed = 25.0f;
const float kShutterStep = -0.9765625f;
const float kShutterClosed = 320.0f;
const float kGravity = 1.0f;
const float kBounce = -0.5f;
const float kFadeStep = 0.03f;

struct ITEMDEF {
    const char* pszNormal;
    const char* pszSelected;
    float x, y;
};

// Items 3 to 6 are made as the pause menu makes them, though this screen never shows them.
const ITEMDEF kItems[GAMEOVER_ITEM_NUM] = {
    {nullptr, nullptr, 0.0f, 0.0f},
    {"ChallengeAgain1.bmp", "ChallengeAgain2.bmp", 319.0f, 268.0f},
    {"ReturnToTitle1.bmp", "ReturnToTitle2.bmp", 319.0f, 316.0f},
    {"Really.bmp", nullptr, 320.0f, 213.0f},
    {"Really.bmp", nullptr, 262.0f, 264.0f},
    {"Really.bmp", nullptr, 376.0f, 263.0f},
    {nullptr, nullptr, 318.0f, 260.0f},
};
const RECT kMarkRect = {0, 0, 17, 17};

const char* const kSlideRegion[GAMEOVER_SLIDE_NUM] = {"GameOver.bmp", "ChallengeAgain1.bmp", "ReturnToTitle1.bmp"};

struct SLIDEDEF {
    float x, y;
    float fSpeed;
    float fTargetX;
    float fGroundY;
};

const SLIDEDEF kSlides[GAMEOVER_SLIDE_NUM] = {
    {640.0f, -70.0f, -15.0f, 30.0f, 30.0f},
    {-200.0f, 262.0f, 15.0f, 417.0f, 362.0f},
    {-200.0f, 310.0f, 15.0f, 417.0f, 410.0f},
};

} // namespace

// ---- SLIDING_MOVEINFO -----------------------------------------------------------------------------

SLIDING_MOVEINFO::SLIDING_MOVEINFO(const D3DVECTOR& vStart, float fSpeed, float fTargetX, float fGroundY)
    : m_vStart(vStart), m_fStartSpeed(fSpeed), m_fTargetX(fTargetX), m_fGroundY(fGroundY)
{
    Reset();
}

void SLIDING_MOVEINFO::Reset()
{
    m_vPos = m_vStart;
    m_Horizontal.Set(m_fStartSpeed, 0.0f, 0.0f, 0.0f, 0);
    m_Vertical.Set(0.0f, kGravity, 0.0f, 0.0f, 0);
    m_nPhase = PHASE_FALL;
}

void SLIDING_MOVEINFO::StartBraking()
{
    const float v = m_Horizontal.fValue;
    const float d = std::fabs(m_fTargetX - m_vPos.x);
    // Already there (or no speed to brake): stop on the spot rather than divide by nothing.
    if (d < 0.5f || v == 0.0f) {
        m_vPos.x = m_fTargetX;
        m_Horizontal.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
        m_Horizontal.nReached = 1;
        return;
    }
    const float fBrake = v * v / (2.0f * d);
    if (v > 0.0f) {
        m_Horizontal.Set(v, -fBrake, 0.0f, v, 1);
    } else {
        m_Horizontal.Set(v, fBrake, v, 0.0f, 1);
    }
}

void SLIDING_MOVEINFO::Update()
{
    m_vPos.x += m_Horizontal.fValue;
    m_vPos.y += m_Vertical.fValue;
    m_Horizontal.Step();
    m_Vertical.Step();
    const bool bRight = m_fStartSpeed > 0.0f;
    if (bRight ? m_vPos.x > m_fTargetX : m_vPos.x < m_fTargetX) {
        m_vPos.x = m_fTargetX;
    }
    if (m_nPhase == PHASE_FALL && m_vPos.y >= m_fGroundY) {
        m_vPos.y = m_fGroundY;
        m_Vertical.fValue *= kBounce;
        m_nPhase = PHASE_BOUNCE;
    } else if (m_nPhase == PHASE_BOUNCE && m_vPos.y >= m_fGroundY) {
        m_vPos.y = m_fGroundY;
        m_Vertical.Set(0.0f, 0.0f, 0.0f, 0.0f, 0);
        StartBraking();
        m_nPhase = PHASE_SLIDE;
    }
    if (m_Horizontal.nReached) {
        m_vPos.x = m_fTargetX;
    }
}

// ---- CGameOver ------------------------------------------------------------------------------------

CGameOver::CGameOver()
{
    for (int i = 0; i < GAMEOVER_SLIDE_NUM; i++) {
        const SLIDEDEF& d = kSlides[i];
        m_Slide[i] = SLIDING_MOVEINFO(D3DVECTOR{{d.x}, {d.y}, {0.0f}}, d.fSpeed, d.fTargetX, d.fGroundY);
    }
    m_ShutterSpeed.Set(kShutterSpeed, kShutterStep, 0.0f, kShutterSpeed, 1);
}

int CGameOver::Load(IDirect3DDevice7* lpDevice)
{
    for (int i = 0; i < GAMEOVER_ITEM_NUM; i++) {
        const ITEMDEF& d = kItems[i];
        m_Item[i].m_fX = d.x;
        m_Item[i].m_fY = d.y;
        const IMGKEY keySelected = {d.pszSelected ? kIndex : nullptr, d.pszSelected};
        if (d.pszNormal && !m_Item[i].LoadImages(lpDevice, IMGKEY{kIndex, d.pszNormal}, keySelected)) {
            return 0;
        }
    }
    IDirectDrawSurface7* lpReally = LoadIndexSurface(lpDevice, IMGKEY{kIndex, "Really.bmp"}, MEM_SYSTEM);
    const int bMark = lpReally && m_Item[GAMEOVER_ITEM_NUM - 1].CreateFromSurface(lpDevice, lpReally, &kMarkRect);
    SafeRelease(lpReally);
    if (!bMark) {
        return 0;
    }
    for (int i = 0; i < GAMEOVER_SLIDE_NUM; i++) {
        if (!m_SlidePicture[i].LoadFromIndex(lpDevice, IMGKEY{kIndex, kSlideRegion[i]}, nullptr, MEM_SYSTEM)) {
            return 0;
        }
        m_SlidePicture[i].SetColorKeyGreen();
    }
    for (int i = 0; i < 2; i++) {
        if (!m_Shutter[i].LoadFromFile(lpDevice, kShutterFile[i], nullptr, MEM_SYSTEM)) {
            return 0;
        }
        m_Shutter[i].SetColorKeyGreen();
    }
    m_Fade.Init();
    return 1;
}

void CGameOver::LatchMenuKeys()
{
    m_Up.Latch(IsMenuKeyDown(VK_UP));
    m_Down.Latch(IsMenuKeyDown(VK_DOWN));
    m_Z.Latch(IsMenuKeyDown('Z'));
}

void CGameOver::Start(int bInteractive)
{
    LatchMenuKeys();
    m_Left.Latch(IsMenuKeyDown(VK_LEFT));
    m_Right.Latch(IsMenuKeyDown(VK_RIGHT));
    for (CMenuItem& item : m_Item) {
        item.Hide();
        item.Deselect();
    }
    for (SLIDING_MOVEINFO& slide : m_Slide) {
        slide.Reset();
    }
    m_nResult = RESULT_NONE;
    m_nState = STATE_SHUTTERS;
    m_fShutter = 0.0f;
    m_ShutterSpeed.Set(kShutterSpeed, kShutterStep, 0.0f, kShutterSpeed, 1);
    m_bWaiting = 0;
    m_Fade.SetKind(CFadePlane::KIND_OUT_BLACK);
    m_Fade.SetSpeed(kFadeStep);
    m_Fade.Stop();
    m_bMenuActive = 0;
    m_bInteractive = bInteractive;
    m_nSelect = ITEM_CONTINUE;
    m_bHidden = 0;
}

int CGameOver::IsWaitOver()
{
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    if (!m_bWaiting) {
        m_bWaiting = 1;
        m_dwWaitStart = dwNow;
        return 0;
    }
    if (dwNow - m_dwWaitStart <= WAIT_MS) {
        return 0;
    }
    m_bWaiting = 0;
    return 1;
}

void CGameOver::UpdateShutters()
{
    if (m_fShutter < kShutterClosed) {
        m_fShutter += m_ShutterSpeed.fValue;
        m_ShutterSpeed.Step();
        if (m_fShutter < kShutterClosed) {
            return;
        }
        m_fShutter = kShutterClosed;
        PlaySoundFile(kShutterClose);
    }
    if (IsWaitOver()) {
        m_nState = STATE_FADE;
        m_Fade.SetKind(CFadePlane::KIND_OUT_BLACK);
        m_Fade.Start();
    }
}

void CGameOver::UpdateFade()
{
    m_Fade.Update();
    if (!m_Fade.IsDone()) {
        return;
    }
    if (m_Fade.m_nKind == CFadePlane::KIND_OUT_BLACK) {
        // Playback stays black here: the stage ends the replay.
        if (m_bInteractive) {
            m_Fade.SetKind(CFadePlane::KIND_IN_BLACK);
            m_Fade.Start();
            PlaySoundFile(kMusic);
        }
        return;
    }
    if (IsWaitOver()) {
        m_nState = STATE_SLIDE_IN;
        m_Fade.Stop();
        PlaySoundFile(kVoice);
    }
}

void CGameOver::UpdateSlides()
{
    bool bAllFinished = true;
    for (SLIDING_MOVEINFO& slide : m_Slide) {
        if (!slide.IsFinished()) {
            slide.Update();
        }
        bAllFinished = bAllFinished && slide.IsFinished();
    }
    if (!bAllFinished || !m_bMenuActive) {
        return;
    }
    for (int i = ITEM_NONE; i <= ITEM_TITLE; i++) {
        m_Item[i].ShowNow();
    }
    m_nSelect = ITEM_CONTINUE;
    m_Item[ITEM_CONTINUE].Select();
    m_Item[ITEM_TITLE].Deselect();
    m_nState = STATE_MENU;
    LatchMenuKeys();
}

void CGameOver::UpdateMenuInput()
{
    const int bUp = m_Up.Rise(IsMenuKeyDown(VK_UP));
    const int bDown = m_Down.Rise(IsMenuKeyDown(VK_DOWN));
    m_Left.Rise(IsMenuKeyDown(VK_LEFT));
    m_Right.Rise(IsMenuKeyDown(VK_RIGHT));
    const int bZ = m_Z.Rise(IsMenuKeyDown('Z'));
    // The choice is made once; what follows is only its pictures going.
    if (m_nState != STATE_MENU || m_nResult != RESULT_NONE) {
        return;
    }
    if (bUp || bDown) {
        const int nOther = m_nSelect;
        m_nSelect = m_nSelect == ITEM_CONTINUE ? ITEM_TITLE : ITEM_CONTINUE;
        m_Item[m_nSelect].Select();
        m_Item[nOther].Deselect();
        PlayMenuMove();
    }
    if (!bZ) {
        return;
    }
    if (m_nSelect == ITEM_CONTINUE) {
        m_nResult = RESULT_CONTINUE;
        for (int i = ITEM_NONE; i <= ITEM_TITLE; i++) {
            m_Item[i].StartPopOut();
        }
    } else {
        m_nResult = RESULT_TITLE;
    }
    PlayMenuDecide();
}

void CGameOver::Update()
{
    if (m_bHidden) {
        return;
    }
    if (m_bMenuActive) {
        UpdateMenuInput();
    }
    switch (m_nState) {
    case STATE_SHUTTERS:
        UpdateShutters();
        break;
    case STATE_FADE:
        UpdateFade();
        break;
    case STATE_SLIDE_IN:
        UpdateSlides();
        break;
    case STATE_MENU:
        for (CMenuItem& item : m_Item) {
            item.Update();
        }
        break;
    default:
        break;
    }
}

int CGameOver::IsFinished()
{
    return !m_bHidden && m_nState == STATE_FADE && m_Fade.m_nKind == CFadePlane::KIND_OUT_BLACK &&
           m_Fade.IsDone();
}

void CGameOver::Hide()
{
    for (CMenuItem& item : m_Item) {
        item.Hide();
    }
    m_bHidden = 1;
}

int CGameOver::DrawShutters(IDirectDrawSurface7* lpSurface)
{
    const int nPos = (int)m_fShutter;
    const int bLeft = BltKeyedCell(lpSurface, m_Shutter[0].GetSurface(), nullptr, nPos - (int)kShutterClosed, 0);
    const int bRight = BltKeyedCell(lpSurface, m_Shutter[1].GetSurface(), nullptr, SCREEN_WIDTH - nPos, 0);
    return bLeft && bRight;
}

// A record's x is the picture's leading edge: its right edge while it comes in from the left, its
// left edge while it comes in from the right; its y is the picture's top.
int CGameOver::DrawSlides(IDirectDrawSurface7* lpSurface)
{
    // In the menu the choices stand as menu items; the game-over picture stays where it landed.
    const int nSlides = m_nState == STATE_MENU ? 1 : GAMEOVER_SLIDE_NUM;
    int bOk = 1;
    for (int i = 0; i < nSlides; i++) {
        const D3DVECTOR v = m_Slide[i].GetPosition();
        int w = 0, h = 0;
        m_SlidePicture[i].GetSize(&w, &h);
        const int x = kSlides[i].fSpeed > 0.0f ? (int)v.x - w : (int)v.x;
        bOk &= BltKeyedCell(lpSurface, m_SlidePicture[i].GetSurface(), nullptr, x, (int)v.y);
    }
    return bOk;
}

int CGameOver::Draw(IDirectDrawSurface7* lpSurface, IDirect3DDevice7* lpDevice)
{
    if (m_bHidden) {
        return 1;
    }
    int bOk = DrawShutters(lpSurface);
    if (m_nState == STATE_FADE && lpDevice && SUCCEEDED(lpDevice->BeginScene())) {
        bOk &= m_Fade.Draw(lpDevice);
        lpDevice->EndScene();
    }
    if (m_nState >= STATE_SLIDE_IN) {
        bOk &= DrawSlides(lpSurface);
    }
    for (CMenuItem& item : m_Item) {
        bOk &= item.Draw(lpSurface);
    }
    return bOk;
}
