#include "engine/Config.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/BgmWave.h"
#include "engine/Input.h"
#include "engine/KeyRecorder.h"
#include "engine/Log.h"
#include "engine/Sound.h"
#include "engine/SurfaceUtil.h"
#include "engine/Util.h"
#include "engine/WinMain.h"
#include "pack/teskFile.h"
#include "platform/win/File.h"
#include "platform/win/Win.h"
#include "rvm/rvm_stl.h"

CConfig g_Config;

namespace {

const int kFpsValues[2] = {60, 30};
const DWORD kDefaultButtons[CONFIG_ACTIONS] = {1, 2, 4};
const char* const kButtonKeys[CONFIG_ACTIONS] = {"CFG_BTN_SHOT", "CFG_BTN_JUMP", "CFG_BTN_SUB"};
const char* const kButtonRegions[CONFIG_ACTIONS] = {"btn_shot", "btn_jump", "btn_sub"};
const int kButtonY[CONFIG_ACTIONS] = {237, 271, 305};
const float kRowCursorY[CONFIG_ROWS] = {114.0f, 174.0f, 232.0f, 391.0f};
const float kColumnCursorY[CONFIG_ACTIONS] = {265.0f, 300.0f, 335.0f};
const float kRowCursorX = 50.0f;
const float kColumnCursorX = 85.0f;
const int kRowCursorKind = 1;
const int kColumnCursorKind = 0;
const float kCursorSpeed = -2.5f;
const int kLatchKeys[CONFIG_LATCHES] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN};
const int kHelpX = 24, kHelpY = 410;
// Two lines inside the help line's frame.
const int kFailureWidth = 592, kFailureHeight = 40, kFailureTextHeight = 14;
// "設定を保存できませんでした（%s）" in the game's two-byte text.
const char kNotSavedFormat[] = "\x90\xdd\x92\xe8\x82\xf0\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5"
                               "\x82\xbd\x81\x69%s\x81\x6a";
// 設定はこの起動の間だけ有効です
const char kThisRunOnly[] = "\x90\xdd\x92\xe8\x82\xcd\x82\xb1\x82\xcc\x8b\x4e\x93\xae\x82\xcc\x8a\xd4\x82\xbe\x82\xaf\x97\x4c\x8c\xf8"
                            "\x82\xc5\x82\xb7";

bool HasPrefix(const char* pszKey, const char* pszPrefix) { return strncmp(pszKey, pszPrefix, strlen(pszPrefix)) == 0; }

