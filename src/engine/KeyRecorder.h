// The key recorder: per-stage tracks of the player's key codes and of the values that steer the
// game's own variation, recorded while a stage is played and played back for a replay, and the
// replay files that hold the five tracks. It also owns the key map through which every screen asks
// whether a key is down, live or replayed.
#pragma once
#include <cstddef>
#include <cstdint>

#include "rvm/rvm_stl.h"
class CFile;

// One record: it holds from its frame until the frame of the next record.
struct KEYRECINFO {
    int32_t frame;
    int32_t code;
    int32_t shot;
    int32_t step;
    int32_t point;
    int32_t level;  // in memory only
    int32_t fps;    // in memory only
    int32_t bonus;
    int32_t extra;
};

#define KEYREC_TRACKS 5
#define KEYREC_MODE_IDLE 0
#define KEYREC_MODE_RECORD 1
#define KEYREC_MODE_PLAY 2

#define REPLAY_DIR ".\\Replay\\"
#define REPLAY_MAGIC_TEXT "ZORVAREPLAYDATA0"
#define REPLAY_MAGIC_TEXT_SIZE 16
#define REPLAY_MAGIC_SIZE 18     // the text, the format digit and a NUL
#define REPLAY_MAGIC_COMPARED 17
#define REPLAY_FORMAT_FIRST 1
#define REPLAY_FORMAT_LATEST 6
#define REPLAY_HEADER_MAX 90     // formats 05 and 06
#define REPLAY_OPTION_COUNT 3

// The three play options (half damage, high jump, double power) chosen in the start menu; the
// replay files carry them and loading a replay sets them.
extern int g_nOptionFlags[REPLAY_OPTION_COUNT];

// Everything a replay file holds, independent of its format.
struct REPLAYHEADER {
    int nFormat = REPLAY_FORMAT_LATEST;
    int32_t nYear = 0, nMonth = 0, nDay = 0;  // formats 05, 06
    int32_t nScore = -1;                      // formats 05, 06
    int32_t nPairs[KEYREC_TRACKS][2] = {{-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}};  // 04 to 06
    int32_t nPlayerValue = 0;                                                              // 04 to 06
    int32_t nOptions[REPLAY_OPTION_COUNT] = {0, 0, 0};                                     // 02 to 06
};

struct REPLAYIMAGE {
    REPLAYHEADER header;
    rvm::vector<KEYRECINFO> tracks[KEYREC_TRACKS];
};

// Bytes of one record in a format (18, 22 or 26); 0 for an unknown format.
size_t ReplayRecordSize(int nFormat);
// Bytes of the header of a format, magic included; 0 for an unknown format.
size_t ReplayHeaderSize(int nFormat);
// The file image of the replay in header.nFormat (01 to 06), little-endian; fields the format lacks
// are left out, codes keep their low 16 bits. Empty for an unknown format.
rvm::vector<uint8_t> EncodeReplay(const REPLAYIMAGE& image);
// Reads a header: the format (1 to 6) and *pnUsed bytes, or -1 (unknown magic; pMagic receives the
// text read) or -2 (cut short; pReason says so). Dates and option words are taken as they stand.
int DecodeReplayHeader(const uint8_t* pData, size_t nSize, REPLAYHEADER* pHeader, size_t* pnUsed,
                       rvm::string* pMagic, rvm::string* pReason);
// Reads a whole file image: 1, or 0 with the reason (nothing is read past the end; negative counts
// and counts past the end are refused). Every value a record field can hold is taken as it stands.
int DecodeReplay(const uint8_t* pData, size_t nSize, REPLAYIMAGE* pImage, rvm::string* pReason);

// Why a file the player keeps was not written, in the terms the player is told.
enum {
    USERFILE_WRITTEN = 0,
    USERFILE_NO_ROOM = 1,          // the disk is full
    USERFILE_NOT_ALLOWED = 2,      // the folder or the disk takes no writes
    USERFILE_NAME_IS_FOLDER = 3,   // a folder has the file's name
    USERFILE_FOLDER_IS_FILE = 4,   // a file has the folder's name
    USERFILE_NO_FOLDER = 5,
    USERFILE_FAILED = 6,           // anything else
};

// Writes a file the player keeps (replays, settings) in one piece and durably, through a temporary
// beside it that takes the old file's permissions; a read-only file is made writable for the write
// and gets its attributes back afterwards. 1 on success, 0 when the file cannot be written (the
// old one then stays as it was); pnWhy, when given, receives the reason.
int WriteUserFile(const char* pszPath, const void* pData, uint32_t nSize, int* pnWhy = nullptr);
// A reason as one short line of the game's two-byte text.
const char* UserFileFailureText(int nWhy);

