#include "StageBuilder.h"

#include <algorithm>
#include <cstdio>

namespace {

// Map rows are RR 1 (the bottom) to 8; the heroine's view shows the lowest seven and a half.
const int kTopRR = 8;
// Screens of road after the boss's: the boss falls, the tally counts and the stage ends on them.
const int kArenaTail = 16;

} // namespace

CStageBuilder::CStageBuilder(int nStage, int nScreens)
    : m_nStage(nStage),
      m_nSeed(0x5EED0000u + (uint32_t)nStage * 7919u),
      m_Far('A', 5, nScreens),
      m_Near('B', 7, nScreens),
      m_Main('C', 10, nScreens),
      m_Front('D', 15, nScreens),
      m_Enemies('E', 10, nScreens),
      m_Ground((size_t)m_Main.Columns(), 0),
      m_Slope((size_t)m_Main.Columns(), false)
{
}

int CStageBuilder::Random(int n)
{
    // A linear congruential generator: the same numbers on every machine and every generation.
    m_nSeed = m_nSeed * 1664525u + 1013904223u;
    return n > 0 ? (int)((m_nSeed >> 8) % (uint32_t)n) : 0;
}

int CStageBuilder::GroundAt(int nColumn) const
{
    return nColumn >= 0 && nColumn < (int)m_Ground.size() ? m_Ground[nColumn] : 0;
}

void CStageBuilder::Level(int nColumns)
{
    for (int i = 0; i < nColumns && m_nColumn < (int)m_Ground.size(); i++)
        m_Ground[m_nColumn++] = m_nHeight;
}

void CStageBuilder::Hill(int nTop)
{
    const char* const kUp[] = {"U1", "U2", "U3"};
    const char* const kDown[] = {"D3", "D2", "D1"};
    for (const char* pszPiece : kUp) {
        m_Main.Set(m_nColumn, m_nHeight + 1, pszPiece);
        m_Slope[m_nColumn] = true;
        Level(1);
    }
    m_nHeight++;
    Level(nTop);
    m_nHeight--;
    for (const char* pszPiece : kDown) {
        m_Main.Set(m_nColumn, m_nHeight + 1, pszPiece);
        m_Slope[m_nColumn] = true;
        Level(1);
    }
}

int CStageBuilder::CalmBehind() const
{
    int nCalm = 0;
    for (int c = m_nColumn - 1; c >= 0 && GroundAt(c) == m_nHeight && !m_Slope[c]; c--, nCalm++) {
        for (int nRR = m_nHeight + 1; nRR <= kTopRR; nRR++) {
            if (!m_Main.IsEmpty(c, nRR) && m_Main.Get(c, nRR) != CODE_SIGN)
                return nCalm;
        }
        for (int nRR = 1; nRR <= kTopRR; nRR++) {
            if (!m_Enemies.IsEmpty(c, nRR) && m_Enemies.Get(c, nRR)[0] != 'Q')
                return nCalm;
        }
    }
    return nCalm;
}

void CStageBuilder::Pit(int nColumns, bool bBridge)
{
    for (int i = 0; i < nColumns && m_nColumn < (int)m_Ground.size(); i++) {
        if (bBridge)
            m_Main.Set(m_nColumn, m_nHeight, CODE_PLATFORM);
        m_Ground[m_nColumn++] = 0;
    }
}

// Columns from the cursor on are laid at the height the ground has now; those behind it have
// theirs (0 in a gap).
int CStageBuilder::HeightAt(int nColumn) const
{
    return nColumn < m_nColumn ? GroundAt(nColumn) : m_nHeight;
}

void CStageBuilder::Put(int nOffset, int nAbove, const char* pszCode)
{
    const int nColumn = m_nColumn + nOffset;
    m_Main.Set(nColumn, HeightAt(nColumn) + nAbove, pszCode);
}

void CStageBuilder::Enemy(int nOffset, int nAbove, const char* pszCode)
{
    const int nColumn = m_nColumn + nOffset;
    const int nGround = HeightAt(nColumn) > 0 ? HeightAt(nColumn) : m_nHeight;
    m_Enemies.Set(nColumn, std::min(kTopRR, nGround + nAbove), pszCode);
}

void CStageBuilder::Event(int nOffset, const std::string& text)
{
    EventAtScreen(m_Main.ScreenOf(m_nColumn + nOffset), text);
}

void CStageBuilder::EventAtScreen(int nScreen, const std::string& text)
{
    m_Events[nScreen].push_back(text);
}

void CStageBuilder::Arena(const char* pszBoss, bool bAerial, const std::string& strChat)
{
    // The warning comes with a screen of its own, the boss with the next; the arena repeats while
    // the boss lives. Past it the road runs on at its pace while the tally counts, long enough for
    // the stage to end on it, and halts only at its far end: a road that halts (or crawls) after a
    // change of speed leaves the ground a little out of line with her, and where she stood still
    // near the edge of a cell she would drop through it.
    Level(m_Main.FirstColumn(Screen() + (m_nColumn % 10 ? 1 : 0)) - m_nColumn);
    const int nWarning = Screen();
    m_nBossScreen = nWarning + 1;
    EventAtScreen(nWarning, "DANGER=Boss");
    EventAtScreen(nWarning, "BGM=Off");
    EventAtScreen(nWarning, strChat);
    if (bAerial)
        EventAtScreen(nWarning, "AERIALMODE");
    EventAtScreen(m_nBossScreen, std::string("BOSS=") + pszBoss);
    EventAtScreen(m_nBossScreen, "BGM=Boss.wav:0");
    EventAtScreen(m_nBossScreen + 2, "LOOP=" + std::to_string(m_nBossScreen) + ":Boss");
    EventAtScreen(m_nBossScreen + kArenaTail - 1, "XSPEED=0");
    Level(10 * (kArenaTail + 2));
}