// A decimal integer the way the C library's atoi reads one, held to the int range.
int ToInt(const rvm::string& text) {
    errno = 0;
    long v = strtol(text.c_str(), nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

// "#KEY v1, v2" after comments are cut; false for any other line.
bool SplitKeyLine(char* pszLine, rvm::string* pKey, rvm::vector<rvm::string>* pValues) {
    if (IsBlankLine(pszLine)) return false;
    CutComment(pszLine);
    const char* p = pszLine;
    while (*p && IsWhiteByte(static_cast<unsigned char>(*p))) ++p;
    if (*p != '#') return false;
    const char* pKey0 = ++p;
    while (*p && !IsWhiteByte(static_cast<unsigned char>(*p))) ++p;
    pKey->assign(pKey0, static_cast<size_t>(p - pKey0));
    pValues->clear();
    while (*p) {
        while (*p && IsWhiteByte(static_cast<unsigned char>(*p))) ++p;
        const char* pValue = p;
        while (*p && *p != ',') ++p;
        const char* pEnd = p;
        while (pEnd > pValue && IsWhiteByte(static_cast<unsigned char>(pEnd[-1]))) --pEnd;
        pValues->emplace_back(pValue, static_cast<size_t>(pEnd - pValue));
        if (*p == ',') ++p;
    }
    return true;
}

}  // namespace

LONG ScaleConfigVolume(LONG lVolume) { return g_Config.ScaleVolume(lVolume); }

// ---- The marker ---------------------------------------------------------------------------------

void CConfigCursor::Start(float fSpeed, float fAngle) {
    m_fSpeed = fSpeed;
    m_fAngle = fAngle;
    m_bActive = 1;
}

void CConfigCursor::SetPosition(float x, float y) {
    m_fX = x;
    m_fY = y;
    m_bShown = 1;
}

void CConfigCursor::Draw(IDirectDrawSurface7* lpTarget, CBmpIndex& index) const {
    if (!IsShown() || !lpTarget) return;
    char szName[32];
    snprintf(szName, sizeof(szName), "cursor%d", m_nKind);
    int w = 0, h = 0;
    index.GetRegionSize(szName, &w, &h);
    if (w <= 0 || h <= 0) return;
    int x = static_cast<int>(m_fX) - w / 2;
    int y = static_cast<int>(m_fY) - h / 2 - 16;
    RECT rcSrc, rcDest;
    GetClippedBltRects(x, y, w, h, &rcSrc, &rcDest);
    if (rcDest.right <= rcDest.left || rcDest.bottom <= rcDest.top) return;
    index.BltRegion(lpTarget, &rcDest, szName, &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
}

// ---- Settings -----------------------------------------------------------------------------------

CConfig::CConfig()
    : m_bDone(1),
      m_nWriteFailure(USERFILE_WRITTEN),
      m_nFps(60),
      m_nVolume(100),
      m_dwButtons{1, 2, 4},
      m_nFpsIndex(0),
      m_nVolumeLevel(CONFIG_VOLUME_LEVELS),
      m_nRow(CONFIG_ROW_FPS),
      m_nColumn(-1),
      m_Latches{},
      m_bButtonLatch(0) {
    for (int i = 0; i < CONFIG_LATCHES; ++i) m_Latches[i] = CONFIGLATCH{kLatchKeys[i], 0};
}

CConfig::~CConfig() {}

void CConfig::SetDefaults() {
    SetFps(0);
    m_nVolumeLevel = CONFIG_VOLUME_LEVELS;
    m_nVolume = 100;
    for (int k = 0; k < CONFIG_ACTIONS; ++k) m_dwButtons[k] = kDefaultButtons[k];
}

int CConfig::ReadFile() {
    CBgmWave::SetVolumeScaler(ScaleConfigVolume);
    SetDefaults();
    // What a write cut short by the end of the program left beside the file.
    RemoveReplacementLeftover(CONFIG_FILE_PATH);
    CFile* pFile = nullptr;
    if (FileOpen(&pFile, CONFIG_FILE_PATH) != FILE_OK) return 0;
    int nFound = ReadText(reinterpret_cast<const char*>(pFile->GetMemory()), pFile->GetSize());
    FileClose(pFile);
    // The game always writes all five, so a file that lacks one was cut or overwritten: the player
    // would otherwise find a setting gone back to its default without a word.
    int nMissing = CONFIG_SETTINGS - nFound;
    if (nMissing == 1)
        ReportDataError(CONFIG_FILE_PATH, "damaged: 1 of the %d settings is not in it, so it is the default",
                        CONFIG_SETTINGS);
    else if (nMissing > 1)
        ReportDataError(CONFIG_FILE_PATH, "damaged: %d of the %d settings are not in it, so they are the defaults",
                        nMissing, CONFIG_SETTINGS);
    return 1;
}

// Lines end at LF (a CR before it is white space to the scanner); a line longer than the buffer
// goes on as the next line, as fgets hands it over.
int CConfig::ReadText(const char* pText, size_t nSize) {
    char szLine[CONFIG_LINE_MAX];
    unsigned nSeen = 0;
    rvm::string key;
    rvm::vector<rvm::string> values;
    size_t nPos = 0;
    while (nPos < nSize) {
        size_t n = 0;
        while (nPos < nSize && n < sizeof(szLine) - 1) {
            char c = pText[nPos++];
            szLine[n++] = c;
            if (c == '\n') break;
        }
        szLine[n] = 0;
        if (!SplitKeyLine(szLine, &key, &values)) continue;
        int nSetting = ParseLine(key.c_str(), values);
        if (nSetting >= 0) nSeen |= 1u << nSetting;
    }
    int nFound = 0;
    for (int k = 0; k < CONFIG_SETTINGS; ++k) nFound += (nSeen >> k) & 1;
    return nFound;
}

int CConfig::ParseLine(const char* pszKey, const rvm::vector<rvm::string>& values) {
    if (!pszKey) return -1;
    int nValue = values.empty() ? 0 : ToInt(values[0]);
    if (HasPrefix(pszKey, "CFG_FPS")) {
        SetFps(nValue == kFpsValues[1] ? 1 : 0);
        return 0;
    }
    if (HasPrefix(pszKey, "CFG_VOL")) {
        int nLevel = nValue / 10;
        m_nVolumeLevel = nLevel < 0 ? 0 : (nLevel > CONFIG_VOLUME_LEVELS ? CONFIG_VOLUME_LEVELS : nLevel);
        m_nVolume = m_nVolumeLevel * 10;
        return 1;
    }
    for (int k = 0; k < CONFIG_ACTIONS; ++k) {
        // A button number that no mask bit stands for keeps the action's default.
        if (HasPrefix(pszKey, kButtonKeys[k])) {
            m_dwButtons[k] = (nValue >= 1 && nValue <= 32) ? (1u << (nValue - 1)) : kDefaultButtons[k];
            return 2 + k;
        }
    }
    return -1;
}

int CConfig::ButtonNumber(DWORD dwMask) {
    for (int b = 0; b < 32; ++b)
        if (dwMask & (1u << b)) return b + 1;
    return 0;
}

rvm::vector<rvm::string> CConfig::MakeLines() const {
    char szLine[64];
    rvm::vector<rvm::string> lines;
    snprintf(szLine, sizeof(szLine), "#%s %d\n", "CFG_FPS", m_nFps);
    lines.emplace_back(szLine);
    snprintf(szLine, sizeof(szLine), "#%s %d\n", "CFG_VOL", m_nVolume);
    lines.emplace_back(szLine);
    for (int k = 0; k < CONFIG_ACTIONS; ++k) {
        snprintf(szLine, sizeof(szLine), "#%s %d\n", kButtonKeys[k], ButtonNumber(m_dwButtons[k]));
        lines.emplace_back(szLine);
    }
    return lines;
}

int CConfig::WriteFile(int* pnWhy) {
    rvm::string text;
    for (const rvm::string& line : MakeLines()) text += ToCrLf(line.c_str());
    return WriteUserFile(CONFIG_FILE_PATH, text.data(), static_cast<uint32_t>(text.size()), pnWhy);
}

void CConfig::SetFps(int nIndex) {
    m_nFpsIndex = nIndex < 0 ? 0 : (nIndex > 1 ? 1 : nIndex);
    m_nFps = kFpsValues[m_nFpsIndex];
    if (this == &g_Config) g_bFrameSkip = IsFrameSkip();
}

void CConfig::SetVolume(int nLevel) {
    int nClamped = nLevel < 0 ? 0 : (nLevel > CONFIG_VOLUME_LEVELS ? CONFIG_VOLUME_LEVELS : nLevel);
    if (m_nRow == CONFIG_ROW_VOLUME && nClamped != m_nVolumeLevel) Beep();
    m_nVolumeLevel = nClamped;
    m_nVolume = nClamped * 10;
}

double CConfig::VolumeFactor() const { return (m_nVolume * 0.5 + 50) * 0.01; }

LONG CConfig::ScaleVolume(LONG lVolume) const {
    return static_cast<LONG>(std::trunc(VolumeFactor() * (lVolume + 10000) - 10000));
}

int CConfig::MapButtons(DWORD dwRaw) const {
    int nBits = 0;
    for (int k = 0; k < CONFIG_ACTIONS; ++k)
        if (dwRaw & m_dwButtons[k]) nBits |= 1 << k;
    return nBits;
}

// ---- The settings screen ------------------------------------------------------------------------

int CConfig::Load(IDirect3DDevice7* lpDevice) {
    Release();
    if (!m_Picture.LoadFromFile(lpDevice, CONFIG_PICTURE_PATH, nullptr, MEM_VIDEO)) return 0;
    if (!m_Index.LoadIndex(lpDevice, CONFIG_INDEX_DIR, CONFIG_INDEX_FILE)) return 0;
    m_Index.SetColorKeyGreen();
    m_RowCursor.SetKind(kRowCursorKind);
    m_ColumnCursor.SetKind(kColumnCursorKind);
    return m_Failure.Attach(CreateDevicePlaneSurface(lpDevice, kFailureWidth, kFailureHeight, MEM_VIDEO));
}

void CConfig::Release() {
    m_Picture.Release();
    m_Failure.Release();
    m_Index.Clear();
    m_RowCursor.Free();
    m_ColumnCursor.Free();
}

void CConfig::Beep() const { PlaySoundFile(CONFIG_BEEP_PATH); }

void CConfig::Start() {
    m_bDone = 0;
    m_nWriteFailure = USERFILE_WRITTEN;
    int nInput = CInputState::GetInput(0);
    for (CONFIGLATCH& latch : m_Latches) latch.bLatched = CKeyRecorder::IsKeyDown(nInput, latch.nVirtKey);
    m_bButtonLatch = 0;
    ReadFile();
    m_nRow = CONFIG_ROW_FPS;
    m_nColumn = -1;
    m_RowCursor.SetKind(kRowCursorKind);
    m_RowCursor.Start(kCursorSpeed, 0.0f);
    m_ColumnCursor.SetKind(kColumnCursorKind);
    m_ColumnCursor.Start(kCursorSpeed, 0.0f);
    PlaceCursors();
}

int CConfig::IsPressed(int nLatch, int nInput) {
    CONFIGLATCH& latch = m_Latches[nLatch];
    if (latch.bLatched || !CKeyRecorder::IsKeyDown(nInput, latch.nVirtKey)) return 0;
    latch.bLatched = 1;
    return 1;
}

void CConfig::Update() {
    int nInput = CInputState::GetInput(0);
    switch (m_nRow) {
    case CONFIG_ROW_FPS: UpdateFpsRow(nInput); break;
    case CONFIG_ROW_VOLUME: UpdateVolumeRow(nInput); break;
    case CONFIG_ROW_BUTTONS: UpdateButtonRow(nInput); break;
    default: UpdateExitRow(nInput); break;
    }
    PlaceCursors();
    for (CONFIGLATCH& latch : m_Latches)
        if (latch.bLatched && !CKeyRecorder::IsKeyDown(nInput, latch.nVirtKey)) latch.bLatched = 0;
}

void CConfig::UpdateFpsRow(int nInput) {
    if (IsPressed(CONFIG_LATCH_LEFT, nInput) | IsPressed(CONFIG_LATCH_RIGHT, nInput)) {
        SetFps(1 - m_nFpsIndex);
        Beep();
    }
    MoveRow(nInput);
}

void CConfig::UpdateVolumeRow(int nInput) {
    int nLevel = m_nVolumeLevel;
    if (IsPressed(CONFIG_LATCH_LEFT, nInput)) SetVolume(m_nVolumeLevel - 1);
    if (IsPressed(CONFIG_LATCH_RIGHT, nInput)) SetVolume(m_nVolumeLevel + 1);
    if (nLevel != m_nVolumeLevel) g_BgmWave.ApplyVolume();
    MoveRow(nInput);
}

void CConfig::UpdateButtonRow(int nInput) {
    JOYINFOEX info;
    DWORD dwRaw = CInputState::ReadJoystick(0, &info) ? info.dwButtons : 0;
    if (CountBits(dwRaw) == 1) {
        if (!m_bButtonLatch) {
            m_bButtonLatch = 1;
            AssignButton(dwRaw);
        }
    } else {
        m_bButtonLatch = 0;
    }
    if (m_nRow != CONFIG_ROW_BUTTONS) return;
    if (IsPressed(CONFIG_LATCH_UP, nInput)) {
        Beep();
        if (--m_nColumn < 0) EnterRow(CONFIG_ROW_VOLUME, 0);
    } else if (IsPressed(CONFIG_LATCH_DOWN, nInput)) {
        Beep();
        if (++m_nColumn >= CONFIG_ACTIONS) EnterRow(CONFIG_ROW_EXIT, 1);
    }
}

// A button already serving another action trades places with the selected action's button.
void CConfig::AssignButton(DWORD dwButton) {
    int nColumn = m_nColumn < 0 ? 0 : m_nColumn;
    for (int k = 0; k < CONFIG_ACTIONS; ++k) {
        if (k != nColumn && m_dwButtons[k] == dwButton) {
            m_dwButtons[k] = m_dwButtons[nColumn];
            break;
        }
    }
    m_dwButtons[nColumn] = dwButton;
    Beep();
    m_nColumn = nColumn + 1;
    if (m_nColumn >= CONFIG_ACTIONS) EnterRow(CONFIG_ROW_EXIT, 1);
}

void CConfig::UpdateExitRow(int nInput) {
    int bAct = (nInput & INPUT_BUTTONS) != 0 || CInputState::IsAnyJoyButton();
    bAct |= IsPressed(CONFIG_LATCH_ENTER, nInput);
    if (!bAct) {
        m_bButtonLatch = 0;
    } else if (!m_bButtonLatch) {
        m_bButtonLatch = 1;
        Exit();
        return;
    }
    MoveRow(nInput);
}

void CConfig::MoveRow(int nInput) {
    if (IsPressed(CONFIG_LATCH_UP, nInput)) {
        Beep();
        EnterRow(m_nRow == CONFIG_ROW_FPS ? CONFIG_ROW_EXIT : m_nRow - 1, 0);
    } else if (IsPressed(CONFIG_LATCH_DOWN, nInput)) {
        Beep();
        EnterRow(m_nRow == CONFIG_ROW_EXIT ? CONFIG_ROW_FPS : m_nRow + 1, 1);
    }
}

void CConfig::EnterRow(int nRow, int bFromAbove) {
    m_nRow = nRow;
    m_nColumn = -1;
    if (nRow != CONFIG_ROW_BUTTONS) return;
    m_nColumn = bFromAbove ? 0 : CONFIG_ACTIONS - 1;
    m_RowCursor.SetKind(kRowCursorKind);
    m_RowCursor.Start(kCursorSpeed, 0.0f);
}

void CConfig::PlaceCursors() {
    m_RowCursor.SetPosition(kRowCursorX, kRowCursorY[m_nRow]);
    if (m_nRow == CONFIG_ROW_BUTTONS && m_nColumn >= 0 && m_nColumn < CONFIG_ACTIONS)
        m_ColumnCursor.SetPosition(kColumnCursorX, kColumnCursorY[m_nColumn]);
    else
        m_ColumnCursor.Hide();
}

void CConfig::DrawRegion(IDirectDrawSurface7* lpTarget, const char* pszName, int x, int y) {
    int w = 0, h = 0;
    m_Index.GetRegionSize(pszName, &w, &h);
    if (w <= 0 || h <= 0) return;
    RECT rcDest = {x, y, x + w, y + h};
    m_Index.BltRegion(lpTarget, &rcDest, pszName, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
}

void CConfig::Draw(IDirectDrawSurface7* lpTarget) {
    if (!lpTarget) return;
    int w = 0, h = 0;
    m_Picture.GetSize(&w, &h);
    RECT rcDest = {0, 0, w, h};
    if (w > 0 && h > 0) m_Picture.BltTo(lpTarget, &rcDest, nullptr, DDBLT_WAIT, nullptr);
    if (m_nFpsIndex == 0)
        DrawRegion(lpTarget, "skip_60", 305, 80);
    else
        DrawRegion(lpTarget, "skip_30", 472, 80);
    char szName[32];
    if (m_nVolumeLevel > 0) {
        snprintf(szName, sizeof(szName), "vol_%d0", m_nVolumeLevel);
        DrawRegion(lpTarget, szName, 302, 136);
    }
    for (int k = 0; k < CONFIG_ACTIONS; ++k) {
        snprintf(szName, sizeof(szName), "%s%d", kButtonRegions[k], ButtonNumber(m_dwButtons[k]));
        DrawRegion(lpTarget, szName, 307, kButtonY[k]);
    }
    static const char* const kHelp[CONFIG_ROWS] = {"skip_60_info", "vol_info", "btn_info", "exit_info"};
    const char* pszHelp = (m_nRow == CONFIG_ROW_FPS && m_nFpsIndex == 1) ? "skip_30_info" : kHelp[m_nRow];
    if (m_nWriteFailure != USERFILE_WRITTEN) {
        RECT rcFailure = {kHelpX, kHelpY, kHelpX + kFailureWidth, kHelpY + kFailureHeight};
        m_Failure.BltTo(lpTarget, &rcFailure, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
    } else {
        DrawRegion(lpTarget, pszHelp, kHelpX, kHelpY);
    }
    m_RowCursor.Draw(lpTarget, m_Index);
    m_ColumnCursor.Draw(lpTarget, m_Index);
}

void CConfig::Exit() {
    int nWhy = USERFILE_WRITTEN;
    if (!WriteFile(&nWhy) && m_nWriteFailure == USERFILE_WRITTEN) {
        ShowWriteFailure(nWhy);
        return;
    }
    m_RowCursor.Free();
    m_ColumnCursor.Free();
    m_bDone = 1;
}

// The settings still hold until the program ends; the player learns that they will not come back.
void CConfig::ShowWriteFailure(int nWhy) {
    char szNotSaved[128];
    snprintf(szNotSaved, sizeof(szNotSaved), kNotSavedFormat, UserFileFailureText(nWhy));
    const char* lines[2] = {szNotSaved, kThisRunOnly};
    m_Failure.WriteTextLines(lines, 2, kFailureTextHeight);
    m_nWriteFailure = nWhy;
}
