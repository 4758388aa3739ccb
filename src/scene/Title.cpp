#include "scene/Title.h"

#include "engine/Input.h"
#include "engine/KeyRecorder.h"
#include "engine/Param.h"
#include "engine/Sound.h"
#include "engine/SurfaceUtil.h"
#include "engine/Util.h"
#include "platform/win/Win.h"
#include "scene/SceneTime.h"

namespace {

// The hidden sequences, made of direction keys only; detector i unlocks play option i (the
// replay files' order: half damage, high jump, double power).
const int kHalfDamage[] = {VK_UP, VK_UP, VK_DOWN, VK_DOWN, VK_LEFT, VK_RIGHT, VK_LEFT, VK_RIGHT};
const int kHighJump[] = {VK_LEFT, VK_RIGHT, VK_LEFT, VK_RIGHT, VK_UP, VK_UP, VK_UP, VK_UP};
const int kDoublePower[] = {VK_RIGHT, VK_RIGHT, VK_LEFT, VK_LEFT, VK_DOWN, VK_UP};

const char* const kItemRegions[TITLE_MENU_ITEMS] = {"GameStart", "Replay", "Config", "Exit"};
const int kItemResults[TITLE_MENU_ITEMS] = {CTitle::RESULT_START, CTitle::RESULT_REPLAY, CTitle::RESULT_SETTINGS,
                                            CTitle::RESULT_QUIT};

int DemoCount(int nIndex)
{
    return GetParamInt("DEMO_COUNT", nIndex, nIndex == 0 ? 20000 : 10000);
}

} // namespace

void CTitle::GetSequence(int nDetector, const int** ppKeys, int* pnCount)
{
    switch (nDetector) {
    case 0:
        *ppKeys = kHalfDamage;
        *pnCount = (int)(sizeof(kHalfDamage) / sizeof(int));
        break;
    case 1:
        *ppKeys = kHighJump;
        *pnCount = (int)(sizeof(kHighJump) / sizeof(int));
        break;
    default:
        *ppKeys = kDoublePower;
        *pnCount = (int)(sizeof(kDoublePower) / sizeof(int));
        break;
    }
}

const char* CTitle::ItemRegion(int nItem)
{
    return nItem >= 0 && nItem < TITLE_MENU_ITEMS ? kItemRegions[nItem] : "";
}

int CTitle::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    if (!m_Picture.LoadFromFile(lpDevice, TITLE_PICTURE, nullptr, MEM_VIDEO) ||
        !m_White.Attach(CreateDevicePlaneSurface(lpDevice, SCREEN_WIDTH, SCREEN_HEIGHT, MEM_VIDEO)) ||
        !m_White.FillColor(1.0f, 1.0f, 1.0f) || !m_Index.LoadIndex(lpDevice, TITLE_FOLDER, TITLE_INDEX)) {
        return 0;
    }
    m_Index.SetColorKeyGreen();
    for (int i = 0; i < TITLE_DETECTORS; i++) {
        const int* pKeys = nullptr;
        int nCount = 0;
        GetSequence(i, &pKeys, &nCount);
        for (int k = 0; k < nCount; k++) {
            m_Detectors[i].AddTarget(pKeys[k]);
        }
    }
    return 1;
}

void CTitle::Release()
{
    m_bStopped = 1;
    for (CStateSwitch& detector : m_Detectors) {
        detector.Clear();
    }
    m_Picture.Release();
    m_White.Release();
    m_Index.Clear();
}

void CTitle::Reset(int nStage, int bFresh)
{
    m_bStopped = 1;
    ResetInput(bFresh);
    m_nStage = nStage;
    m_bReplayExists = IsReplayFileExist();
    m_bFresh = bFresh;
    if (bFresh) {
        m_nRemaining = DemoCount(0) + DemoCount(1);
        m_bLastStretch = 0;
    } else if (m_bLastStretch) {
        m_nRemaining = DemoCount(1);
    }
    m_dwTickStart = SceneNow();
    m_bTick = 1;
    m_bStopped = 0;
}

void CTitle::ResetInput(int bFresh)
{
    m_fSlatWidth = 0.0f;
    m_fSlatTarget = (float)SLAT_WIDTH;
    m_fSlatPos = 0.0f;
    m_fSlatSpeed = 1.0f;
    m_nCursor = 0;
    const int nInput = MenuInput();
    m_Up.Latch(IsMenuKeyDown(nInput, VK_UP));
    m_Down.Latch(IsMenuKeyDown(nInput, VK_DOWN));
    m_Confirm.Latch(IsConfirmDown(nInput));
    for (int i = 0; i < TITLE_DEBUG_STAGES; i++) {
        m_Digits[i].Latch(GetAsyncKeyState('1' + i) < 0);
    }
    for (int i = 0; i < TITLE_DETECTORS; i++) {
        if (bFresh) {
            m_Detectors[i].Reset();
            m_bAnnounced[i] = 0;
        } else {
            m_bAnnounced[i] = g_nOptionFlags[i] ? 1 : 0;
            if (g_nOptionFlags[i]) {
                m_Detectors[i].ForceDone();
            }
        }
    }
    m_nResult = RESULT_WIPE;
}

// Z (or the joystick's shot), Enter, or any joystick button.
int CTitle::IsConfirmDown(int nInput) const
{
    return IsMenuKeyDown(nInput, 'Z') || GetAsyncKeyState(VK_RETURN) < 0 || CInputState::IsAnyJoyButton();
}

