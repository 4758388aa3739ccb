#include "scene/Start.h"

#include <cmath>

#include "engine/Input.h"
#include "engine/KeyRecorder.h"
#include "engine/Param.h"
#include "engine/SurfaceUtil.h"
#include "platform/win/Win.h"
#include "scene/SceneTime.h"
#include "scene/Title.h"

namespace {

// The half-damage option's place in g_nOptionFlags (the replay files' order).
const int kHalfDamage = 0;

const char* const kModeRegions[CStart::MODE_COUNT] = {"mode_easy", "mode_hard"};
const char* const kTabRegions[CStart::TAB_COUNT] = {"tab_howk", "tab_fire", "tab_ion", "tab_wiper"};
const int kTabSubWeapons[CStart::TAB_COUNT] = {1, 2, 0, 3};
const char* const kArrowRegions[2] = {"arrow_left", "arrow_right"};
const int kLatchKeys[CStart::LATCHES] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN};

const int kModeX = 48, kModeY = 128, kTabX = 48, kTabY = 300;
// The arrows of the two rows: left and right.
const POINT kModeArrows[2] = {{14, 159}, {368, 159}};
const POINT kTabArrows[2] = {{14, 366}, {508, 366}};
enum { ROW_MODE = 0, ROW_TAB = 1 };

const float kNudgeOffset = 10.0f;
const float kNudgeSpeed = -3.0f;

int IsLatchKeyDown(int nInput, int nVirtKey)
{
    return nVirtKey == VK_RETURN ? GetAsyncKeyState(VK_RETURN) < 0 : IsMenuKeyDown(nInput, nVirtKey);
}

// The debug start (STAGE_INIT_STATE 1) skips this menu: Param.txt may name the sub-weapon it
// starts with; without it, or with a number that names none, the first tab's.
int InitialTab()
{
    const int nSubWeapon = GetParamInt("INIT_SUB_WEAPON", 0, -1);
    for (int i = 0; i < CStart::TAB_COUNT; i++) {
        if (kTabSubWeapons[i] == nSubWeapon)
            return i;
    }
    return 0;
}

} // namespace

CStart::~CStart()
{
    Release();
}

int CStart::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    m_nTab = InitialTab();
    if (!m_Index.LoadIndex(lpDevice, TITLE_FOLDER, START_MENU_INDEX)) {
        return 0;
    }
    m_Index.SetColorKeyGreen();
    for (int i = 0; i < 2; i++) {
        IDirectDrawSurface7* lpArrow = m_Index.CreateSurfaceByDevice(lpDevice, kArrowRegions[i], nullptr, MEM_VIDEO);
        if (lpArrow) {
            SetColorKeyGreen(lpArrow);
            m_lpLitArrow[i] = CreateBlendedCopy(lpDevice, lpArrow);
            lpArrow->Release();
        }
    }
    return 1;
}

void CStart::Release()
{
    m_Index.Clear();
    for (IDirectDrawSurface7*& lpArrow : m_lpLitArrow) {
        SafeRelease(lpArrow);
    }
}

void CStart::Enter()
{
    m_nResult = RESULT_MODE;
    m_nMode = MODE_EASY;
    m_nTab = 0;
    m_dwBlinkPeriod = BLINK_MS;
    m_dwHighlight = HIGHLIGHT_MS;
    m_bHighlightDone = 1;
    m_Nudge[0] = NUDGE{};
    m_Nudge[1] = NUDGE{};
    m_dwPause = PAUSE_MS;
    m_bPauseDone = 1;
    const int nInput = MenuInput();
    for (int i = 0; i < LATCHES; i++) {
        m_Latches[i].Latch(IsLatchKeyDown(nInput, kLatchKeys[i]));
    }
    m_ConfirmLatch.Latch(IsConfirm(nInput));
    m_BackLatch.Latch((nInput & INPUT_JUMP) != 0);
    m_dwBlinkStart = SceneNow();
    m_bBlinkRunning = 1;
    m_bStopped = 0;
}

