#include "StageReview.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <set>
#include <utility>

#include "engine/Param.h"
#include "stage/EnemyFactory.h"
#include "stage/Object.h"
#include "stage/StageData.h"

namespace {

const float kCell = (float)STAGE_CELL_SIZE;
const int kRows = MAX_ROW_NUM;
// She stands and stops this far off what she touches; the ground probe reaches this far past her
// fall; her damage box's centre is this far above her point.
const float kStandOff = 5.0f;
const float kProbe = 15.0f;
const float kHeartRise = 40.0f;
const float kTolerance = 0.01f;
const float kFallOutY = 640.0f;
// Where she rides on the screen, and how far either way of it she may be.
const float kRideX = 250.0f;
const int kRideSlackColumns = 4;
// The first seconds after "GO!" (in ticks) in which nothing may reach her.
const int kCalmTicks = 240;
// A gap wants a takeoff window of this many ticks (spikes fewer) and a run-up of this many columns
// of level ground before its edge.
const int kTakeoffTicks = 6;
const int kHazardTakeoffTicks = 4;
const int kRunUpColumns = 3;
// How far back from an edge a takeoff is looked for, in ticks.
const int kWindowSearchTicks = 40;
// A speed-up's stretch: the screen in view when it comes and the columns just past the right edge.
const int kSpeedUpTailColumns = 2;
// The arena: the warning's screen, the boss's, the two the loop repeats and the one after.
const int kArenaScreens = 5;
const int kMaxAirTicks = 200;

enum CELLKIND { CK_NONE, CK_SOLID, CK_RIDEON, CK_UP, CK_DOWN };

struct CELL {
    CELLKIND eKind = CK_NONE;
    int nPiece = 0;      // slope piece 1 to 3
    float fHeight = 0;   // a solid's box height (its picture's, a full cell when unknown)
    bool bHazard = false;  // hurts her while her damage box's centre is inside
    bool bBreakable = false;  // a crate her gun breaks
};

// Her point riding the map: x from the map's start, y down the screen.
struct BODY {
    float x = 0.0f, y = 0.0f;
    float fRise = 0.0f;
    bool bAir = false;
};

// What one tick did to her.
struct TICKRESULT {
    bool bPinned = false;   // a side stopped her
    bool bBumped = false;   // a ceiling stopped her rise
    bool bOut = false;      // fallen below the map
    bool bHurt = false;     // her damage box's centre in a hazard
};

class CTerrain {
public:
    CTerrain(CStageData& data, const JUMPPHYSICS& jump);

    int Columns() const { return (int)m_Cells.size(); }
    const CELL& At(int nColumn, int nRow) const
    {
        static const CELL kNone;
        if (nColumn < 0 || nColumn >= Columns() || nRow < 0 || nRow >= kRows)
            return kNone;
        return m_Cells[nColumn][nRow];
    }
    float SpeedAt(int nColumn) const
    {
        return m_Speed.empty() ? 1.0f : m_Speed[std::clamp(nColumn, 0, (int)m_Speed.size() - 1)];
    }
    void SetSpeeds(std::vector<float> speeds) { m_Speed = std::move(speeds); }

    // The surface of a cell at x (slopes climb or fall a third of a pixel per pixel).
    float TopAt(int nColumn, int nRow, float x) const;
    float BottomOf(int nColumn, int nRow) const;
    // The highest standing surface of the column at or below y.
    bool FloorAt(int nColumn, float x, float y, float* pfTop) const;
    bool IsHazardAt(float x, float y) const;
    bool BlocksSide(int nColumn, int nRow, float y) const;
    bool IsWallAt(int nColumn, float y) const
    {
        for (int nRow = 0; nRow < kRows; nRow++) {
            if (BlocksSide(nColumn, nRow, y))
                return true;
        }
        return false;
    }

    TICKRESULT Tick(BODY& b, float v, bool bJump) const;
    // Her gun, always firing, breaks first the crates that face her where she rides: the near
    // crate of every row of them standing on the ground (the crates above it are left hanging).
    void ShootFronts();

    const JUMPPHYSICS& Jump() const { return m_Jump; }

private:
    void MoveAcross(BODY& b, float v, TICKRESULT* pResult) const;
    void MoveUpOrDown(BODY& b, TICKRESULT* pResult) const;

