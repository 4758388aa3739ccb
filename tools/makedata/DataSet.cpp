#include "DataSet.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

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
    return m_CopyDir.empty() || WriteCopy(rel, bytes);
}

bool CDataSet::WriteCopy(const std::string& rel, const std::vector<uint8_t>& bytes)
{
    const std::filesystem::path path = std::filesystem::path(m_CopyDir) / "GameData" / rel;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "makedata: cannot write %s\n", path.string().c_str());
        m_bFailed = true;
        return false;
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
