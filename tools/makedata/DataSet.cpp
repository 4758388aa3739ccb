#include "DataSet.h"

#include <cstdio>
#include <filesystem>

CDataSet::CDataSet(const std::string& outDir, SYNCMODE mode)
    : m_Sync(outDir, mode), m_bFailed(false), m_DataDir(outDir + "/GameData/"), m_nFiles(0)
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

bool CDataSet::LinkInto(const std::string& runDir, const std::set<std::string>& copies)
{
    const std::set<std::string> kept(m_Sync.Kept().begin(), m_Sync.Kept().end());
    std::error_code ec;
    for (const std::string& rel : m_Written) {
        const std::filesystem::path from = std::filesystem::absolute(m_DataDir + rel + (kept.count(rel) ? ".new" : ""), ec);
        const std::filesystem::path to = std::filesystem::path(runDir) / "GameData" / rel;
        std::filesystem::create_directories(to.parent_path(), ec);
        if (copies.count(rel))
            std::filesystem::copy_file(from, to, ec);
        else
            std::filesystem::create_symlink(from, to, ec);
        if (ec) {
            std::fprintf(stderr, "makedata: cannot put %s in %s: %s\n", rel.c_str(), runDir.c_str(), ec.message().c_str());
            m_bFailed = true;
            return false;
        }
    }
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
