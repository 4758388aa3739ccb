#include "scene/Opening.h"

#include <atomic>
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/Input.h"
#include "engine/KeyRecorder.h"
#include "engine/Log.h"
#include "platform/win/Win.h"

namespace {

// The QUAKE table's random numbers: the C runtime's 15-bit generator, on a sequence of its own, so
// that a cut-scene never moves the numbers a replayed stage depends on.
std::atomic<uint32_t> s_nQuakeSeed{1};

int QuakeRand(uint32_t& x)
{
    x = x * 214013u + 2531011u;
    return static_cast<int>((x >> 16) & 0x7FFF);
}

DWORD Now()
{
    return CAppTimer::GetElapsed(0);
}

int IsSkipHeld()
{
    const int nInput = CInputState::GetInput(0);
    return CKeyRecorder::IsKeyDown(nInput, 'Z') || CKeyRecorder::IsKeyDown(nInput, VK_RETURN) ||
           CInputState::IsAnyJoyButton();
}

int IsCtrlHeld()
{
    return GetAsyncKeyState(VK_CONTROL) < 0;
}

} // namespace

COpening::~COpening()
{
    Unload();
}

int COpening::Load(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    Unload();
    m_strFolder = pszFolder ? pszFolder : "";
    m_Fader.Init();
    m_Fader.SetSpeed(OPENING_FADE_STEP);
    if (!m_Script.Load(lpDevice, m_strFolder.c_str())) {
        ReportScriptError(&m_Script.GetReports(), "ERROR 34 : スクリプトの読み込みに失敗しました [%s%s]\n",
                          m_strFolder.c_str(), SCRIPT_FILE_NAME);
        m_Script.TellUser();
        return 0;
    }
    m_MsgWin.Load(lpDevice, (m_strFolder + "Prompt.bmp").c_str());
    m_Script.PrepareMessages(&m_MsgWin, &m_Glyphs);
    m_Script.TellUser();
    BuildQuakeTable();
    return 1;
}

void COpening::Unload()
{
    m_Moves.clear();
    m_bMoving = 0;
    m_MsgWin.Release();
    m_Script.Unload();
    m_Script.Reset();
    m_Glyphs.Clear();
    m_nSpecial = SPECIAL_IDLE;
    m_strFolder.clear();
}

void COpening::BuildQuakeTable()
{
    uint32_t x = s_nQuakeSeed.load();
    for (int i = 0; i < QUAKE_TABLE_SIZE; i++) {
        const double fAngle = QuakeRand(x) / 32767.0 * 3.14 + (i % 2 ? 3.14 : 0.0);
        const double fRadius = 30.0 - QuakeRand(x) / 32767.0 * 10.0;
        m_nQuakeTable[i][0] = static_cast<int>(std::cos(fAngle) * fRadius);
        m_nQuakeTable[i][1] = static_cast<int>(std::sin(fAngle) * fRadius);
    }
    s_nQuakeSeed.store(x);
}

void COpening::Start()
{
    // A finished fade-in: nothing over the scene until a command fades.
    m_Fader.m_fAlpha = 0.0f;
    m_Fader.Stop();
    m_Script.Reset();
    m_MsgWin.Hide();
    m_Moves.clear();
    m_bMoving = 0;
    // The scene comes in from white on the first shot's first background.
    if (SCRIPTPICTURE* pBack = m_Script.FindFirstPicture(SCRIPT_IMAGE_BACK)) {
        StartFade(CFadePlane::KIND_IN_WHITE);
        m_Script.SetPicturePos(pBack->strName, pBack->x, pBack->y, 0);
        m_Script.SetPictureVisible(pBack->strName, 1);
        m_MsgWin.SetPanelDirty();
    }
    m_Script.SetShot(0);
    m_bQuake = 0;
    m_bFastForward = 0;
    m_bSkip = 0;
    m_bAllDone = 0;
    m_bCtrl = IsCtrlHeld();
    m_nSpecial = SPECIAL_IDLE;
    m_bStopped = 0;
}

int COpening::IsIdle() const
{
    // The prompt shows a text that is complete too: without this a last shot that waits for the
    // player could never end by Ctrl.
    const int bTextIdle =
        m_MsgWin.IsHidden() || m_MsgWin.IsTextDone() || m_MsgWin.GetState() == CScriptMsgWin::STATE_PROMPT;
    return !m_bQuake && m_Fader.IsDone() && bTextIdle && IsSpecialIdle() && !m_bMoving;
}

int COpening::IsFinished() const
{
    return m_bSkip || (IsIdle() && m_bAllDone);
}