    std::vector<std::array<CELL, kRows>> m_Cells;
    std::vector<float> m_Speed;
    JUMPPHYSICS m_Jump;
};

int ColumnOf(float x) { return (int)std::floor(x / kCell); }

CELL CellOf(CObject* pObj)
{
    CELL cell;
    if (!pObj)
        return cell;
    const DWORD dwAttr = pObj->GetAttribute();
    const RECT& rc = pObj->m_rcRegion;
    cell.fHeight = rc.bottom > rc.top ? (float)(rc.bottom - rc.top + 1) : kCell;
    cell.bBreakable = (dwAttr & OBJATTR_CRUSH) && !(dwAttr & OBJATTR_CRUSH00);
    if (dwAttr & OBJATTR_NOTOUCH) {
        cell.bHazard = (dwAttr & OBJATTR_DAMAGE) != 0;
        return cell;
    }
    if (dwAttr & OBJATTR_RUNUP) {
        cell.eKind = CK_UP;
        cell.nPiece = (dwAttr & OBJATTR_RUNUP1) ? 1 : (dwAttr & OBJATTR_RUNUP2) ? 2 : 3;
    } else if (dwAttr & OBJATTR_RUNDOWN) {
        cell.eKind = CK_DOWN;
        cell.nPiece = (dwAttr & OBJATTR_RUNDOWN1) ? 1 : (dwAttr & OBJATTR_RUNDOWN2) ? 2 : 3;
    } else if (dwAttr & OBJATTR_RIDEON) {
        cell.eKind = CK_RIDEON;
    } else {
        // TOUCH, or a type the contact tests still meet at its outline.
        cell.eKind = CK_SOLID;
    }
    return cell;
}

CTerrain::CTerrain(CStageData& data, const JUMPPHYSICS& jump) : m_Jump(jump)
{
    const int nPerScreen = data.ColumnsPerScreen(STAGE_MAIN_LAYER);
    for (int nRow = 0; nRow < kRows; nRow++) {
        const int nScreens = data.GetRowCount(STAGE_MAIN_LAYER, nRow);
        for (int s = 0; s < nScreens; s++) {
            const STAGEROW* pRow = data.GetRow(STAGE_MAIN_LAYER, s, nRow);
            if (!pRow)
                continue;
            const int nFirst = s == 0 ? 0 : MAX_COLUMN_NUM + (s - 1) * nPerScreen;
            for (size_t i = 0; i + 1 < pRow->text.size(); i += 2) {
                const rvm::string code = pRow->text.substr(i, 2);
                if (code == "00")
                    continue;
                const int nColumn = nFirst + (int)(i / 2);
                if (nColumn >= Columns())
                    m_Cells.resize(nColumn + 1);
                m_Cells[nColumn][nRow] = CellOf(data.GetObject(code));
            }
        }
    }
}

void CTerrain::ShootFronts()
{
    for (int nColumn = Columns() - 1; nColumn >= 0; nColumn--) {
        for (int nRow = 0; nRow < kRows; nRow++) {
            CELL& cell = m_Cells[nColumn][nRow];
            const CELL& stand = At(nColumn - 1, nRow + 1);
            const bool bGroundInFront = stand.eKind != CK_NONE && !stand.bBreakable;
            if (cell.eKind == CK_SOLID && cell.bBreakable && At(nColumn - 1, nRow).eKind != CK_SOLID && bGroundInFront)
                cell = CELL();
        }
    }
}

float CTerrain::TopAt(int nColumn, int nRow, float x) const
{
    const CELL& c = At(nColumn, nRow);
    const float fTop = kCell * (float)nRow, lx = x - kCell * (float)nColumn;
    // The slope pieces' left ends: a third of the cell apart, a pixel above the cell's line.
    if (c.eKind == CK_UP)
        return fTop + kCell * (float)(3 - c.nPiece + 1) / 3.0f - 1.0f - lx / 3.0f;
    if (c.eKind == CK_DOWN)
        return fTop + kCell * (float)(3 - c.nPiece) / 3.0f - 1.0f + lx / 3.0f;
    return fTop;
}

float CTerrain::BottomOf(int nColumn, int nRow) const
{
    const CELL& c = At(nColumn, nRow);
    const float fTop = kCell * (float)nRow;
    if (c.eKind == CK_SOLID)
        return fTop + c.fHeight;
    return fTop + kCell + 1.0f;
}

bool CTerrain::BlocksSide(int nColumn, int nRow, float y) const
{
    const CELL& c = At(nColumn, nRow);
    if (c.eKind == CK_SOLID)
        return y > kCell * (float)nRow + kTolerance && y < BottomOf(nColumn, nRow) - kTolerance;
    // A slope met well below its line from the side stops her as a wall would.
    if (c.eKind == CK_UP || c.eKind == CK_DOWN)
        return y > TopAt(nColumn, nRow, kCell * (float)nColumn) + 8.0f && y < BottomOf(nColumn, nRow);
    return false;
}

bool CTerrain::FloorAt(int nColumn, float x, float y, float* pfTop) const
{
    for (int nRow = 0; nRow < kRows; nRow++) {
        if (At(nColumn, nRow).eKind == CK_NONE)
            continue;
        const float fTop = TopAt(nColumn, nRow, x);
        if (fTop >= y - kTolerance) {
            *pfTop = fTop;
            return true;
        }
    }
    return false;
}

bool CTerrain::IsHazardAt(float x, float y) const
{
    const int nColumn = ColumnOf(x), nRow = (int)std::floor(y / kCell);
    return At(nColumn, nRow).bHazard;
}

void CTerrain::MoveAcross(BODY& b, float v, TICKRESULT* pResult) const
{
    // The move looks its own length and five pixels further for a side to stop at.
    const float fReach = b.x + v + kStandOff + v;
    for (int nColumn = ColumnOf(b.x) + 1; (float)nColumn * kCell <= fReach; nColumn++) {
        if (!IsWallAt(nColumn, b.y))
            continue;
        // She stops short of the side, even when that is a little further than her move.
        const float fWas = b.x;
        b.x = (float)nColumn * kCell - kStandOff;
        pResult->bPinned = b.x < fWas + v - kTolerance;
        return;
    }
    b.x += v;
}

void CTerrain::MoveUpOrDown(BODY& b, TICKRESULT* pResult) const
{
    const float dy = -b.fRise;
    const int nColumn = ColumnOf(b.x);
    if (dy >= 0.0f) {
        float fTop = 0.0f;
        if (FloorAt(nColumn, b.x, b.y + kTolerance, &fTop) && fTop <= b.y + dy + kProbe) {
            b.y = fTop - kStandOff;
            b.fRise = 0.0f;
            b.bAir = false;
            return;
        }
        b.y += dy;
        b.bAir = true;
        pResult->bOut = b.y > kFallOutY;
        return;
    }
    // Rising: the lowest bottom above her within the probe stops her; platforms let her through.
    float fCeiling = -1e9f;
    for (int nRow = 0; nRow < kRows; nRow++) {
        const CELLKIND eKind = At(nColumn, nRow).eKind;
        if (eKind == CK_NONE || eKind == CK_RIDEON)
            continue;
        const float fBottom = BottomOf(nColumn, nRow);
        if (fBottom < b.y - kTolerance && fBottom >= b.y + dy - kProbe)
            fCeiling = std::max(fCeiling, fBottom);
    }
    b.bAir = true;
    if (fCeiling > -1e9f) {
        b.y = fCeiling + kStandOff;
        b.fRise = 0.0f;
        pResult->bBumped = true;
        return;
    }
    b.y += dy;
}

TICKRESULT CTerrain::Tick(BODY& b, float v, bool bJump) const
{
    TICKRESULT r;
    if (bJump && !b.bAir) {
        b.fRise = m_Jump.fJump;
        b.bAir = true;
    }
    b.fRise -= m_Jump.fGravity;
    MoveAcross(b, v, &r);
    MoveUpOrDown(b, &r);
    r.bHurt = IsHazardAt(b.x, b.y - kHeartRise);
    return r;
}

// The scroll speeds of the stage's screens, as its XSPEED events set them.
class CTimeline {
public:
    CTimeline(CStageData& data);
    float SpeedAtDistance(float fDistance) const;
    int TicksToDistance(float fDistance) const;
    int BossScreen() const { return m_nBossScreen; }
    // The screens whose events make the road faster than it was.
    const std::vector<int>& SpeedUps() const { return m_SpeedUps; }

private:
    std::vector<std::pair<float, float>> m_Changes;  // from a distance on, a speed
    std::vector<int> m_SpeedUps;
    int m_nBossScreen = -1;
};

CTimeline::CTimeline(CStageData& data)
{
    m_Changes.push_back({0.0f, data.m_vVelocityInit[STAGE_MAIN_LAYER].x});
    for (const auto& [nScreen, texts] : data.GetEventMap()) {
        for (const rvm::string& text : texts) {
            if (text.rfind("XSPEED=", 0) == 0 && (m_nBossScreen < 0 || nScreen < m_nBossScreen))
                m_Changes.push_back({kCell * MAX_COLUMN_NUM * (float)nScreen, (float)atof(text.c_str() + 7)});
            if (text.rfind("BOSS=", 0) == 0 && m_nBossScreen < 0)
                m_nBossScreen = nScreen;
        }
    }
    std::stable_sort(m_Changes.begin(), m_Changes.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < m_Changes.size(); i++) {
        if (m_Changes[i].second > m_Changes[i - 1].second)
            m_SpeedUps.push_back((int)std::lround(m_Changes[i].first / (kCell * MAX_COLUMN_NUM)));
    }
}

float CTimeline::SpeedAtDistance(float fDistance) const
{
    float v = m_Changes.front().second;
    for (const auto& change : m_Changes) {
        if (change.first <= fDistance)
            v = change.second;
    }
    return v;
}

int CTimeline::TicksToDistance(float fDistance) const
{
    float p = (float)STAGE_SPAWN_X;
    int nTicks = 0;
    while (p < fDistance && nTicks < 1000000) {
        const float v = SpeedAtDistance(p);
        if (v <= 0.0f)
            return -1;
        p += v;
        nTicks++;
    }
    return nTicks;
}

// The slowest speed she meets about each column: the one under her when she rides anywhere from
// the left edge to the middle of the screen. Distances are those of the screen's right edge.
std::vector<float> ColumnSpeeds(const CTimeline& timeline, int nColumns)
{
    const float fLead = (float)STAGE_SPAWN_X - kRideX;
    std::vector<float> at(nColumns), slowest(nColumns);
    for (int c = 0; c < nColumns; c++)
        at[c] = timeline.SpeedAtDistance(kCell * (float)c + fLead);
    for (int c = 0; c < nColumns; c++) {
        float v = at[c];
        for (int d = -kRideSlackColumns; d <= kRideSlackColumns; d++)
            v = std::min(v, at[std::clamp(c + d, 0, nColumns - 1)]);
        slowest[c] = std::max(v, 0.5f);
    }
    return slowest;
}

// A standing place: where she landed or rides on.
struct STAND {
    float x, y;
};

enum RIDEEND { RIDE_GOAL, RIDE_WALL, RIDE_PIT, RIDE_DROP, RIDE_HAZARD };

struct RIDE {
    std::vector<BODY> path;  // where she stands each tick, grounded
    RIDEEND eEnd = RIDE_GOAL;
    float fEdgeX = 0.0f;     // the wall's side, the pit's or the hazard's near edge
    BODY landing;            // after a drop, or past a hazard
};

struct JUMPEND {
    bool bLanded = false;
    bool bHurt = false;
    bool bBumped = false;
    BODY at;
};

float SurfaceOf(const CTerrain& t, int nColumn);

class CReview {
public:
    CReview(CTerrain& terrain, int nGoalColumn) : m_Terrain(terrain), m_fGoalX(kCell * (float)nGoalColumn) {}
    void Explore(const STAND& start);
    bool Reached() const { return m_bReached; }
    std::vector<FAIRFAULT> m_Faults;
    // The columns of the walls and of the gaps she meets on any way she takes.
    std::set<int> m_Walls, m_Gaps;

private:
    RIDE Ride(const STAND& from) const;
    JUMPEND JumpFrom(const BODY& from) const;
    void Visit(const STAND& s);
    bool Seen(float x, float y) const { return m_Seen.count(Key(x, y)) != 0; }
    static std::pair<int, int> Key(float x, float y) { return {ColumnOf(x), (int)std::lround(y / 4.0f)}; }
    void JudgeWall(const RIDE& ride);
    void JudgeGap(const RIDE& ride, const char* pszWhat);
    int RunUpColumns(const RIDE& ride) const;
    void Fault(FAIRRULE eRule, float x, const std::string& what);