int CStart::GetSubWeapon() const
{
    return kTabSubWeapons[m_nTab];
}

// Never while the jump key is held: jump steps back.
int CStart::IsConfirm(int nInput) const
{
    if (nInput & INPUT_JUMP) {
        return 0;
    }
    return CInputState::IsAnyButton() || CInputState::IsAnyJoyButton() || GetAsyncKeyState(VK_RETURN) < 0;
}

void CStart::Nudge(int nArrow)
{
    NUDGE& n = m_Nudge[nArrow];
    n = NUDGE{};
    n.fOffset = nArrow == ARROW_LEFT ? -kNudgeOffset : kNudgeOffset;
    n.fSpeed = kNudgeSpeed;
    n.fAccel = kNudgeSpeed * kNudgeSpeed / (2.0f * kNudgeOffset);
    n.fMinSpeed = kNudgeSpeed;
    n.fMaxSpeed = 0.0f;
    n.bBounded = 1;
    n.bStopped = 0;
    m_bBlink = 1;
    m_dwBlinkStart = SceneNow();
}

void CStart::StepNudge(NUDGE* pNudge)
{
    NUDGE& n = *pNudge;
    if (n.bStopped) {
        return;
    }
    if (n.fOffset < 0.0f) {
        n.fOffset -= n.fSpeed;
        if (n.fOffset >= 0.0f) {
            n.fOffset = 0.0f;
            n.bStopped = 1;
        }
    } else if (n.fOffset > 0.0f) {
        n.fOffset += n.fSpeed;
        if (n.fOffset < 0.0f) {
            n.fOffset = 0.0f;
            n.bStopped = 1;
        }
    }
    n.fSpeed += n.fAccel;
    if (!n.bBounded) {
        return;
    }
    if (n.fSpeed >= n.fMaxSpeed) {
        n.fSpeed = n.fMaxSpeed;
        if (n.bBounceMax) {
            n.fAccel = -n.fAccel;
        } else {
            n.bStopped = 1;
        }
    } else if (n.fSpeed < n.fMinSpeed) {
        n.fSpeed = n.fMinSpeed;
        if (n.bBounceMin) {
            n.fAccel = -n.fAccel;
        } else {
            n.bStopped = 1;
        }
    }
}

int CStart::ChooseInRow(int nInput, int nChoice, int nCount)
{
    if (m_Latches[LATCH_LEFT].Rise(IsMenuKeyDown(nInput, VK_LEFT))) {
        nChoice = (nChoice + nCount - 1) % nCount;
        PlayMenuMove();
        Nudge(ARROW_LEFT);
    }
    if (m_Latches[LATCH_RIGHT].Rise(IsMenuKeyDown(nInput, VK_RIGHT))) {
        nChoice = (nChoice + 1) % nCount;
        PlayMenuMove();
        Nudge(ARROW_RIGHT);
    }
    return nChoice;
}

void CStart::UpdateInput()
{
    const int nInput = MenuInput();
    const int bConfirm = m_ConfirmLatch.Rise(IsConfirm(nInput));
    const int bBack = m_BackLatch.Rise((nInput & INPUT_JUMP) != 0);
    switch (m_nResult) {
    case RESULT_MODE:
        m_nMode = ChooseInRow(nInput, m_nMode, MODE_COUNT);
        if (bConfirm) {
            g_nOptionFlags[kHalfDamage] = m_nMode == MODE_EASY ? 1 : 0;
            m_nResult = RESULT_SUBWEAPON;
            m_dwHighlightStart = SceneNow();
            m_bHighlightDone = 0;
            PlayMenuDecide();
        } else if (bBack) {
            m_nResult = RESULT_BACK;
        }
        break;
    case RESULT_SUBWEAPON:
        m_nTab = ChooseInRow(nInput, m_nTab, TAB_COUNT);
        if (bConfirm) {
            m_nResult = RESULT_CONFIRMED;
            m_dwPauseStart = SceneNow();
            m_bPauseDone = 0;
            m_dwHighlightStart = SceneNow();
            m_bHighlightDone = 0;
            PlayMenuDecide();
        } else if (bBack) {
            m_nResult = RESULT_MODE;
        }
        break;
    case RESULT_CONFIRMED:
        if (HasPassed(m_dwPauseStart, m_dwPause)) {
            m_bPauseDone = 1;
            m_nResult = RESULT_START;
        }
        break;
    default:
        break;
    }
    // Latches of keys not read in this result still follow their keys.
    for (int i = 0; i < LATCHES; i++) {
        if (!IsLatchKeyDown(nInput, kLatchKeys[i])) {
            m_Latches[i].Latch(0);
        }
    }
}