void COpening::PollKeys()
{
    if (IsSkipHeld()) {
        m_bSkip = 1;
    }
    const int bCtrl = IsCtrlHeld();
    if (bCtrl && !m_bCtrl) {
        FastForward();
    }
    m_bCtrl = bCtrl;
    if (!m_Script.HasPending() && IsIdle()) {
        if (m_Script.IsWaitKey()) {
            m_MsgWin.ShowAll();
        } else {
            NextShot();
        }
    }
}

// The last shot done (or none at all) finishes the scene; a shot past the end never exists.
void COpening::NextShot()
{
    if (m_Script.GetShot() >= m_Script.GetShotCount() - 1) {
        m_bAllDone = 1;
        return;
    }
    m_MsgWin.Hide();
    m_Script.SetShot(m_Script.GetShot() + 1);
    DebugPrintf("Next Shot = %d\n", m_Script.GetShot());
}

void COpening::FastForward()
{
    m_bFastForward = 1;
    m_Due.clear();
    m_Script.GetRemainingCommands(m_Due);
    for (const SCRIPTCMD* pCmd : m_Due) {
        Execute(*pCmd);
    }
    m_Script.StopVoices();
    m_bQuake = 0;
    for (int i = 0; i < OPENING_RUN_LIMIT && !m_Fader.IsDone(); i++) {
        UpdateFade();
    }
    m_MsgWin.ShowWholeText();
    for (int i = 0; i < OPENING_RUN_LIMIT && m_bMoving; i++) {
        UpdateMoves();
    }
    for (int i = 0; i < OPENING_RUN_LIMIT && !IsSpecialIdle(); i++) {
        UpdateSpecial();
    }
    // Whatever would not end in time ends where it is.
    m_Moves.clear();
    m_bMoving = 0;
    m_nSpecial = SPECIAL_IDLE;
    m_bFastForward = 0;
    NextShot();
}

void COpening::Update()
{
    if (m_bStopped) {
        return;
    }
    m_Due.clear();
    m_Script.GetNewCommands(m_Due, Now());
    for (const SCRIPTCMD* pCmd : m_Due) {
        Execute(*pCmd);
    }
    m_MsgWin.Update();
    UpdateMoves();
    UpdateSpecial();
    if (!m_Fader.IsDone()) {
        UpdateFade();
    }
    UpdateQuake();
}

// A fade to white or black that has just covered the scene takes the message window with it.
void COpening::UpdateFade()
{
    m_Fader.Update();
    if (m_Fader.IsDone() &&
        (m_Fader.m_nKind == CFadePlane::KIND_OUT_WHITE || m_Fader.m_nKind == CFadePlane::KIND_OUT_BLACK)) {
        m_MsgWin.Hide();
    }
}

void COpening::UpdateQuake()
{
    if (!m_bQuake || static_cast<DWORD>(Now() - m_dwQuakeTick) <= QUAKE_PERIOD) {
        return;
    }
    m_dwQuakeTick = Now();
    if (++m_nQuakeIndex >= QUAKE_TABLE_SIZE) {
        m_bQuake = 0;
    }
}

POINT COpening::GetQuakeOffset() const
{
    if (!m_bQuake || m_nQuakeIndex < 0 || m_nQuakeIndex >= QUAKE_TABLE_SIZE) {
        return POINT{0, 0};
    }
    return POINT{m_nQuakeTable[m_nQuakeIndex][0], m_nQuakeTable[m_nQuakeIndex][1]};
}

// ---- Drawing --------------------------------------------------------------------------------------

void COpening::Draw(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice)
{
    if (m_bStopped) {
        return;
    }
    DrawBacks(lpDest);
    // A finished fade-in leaves nothing to draw.
    if (lpDevice && !(m_Fader.IsDone() && m_Fader.GetAlpha() <= 0.0f) && SUCCEEDED(lpDevice->BeginScene())) {
        m_Fader.Draw(lpDevice);
        lpDevice->EndScene();
    }
    DrawChars(lpDest);
    if (m_Fader.IsDone()) {
        const POINT offset = GetQuakeOffset();
        m_MsgWin.Draw(lpDest, lpDevice, offset.x, offset.y);
    }
}

void COpening::DrawBacks(IDirectDrawSurface7* lpDest)
{
    const POINT offset = GetQuakeOffset();
    m_Script.DrawBacks(lpDest, offset.x, offset.y);
}

void COpening::DrawChars(IDirectDrawSurface7* lpDest)
{
    const POINT offset = GetQuakeOffset();
    m_Script.DrawChars(lpDest, offset.x, offset.y);
}
