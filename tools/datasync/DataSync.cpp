#include "DataSync.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

namespace fs = std::filesystem;

namespace {

const char kManifestName[] = ".gamedata.manifest";
const size_t kNamesShown = 3;

bool EqualNoCase(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; i++) {
        if (tolower((unsigned char)a[i]) != tolower((unsigned char)b[i]))
            return false;
    }
    return i == a.size() && !b[i];
}

bool ReadWhole(const fs::path& path, std::string* pText)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    pText->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

MANIFESTFILE Describe(const uint8_t* p, size_t n)
{
    return MANIFESTFILE{HashBytes(p, n), (uint64_t)n};
}

// The file at path as a record; false when it is missing or no regular file.
bool DescribeFile(const fs::path& path, MANIFESTFILE* pFile, std::vector<uint8_t>* pBytes)
{
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return false;
    std::string text;
    if (!ReadWhole(path, &text))
        return false;
    pBytes->assign(text.begin(), text.end());
    *pFile = Describe(pBytes->data(), pBytes->size());
    return true;
}

bool WriteAtomic(const fs::path& path, const uint8_t* p, size_t n)
{
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    fs::path temp = path;
    temp += ".partial";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(p), (std::streamsize)n);
        out.close();
        if (!out) {
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

// NAME.old, or NAME.old2, NAME.old3 ... when an older backup is there already.
fs::path FreeBackupPath(const fs::path& path)
{
    for (int n = 1;; n++) {
        fs::path backup = path;
        backup += n == 1 ? std::string(".old") : ".old" + std::to_string(n);
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(backup, ec)))
            return backup;
    }
}

std::string Plural(int n, const char* pszWhat)
{
    return std::to_string(n) + " " + pszWhat;
}

// "A, B, C and 4 more"
std::string NameList(const std::vector<std::string>& names)
{
    std::string text;
    for (size_t i = 0; i < names.size() && i < kNamesShown; i++)
        text += (i ? ", " : "") + names[i];
    if (names.size() > kNamesShown)
        text += " and " + std::to_string(names.size() - kNamesShown) + " more";
    return text;
}

} // namespace

bool IsUserDataPath(const std::string& rel)
{
    const size_t nSlash = rel.find('/');
    if (nSlash == std::string::npos)
        return EqualNoCase(rel, "Config.dat");
    return EqualNoCase(rel.substr(0, nSlash), "Replay");
}

std::string CDataSync::ManifestPath(const std::string& outDir)
{
    return (fs::path(outDir) / kManifestName).string();
}

CDataSync::CDataSync(const std::string& outDir, SYNCMODE mode)
    : m_OutDir(outDir), m_DataDir((fs::path(outDir) / "GameData").string()), m_Mode(mode),
      m_nVersion(HashBytes(nullptr, 0))
{
    if (!ReadWhole(ManifestPath(outDir), &m_OldText))
        return;
    std::string error;
    m_bHadManifest = m_Old.Decode(m_OldText, &error);
    if (!m_bHadManifest)
        fprintf(stderr, "makedata: %s: %s; treating the data as not written by makedata\n",
                ManifestPath(outDir).c_str(), error.c_str());
}

std::string CDataSync::DataPath(const std::string& rel) const
{
    return (fs::path(m_DataDir) / rel).string();
}

bool CDataSync::Fail(const std::string& message)
{
    fprintf(stderr, "makedata: %s\n", message.c_str());
    m_bFailed = true;
    return false;
}

bool CDataSync::WriteFile(const std::string& rel, const std::vector<uint8_t>& bytes)
{
    if (!WriteAtomic(DataPath(rel), bytes.data(), bytes.size()))
        return Fail("cannot write " + DataPath(rel));
    return true;
}

bool CDataSync::Put(const std::string& rel, const std::vector<uint8_t>& bytes)
{
    if (!IsSafeDataPath(rel) || IsUserDataPath(rel))
        return Fail("refusing to write " + rel + ": not a data set file");
    const MANIFESTFILE made = Describe(bytes.data(), bytes.size());
    // The version covers names and contents, in the order the generator makes them.
    m_nVersion = HashBytes(reinterpret_cast<const uint8_t*>(rel.c_str()), rel.size() + 1, m_nVersion);
    m_nVersion = HashBytes(reinterpret_cast<const uint8_t*>(&made.nHash), sizeof(made.nHash), m_nVersion);
    m_New.Set(rel, made);
    if (m_Mode == SYNC_WRITE_ALL) {
        m_nWritten++;
        return WriteFile(rel, bytes);
    }
    return Update(rel, bytes, made);
}

