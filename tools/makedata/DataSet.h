// The output tree of the generator: files go below OUTDIR/GameData, written byte for byte the same
// on every run (no dates, no host details).
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "DataSync.h"

class CDataSet {
public:
    explicit CDataSet(const std::string& outDir, SYNCMODE mode = SYNC_WRITE_ALL);

    // rel is relative to GameData, with '/' between folders. False (and a message) on failure,
    // and for a file written a second time: two pictures under one name would leave one user
    // of it with the other's picture.
    bool Write(const std::string& rel, const std::vector<uint8_t>& bytes);
    bool WriteText(const std::string& rel, const std::string& text);
    // Every later file also goes, as it is, into copyDir/GameData (a folder the game can run in).
    void SetCopyFolder(const std::string& copyDir) { m_CopyDir = copyDir; }
    bool Failed() const { return m_bFailed; }
    int FileCount() const { return m_nFiles; }
    CDataSync& Sync() { return m_Sync; }

private:
    bool WriteCopy(const std::string& rel, const std::vector<uint8_t>& bytes);

    CDataSync m_Sync;
    bool m_bFailed;
    std::set<std::string> m_Written;
    std::string m_CopyDir;
    int m_nFiles;
};

// Text lines joined with CR LF, as every data file of the game ends its lines.
std::string JoinCrLf(const std::vector<std::string>& lines);

// The writers, one per data area.
void WriteParamFile(CDataSet& data);
void WritePackSamples(CDataSet& data);
void WriteSettingsScreen(CDataSet& data);
void WriteReplayFixtures(CDataSet& data);
void WriteLoadingPicture(CDataSet& data);
void WriteHeroinePictures(CDataSet& data);