// How high the terrain of a column reaches: a slope piece stands a cell over its ground.
int CStageBuilder::TopAt(int nColumn) const
{
    const bool bSlope = nColumn >= 0 && nColumn < (int)m_Slope.size() && m_Slope[nColumn];
    return GroundAt(nColumn) + (bSlope ? 1 : 0);
}

std::string CStageBuilder::GroundCode(int nColumn, int nRR) const
{
    const int nHere = GroundAt(nColumn);
    const bool bLeftOpen = TopAt(nColumn - 1) < nRR && nColumn > 0;
    const bool bRightOpen = TopAt(nColumn + 1) < nRR && nColumn + 1 < m_nColumn;
    if (nRR < nHere || (nRR == nHere && m_Slope[nColumn]))
        return bLeftOpen && !m_Slope[nColumn] ? CODE_FILL_LEFT : bRightOpen && !m_Slope[nColumn] ? CODE_FILL_RIGHT : CODE_FILL;
    if (bLeftOpen)
        return CODE_EDGE_LEFT;
    if (bRightOpen)
        return CODE_EDGE_RIGHT;
    return nColumn % 3 == 2 ? CODE_GROUND_B : CODE_GROUND_A;
}

void CStageBuilder::Dress()
{
    for (int c = 0; c < m_nColumn; c++) {
        for (int nRR = 1; nRR <= GroundAt(c); nRR++)
            m_Main.Set(c, nRR, GroundCode(c, nRR).c_str());
    }
}

// The far ground and trees on layer A, balloons, glows and haze in the sky of layer B, grass and
// pools in front on layer D: the same rhythm on every stage, each in its own look.
void CStageBuilder::Scenery()
{
    for (int col = 0; col < m_Far.Columns(); col++) {
        m_Far.Set(col, 1, "F1");
        if (col % 3 == 1)
            m_Far.Set(col, 3, col % 2 ? "T1" : "T2");
    }
    for (int col = 0; col < m_Near.Columns(); col++) {
        if (col % 9 == 2)
            m_Near.Set(col, 4, "B1");
        if (col % 7 == 5)
            m_Near.Set(col, 6, "L1");
        if (col % 11 == 8)
            m_Near.Set(col, 7, "H1");
    }
    for (int col = 0; col < m_Front.Columns(); col++) {
        if (col % 4 == 1)
            m_Front.Set(col, 1, "P1");
        if (col % 13 == 6)
            m_Front.Set(col, 1, "WA");
    }
}

void CStageBuilder::WriteAsGroup(int nScreen, const std::string& name)
{
    m_Groups[nScreen] = name;
}

// The groups' rows (token k of a row for group k), their names, and each placed at its screen; the
// cells they hold leave the directly written rows.
void CStageBuilder::EmitGroups(std::vector<std::string>& lines)
{
    if (m_Groups.empty())
        return;
    const int kRows[] = {3, 2};
    for (int nRR : kRows) {
        std::string line = "#999X0" + std::to_string(nRR) + ":";
        bool bFirst = true;
        for (const auto& [nScreen, name] : m_Groups) {
            const int nFirst = m_Main.FirstColumn(nScreen);
            std::string token;
            for (int c = nFirst; c < nFirst + m_Main.ScreenWidth(nScreen); c++) {
                token += m_Main.Get(c, nRR);
                m_Main.Set(c, nRR, "00");
            }
            line += (bFirst ? "" : ",") + token;
            bFirst = false;
        }
        lines.push_back(line);
    }
    std::string names = "#999X00:";
    bool bFirst = true;
    for (const auto& entry : m_Groups) {
        names += (bFirst ? "" : ",") + entry.second;
        bFirst = false;
    }
    lines.push_back(names);
    for (const auto& [nScreen, name] : m_Groups) {
        char sz[16];
        snprintf(sz, sizeof(sz), "#%03dC00:", nScreen);
        lines.push_back(sz + name);
    }
}

void CStageBuilder::Emit(std::vector<std::string>& lines)
{
    const int nScreens = Screen() + (m_nColumn % 10 ? 1 : 0);
    Dress();
    Scenery();
    for (CLayerGrid* pGrid : {&m_Far, &m_Near, &m_Main, &m_Front, &m_Enemies})
        pGrid->SetScreens(nScreens);
    std::vector<std::string> groups;
    EmitGroups(groups);
    lines.push_back("// main layer");
    m_Main.Emit(lines);
    lines.push_back("// scenery");
    m_Far.Emit(lines);
    m_Near.Emit(lines);
    m_Front.Emit(lines);
    lines.push_back("// enemies and passers-by");
    m_Enemies.Emit(lines);
    lines.push_back("// events");
    for (const auto& [nScreen, texts] : m_Events) {
        char sz[16];
        snprintf(sz, sizeof(sz), "#%03dXXX:", nScreen);
        for (const std::string& text : texts)
            lines.push_back(sz + text);
    }
    if (!groups.empty())
        lines.push_back("// groups");
    lines.insert(lines.end(), groups.begin(), groups.end());
}
