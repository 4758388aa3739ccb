// Puts a generated data set into OUTDIR/GameData without losing what the user changed there. The
// manifest beside it (OUTDIR/.gamedata.manifest) tells what the generator last wrote, so each file
// on disk is one of:
//   missing or the generator's own, unedited: (re)written with the new bytes;
//   already the new bytes: left alone;
//   changed since the generator wrote it: kept, the new bytes go beside it as NAME.new;
//   not written by the generator (no record): replaced, the old bytes kept as NAME.old.
// Files the generator wrote before but no longer makes are removed while unedited (edited, they
// stay and keep their record). The settings
// file and the replays are never the generator's and are never touched. Every write goes to a
// temporary file that is then renamed, so a stopped run leaves each file old or new, never half.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "DataManifest.h"

enum SYNCMODE {
    SYNC_WRITE_ALL,  // every file written, as on a fresh folder
    SYNC_UPDATE,     // as described above
};

class CDataSync {
public:
    CDataSync(const std::string& outDir, SYNCMODE mode);

    // One generated file; rel is relative to GameData with '/' between folders. False (and a
    // message on stderr) when it cannot be written.
    bool Put(const std::string& rel, const std::vector<uint8_t>& bytes);
    // Removes what the generator no longer makes and records the manifest.
    bool Finish();
    // What was done, in one line.
    std::string Summary() const;

    int WrittenCount() const { return m_nWritten; }
    int UpdatedCount() const { return m_nUpdated; }
    int UnchangedCount() const { return m_nUnchanged; }
    int RemovedCount() const { return m_nRemoved; }
    const std::vector<std::string>& Kept() const { return m_Kept; }
    const std::vector<std::string>& BackedUp() const { return m_BackedUp; }  // the NAME.old paths
    bool IsNewVersion() const { return m_bNewVersion; }

    static std::string ManifestPath(const std::string& outDir);

private:
    bool Update(const std::string& rel, const std::vector<uint8_t>& bytes, const MANIFESTFILE& made);
    bool WriteFile(const std::string& rel, const std::vector<uint8_t>& bytes);
    bool Fail(const std::string& message);
    std::string DataPath(const std::string& rel) const;
    void RemoveStale();

    std::string m_OutDir;
    std::string m_DataDir;
    SYNCMODE m_Mode;
    CDataManifest m_Old;
    bool m_bHadManifest = false;
    std::string m_OldText;
    CDataManifest m_New;
    uint64_t m_nVersion;
    bool m_bNewVersion = false;
    bool m_bFailed = false;
    int m_nWritten = 0, m_nUpdated = 0, m_nUnchanged = 0, m_nRemoved = 0;
    std::vector<std::string> m_Kept;
    std::vector<std::string> m_BackedUp;
};

// The files of the game's own that a data set never holds: GameData/Config.dat and GameData/Replay/.
bool IsUserDataPath(const std::string& rel);
