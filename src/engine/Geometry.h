// Small numeric functions shared by the stage, the objects and the bosses: rectangle, point and
// quad tests in screen pixels (y down), the 16-pixel cell masks that pre-filter collisions, segment
// intersection, and rounding and index helpers. A quad is four vertices in the order top-left,
// top-right, bottom-right, bottom-left.
#pragma once
#include "engine/AccAdjust.h"
#include "platform/d3d/D3D.h"
#include "platform/win/WinTypes.h"

#define CELL_SIZE 16
#define CELL_AREA_WIDTH 768
#define CELL_AREA_HEIGHT 608

// Bit n of the columns is the 16-pixel column n; likewise for the rows.
struct CELLMASK {
    DWORD dwCols[2];
    DWORD dwRows[2];
};

struct INTERSECTINFO {
    float x;
    float y;
    DWORD dwReserved;
};

// Touching edges do not overlap.
int IsRectOverlap(const RECT& a, const RECT& b);
// All edges included.
int IsPointInRect(const RECT& rc, float x, float y);
void GetQuadRect(RECT* prc, const D3DVECTOR* pQuad /*[4]*/);
// Whether the two quads (coordinates truncated) share a pixel under the polygon-region rule.
int IsQuadOverlap(const D3DVECTOR* pQuadA, const D3DVECTOR* pQuadB);
int IsPointInQuad(const D3DVECTOR* pQuad, float x, float y);
float Vec2Length(float x, float y);

void GetPointCellMask(CELLMASK* pMask, float x, float y);
void GetRectCellMask(CELLMASK* pMask, const RECT& rc);
int IsCellMaskOverlap(const CELLMASK& a, const CELLMASK& b);

int IntersectSegments(float ax0, float ay0, float ax1, float ay1, float bx0, float by0, float bx1, float by1,
                      INTERSECTINFO* pResult);
int CheckSpanCross(float a, float b, float c, int nDirection, float r);

int CoordToCell(float fValue, int nSize);
float RoundToTenth(float x);
float RoundToDigits(float x, int n);
int WrapIndex(int i, int n);
int LowestBitNumber(DWORD dwWord);
int GetRowOffset(int n);

// ---- Motion on top of the eased record --------------------------------------------------------------

// A part that slides in by 20 pixels braking, kicks back by 10, waits and comes to rest. The owner
// adds the attached record's value to its position each update.
struct ACCBOUNCE {
    enum { STATE_SLIDE = 0, STATE_KICK = 1, STATE_DONE = 2, STATE_WAIT = 3 };

    int nState;
    ACCINFO* pAcc;   // not owned; null: inactive
    int nWait;       // ms
    DWORD dwStamp;   // application timer 0
    int bWaited;
    float fRest;     // the value it rests at; set by the owner

    void Attach(ACCINFO* p) { pAcc = p; }
    void Detach() { pAcc = nullptr; }
    void Start();
    void Update();
    void SetLimitHit();
    // 1 when nothing is attached.
    int IsLimitHit() const;
};

// Off-screen timer: how long an object may stay off the screen before it is given up.
struct OFFSCREENTIMER {
    DWORD dwPeriod;
    DWORD dwStamp;
    DWORD bIdle;  // 1: not armed
};

// Steering timer: how often a follower picks a new target.
struct STEERTIMER {
    DWORD dwPeriod;
    DWORD dwStamp;
    DWORD bBusy;
};

// Every period: steers towards clamp(x, 100, 420) - base.
void SteerAccAdjust(float x, float fBase, STEERTIMER* pTimer, CAccAdjust* pAdjust);
// Moves x by the record's value and steps it; 1 (without moving) once the object has been off the
// screen for more than a second since the timer was armed.
int UpdateAccMoveX(float* px, float fWidth, ACCINFO* pAcc, OFFSCREENTIMER* pTimer);
