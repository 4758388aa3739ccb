#include "StageGrid.h"

#include <cstdio>

#include "stage/StageData.h"

namespace {

// The stage reader takes lines of STAGE_LINE_MAX bytes: a row goes on in a new line well before.
const size_t kLineLimit = STAGE_LINE_MAX * 2 / 3;

} // namespace

CLayerGrid::CLayerGrid(char cLetter, int nColumnsPerScreen, int nScreens)
    : m_cLetter(cLetter), m_nPerScreen(nColumnsPerScreen), m_nScreens(nScreens)
{
    const int nColumns = 10 + (nScreens - 1) * nColumnsPerScreen;
    for (std::string& row : m_Rows)
        row.assign((size_t)nColumns * 2, '0');
}

std::string CLayerGrid::Get(int nColumn, int nRR) const
{
    if (nColumn < 0 || nColumn >= Columns() || nRR < 1 || nRR > 8)
        return "00";
    return m_Rows[nRR - 1].substr((size_t)nColumn * 2, 2);
}

void CLayerGrid::Set(int nColumn, int nRR, const char* pszCode)
{
    if (nColumn < 0 || nColumn >= Columns() || nRR < 1 || nRR > 8)
        return;
    m_Rows[nRR - 1].replace((size_t)nColumn * 2, 2, pszCode);
}

void CLayerGrid::Emit(std::vector<std::string>& lines) const
{
    for (int nRR = 8; nRR >= 1; nRR--) {
        const std::string& row = m_Rows[nRR - 1];
        if (row.substr(0, (size_t)FirstColumn(m_nScreens) * 2).find_first_not_of('0') == std::string::npos)
            continue;
        std::string line;
        for (int s = 0; s < m_nScreens; s++) {
            if (line.empty() || line.size() > kLineLimit) {
                if (!line.empty())
                    lines.push_back(line);
                char szHead[16];
                snprintf(szHead, sizeof(szHead), "#%03d%c%02d:", s, m_cLetter, nRR);
                line = szHead;
            } else {
                line += ",";
            }
            const std::string token = row.substr((size_t)FirstColumn(s) * 2, (size_t)ScreenWidth(s) * 2);
            if (token.find_first_not_of('0') != std::string::npos)
                line += token;
        }
        lines.push_back(line);
    }
}