    CTerrain& m_Terrain;
    float m_fGoalX;
    bool m_bReached = false;
    std::deque<STAND> m_Queue;
    std::set<std::pair<int, int>> m_Seen;
    std::set<std::pair<int, int>> m_Faulted;
};

void CReview::Fault(FAIRRULE eRule, float x, const std::string& what)
{
    const int nColumn = ColumnOf(x);
    if (m_Faulted.insert({eRule, nColumn}).second)
        m_Faults.push_back({eRule, nColumn, what});
}

RIDE CReview::Ride(const STAND& from) const
{
    RIDE ride;
    BODY b;
    b.x = from.x;
    b.y = from.y;
    while (b.x < m_fGoalX) {
        const BODY before = b;
        const TICKRESULT r = m_Terrain.Tick(b, m_Terrain.SpeedAt(ColumnOf(b.x)), false);
        if (r.bHurt) {
            ride.eEnd = RIDE_HAZARD;
            ride.fEdgeX = before.x;
            // She rides on through it, hurt, from where it ends.
            for (int t = 0; t < kMaxAirTicks && m_Terrain.IsHazardAt(b.x, b.y - kHeartRise) && !b.bAir; t++)
                m_Terrain.Tick(b, m_Terrain.SpeedAt(ColumnOf(b.x)), false);
            ride.landing = b;
            return ride;
        }
        if (r.bPinned && !b.bAir) {
            ride.path.push_back(b);
            ride.eEnd = RIDE_WALL;
            ride.fEdgeX = b.x + kStandOff;
            return ride;
        }
        if (b.bAir) {
            // Off an edge: where the fall ends.
            ride.fEdgeX = before.x;
            for (int t = 0; t < kMaxAirTicks && b.bAir; t++) {
                if (m_Terrain.Tick(b, m_Terrain.SpeedAt(ColumnOf(b.x)), false).bOut) {
                    ride.eEnd = RIDE_PIT;
                    return ride;
                }
            }
            ride.eEnd = b.bAir ? RIDE_PIT : RIDE_DROP;
            ride.landing = b;
            return ride;
        }
        ride.path.push_back(b);
    }
    ride.eEnd = RIDE_GOAL;
    return ride;
}

JUMPEND CReview::JumpFrom(const BODY& from) const
{
    JUMPEND end;
    BODY b = from;
    for (int t = 0; t < kMaxAirTicks; t++) {
        const TICKRESULT r = m_Terrain.Tick(b, m_Terrain.SpeedAt(ColumnOf(b.x)), t == 0);
        end.bHurt = end.bHurt || r.bHurt;
        end.bBumped = end.bBumped || r.bBumped;
        if (r.bOut)
            return end;
        if (!b.bAir) {
            end.bLanded = true;
            end.at = b;
            return end;
        }
    }
    return end;
}

void CReview::Visit(const STAND& s)
{
    if (Seen(s.x, s.y))
        return;
    m_Seen.insert(Key(s.x, s.y));
    m_Queue.push_back(s);
}

void CReview::Explore(const STAND& start)
{
    Visit(start);
    while (!m_Queue.empty()) {
        const STAND s = m_Queue.front();
        m_Queue.pop_front();
        const RIDE ride = Ride(s);
        for (const BODY& b : ride.path)
            m_Seen.insert(Key(b.x, b.y));
        // Every jump she could take on the way, for the places it reaches.
        for (const BODY& b : ride.path) {
            const JUMPEND j = JumpFrom(b);
            if (j.bLanded && !j.bHurt)
                Visit({j.at.x, j.at.y});
        }
        switch (ride.eEnd) {
        case RIDE_GOAL:
            m_bReached = true;
            break;
        case RIDE_WALL:
            JudgeWall(ride);
            break;
        case RIDE_PIT:
            JudgeGap(ride, "gap");
            break;
        case RIDE_HAZARD:
            JudgeGap(ride, "hazard");
            Visit({ride.landing.x, ride.landing.y});
            break;
        case RIDE_DROP:
            Visit({ride.landing.x, ride.landing.y});
            break;
        }
    }
}

void CReview::JudgeWall(const RIDE& ride)
{
    m_Walls.insert(ColumnOf(ride.fEdgeX));
    const JUMPEND j = JumpFrom(ride.path.back());
    if (j.bLanded && j.at.x > ride.fEdgeX) {
        Visit({j.at.x, j.at.y});
        return;
    }
    char sz[160];
    if (j.bBumped) {
        snprintf(sz, sizeof(sz), "something above the ground in front of the wall stops her jump: pinned, "
                                 "no way over or under");
        Fault(FAIR_PIN, ride.fEdgeX, sz);
    } else {
        snprintf(sz, sizeof(sz), "a wall higher than a normal jump (she stands at y %.0f)", ride.path.back().y);
        Fault(FAIR_WALL, ride.fEdgeX, sz);
    }
    // On from the wall's top, as if she got over it, for the faults beyond.
    const int nWall = ColumnOf(ride.fEdgeX);
    const float fTop = SurfaceOf(m_Terrain, nWall);
    if (fTop >= 0.0f)
        Visit({kCell * (float)nWall + kCell / 2.0f, fTop - kStandOff});
}

// The columns of level ground before the edge: how long she sees it coming.
int CReview::RunUpColumns(const RIDE& ride) const
{
    if (ride.path.empty())
        return 0;
    const BODY& last = ride.path.back();
    int nColumns = 0;
    for (int c = ColumnOf(last.x) - 1; c >= 0 && nColumns < kRunUpColumns; c--, nColumns++) {
        float fTop = 0.0f;
        const float x = kCell * (float)c + kCell / 2.0f;
        if (m_Terrain.IsWallAt(c, last.y) || !m_Terrain.FloorAt(c, x, last.y, &fTop) ||
            std::fabs(fTop - kStandOff - last.y) > 1.0f)
            break;
    }
    return nColumns;
}

void CReview::JudgeGap(const RIDE& ride, const char* pszWhat)
{
    m_Gaps.insert(ColumnOf(ride.fEdgeX));
    // The window: the longest run of ticks, among the last before the edge, from which a jump
    // lands safely beyond it (a jump taken at the very edge of spikes may come down short).
    int nWindow = 0, nRun = 0, nLooked = 0;
    for (auto it = ride.path.rbegin(); it != ride.path.rend() && nLooked < kWindowSearchTicks; ++it, nLooked++) {
        // Safe: down beyond the edge, or on something higher that carries her on (planks over it).
        const JUMPEND j = JumpFrom(*it);
        const bool bOn = j.at.x > ride.fEdgeX + kCell * 0.5f || j.at.y < it->y - kCell * 0.5f;
        const bool bSafe = j.bLanded && !j.bHurt && bOn;
        nRun = bSafe ? nRun + 1 : 0;
        nWindow = std::max(nWindow, nRun);
    }
    char sz[160];
    const float v = m_Terrain.SpeedAt(ColumnOf(ride.fEdgeX));
    // Spikes hurt and do not kill: a shorter window will do.
    const int nWanted = ride.eEnd == RIDE_HAZARD ? kHazardTakeoffTicks : kTakeoffTicks;
    if (nWindow < nWanted) {
        snprintf(sz, sizeof(sz), "a %s a normal jump clears from only %d ticks at speed %.1f (%d wanted)", pszWhat,
                 nWindow, v, nWanted);
        Fault(FAIR_GAP, ride.fEdgeX, sz);
        return;
    }
    const int nRunUp = RunUpColumns(ride);
    if (nRunUp < kRunUpColumns) {
        snprintf(sz, sizeof(sz), "a %s after only %d columns of level ground: no time to see it (%d wanted)",
                 pszWhat, nRunUp, kRunUpColumns);
        Fault(FAIR_GAP, ride.fEdgeX, sz);
    }
}

// The first standing height of a column, from the top: -1 for none.
float SurfaceOf(const CTerrain& t, int nColumn)
{
    float fTop = 0.0f;
    return t.FloorAt(nColumn, kCell * (float)nColumn, 0.0f, &fTop) ? fTop : -1.0f;
}

// Level ground only, with nothing solid or hurtful above it, from column nFrom to nTo.
void CheckLevel(const CTerrain& t, int nFrom, int nTo, FAIRRULE eRule, const char* pszWhere,
                std::vector<FAIRFAULT>* pFaults)
{
    const float fGround = SurfaceOf(t, nFrom);
    for (int c = nFrom; c < nTo; c++) {
        const float fTop = SurfaceOf(t, c);
        bool bClear = fTop == fGround && fTop >= 0.0f;
        for (int nRow = 0; bClear && nRow < kRows; nRow++) {
            const CELL& cell = t.At(c, nRow);
            bClear = !cell.bHazard && (kCell * (float)nRow >= fGround || cell.eKind == CK_NONE);
        }
        if (!bClear) {
            pFaults->push_back({eRule, c, std::string("ground not level and clear ") + pszWhere});
            return;
        }
    }
}

// An enemy cell of layer E (passers-by are not enemies).
struct ENEMYAT {
    int nColumn;
    ENEMYKIND eKind;
    std::string strCode;
};

std::vector<ENEMYAT> EnemiesOf(CStageData& data)
{
    std::vector<ENEMYAT> enemies;
    const int nPerScreen = data.ColumnsPerScreen(STAGE_ENEMY_LAYER);
    for (int nRow = 0; nRow < kRows; nRow++) {
        for (int s = 0; s < data.GetRowCount(STAGE_ENEMY_LAYER, nRow); s++) {
            const STAGEROW* pRow = data.GetRow(STAGE_ENEMY_LAYER, s, nRow);
            const int nFirst = s == 0 ? 0 : MAX_COLUMN_NUM + (s - 1) * nPerScreen;
            for (size_t i = 0; pRow && i + 1 < pRow->text.size(); i += 2) {
                const rvm::string code = pRow->text.substr(i, 2);
                int nVariant = 0;
                const ENEMYKIND eKind = FindEnemyKind(code.c_str(), &nVariant);
                if (eKind != ENEMYKIND_NONE)
                    enemies.push_back({nFirst + (int)(i / 2), eKind, code.c_str()});
            }
        }
    }
    std::stable_sort(enemies.begin(), enemies.end(),
                     [](const ENEMYAT& a, const ENEMYAT& b) { return a.nColumn < b.nColumn; });
    return enemies;
}

// The first enemy from column nFrom to nTo, if any.
void CheckNoEnemies(const std::vector<ENEMYAT>& enemies, int nFrom, int nTo, FAIRRULE eRule, const char* pszWhere,
                    std::vector<FAIRFAULT>* pFaults)
{
    for (const ENEMYAT& e : enemies) {
        if (e.nColumn >= nFrom && e.nColumn < nTo) {
            pFaults->push_back({eRule, e.nColumn, std::string("an enemy ") + pszWhere});
            return;
        }
    }
}

// Each kind's first enemy with another within a screen of it: a kind not shown alone first.
std::vector<FAIRFAULT> FirstsInCompany(const std::vector<ENEMYAT>& enemies)
{
    std::vector<FAIRFAULT> faults;
    std::set<int> met;
    for (const ENEMYAT& e : enemies) {
        if (!met.insert(e.eKind).second)
            continue;
        for (const ENEMYAT& other : enemies) {
            if (&other != &e && std::abs(other.nColumn - e.nColumn) <= MAX_COLUMN_NUM) {
                faults.push_back({FAIR_CURVE, e.nColumn,
                                  "the first " + e.strCode + " comes with " + other.strCode + " within a screen"});
                break;
            }
        }
    }
    return faults;
}

} // namespace

