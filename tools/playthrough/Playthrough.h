// A player at the keyboard for the whole program, headless: past the caution screen and the
// opening, GAME START on the title (with the high jump typed in first when asked), the start menu's
// choices, every stage ridden by the stage rider to its boss and its tally, the ending watched with
// Ctrl where it waits, the run saved into a slot, and then, when asked, that replay chosen from the
// title's REPLAY and watched to its end. A game over ends the run at once: the player closes the
// window and the failure says where and why. Keys change between passes, as a player's do: after each
// update pass, for the next. Back at the title at the end, the player closes the window.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "StageRider.h"
#include "headless/HeadlessGame.h"

class CPlaythrough : public CHeadlessGame {
public:
    // What the player is about.
    enum { PHASE_PLAY = 0, PHASE_WATCH = 1, PHASE_DONE = 2 };

    explicit CPlaythrough(CHostHeadless& host) : m_Host(host) {}

    void Update() override;
    void Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice) override;

    // Types the high-jump sequence on the title before GAME START.
    bool m_bHighJump = false;
    // Update passes the player looks at the title's menu before the first choice (none: a test
    // rides as fast as keys can).
    int m_nTitleLook = 0;
    // The slot the run is saved into (1 to 5).
    int m_nSaveSlot = 1;
    // After saving, the replay is chosen from the title and watched; else the run ends at the title.
    bool m_bWatchReplay = true;
    // After every update pass; the test samples the game here.
    std::function<void(CPlaythrough&)> m_OnUpdate;

    int GetPhase() const { return m_nPhase; }
    // "game over in stage N at tick T (cause)" once she was put out; empty while she was not.
    const std::string& GetFailure() const { return m_strFailure; }
    // The states entered, in order, and the frame tick of each entry.
    const std::vector<int>& GetStates() const { return m_States; }
    const std::vector<uint32_t>& GetStateTicks() const { return m_StateTicks; }

private:
    void PlayFront();
    void PlayTitle();
    void PlayStage();
    void GiveUp(RIDEOUT eOut);
    void CloseSoon();
    void PlayEnding();
    void PlayReplaySelect();
    void NoteState();
    // The key down when bDown, up otherwise; only changes reach the host.
    void Hold(int nKey, bool bDown);
    // Pressed on one pass and let go on the next while the condition holds, so a menu sees a new
    // press every other pass.
    void Tap(int nKey, bool bWhile);
    void ReleaseAll();

    CHostHeadless& m_Host;
    CStageRider m_Rider;
    int m_nPhase = PHASE_PLAY;
    int m_nTyped = 0;
    int m_nTitlePasses = 0;
    int m_nRiddenStage = 0;
    bool m_bClosing = false;
    std::vector<int> m_States;
    std::vector<uint32_t> m_StateTicks;
    std::vector<int> m_Held;
    std::string m_strFailure;
};
