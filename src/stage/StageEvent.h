// The stage events' run-time half: what the running stage does when an event of its screen comes.
// The running stage implements the call-backs; the stage data walks the screen's texts.
#pragma once
#include "platform/d3d/D3D.h"

struct BG0RECORD;
class CMsgWin;
class CObjectLabel;

class IStageEventTarget {
public:
    virtual ~IStageEventTarget() = default;
    // BG0: the record of the current screen (or the nearest lower one) becomes the far background.
    virtual void SetBg0Record(BG0RECORD* pRecord) = 0;
    // Whether the boss display reports a boss (LOOP with "Boss" or "NoBoss").
    virtual int IsBossBattle() = 0;
    // DANGER=Boss.
    virtual void StartBossWarning() = 0;
    // DANGER=x:y[:n]: n beacons at x centred on the height y (already turned to 480 - y); the
    // first DANGER of one RunEvents call has the chat-sound flag.
    virtual void StartDanger(int x, int y, int n, int bChatSound) = 0;
    // CHAT: the window prepared for the screen, to queue and open.
    virtual void AddChat(CMsgWin* pWin) = 0;
    // BOSS: the spawned label goes to layer list 6 and becomes the current boss; the boss display
    // starts with the boss number when it is 0 to 4.
    virtual void StartBoss(CObjectLabel* pLabel, int nBossNumber) = 0;
    // CONSTRUCTIVE: 1 for "On" (the stage applies its play option), 0 otherwise.
    virtual void SetConstructive(int bOn) = 0;
    // AERIALMODE.
    virtual void StartAerialMode() = 0;
};

// Builds the record's far-background strip: the picture (doubled for "200%") side by side until
// the strip is at least 640 wide. A picture name ending in "Off" keeps no surface. 1 on success.
int CreateBG0Surface(IDirect3DDevice7* lpDevice, BG0RECORD* pRecord);
