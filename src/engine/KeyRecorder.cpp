#include "engine/KeyRecorder.h"

#include <cstdio>
#include <cstring>

#include "engine/DebugOut.h"
#include "engine/Input.h"
#include "engine/Log.h"
#include "pack/teskFile.h"
#include "platform/win/File.h"
#include "platform/win/Win.h"
#include "rvm/rvm_stl.h"

int g_nOptionFlags[REPLAY_OPTION_COUNT] = {0, 0, 0};

CKeyRecorder* CKeyRecorder::s_pInstance = nullptr;
rvm::map<int, int> CKeyRecorder::s_KeyMap;

namespace {

const rvm::vector<KEYRECINFO> kNoTrack;

// The virtual key behind each input bit, in bit order (up, down, left, right, shot, jump, sub).
const int kInputKeys[7] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, 'Z', 'X', VK_SHIFT};

// Refusals of a damaged file go to the debug sink, the user and the debugger output.
void ReportDamagedReplay(const char* pszPath, const rvm::string& reason) {
    ReportDataError(pszPath, "Replay data damaged [%s]: %s\n", pszPath, reason.c_str());
    rvm::string line = rvm::string("Replay data damaged [") + pszPath + "]: " + reason + "\n";
    DebugOut(line.c_str());
}

// Today's date for a saved file; 1970-01-01 when the clock cannot say.
void GetSaveDate(REPLAYHEADER* pHeader) {
    struct tm t = GetLocalTimeNow();
    bool bValid = t.tm_mday >= 1 && t.tm_mon >= 0 && t.tm_mon <= 11 && t.tm_year >= -1900 && t.tm_year <= 8099;
    pHeader->nYear = bValid ? t.tm_year + 1900 : 1970;
    pHeader->nMonth = bValid ? t.tm_mon + 1 : 1;
    pHeader->nDay = bValid ? t.tm_mday : 1;
}

// The error alone cannot tell a name taken by a folder from a folder without write permission, nor a
// missing folder from a file in its place: what stands at the path and its folder can.
int WhyNotWritten(const rvm::string& target, DWORD dwError) {
    if (dwError == ERROR_DISK_FULL) return USERFILE_NO_ROOM;
    const std::string host = MapHostPath(target.c_str());
    const DWORD dwAttr = GetFileAttributesA(host.c_str());
    if (dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_DIRECTORY)) return USERFILE_NAME_IS_FOLDER;
    if (dwError == ERROR_PATH_NOT_FOUND || dwError == ERROR_FILE_NOT_FOUND) {
        const size_t nSlash = host.find_last_of('/');
        const std::string folder = nSlash == std::string::npos || nSlash == 0 ? std::string("/") : host.substr(0, nSlash);
        const DWORD dwFolder = GetFileAttributesA(folder.c_str());
        if (dwFolder != INVALID_FILE_ATTRIBUTES && !(dwFolder & FILE_ATTRIBUTE_DIRECTORY)) return USERFILE_FOLDER_IS_FILE;
        return USERFILE_NO_FOLDER;
    }
    return dwError == ERROR_ACCESS_DENIED ? USERFILE_NOT_ALLOWED : USERFILE_FAILED;
}

}  // namespace

const char* UserFileFailureText(int nWhy) {
    // One line for each reason, in the order of the reasons.
    static const char* const kTexts[] = {
        "",
        // ディスクの空きが足りません
        "\x83\x66\x83\x42\x83\x58\x83\x4e\x82\xcc\x8b\xf3\x82\xab\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1",
        // 書き込みが許可されていません
        "\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x82\xaa\x8b\x96\x89\xc2\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1",
        // 同じ名前のフォルダがあります
        "\x93\xaf\x82\xb6\x96\xbc\x91\x4f\x82\xcc\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7",
        // 保存先がフォルダではありません
        "\x95\xdb\x91\xb6\x90\xe6\x82\xaa\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1",
        // 保存先のフォルダがありません
        "\x95\xdb\x91\xb6\x90\xe6\x82\xcc\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1",
        // 書き込みに失敗しました
        "\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd",
    };
    return nWhy >= USERFILE_WRITTEN && nWhy <= USERFILE_FAILED ? kTexts[nWhy] : kTexts[USERFILE_FAILED];
}

