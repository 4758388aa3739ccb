// The user settings (frame rate, master volume, the joystick buttons of the three actions), their
// file .\GameData\Config.dat, what they mean to the frame loop, the sound and the input layer, and
// the settings screen with its four rows: frame rate, volume, buttons, exit.
#pragma once
#include <cstdint>

#include "engine/BmpIndex.h"
#include "engine/DSurface.h"
#include "rvm/rvm_stl.h"

#define CONFIG_FILE_PATH ".\\GameData\\Config.dat"
#define CONFIG_PICTURE_PATH ".\\GameData\\Title\\Config.bmp"
#define CONFIG_INDEX_DIR ".\\GameData\\Title\\"
#define CONFIG_INDEX_FILE "ConfigIndex.txt"
#define CONFIG_BEEP_PATH ".\\GameData\\System\\Pi.wav"
#define CONFIG_LINE_MAX 3072

#define CONFIG_ROW_FPS 0
#define CONFIG_ROW_VOLUME 1
#define CONFIG_ROW_BUTTONS 2
#define CONFIG_ROW_EXIT 3
#define CONFIG_ROWS 4
#define CONFIG_ACTIONS 3  // shot, jump, sub-weapon
#define CONFIG_VOLUME_LEVELS 10
#define CONFIG_SETTINGS (2 + CONFIG_ACTIONS)  // frame rate, volume and the buttons

#define CONFIG_LATCH_UP 0
#define CONFIG_LATCH_DOWN 1
#define CONFIG_LATCH_LEFT 2
#define CONFIG_LATCH_RIGHT 3
#define CONFIG_LATCH_ENTER 4
#define CONFIG_LATCHES 5

struct CONFIGLATCH {
    int nVirtKey;
    int bLatched;
};

// A marker of the settings screen: the floating item picture of its kind, centred on its place.
class CConfigCursor {
public:
    void SetKind(int nKind) { m_nKind = nKind; }
    int GetKind() const { return m_nKind; }
    // Puts the marker in play with its own motion (speed, angle); the screen places it each frame.
    void Start(float fSpeed, float fAngle);
    void Free() { m_bActive = 0; }
    int IsActive() const { return m_bActive; }
    void SetPosition(float x, float y);
    void Hide() { m_bShown = 0; }
    int IsShown() const { return m_bActive && m_bShown; }
    float GetX() const { return m_fX; }
    float GetY() const { return m_fY; }
    // The region "cursor<kind>" of the index, centred on the position and 16 pixels higher.
    void Draw(IDirectDrawSurface7* lpTarget, CBmpIndex& index) const;

private:
    int m_nKind = 0;
    int m_bActive = 0;
    int m_bShown = 0;
    float m_fX = 0.0f, m_fY = 0.0f;
    float m_fSpeed = 0.0f, m_fAngle = 0.0f;
};

class CConfig {
public:
    CConfig();
    virtual ~CConfig();
    CConfig(const CConfig&) = delete;
    CConfig& operator=(const CConfig&) = delete;

    // The settings file. Keys that are missing or refused keep the defaults.
    int ReadFile();
    // The same reading from text in memory (the file's reader). Returns how many of the settings
    // the text set.
    int ReadText(const char* pText, size_t nSize);
    // Which setting the key set: 0 the frame rate, 1 the volume, 2 on the buttons; -1 none.
    int ParseLine(const char* pszKey, const rvm::vector<rvm::string>& values);
    // 1 when the five lines were written; pnWhy, when given, receives why not (USERFILE_*).
    int WriteFile(int* pnWhy = nullptr);
    // The five lines as written (each ends with "\n").
    rvm::vector<rvm::string> MakeLines() const;
    void SetDefaults();

    void SetFps(int nIndex);
    void SetVolume(int nLevel);
    int IsFrameSkip() const { return m_nFps != 60 ? 1 : 0; }
    double VolumeFactor() const;
    LONG ScaleVolume(LONG lVolume) const;
    int MapButtons(DWORD dwRaw) const;

    // The settings screen.
    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    void Start();
    void Update();
    void Draw(IDirectDrawSurface7* lpTarget);
    // Writes the file and leaves; a file that cannot be written is said on the screen first, and
    // the next press leaves without it.
    void Exit();

    int IsDone() const { return m_bDone; }
    // Why the file was not written, while the screen says so; USERFILE_WRITTEN otherwise.
    int GetWriteFailure() const { return m_nWriteFailure; }
    int GetFps() const { return m_nFps; }
    int GetFpsIndex() const { return m_nFpsIndex; }
    int GetVolume() const { return m_nVolume; }
    int GetVolumeLevel() const { return m_nVolumeLevel; }
    DWORD GetButtonMask(int nAction) const { return m_dwButtons[nAction]; }
    void SetButtonMask(int nAction, DWORD dwMask) { m_dwButtons[nAction] = dwMask; }
    int GetRow() const { return m_nRow; }
    int GetColumn() const { return m_nColumn; }
    const CConfigCursor& GetRowCursor() const { return m_RowCursor; }
    const CConfigCursor& GetColumnCursor() const { return m_ColumnCursor; }

    // The button number a mask is written as: its lowest set bit counted from 1, 0 for none.
    static int ButtonNumber(DWORD dwMask);

private:
    // A press of the latched key in the current input: down and not yet acted on (sets the latch).
    int IsPressed(int nLatch, int nInput);
    void UpdateFpsRow(int nInput);
    void UpdateVolumeRow(int nInput);
    void UpdateButtonRow(int nInput);
    void UpdateExitRow(int nInput);
    // Up and Down in the rows that are not the button row.
    void MoveRow(int nInput);
    void EnterRow(int nRow, int bFromAbove);
    void AssignButton(DWORD dwButton);
    void PlaceCursors();
    void Beep() const;
    void ShowWriteFailure(int nWhy);
    void DrawRegion(IDirectDrawSurface7* lpTarget, const char* pszName, int x, int y);

    int m_bDone;
    CDSurface m_Picture;
    CDSurface m_Failure;  // what a failed write says, in place of the help line
    int m_nWriteFailure;
    CBmpIndex m_Index;
    int m_nFps;
    int m_nVolume;
    DWORD m_dwButtons[CONFIG_ACTIONS];
    int m_nFpsIndex;
    int m_nVolumeLevel;
    int m_nRow;
    int m_nColumn;
    CConfigCursor m_RowCursor;
    CConfigCursor m_ColumnCursor;
    CONFIGLATCH m_Latches[CONFIG_LATCHES];
    int m_bButtonLatch;
};

extern CConfig g_Config;

// The configured volume scale for the BGM streamer (CBgmWave::SetVolumeScaler).
LONG ScaleConfigVolume(LONG lVolume);
