// The boss HUD: the boss's life gauge in its frame, the boss's name plate and the time limit that
// counts down from 3:00.
#pragma once

#define BOSS_NUM 5

class CBossCockpit {
public:
    // Value 0 of the boss's ENEMY_ key: its life, and the gauge's maximum.
    static int GetBossLife(int nBoss);
    // The ENEMY_ key of boss 0 to 4; null for any other number.
    static const char* GetBossKey(int nBoss);
};