int WriteUserFile(const char* pszPath, const void* pData, uint32_t nSize, int* pnWhy) {
    CFile file;  // takes the current directory as the base folder of the names
    rvm::string target = CFile::NormalizeName(pszPath);
    DWORD dwAttr = GetFileAttributesA(target.c_str());
    bool bReadOnly = dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_READONLY);
    if (bReadOnly) SetFileAttributesA(target.c_str(), dwAttr & ~FILE_ATTRIBUTE_READONLY);
    int nResult = file.Write(pszPath, pData, nSize);
    const DWORD dwError = GetLastError();
    if (bReadOnly) SetFileAttributesA(target.c_str(), dwAttr);
    if (pnWhy) *pnWhy = nResult == 0 ? USERFILE_WRITTEN : WhyNotWritten(target, dwError);
    return nResult == 0 ? 1 : 0;
}

CKeyRecorder::CKeyRecorder() { Reset(); }

CKeyRecorder::~CKeyRecorder() {}

CKeyRecorder* CKeyRecorder::GetInstance() {
    if (!s_pInstance) s_pInstance = new CKeyRecorder();
    return s_pInstance;
}

void CKeyRecorder::DeleteInstance() {
    delete s_pInstance;
    s_pInstance = nullptr;
}

void CKeyRecorder::Reset() {
    m_nMode = KEYREC_MODE_IDLE;
    m_nFrame = 0;
    for (auto& track : m_Tracks) track.clear();
    m_nTrack = 0;
    m_nPlayerValue = 0;
    for (auto& pair : m_nStartPairs) pair[0] = pair[1] = -1;
    m_nPlayIndex = 0;
    m_nScore = -1;
}

// ---- Key map ----------------------------------------------------------------------------------

void CKeyRecorder::InitKeyMap() {
    s_KeyMap[VK_SHIFT] = INPUT_SUB;
    s_KeyMap['C'] = INPUT_SUB;
    s_KeyMap['Z'] = INPUT_SHOT;
    s_KeyMap['X'] = INPUT_JUMP;
    s_KeyMap[VK_UP] = INPUT_UP;
    s_KeyMap[VK_DOWN] = INPUT_DOWN;
    s_KeyMap[VK_LEFT] = INPUT_LEFT;
    s_KeyMap[VK_RIGHT] = INPUT_RIGHT;
}

void CKeyRecorder::ClearKeyMap() { s_KeyMap.clear(); }

size_t CKeyRecorder::GetKeyMapSize() { return s_KeyMap.size(); }

int CKeyRecorder::GetMappedInput() {
    int nInput = CInputState::GetInput(0);
    int nCode = 0;
    for (int bit = 0; bit < 7; ++bit) {
        if (!(nInput & (1 << bit))) continue;
        auto it = s_KeyMap.find(kInputKeys[bit]);
        if (it != s_KeyMap.end()) nCode |= it->second;
    }
    return nCode;
}

int CKeyRecorder::IsKeyDown(int nCode, int nVirtKey) {
    auto it = s_KeyMap.find(nVirtKey);
    if (it != s_KeyMap.end()) return (nCode & it->second) != 0 ? 1 : 0;
    return (GetAsyncKeyState(nVirtKey) & 0x8000) != 0 ? 1 : 0;
}

// ---- Tracks -----------------------------------------------------------------------------------

rvm::vector<KEYRECINFO>* CKeyRecorder::CurrentTrack() {
    return (m_nTrack >= 0 && m_nTrack < KEYREC_TRACKS) ? &m_Tracks[m_nTrack] : nullptr;
}

const rvm::vector<KEYRECINFO>* CKeyRecorder::CurrentTrack() const {
    return (m_nTrack >= 0 && m_nTrack < KEYREC_TRACKS) ? &m_Tracks[m_nTrack] : nullptr;
}

const rvm::vector<KEYRECINFO>& CKeyRecorder::GetTrack(int nTrack) const {
    return (nTrack >= 0 && nTrack < KEYREC_TRACKS) ? m_Tracks[nTrack] : kNoTrack;
}

// A track set to recording without StartRec has no last record to compare with: nothing to do.
rvm::vector<KEYRECINFO>* CKeyRecorder::RecordingTrack() {
    rvm::vector<KEYRECINFO>* pTrack = CurrentTrack();
    if (m_nMode != KEYREC_MODE_RECORD || !pTrack || pTrack->empty()) return nullptr;
    return pTrack;
}

void CKeyRecorder::Append(rvm::vector<KEYRECINFO>& track, KEYRECINFO rec) {
    rec.frame = m_nFrame;
    if (!track.empty() && track.back().frame == m_nFrame) track.pop_back();
    track.push_back(rec);
}