void CStart::Update()
{
    if (m_bStopped) {
        return;
    }
    UpdateInput();
    StepNudge(&m_Nudge[0]);
    StepNudge(&m_Nudge[1]);
    if (m_bBlinkRunning && HasPassed(m_dwBlinkStart, m_dwBlinkPeriod)) {
        m_bBlink = !m_bBlink;
        m_dwBlinkStart = SceneNow();
    }
    if (!m_bHighlightDone && HasPassed(m_dwHighlightStart, m_dwHighlight)) {
        m_bHighlightDone = 1;
    }
}

void CStart::DrawRegion(IDirectDrawSurface7* lpDest, const char* pszName, int x, int y)
{
    int w = 0, h = 0;
    m_Index.GetRegionSize(pszName, &w, &h);
    RECT rcSrc, rcDest;
    GetClippedBltRects(x, y, w, h, &rcSrc, &rcDest);
    m_Index.BltRegion(lpDest, &rcDest, pszName, &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
}

void CStart::DrawSurface(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpSurface, int x, int y)
{
    if (!lpSurface) {
        return;
    }
    int w = 0, h = 0;
    GetSurfaceSize(lpSurface, &w, &h);
    RECT rcSrc, rcDest;
    GetClippedBltRects(x, y, w, h, &rcSrc, &rcDest);
    lpDest->Blt(&rcDest, lpSurface, &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
}

// The row's arrows: blinking (and shown while they spring aside), or at rest.
void CStart::DrawArrows(IDirectDrawSurface7* lpDest, int nRow, bool bBlinking)
{
    const POINT* pArrows = nRow == ROW_MODE ? kModeArrows : kTabArrows;
    for (int i = 0; i < 2; i++) {
        if (!bBlinking) {
            DrawRegion(lpDest, kArrowRegions[i], pArrows[i].x, pArrows[i].y);
            continue;
        }
        const float fOffset = m_Nudge[i].fOffset;
        if (m_bBlink || std::fabs(fOffset) >= 0.01f) {
            DrawRegion(lpDest, kArrowRegions[i], pArrows[i].x + (int)fOffset, pArrows[i].y);
        }
    }
}

void CStart::Draw(IDirectDrawSurface7* lpDest)
{
    if (m_bStopped || !lpDest) {
        return;
    }
    DrawRegion(lpDest, "back", 0, 0);
    DrawRegion(lpDest, kModeRegions[m_nMode], kModeX, kModeY);
    DrawRegion(lpDest, kTabRegions[m_nTab], kTabX, kTabY);
    const POINT* pLit = kTabArrows;
    if (m_nResult == RESULT_MODE) {
        DrawArrows(lpDest, ROW_MODE, true);
        DrawArrows(lpDest, ROW_TAB, false);
        pLit = kModeArrows;
    } else if (m_nResult == RESULT_SUBWEAPON) {
        DrawArrows(lpDest, ROW_TAB, true);
        pLit = kModeArrows;
    }
    m_ptLit[0] = pLit[0];
    m_ptLit[1] = pLit[1];
    if (!m_bHighlightDone) {
        DrawSurface(lpDest, m_lpLitArrow[0], m_ptLit[0].x, m_ptLit[0].y);
        DrawSurface(lpDest, m_lpLitArrow[1], m_ptLit[1].x, m_ptLit[1].y);
    }
}
