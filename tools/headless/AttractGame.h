// The program left alone at its attract loop: caution and logo, the opening, the title, the demo
// the count-down starts, the logo bar and round again. A viewer passes the caution with Enter and
// moves the opening on with Ctrl where it waits for a key, nothing more. Each pass of the loop is
// noted (the states it went through, a fingerprint of its demo, the title and a demo frame), so a
// long run can show that every pass is the same pass.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "headless/HeadlessGame.h"

// One pass: from the first state (the caution at start-up, later the logo bar) up to the next
// entry into the logo bar.
struct ATTRACTLOOP {
    std::vector<int> states;  // entered in order, each once per visit
    std::vector<uint32_t> entryTicks;  // the frame tick each was entered at
    uint32_t nStartTick = 0;
    uint32_t nEndTick = 0;
    int nDemo = 0;            // the stage its demo played; 0 when no demo ran
    int nDemoFrames = 0;      // stage updates played back from the demo replay
    uint64_t nDemoHash = 0;   // her position, life and score and each layer's count, frame by frame
    uint64_t nOpeningHash = 0;  // the frame some ticks into the opening (see SetLooks)
    uint64_t nTitleHash = 0;    // and into the title
    bool bTitleMusic = false;  // and its music playing then
    // Pixels of the frame some ticks into the demo that differ from that frame in the first
    // pass of the same demo; -1 in that first pass. The effects' generators run on from pass to
    // pass, so sparks and debris may fall otherwise; everything else is the same.
    int nDemoShotDiffs = -1;
};

class CAttractGame : public CHeadlessGame {
public:
    explicit CAttractGame(CHostHeadless& host);

    // Ticks past the entry into the opening, the title and the demo at which a pass keeps its
    // frame.
    void SetLooks(uint32_t nOpeningTicks, uint32_t nTitleTicks, uint32_t nDemoTicks)
    {
        m_nOpeningLook = nOpeningTicks;
        m_nTitleLook = nTitleTicks;
        m_nDemoLook = nDemoTicks;
    }
    // The viewer presses Ctrl at every shot of the opening, not only where it waits: each shot
    // still runs all its commands, in a few ticks.
    void SetHurryOpening(bool bHurry) { m_bHurryOpening = bHurry; }

    void Update() override;
    void Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice) override;

    // The passes completed so far.
    const std::vector<ATTRACTLOOP>& GetLoops() const { return m_Loops; }
    // Screenshots of each pass's title and demo frame go to this folder when it is not empty, as
    // loopNN-title.png and loopNN-demo.png.
    void SetLookFolder(const std::string& strFolder) { m_strLookFolder = strFolder; }

protected:
    // After each completed pass, before the next one begins.
    virtual void OnLoopEnd(const ATTRACTLOOP& loop) { (void)loop; }

private:
    void Note();
    void PlayViewer();
    void Hold(int nKey, bool bDown, bool* pbHeld);
    // The presented frame at nAt ticks past nSince, written as a look when a folder is set.
    const std::vector<uint16_t>* Look(uint32_t nSince, uint32_t nAt, const char* pszName);
    // The frame's fingerprint into *pnHash at nAt ticks into the state.
    void LookAtHash(uint32_t nAt, const char* pszName, uint64_t* pnHash);
    void LookAtDemo();
    void SampleDemo();

    CHostHeadless& m_Host;
    std::vector<ATTRACTLOOP> m_Loops;
    ATTRACTLOOP m_Current;
    int m_nState = STATE_NONE;
    uint32_t m_nStateTick = 0;
    std::string m_strLookFolder;
    uint32_t m_nOpeningLook = 900;
    uint32_t m_nTitleLook = 240;
    uint32_t m_nDemoLook = 600;
    bool m_bHurryOpening = false;
    // The demo frame of each demo's first pass, by stage.
    std::map<int, std::vector<uint16_t>> m_FirstDemoShots;
    bool m_bEnterHeld = false;
    bool m_bCtrlHeld = false;
};

// What is wrong with the passes: each must go through the states of the second pass in the same
// order (the first from its second state on, since it starts at the caution rather than the logo
// bar), show the first pass's opening and title, play a demo, and a demo played again must play exactly as it
// did the first time and look the same but for a few sparks. One line per fault; none when all is
// well.
std::vector<std::string> FindLoopFaults(const std::vector<ATTRACTLOOP>& loops);

// The errors a run left: lines of the debug output and of OpenLog.txt in the game's words for a
// failure, every line of AssertLog.txt (the logs of the current folder), every message box and
// every line the user was told about the data.
std::vector<std::string> FindRunErrors(const CHostHeadless& host);

// The process's resident set now and its peak, in KiB, its open files and its threads (0 when the
// system cannot say).
long ReadResidentKiB();
long ReadPeakResidentKiB();
long ReadOpenFiles();
// The bytes the allocator has handed out and not had back, and those the game heaps have handed out
// inside their arenas. Unlike the resident set it does not count freed memory the allocator keeps
// for later, which takes a few passes to settle.
size_t ReadHeapInUse();
long ReadThreads();