// ---- Recording --------------------------------------------------------------------------------

void CKeyRecorder::StartRec() {
    rvm::vector<KEYRECINFO>* pTrack = CurrentTrack();
    if (!pTrack) return;
    pTrack->clear();
    m_nFrame = 0;
    KEYRECINFO first{};
    first.code = GetMappedInput();
    first.step = 1;
    first.bonus = 4;
    pTrack->push_back(first);
    m_nMode = KEYREC_MODE_RECORD;
}

void CKeyRecorder::RecordKeys(int nCode, int nShot, int nFps, int nExtra) {
    rvm::vector<KEYRECINFO>* pTrack = RecordingTrack();
    if (!pTrack) return;
    KEYRECINFO rec = pTrack->back();
    if ((nCode & 0xFFFF) == (rec.code & 0xFFFF) && nShot == rec.shot && nExtra == rec.extra) return;
    rec.code = nCode;
    rec.shot = nShot;
    rec.fps = nFps;
    rec.extra = nExtra;
    Append(*pTrack, rec);
}

void CKeyRecorder::RecordField(int32_t KEYRECINFO::*pField, int nValue) {
    rvm::vector<KEYRECINFO>* pTrack = RecordingTrack();
    if (!pTrack || pTrack->back().*pField == nValue) return;
    KEYRECINFO rec = pTrack->back();
    rec.*pField = nValue;
    Append(*pTrack, rec);
}

void CKeyRecorder::RecordStep(int nValue) { RecordField(&KEYRECINFO::step, nValue); }

void CKeyRecorder::RecordPoint(int nValue) { RecordField(&KEYRECINFO::point, nValue); }

void CKeyRecorder::RecordLevel(int nValue) { RecordField(&KEYRECINFO::level, nValue); }

void CKeyRecorder::RecordBonus(int nValue) { RecordField(&KEYRECINFO::bonus, nValue); }

void CKeyRecorder::StopRec() {
    rvm::vector<KEYRECINFO>* pTrack = RecordingTrack();
    if (pTrack) {
        KEYRECINFO rec = pTrack->back();
        rec.shot = 0;
        rec.level = 0;
        Append(*pTrack, rec);
    }
    if (m_nMode == KEYREC_MODE_RECORD) m_nMode = KEYREC_MODE_IDLE;
}

void CKeyRecorder::CloseTrack() {
    rvm::vector<KEYRECINFO>* pTrack = CurrentTrack();
    if (pTrack && !pTrack->empty()) Append(*pTrack, pTrack->back());
}

void CKeyRecorder::SetTrackStart(int nScore, int nExperience) {
    if (!CurrentTrack()) return;
    m_nStartPairs[m_nTrack][0] = nScore;
    m_nStartPairs[m_nTrack][1] = nExperience;
}

void CKeyRecorder::GetTrackStart(int* pnScore, int* pnExperience) const {
    bool bTrack = CurrentTrack() != nullptr;
    if (pnScore) *pnScore = bTrack ? m_nStartPairs[m_nTrack][0] : -1;
    if (pnExperience) *pnExperience = bTrack ? m_nStartPairs[m_nTrack][1] : -1;
}

void CKeyRecorder::SetStartStage(int nStage) {
    if (nStage < 1 || nStage > KEYREC_TRACKS) {
        DebugPrintf("Stage %d has no replay track\n", nStage);
        m_nTrack = -1;
        return;
    }
    m_nTrack = nStage - 1;
    ClearEarlierTracks();
}

void CKeyRecorder::ClearEarlierTracks() {
    for (int k = 0; k < m_nTrack && k < KEYREC_TRACKS; ++k) m_nStartPairs[k][0] = m_nStartPairs[k][1] = -1;
}

// ---- Playback ---------------------------------------------------------------------------------

void CKeyRecorder::StartPlay() {
    const rvm::vector<KEYRECINFO>* pTrack = CurrentTrack();
    if (!pTrack || pTrack->empty()) return;
    m_nPlayIndex = 0;
    m_nFrame = 0;
    m_nMode = KEYREC_MODE_PLAY;
}

