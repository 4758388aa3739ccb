#include "DataSet.h"

#include <cstdio>

CDataSet::CDataSet(const std::string& outDir, SYNCMODE mode) : m_Sync(outDir, mode), m_bFailed(false), m_nFiles(0)
{
}

bool CDataSet::Write(const std::string& rel, const std::vector<uint8_t>& bytes)
{
    if (!m_Written.insert(rel).second) {
        std::fprintf(stderr, "makedata: GameData/%s is written twice\n", rel.c_str());
        m_bFailed = true;
        return false;
    }
    if (!m_Sync.Put(rel, bytes)) {
        m_bFailed = true;
        return false;
    }
    m_nFiles++;
    return true;
}

bool CDataSet::WriteText(const std::string& rel, const std::string& text)
{
    return Write(rel, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string JoinCrLf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}
