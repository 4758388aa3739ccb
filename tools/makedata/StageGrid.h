// The map of one layer of a sample stage while it is built: two-character codes by column and row
// (RR 1 at the bottom to 8 at the top), written out as the stage file's map lines.
#pragma once
#include <string>
#include <vector>

class CLayerGrid {
public:
    CLayerGrid(char cLetter, int nColumnsPerScreen, int nScreens);

    int Columns() const { return (int)m_Rows[0].size() / 2; }
    int PerScreen() const { return m_nPerScreen; }
    // The first column of a screen: screen 0 has ten, every other its layer's count.
    int FirstColumn(int nScreen) const { return nScreen == 0 ? 0 : 10 + (nScreen - 1) * m_nPerScreen; }
    int ScreenWidth(int nScreen) const { return nScreen == 0 ? 10 : m_nPerScreen; }
    int ScreenOf(int nColumn) const { return nColumn < 10 ? 0 : 1 + (nColumn - 10) / m_nPerScreen; }
    std::string Get(int nColumn, int nRR) const;
    bool IsEmpty(int nColumn, int nRR) const { return Get(nColumn, nRR) == "00"; }
    void Set(int nColumn, int nRR, const char* pszCode);
    // Only the first nScreens are written.
    void SetScreens(int nScreens) { m_nScreens = nScreens; }
    // One line per row that holds anything, token i for screen i, empty screens as empty tokens;
    // a long row goes on over several lines, each starting at its own screen, so that no line is
    // longer than the stage reader takes.
    void Emit(std::vector<std::string>& lines) const;

private:
    char m_cLetter;
    int m_nPerScreen;
    int m_nScreens;
    std::string m_Rows[8];
};