void CTitle::Update()
{
    if (m_bStopped) {
        return;
    }
    switch (m_nResult) {
    case RESULT_WIPE:
        m_fSlatWidth = m_fSlatPos;
        if (m_fSlatPos >= m_fSlatTarget) {
            m_fSlatWidth = m_fSlatTarget;
            m_nDelayedResult = RESULT_MENU;
            m_dwDelay = MENU_DELAY_MS;
            m_dwDelayStart = SceneNow();
            m_bDelayDone = 0;
            m_nResult = RESULT_DELAYED;
            if (m_bFresh) {
                PlaySoundFile(".\\GameData\\System\\CvZorvaKerbix.wav");
            }
        }
        m_fSlatPos += m_fSlatSpeed;
        break;
    case RESULT_MENU:
        UpdateCountDown();
        UpdateMenu();
        break;
    case RESULT_DELAYED:
        if (HasPassed(m_dwDelayStart, m_dwDelay)) {
            m_bDelayDone = 1;
            m_nResult = m_nDelayedResult;
            UpdateMenu();
        }
        break;
    default:
        break;
    }
}

// Input in the last stretch puts the count-down back to the stretch's start; input earlier does
// not delay it.
void CTitle::UpdateCountDown()
{
    const int nLast = DemoCount(1);
    if (m_bLastStretch && CInputState::IsAnyInput()) {
        m_nRemaining = nLast;
        m_dwTickStart = SceneNow();
    }
    const DWORD dwNow = SceneNow();
    if (dwNow - m_dwTickStart > m_dwTickPeriod) {
        m_nRemaining -= (int)(dwNow - m_dwTickStart);
        m_dwTickStart = dwNow;
    }
    if (m_nRemaining <= 0) {
        m_nResult = RESULT_DEMO;
    } else if (m_nRemaining <= nLast) {
        m_bLastStretch = 1;
    }
}

void CTitle::MoveCursor(int nStep)
{
    m_nCursor += nStep;
    if (!m_bReplayExists && m_nCursor == ITEM_REPLAY) {
        m_nCursor += nStep;
    }
    m_nCursor = (m_nCursor + TITLE_MENU_ITEMS) % TITLE_MENU_ITEMS;
    PlayMenuMove();
}

void CTitle::Confirm()
{
    m_nResult = kItemResults[m_nCursor];
    for (int i = 0; i < TITLE_DETECTORS; i++) {
        g_nOptionFlags[i] = m_Detectors[i].IsDone();
    }
    PlayMenuDecide();
}

void CTitle::UpdateDebugKeys()
{
    for (int i = 0; i < TITLE_DEBUG_STAGES; i++) {
        if (m_Digits[i].Rise(GetAsyncKeyState('1' + i) < 0) && IsStageExist(i + 1)) {
            m_nStage = i + 1;
            PlayMenuPowerUp();
        }
    }
    if (GetAsyncKeyState('O') < 0) {
        m_nResult = RESULT_LOGO;
    } else if (GetAsyncKeyState('E') < 0) {
        m_nResult = RESULT_ENDING;
    } else if (GetAsyncKeyState('D') < 0) {
        m_nResult = RESULT_DEMO;
    }
}

void CTitle::UpdateMenu()
{
    if (m_nResult != RESULT_MENU) {
        return;
    }
    const int nInput = MenuInput();
    if (m_Up.Rise(IsMenuKeyDown(nInput, VK_UP))) {
        MoveCursor(-1);
    }
    if (m_Down.Rise(IsMenuKeyDown(nInput, VK_DOWN))) {
        MoveCursor(1);
    }
    if (m_Confirm.Rise(IsConfirmDown(nInput))) {
        Confirm();
    }
    if (IsDebugKey()) {
        UpdateDebugKeys();
    }
    // The half-damage sequence is not typed here: the start menu's mode sets that option.
    m_Detectors[1].Update();
    m_Detectors[2].Update();
    for (int i = 0; i < TITLE_DETECTORS; i++) {
        if (m_Detectors[i].IsDone() && !m_bAnnounced[i]) {
            m_bAnnounced[i] = 1;
            PlayMenuPowerUp();
        }
    }
}

int CTitle::Draw(IDirectDrawSurface7* lpDest)
{
    if (m_bStopped || !lpDest) {
        return 1;
    }
    if (!m_White.GetSurface() || FAILED(lpDest->Blt(nullptr, m_White.GetSurface(), nullptr, DDBLT_WAIT, nullptr))) {
        return 0;
    }
    const int nWidth = (int)m_fSlatWidth;
    for (int x = SLAT_FIRST_X; x < SCREEN_WIDTH; x += SLAT_WIDTH) {
        RECT rc = {x < 0 ? 0 : x, 0, x + nWidth > SCREEN_WIDTH ? SCREEN_WIDTH : x + nWidth, SCREEN_HEIGHT};
        if (rc.left < rc.right) {
            lpDest->Blt(&rc, m_Picture.GetSurface(), &rc, DDBLT_WAIT, nullptr);
        }
    }
    if (m_nResult != RESULT_WIPE && m_nCursor >= 0 && m_nCursor < TITLE_MENU_ITEMS) {
        int w = 0, h = 0;
        m_Index.GetRegionSize(kItemRegions[m_nCursor], &w, &h);
        RECT rcSrc, rcDest;
        GetClippedBltRects(MENU_X, MENU_Y + MENU_STEP * m_nCursor, w, h, &rcSrc, &rcDest);
        m_Index.BltRegion(lpDest, &rcDest, kItemRegions[m_nCursor], &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
    }
    return 1;
}
