// The title's demo replays, made the way a player makes a replay: a sample stage played in this
// process on the headless host by a scripted rider, recorded by the game's own key recorder
// and taken as the replay file a save would write. The stage data changes whenever the stages do,
// so the demos are made afresh from the data set on every generation.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The heroine after a frame of the stage.
struct DEMOSAMPLE {
    int nFrame;
    float fX, fY;
    int nLife;
    int nScore;
    bool operator==(const DEMOSAMPLE& o) const
    {
        return nFrame == o.nFrame && fX == o.fX && fY == o.fY && nLife == o.nLife && nScore == o.nScore;
    }
};

#define DEMO_STAGES 3

class CGame;
class CDataSet;

class CDemoRecorder {
public:
    // The run happens in strFolder, which holds a complete GameData; its Param.txt is changed for
    // the run and put back afterwards.
    explicit CDemoRecorder(const std::string& strFolder) : m_strFolder(strFolder) {}

    // The replay file of stage nStage's demo (1 to DEMO_STAGES), as long as the stage's demo time
    // and a second more; empty, with the reason, when the run failed. pSamples, when given, gets
    // the heroine frame by frame.
    std::vector<uint8_t> Record(int nStage, std::vector<DEMOSAMPLE>* pSamples, std::string* pError);

    // The sub-weapon she rides a stage's demo with.
    static int SubWeapon(int nStage);
    // The heroine as a sample at the key recorder's frame, recording or playing back.
    static DEMOSAMPLE SampleOf(CGame& game);
    // The stage is updated: while it runs and while it fades out.
    static bool IsStageRunning(CGame& game);

private:
    std::string m_strFolder;
};

// GameData/Title/ReplayDemo01.dat .. 03.dat, recorded in strFolder, which holds a copy of
// everything written so far. False (with a message) when a recording fails.
bool WriteDemoReplays(CDataSet& data, const std::string& strFolder);