class CKeyRecorder {
public:
    CKeyRecorder();
    virtual ~CKeyRecorder();
    CKeyRecorder(const CKeyRecorder&) = delete;
    CKeyRecorder& operator=(const CKeyRecorder&) = delete;

    static CKeyRecorder* GetInstance();
    static void DeleteInstance();

    // Key map and live input.
    static void InitKeyMap();
    static void ClearKeyMap();
    static size_t GetKeyMapSize();
    static int GetMappedInput();
    static int IsKeyDown(int nCode, int nVirtKey);

    // Back to the state after construction.
    void Reset();

    // Recording.
    void StartRec();
    void RecordKeys(int nCode, int nShot, int nFps, int nExtra);
    void RecordStep(int nValue);
    void RecordPoint(int nValue);
    void RecordLevel(int nValue);
    void RecordBonus(int nValue);
    void StopRec();
    void CloseTrack();
    void SetTrackStart(int nScore, int nExperience);
    void GetTrackStart(int* pnScore, int* pnExperience) const;
    // Stages 1 to 5 have a track; any other stage has none and nothing is recorded or played.
    void SetStartStage(int nStage);
    void ClearEarlierTracks();
    void NextFrame() { ++m_nFrame; }
    void SetMode(int nMode) { m_nMode = nMode; }
    void SetIdle() { m_nMode = KEYREC_MODE_IDLE; }

    // Playback.
    void StartPlay();
    int GetPlayKeyCode();
    int GetPlayRecord(KEYRECINFO* pRecord) const;
    int HasMorePlayData() const;
    void StopPlay();

    // Files.
    // pnWhy, when given, receives why a save failed (USERFILE_*).
    int SaveReplay(const char* pszName, int nScore, int* pnWhy = nullptr);
    int LoadReplay(const char* pszFolder, const char* pszName);
    // Reads the header at the file's read position (every output may be null; pPairs takes ten
    // values, pOptions three): the format 1 to 6, or -1 after ERROR 24.
    static int ReadReplayHeader(CFile* pFile, const char* pszName, int* pPairs, int* pnPlayerValue, int* pOptions,
                                int* pnYear, int* pnMonth, int* pnDay, int* pnScore);
    // Whether the whole file reads, header and every track, as a load needs it; a damaged one is
    // reported as a load reports it.
    static int IsPlayable(const uint8_t* pData, size_t nSize, const char* pszName);

    // State.
    int GetMode() const { return m_nMode; }
    int GetFrame() const { return m_nFrame; }
    void SetFrame(int nFrame) { m_nFrame = nFrame; }
    int GetCurrentTrack() const { return m_nTrack; }  // -1: a stage without a track
    // The track a run goes on with at the next stage (0 to 4), keeping the earlier start pairs.
    void SetCurrentTrack(int nTrack) { m_nTrack = nTrack; }
    const rvm::vector<KEYRECINFO>& GetTrack(int nTrack) const;
    int GetPlayIndex() const { return m_nPlayIndex; }
    int GetPlayerValue() const { return m_nPlayerValue; }
    void SetPlayerValue(int nValue) { m_nPlayerValue = nValue; }
    int GetScore() const { return m_nScore; }
    // The recorder's content as a replay image of the latest format, as a save writes it (today's
    // date, the score given, the current options), and the reverse (the current track becomes the
    // first with a start pair, else the last); Restore does not change the mode.
    REPLAYIMAGE Snapshot(int nScore) const;
    void Restore(const REPLAYIMAGE& image);

private:
    rvm::vector<KEYRECINFO>* CurrentTrack();
    const rvm::vector<KEYRECINFO>* CurrentTrack() const;
    // The track to record into: the current one while recording and not empty.
    rvm::vector<KEYRECINFO>* RecordingTrack();
    // Appends a copy of the last record with the field changed, when it differs.
    void RecordField(int32_t KEYRECINFO::*pField, int nValue);
    // Appends rec stamped with the current frame, replacing a record of the same frame.
    void Append(rvm::vector<KEYRECINFO>& track, KEYRECINFO rec);

    int m_nMode;
    int m_nFrame;
    rvm::vector<KEYRECINFO> m_Tracks[KEYREC_TRACKS];
    int m_nTrack;
    int m_nPlayerValue;
    int m_nStartPairs[KEYREC_TRACKS][2];
    int m_nPlayIndex;
    int m_nScore;

    static CKeyRecorder* s_pInstance;
    static rvm::map<int, int> s_KeyMap;
};