bool CDataSync::Update(const std::string& rel, const std::vector<uint8_t>& bytes, const MANIFESTFILE& made)
{
    const fs::path path = DataPath(rel);
    std::error_code ec;
    MANIFESTFILE disk;
    std::vector<uint8_t> onDisk;
    if (!DescribeFile(path, &disk, &onDisk)) {
        if (fs::exists(fs::symlink_status(path, ec)))
            return Fail(path.string() + " is in the way (not a regular file)");
        m_nWritten++;
        return WriteFile(rel, bytes);
    }
    if (onDisk == bytes) {
        m_nUnchanged++;
        return true;
    }
    const MANIFESTFILE* pOld = m_Old.Find(rel);
    if (pOld && *pOld == disk) {
        m_nUpdated++;
        return WriteFile(rel, bytes);
    }
    if (pOld) {
        // Edited since it was written: the game goes on reading the user's file. The record stays
        // what the generator wrote there, so putting that back counts as unedited again.
        m_New.Set(rel, *pOld);
        m_New.Set(rel + ".new", made);
        m_Kept.push_back(rel);
        MANIFESTFILE beside;
        std::vector<uint8_t> besideBytes;
        if (DescribeFile(path.string() + ".new", &beside, &besideBytes) && beside == made)
            return true;
        return WriteFile(rel + ".new", bytes);
    }
    // No record: someone else's bytes, or a folder from before manifests.
    const fs::path backup = FreeBackupPath(path);
    fs::rename(path, backup, ec);
    if (ec)
        return Fail("cannot move " + path.string() + " aside: " + ec.message());
    m_BackedUp.push_back(fs::relative(backup, m_DataDir, ec).generic_string());
    return WriteFile(rel, bytes);
}

void CDataSync::RemoveStale()
{
    for (const auto& [rel, file] : m_Old.Files()) {
        if (m_New.Find(rel) || IsUserDataPath(rel))
            continue;
        MANIFESTFILE disk;
        std::vector<uint8_t> onDisk;
        if (!DescribeFile(DataPath(rel), &disk, &onDisk))
            continue;
        if (!(disk == file)) {
            // Edited: stays, and stays recorded, so a later version that makes it again keeps it.
            m_New.Set(rel, file);
            continue;
        }
        std::error_code ec;
        if (fs::remove(DataPath(rel), ec))
            m_nRemoved++;
    }
}

bool CDataSync::Finish()
{
    if (m_bFailed)
        return false;
    if (m_Mode == SYNC_UPDATE)
        RemoveStale();
    m_New.SetVersion(m_nVersion);
    m_bNewVersion = m_bHadManifest && (!m_Old.HasVersion() || m_Old.Version() != m_nVersion);
    const std::string text = m_New.Encode();
    if (text == m_OldText)
        return true;
    if (!WriteAtomic(ManifestPath(m_OutDir), reinterpret_cast<const uint8_t*>(text.data()), text.size()))
        return Fail("cannot write " + ManifestPath(m_OutDir));
    return true;
}

std::string CDataSync::Summary() const
{
    std::string line = "makedata: " + m_DataDir;
    if (m_Mode == SYNC_WRITE_ALL)
        return line + ": " + Plural(m_nWritten, "files written");
    if (m_nWritten + m_nUpdated + m_nRemoved == 0 && m_BackedUp.empty() && !m_bNewVersion) {
        line += " is up to date (" + Plural(m_nUnchanged, "files") + ")";
    } else {
        if (m_bNewVersion)
            line += " was written by another version of makedata";
        line += ":";
        const char* pszSep = " ";
        const std::pair<int, const char*> counts[] = {
            {m_nWritten, "written"}, {m_nUpdated, "updated"}, {m_nRemoved, "removed"}, {m_nUnchanged, "unchanged"}};
        for (const auto& [n, pszWhat] : counts) {
            if (n) {
                line += pszSep + Plural(n, pszWhat);
                pszSep = ", ";
            }
        }
    }
    if (m_Kept.size() == 1)
        line += "; kept your edited " + m_Kept[0] + " (the generated one is " + m_Kept[0] + ".new)";
    else if (!m_Kept.empty())
        line += "; kept your edited " + NameList(m_Kept) + " (the generated ones are beside them as NAME.new)";
    if (!m_BackedUp.empty())
        line += "; replaced files makedata had not written, keeping the old ones as " + NameList(m_BackedUp);
    return line;
}
