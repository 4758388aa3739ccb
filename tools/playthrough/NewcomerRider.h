// A rider who plays a stage for the first time, as a newcomer does. She knows nothing of the map:
// she decides only from what the screen shows her, the terrain in view (nothing right of the
// screen's edge), the enemies and their shots. She holds the gun down, keeps to a place left of the
// middle of the screen, jumps at walls, gaps, spikes and crawlers in her way and at some of the
// shots that come at her, turns the gun up at enemies above her, and fires the sub-weapon once the
// cockpit shows it charged. She is a little late to react and her timing is loose, each by a seeded
// chance, so tries with different seeds play differently and a try repeats with its seed. At the
// boss she stays back and aims at it as any player who sees it does.
#pragma once
#include <cstdint>

#include "StageRider.h"

class CGame;

class CNewcomerRider {
public:
    explicit CNewcomerRider(uint32_t nSeed);

    // The keys for the pass after the one just run; nFrame is the key record's frame.
    RIDERKEYS Steer(CGame& game, int nFrame);

private:
    // What she sees ahead of her point at (x, y): distances along the road, 0 when nothing.
    struct SIGHT {
        float fWall = 0.0f;     // the near side of a block in her way
        float fWallTop = 0.0f;  // how high it stands above her
        float fGap = 0.0f;      // where the road ends with nothing below in view
        float fHazard = 0.0f;   // spikes
        float fCrawler = 0.0f;  // an enemy on the road
        bool bShot = false;     // a shot about to reach her
        bool bEnemyAbove = false;
    };

    SIGHT Look(CGame& game, float x, float y) const;
    void Ride(CGame& game, int nFrame, bool bFight, RIDERKEYS* pKeys);
    void Jump(int nFrame, int nHold, bool bReach);
    static bool IsEdgeInReach(const SIGHT& s, float fSpeed);
    int Random(int n);

    uint32_t m_nRandom;
    float m_fKeepX;
    // Her sense of timing, drawn afresh for every jump: how many ticks before a wall or an edge
    // she takes off.
    int m_nWallTicks = 0;
    int m_nGapTicks = 0;
    int m_nJumpFrom = -1;
    int m_nJumpUntil = -1;
    bool m_bReach = false;   // holding right through this jump, for a gap
    int m_nSubAt = -1;       // when she will press the sub-weapon key
    int m_nDodgeCooldown = 0;
    float m_fLastX = 0.0f;
    int m_nStuckTicks = 0;
};