bool STAGEREVIEW::HasFault(FAIRRULE eRule, int nColumn) const
{
    return std::any_of(faults.begin(), faults.end(), [eRule, nColumn](const FAIRFAULT& f) {
        return f.eRule == eRule && (nColumn < 0 || f.nColumn == nColumn);
    });
}

JUMPPHYSICS ReadJumpPhysics()
{
    JUMPPHYSICS jump;
    jump.fJump = GetParamFloat("JUMP", 0, 16.0f);
    jump.fGravity = GetParamFloat("GRAVITY", 0, 16.333333f) * 0.1f;
    return jump;
}

STAGEREVIEW ReviewStage(CStageData& data, const JUMPPHYSICS& jump)
{
    STAGEREVIEW review;
    CTimeline timeline(data);
    CTerrain terrain(data, jump);
    review.nBossScreen = timeline.BossScreen();
    const std::vector<ENEMYAT> enemies = EnemiesOf(data);
    review.nEnemies = (int)enemies.size();
    review.firstsInCompany = FirstsInCompany(enemies);
    if (review.nBossScreen < 1) {
        review.faults.push_back({FAIR_ROUTE, 0, "no boss"});
        return review;
    }
    const int nWarning = (review.nBossScreen - 1) * MAX_COLUMN_NUM;
    review.nRideTicks = timeline.TicksToDistance(kCell * MAX_COLUMN_NUM * (float)review.nBossScreen);
    terrain.SetSpeeds(ColumnSpeeds(timeline, std::max(terrain.Columns(), nWarning + 1)));

    // Nothing reaches her in the first seconds: the columns that come to her x, and the enemies
    // whose columns come in at the right edge.
    const float v0 = terrain.SpeedAt(0);
    const int nCalm = (int)((v0 * (float)(kCalmTicks + 1) + kRideX) / kCell) + 1;
    const int nCalmEnemies = (int)((v0 * (float)kCalmTicks + (float)STAGE_SPAWN_X) / kCell) + 1;
    CheckLevel(terrain, 0, std::min(nCalm, nWarning), FAIR_START, "in the first seconds", &review.faults);
    CheckNoEnemies(enemies, 0, nCalmEnemies, FAIR_START, "in the first seconds", &review.faults);
    // A jump timed at the old pace misses at the new one: nothing in view where the road speeds up
    // may ask for a jump.
    for (int nScreen : timeline.SpeedUps()) {
        const int nFrom = (nScreen - 1) * MAX_COLUMN_NUM, nTo = nScreen * MAX_COLUMN_NUM + kSpeedUpTailColumns;
        CheckLevel(terrain, nFrom, nTo, FAIR_SPEEDUP, "in view where the road speeds up", &review.faults);
        CheckNoEnemies(enemies, nFrom, nTo, FAIR_SPEEDUP, "in view where the road speeds up", &review.faults);
    }
    CheckLevel(terrain, nWarning, nWarning + kArenaScreens * MAX_COLUMN_NUM, FAIR_ARENA, "in the boss's arena",
               &review.faults);
    CheckNoEnemies(enemies, nWarning, nWarning + kArenaScreens * MAX_COLUMN_NUM, FAIR_ARENA, "in the boss's arena",
                   &review.faults);

    // She lands a few columns in after running in from the left.
    CReview ride(terrain, nWarning);
    const int nStart = 3;
    const float fStart = SurfaceOf(terrain, nStart);
    if (fStart < 0.0f) {
        review.faults.push_back({FAIR_START, nStart, "no ground where she lands"});
        return review;
    }
    ride.Explore({kCell * (float)nStart + kCell / 2.0f, fStart - kStandOff});
    review.faults.insert(review.faults.end(), ride.m_Faults.begin(), ride.m_Faults.end());
    if (!ride.Reached())
        review.faults.push_back({FAIR_ROUTE, nWarning, "no way from the start to the boss"});
    // A crate shot away may leave a step too high, or a block over the road to pin her.
    terrain.ShootFronts();
    CReview shot(terrain, nWarning);
    shot.Explore({kCell * (float)nStart + kCell / 2.0f, fStart - kStandOff});
    for (FAIRFAULT& fault : shot.m_Faults) {
        if (!review.HasFault(fault.eRule, fault.nColumn))
            review.faults.push_back({fault.eRule, fault.nColumn, "with the crate in front shot away, " + fault.strWhat});
    }
    review.nWalls = (int)ride.m_Walls.size();
    review.nGaps = (int)ride.m_Gaps.size();
    return review;
}

