// A rider for the stages, steered pass by pass by what she sees, so the run stays playable as the
// stage maps change: she keeps about the middle of the screen with the gun going, turns it up at
// enemies above her unless crates stand in her line of fire, jumps gaps, walls, spikes and whatever
// holds her back, fires the sub-weapon once it is charged, and at the boss lines her fire up with its
// body: level or at 45 degrees from the ground, at its height when she flies.
#pragma once

class CGame;
class CStage;
class CEnemyPartBoss;
struct D3DVECTOR;

// What put her out of a stage: her life gone, a fall below the map, or pushed off a side of the
// screen.
enum RIDEOUT { RIDEOUT_NONE, RIDEOUT_PUSHED, RIDEOUT_FELL, RIDEOUT_SHOT, RIDEOUT_KINDS };

// The keys she holds through the next pass.
struct RIDERKEYS {
    bool bLeft = false;
    bool bRight = false;
    bool bUp = false;
    bool bDown = false;
    bool bShot = false;
    bool bJump = false;
    bool bSub = false;
};

class CStageRider {
public:
    // The keys for the pass after the one just run; nFrame is the key record's frame of the stage.
    RIDERKEYS Steer(CGame& game, int nFrame);
    // A new stage, or the same one again: nothing of the last ride is kept.
    void Reset();

    // Why the stage in play is over for her (RIDEOUT_NONE while she rides on), and its words.
    static RIDEOUT OutOf(CGame& game);
    static const char* OutName(RIDEOUT eOut);

    // The boss body in play, alive or dying; null before it comes and once it is gone.
    static CEnemyPartBoss* FindBoss(CGame& game);
    // Aim and place at a boss in sight (she at v), on the ground or in the air: all a player needs
    // is to see it.
    static void FightOnGround(CEnemyPartBoss& boss, const D3DVECTOR& v, RIDERKEYS* pKeys);
    static void FightInFlight(CEnemyPartBoss& boss, const D3DVECTOR& v, RIDERKEYS* pKeys);
    // How far ahead of her the ground she rides on ends (a gap, or a drop to lower ground), looked
    // up in the map; far when it goes on beyond fMax.
    static float EdgeAhead(CStage& stage, const D3DVECTOR& v, float fMax);
    // An enemy ahead and well above her gun's level line, where only the gun turned up reaches.
    static bool IsEnemyAbove(CGame& game, const D3DVECTOR& v);
    // A jump over a gap is best taken this close to its edge, at the road's speed.
    static float GapTakeoff(float fSpeed) { return 3.0f * fSpeed + 12.0f; }
    // A jump at a wall a cell high is best taken this far from it, at the road's speed, with her
    // jump (its upward speed and gravity): she meets the wall halfway through the ticks her wheels
    // are above its top. Taken further off, she comes down in front of it.
    static float WallTakeoff(float fSpeed, float fJump, float fGravity);

private:
    void Ride(CGame& game, const D3DVECTOR& v, int nFrame, RIDERKEYS* pKeys);
    void JumpWhenHeldUp(CGame& game, const D3DVECTOR& v, int nFrame, RIDERKEYS* pKeys);
    // Towards x, with a little slack so she does not dither.
    static void MoveTowards(float fFrom, float fTo, RIDERKEYS* pKeys);
    // How far ahead the nearest wall, crate or spike stands at her height (far when none).
    static float ObstacleAhead(CGame& game, const D3DVECTOR& v);
    static bool IsBlockedAhead(CGame& game, const D3DVECTOR& v);

    int m_nJumpFrom = 0;
    int m_nJumpUntil = 0;
    float m_fLastX = 0.0f;
    int m_nHeldBack = 0;       // passes in a row she was carried back on the ground
    bool m_bHeldRight = false;
    bool m_bReach = false;     // right held through a jump over a gap
    bool m_bAtWall = false;    // in a jump at a wall
};