int CKeyRecorder::GetPlayKeyCode() {
    if (m_nMode != KEYREC_MODE_PLAY) return 0;
    const rvm::vector<KEYRECINFO>* pTrack = CurrentTrack();
    size_t nCount = pTrack ? pTrack->size() : 0;
    if (static_cast<size_t>(m_nPlayIndex) + 1 >= nCount) {
        WriteOpenLog("End of Replay\n");
        m_nMode = KEYREC_MODE_IDLE;
        return 0;
    }
    const rvm::vector<KEYRECINFO>& track = *pTrack;
    if (m_nFrame >= track.back().frame) return track.back().code & 0xFFFF;
    for (size_t i = static_cast<size_t>(m_nPlayIndex); i + 1 < nCount; ++i) {
        if (track[i].frame <= m_nFrame && m_nFrame < track[i + 1].frame) {
            m_nPlayIndex = static_cast<int>(i);
            return track[i].code & 0xFFFF;
        }
    }
    RaiseRuntimeAssert("bFind", __FILE__, __LINE__);
    return track[static_cast<size_t>(m_nPlayIndex)].code & 0xFFFF;
}

int CKeyRecorder::GetPlayRecord(KEYRECINFO* pRecord) const {
    const rvm::vector<KEYRECINFO>* pTrack = CurrentTrack();
    if (m_nMode != KEYREC_MODE_PLAY || !pTrack || static_cast<size_t>(m_nPlayIndex) >= pTrack->size()) return 0;
    if (pRecord) *pRecord = (*pTrack)[static_cast<size_t>(m_nPlayIndex)];
    return 1;
}

int CKeyRecorder::HasMorePlayData() const {
    if (m_nMode != KEYREC_MODE_PLAY) return 1;
    const rvm::vector<KEYRECINFO>* pTrack = CurrentTrack();
    if (!pTrack) return 0;
    if (!pTrack->empty() && m_nFrame < pTrack->back().frame) return 1;
    for (int k = m_nTrack + 1; k < KEYREC_TRACKS; ++k)
        if (!m_Tracks[k].empty()) return 1;
    return 0;
}

void CKeyRecorder::StopPlay() {
    if (m_nMode == KEYREC_MODE_PLAY) m_nMode = KEYREC_MODE_IDLE;
}

// ---- Files ------------------------------------------------------------------------------------

REPLAYIMAGE CKeyRecorder::Snapshot(int nScore) const {
    REPLAYIMAGE image;
    image.header.nFormat = REPLAY_FORMAT_LATEST;
    image.header.nScore = nScore;
    GetSaveDate(&image.header);
    memcpy(image.header.nPairs, m_nStartPairs, sizeof(image.header.nPairs));
    image.header.nPlayerValue = m_nPlayerValue;
    memcpy(image.header.nOptions, g_nOptionFlags, sizeof(image.header.nOptions));
    for (int k = 0; k < KEYREC_TRACKS; ++k) image.tracks[k] = m_Tracks[k];
    return image;
}

void CKeyRecorder::Restore(const REPLAYIMAGE& image) {
    memcpy(m_nStartPairs, image.header.nPairs, sizeof(m_nStartPairs));
    m_nPlayerValue = image.header.nPlayerValue;
    m_nScore = image.header.nScore;
    for (int k = 0; k < KEYREC_TRACKS; ++k) m_Tracks[k] = image.tracks[k];
    m_nTrack = KEYREC_TRACKS - 1;
    for (int k = 0; k < KEYREC_TRACKS; ++k) {
        if (m_nStartPairs[k][0] != -1 || m_nStartPairs[k][1] != -1) {
            m_nTrack = k;
            break;
        }
    }
}

int CKeyRecorder::SaveReplay(const char* pszName, int nScore, int* pnWhy) {
    char szPath[MAX_PATH];
    snprintf(szPath, sizeof(szPath), "%s%s", REPLAY_DIR, pszName ? pszName : "");
    WriteOpenLog("Save replay ... %s\n", szPath);
    REPLAYIMAGE image = Snapshot(nScore);
    rvm::vector<uint8_t> bytes = EncodeReplay(image);
    int bSaved = WriteUserFile(szPath, bytes.data(), static_cast<uint32_t>(bytes.size()), pnWhy);
    m_nMode = KEYREC_MODE_IDLE;
    if (!bSaved) return 0;
    WriteOpenLog("Save replay done!!\n");
    return 1;
}

