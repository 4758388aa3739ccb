// A sample stage laid out left to right the way a level designer lays one out: level ground at a
// height, hills, steps, gaps, blocks and crates on it, enemies and passers-by above it, events at
// the screens where things begin, and the scenery layers all along. The set pieces the five stages
// are made of (StagePlans) use nothing but these.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "StageGrid.h"

// Main-layer codes of the terrain every stage defines.
#define CODE_GROUND_A "G1"
#define CODE_GROUND_B "G2"
#define CODE_FILL "GF"
#define CODE_EDGE_LEFT "GL"
#define CODE_EDGE_RIGHT "GR"
#define CODE_FILL_LEFT "FL"
#define CODE_FILL_RIGHT "FR"
#define CODE_PLATFORM "R1"
#define CODE_SIGN "N1"
#define CODE_SPIKES "S1"
#define CODE_SAFE "K4"

class CStageBuilder {
public:
    // Room for nScreens; the stage ends where the builder has got to.
    CStageBuilder(int nStage, int nScreens);

    int Stage() const { return m_nStage; }
    int Column() const { return m_nColumn; }
    int Screen() const { return m_Main.ScreenOf(m_nColumn); }
    // The RR of the ground's top cell at the cursor (1 at the bottom of the map).
    int Height() const { return m_nHeight; }
    // The road's speed from the cursor on, as the plan last set it.
    int RoadSpeed() const { return m_nRoadSpeed; }
    void SetRoadSpeed(int v) { m_nRoadSpeed = v; }
    // How many columns right behind the cursor are calm: level ground at the present height,
    // nothing on it but signs, no enemy over it (passers-by are no enemies).
    int CalmBehind() const;
    // A number from 0 to n - 1, the same on every generation.
    int Random(int n);

    // Terrain from the cursor on; the cursor moves past it.
    void Level(int nColumns);
    // The ground one cell higher or lower from the next column on.
    void Raise() { m_nHeight++; }
    void Lower() { m_nHeight = m_nHeight > 1 ? m_nHeight - 1 : 1; }
    // A slope up a cell, nTop columns along the top, and down again.
    void Hill(int nTop);
    // No ground for nColumns: a pit. With bBridge, planks carry her across at the ground's height.
    void Pit(int nColumns, bool bBridge);

    // An object at the cursor + nOffset, nAbove cells over the ground's top cell there (over the
    // ground's present height where the cursor has not got to yet).
    void Put(int nOffset, int nAbove, const char* pszCode);
    // An enemy or a passer-by nOffset columns from the cursor, nAbove cells over the ground.
    void Enemy(int nOffset, int nAbove, const char* pszCode);
    // An event at the screen of the cursor + nOffset.
    void Event(int nOffset, const std::string& text);
    void EventAtScreen(int nScreen, const std::string& text);

    // The main layer's rows RR 2 and 3 of a screen written as a group of that name, placed at the
    // screen by its name: the same cells, the way a designer writes a piece used again.
    void WriteAsGroup(int nScreen, const std::string& name);

    // The boss's arena from the next screen on: the warning's screen (with its chat) and the
    // arena, flat.
    void Arena(const char* pszBoss, bool bAerial, const std::string& strChat);

    // Writes the map lines and the events of the stage.
    void Emit(std::vector<std::string>& lines);

    int BossScreen() const { return m_nBossScreen; }

private:
    void Dress();
    void Scenery();
    void EmitGroups(std::vector<std::string>& lines);
    std::string GroundCode(int nColumn, int nRR) const;
    int GroundAt(int nColumn) const;
    int HeightAt(int nColumn) const;
    int TopAt(int nColumn) const;

    int m_nStage;
    uint32_t m_nSeed;
    int m_nColumn = 0;
    int m_nHeight = 1;
    int m_nRoadSpeed = 0;
    int m_nBossScreen = -1;
    CLayerGrid m_Far, m_Near, m_Main, m_Front, m_Enemies;
    std::vector<int> m_Ground;  // per main column the RR of the ground's top cell, 0 for none
    std::vector<bool> m_Slope;  // the column's top cell is a slope piece
    std::map<int, std::vector<std::string>> m_Events;
    std::map<int, std::string> m_Groups;  // by screen
};
