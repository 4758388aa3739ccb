#include "Playthrough.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "engine/KeyRecorder.h"
#include "scene/Script.h"

namespace {

// Typed on the title, it unlocks the high jump.
const int kHighJump[] = {VK_LEFT, VK_RIGHT, VK_LEFT, VK_RIGHT, VK_UP, VK_UP, VK_UP, VK_UP};

} // namespace

void CPlaythrough::Update()
{
    CHeadlessGame::Update();
    if (m_OnUpdate) {
        const std::function<void(CPlaythrough&)> onUpdate = m_OnUpdate;
        onUpdate(*this);
    }
    switch (GetState()) {
    case STATE_LOGO:
    case STATE_OPENING:
        PlayFront();
        break;
    case STATE_TITLE:
        PlayTitle();
        break;
    case STATE_START_MENU:
        Tap('Z', GetStartMenu().GetResult() <= CStart::RESULT_SUBWEAPON);
        break;
    case STATE_STAGE:
        PlayStage();
        break;
    case STATE_ENDING:
        PlayEnding();
        break;
    case STATE_REPLAY_SELECT:
        PlayReplaySelect();
        break;
    default:
        ReleaseAll();
        break;
    }
}

void CPlaythrough::Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice)
{
    NoteState();
    CHeadlessGame::Render(lpDest, lpDevice);
    NoteState();
}

void CPlaythrough::NoteState()
{
    if (m_States.empty() || m_States.back() != GetState()) {
        m_States.push_back(GetState());
        m_StateTicks.push_back(m_Host.GetFrameTicks());
    }
}

// Enter at the caution screen; Z held through the opening skips it.
void CPlaythrough::PlayFront()
{
    Tap(VK_RETURN, GetState() == STATE_LOGO && GetLogo().GetState() == CLogo::STATE_CAUTION_WAIT);
    Hold('Z', GetState() == STATE_OPENING);
}

void CPlaythrough::PlayTitle()
{
    CTitle& title = GetTitle();
    // Back at the title: the player closes the window.
    if (m_nPhase == PHASE_DONE)
        CloseSoon();
    if (m_nPhase == PHASE_DONE || title.GetResult() != CTitle::RESULT_MENU || m_nTitlePasses++ < m_nTitleLook) {
        ReleaseAll();
        return;
    }
    const bool bTyping = m_nPhase == PHASE_PLAY && m_bHighJump && m_nTyped < (int)std::size(kHighJump);
    if (bTyping) {
        // Each key of the sequence pressed for a pass and let go for a pass.
        const int nKey = kHighJump[m_nTyped];
        if (std::find(m_Held.begin(), m_Held.end(), nKey) != m_Held.end()) {
            Hold(nKey, false);
            m_nTyped++;
        } else {
            ReleaseAll();
            Hold(nKey, true);
        }
        return;
    }
    const int nItem = m_nPhase == PHASE_PLAY ? CTitle::ITEM_START : CTitle::ITEM_REPLAY;
    Tap(VK_DOWN, title.GetCursor() != nItem);
    Tap('Z', title.GetCursor() == nItem);
}

void CPlaythrough::PlayStage()
{
    CKeyRecorder* pRec = CKeyRecorder::GetInstance();
    if (m_nPhase == PHASE_PLAY && m_strFailure.empty() && CStageRider::OutOf(*this) != RIDEOUT_NONE) {
        GiveUp(CStageRider::OutOf(*this));
        return;
    }
    if (m_nPhase != PHASE_PLAY || pRec->GetMode() != KEYREC_MODE_RECORD) {
        ReleaseAll();
        return;
    }
    if (m_nRiddenStage != GetStageNumber()) {
        m_nRiddenStage = GetStageNumber();
        m_Rider.Reset();
    }
    const RIDERKEYS keys = m_Rider.Steer(*this, pRec->GetFrame());
    Hold(VK_LEFT, keys.bLeft);
    Hold(VK_RIGHT, keys.bRight);
    Hold(VK_UP, keys.bUp);
    Hold(VK_DOWN, keys.bDown);
    Hold('Z', keys.bShot);
    Hold('X', keys.bJump);
    Hold('C', keys.bSub);
}

// Put out: nothing more of the run is worth playing, so the window closes.
void CPlaythrough::GiveUp(RIDEOUT eOut)
{
    char sz[96];
    snprintf(sz, sizeof(sz), "game over in stage %d at tick %d (%s)", GetStageNumber(),
             CKeyRecorder::GetInstance()->GetFrame(), CStageRider::OutName(eOut));
    m_strFailure = sz;
    m_nPhase = PHASE_DONE;
    ReleaseAll();
    CloseSoon();
}

void CPlaythrough::CloseSoon()
{
    if (m_bClosing)
        return;
    m_bClosing = true;
    HOSTSCRIPTCMD close = {};
    close.nTick = m_Host.GetTick() + 2;
    close.op = HSOP_CLOSE;
    m_Host.Schedule(close);
}

// Ctrl where a scene waits for a key, as someone watching does.
void CPlaythrough::PlayEnding()
{
    COpening& ending = GetEnding();
    CScript& script = ending.GetScript();
    Tap(VK_CONTROL, !script.HasPending() && ending.IsIdle() && script.IsWaitKey());
}

void CPlaythrough::PlayReplaySelect()
{
    CReplaySel& sel = GetReplaySel();
    if (sel.GetResult() != CReplaySel::RESULT_NONE) {
        if (sel.GetResult() == CReplaySel::RESULT_SAVED && m_nPhase == PHASE_PLAY)
            m_nPhase = m_bWatchReplay ? PHASE_WATCH : PHASE_DONE;
        else if (sel.GetResult() == CReplaySel::RESULT_PLAY)
            m_nPhase = PHASE_DONE;
        ReleaseAll();
        return;
    }
    const int nSlot = m_nSaveSlot - 1;
    Tap(VK_DOWN, sel.GetCursor() != nSlot);
    Tap('Z', sel.GetCursor() == nSlot);
}

void CPlaythrough::Hold(int nKey, bool bDown)
{
    const auto it = std::find(m_Held.begin(), m_Held.end(), nKey);
    const bool bHeld = it != m_Held.end();
    if (bDown && !bHeld) {
        m_Host.PressKey(nKey);
        m_Held.push_back(nKey);
    } else if (!bDown && bHeld) {
        m_Host.ReleaseKey(nKey);
        m_Held.erase(it);
    }
}

void CPlaythrough::Tap(int nKey, bool bWhile)
{
    const bool bHeld = std::find(m_Held.begin(), m_Held.end(), nKey) != m_Held.end();
    Hold(nKey, bWhile && !bHeld);
}

void CPlaythrough::ReleaseAll()
{
    for (int nKey : std::vector<int>(m_Held))
        Hold(nKey, false);
}