int CKeyRecorder::LoadReplay(const char* pszFolder, const char* pszName) {
    char szPath[MAX_PATH];
    snprintf(szPath, sizeof(szPath), "%s%s", pszFolder ? pszFolder : "", pszName ? pszName : "");
    WriteOpenLog("Load replay ... %s\n", szPath);
    m_nMode = KEYREC_MODE_IDLE;
    CFile file;
    if (file.Read(szPath) != FILE_OK) {
        ReportDataError(szPath, "the replay is missing or cannot be read");
        return 0;
    }

    // Start pairs and player value stay as they are when the file's format has none.
    REPLAYIMAGE image;
    memcpy(image.header.nPairs, m_nStartPairs, sizeof(image.header.nPairs));
    image.header.nPlayerValue = m_nPlayerValue;
    rvm::string reason, magic;
    size_t nUsed = 0;
    REPLAYHEADER probe = image.header;
    int nFormat = DecodeReplayHeader(file.GetMemory(), file.GetSize(), &probe, &nUsed, &magic, &reason);
    if (nFormat == -1) {
        ReportDataError(szPath, "ERROR 24 : リプレイデータの形式が違います [%s(%s)]\n", szPath, magic.c_str());
        return 0;
    }
    if (nFormat >= REPLAY_FORMAT_FIRST && nFormat <= 3)
        ReportDataError(szPath, "WARNING 2 : リプレイデータの形式は以前のものです [%s(%s)]\n", szPath, magic.c_str());
    if (!DecodeReplay(file.GetMemory(), file.GetSize(), &image, &reason)) {
        ReportDamagedReplay(szPath, reason);
        return 0;
    }
    // A flag is on or off; a file may say on with any word but 0.
    for (int i = 0; i < REPLAY_OPTION_COUNT; ++i) g_nOptionFlags[i] = image.header.nOptions[i] != 0 ? 1 : 0;
    Restore(image);
    WriteOpenLog("Load replay done!!\n");
    return 1;
}

int CKeyRecorder::IsPlayable(const uint8_t* pData, size_t nSize, const char* pszName) {
    REPLAYIMAGE image;
    rvm::string reason;
    if (DecodeReplay(pData, nSize, &image, &reason)) return 1;
    ReportDamagedReplay(pszName ? pszName : "", reason);
    return 0;
}

int CKeyRecorder::ReadReplayHeader(CFile* pFile, const char* pszName, int* pPairs, int* pnPlayerValue, int* pOptions,
                                   int* pnYear, int* pnMonth, int* pnDay, int* pnScore) {
    if (!pFile) return -1;
    uint32_t nStart = pFile->GetSize() - pFile->GetRemaining();
    uint8_t header[REPLAY_HEADER_MAX] = {};
    uint32_t nHave = pFile->GetRemaining() < sizeof(header) ? pFile->GetRemaining() : sizeof(header);
    pFile->ReadData(header, nHave);
    REPLAYHEADER h;
    size_t nUsed = 0;
    rvm::string magic, reason;
    int nFormat = DecodeReplayHeader(header, nHave, &h, &nUsed, &magic, &reason);
    const char* pszShown = pszName ? pszName : "";
    if (nFormat == -2) {
        ReportDamagedReplay(pszShown, reason);
        FileSeek(pFile, static_cast<long>(nStart), 0);
        return -1;
    }
    if (nFormat < 0) {
        ReportDataError(pszShown, "ERROR 24 : リプレイデータの形式が違います [%s(%s)]\n", pszShown, magic.c_str());
        FileSeek(pFile, static_cast<long>(nStart), 0);
        return -1;
    }
    if (nFormat <= 3)
        ReportDataError(pszShown, "WARNING 2 : リプレイデータの形式は以前のものです [%s(%s)]\n", pszShown,
                        magic.c_str());
    FileSeek(pFile, static_cast<long>(nStart + nUsed), 0);
    if (pPairs && nFormat >= 4)
        for (int i = 0; i < 2 * KEYREC_TRACKS; ++i) pPairs[i] = h.nPairs[i / 2][i % 2];
    if (pnPlayerValue && nFormat >= 4) *pnPlayerValue = h.nPlayerValue;
    if (pOptions && nFormat >= 2)
        for (int i = 0; i < REPLAY_OPTION_COUNT; ++i) pOptions[i] = h.nOptions[i];
    if (nFormat >= 5) {
        if (pnYear) *pnYear = h.nYear;
        if (pnMonth) *pnMonth = h.nMonth;
        if (pnDay) *pnDay = h.nDay;
        if (pnScore) *pnScore = h.nScore;
    }
    return nFormat;
}