double STAGEREVIEW::PerMinute(int nCount) const
{
    return nRideTicks > 0 ? nCount * 3600.0 / nRideTicks : 0.0;
}

void ReviewCurve(std::vector<STAGEREVIEW>& stages)
{
    char sz[160];
    for (size_t i = 1; i < stages.size(); i++) {
        const STAGEREVIEW &was = stages[i - 1], &now = stages[i];
        const struct {
            const char* pszWhat;
            double fWas, fNow;
        } rates[] = {{"gaps and hazards", was.PerMinute(was.nGaps), now.PerMinute(now.nGaps)},
                     {"enemies", was.PerMinute(was.nEnemies), now.PerMinute(now.nEnemies)}};
        for (const auto& rate : rates) {
            if (rate.fNow < rate.fWas) {
                snprintf(sz, sizeof(sz), "%.1f %s a minute, fewer than the %.1f of the stage before", rate.fNow,
                         rate.pszWhat, rate.fWas);
                stages[i].faults.push_back({FAIR_CURVE, 0, sz});
            }
        }
        if (now.PerMinute(now.nWalls) <= stages[0].PerMinute(stages[0].nWalls)) {
            snprintf(sz, sizeof(sz), "%.1f walls and steps a minute, no more than the first stage's %.1f",
                     now.PerMinute(now.nWalls), stages[0].PerMinute(stages[0].nWalls));
            stages[i].faults.push_back({FAIR_CURVE, 0, sz});
        }
    }
    if (!stages.empty())
        stages[0].faults.insert(stages[0].faults.end(), stages[0].firstsInCompany.begin(),
                                stages[0].firstsInCompany.end());
}

const char* FairRuleName(FAIRRULE eRule)
{
    static const char* const kNames[FAIR_RULE_COUNT] = {"wall", "pinned", "gap", "start", "speed-up", "arena", "route",
                                                                         "curve"};
    return eRule >= 0 && eRule < FAIR_RULE_COUNT ? kNames[eRule] : "?";
}

std::string DescribeFault(const FAIRFAULT& fault)
{
    char sz[64];
    snprintf(sz, sizeof(sz), "%s at column %d (screen %d): ", FairRuleName(fault.eRule), fault.nColumn,
             fault.nColumn / MAX_COLUMN_NUM);
    return sz + fault.strWhat;
}
