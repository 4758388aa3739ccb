// The cut-scene player of the opening and the ending: it plays one script, executing the commands
// that fall due (pictures, messages, voices, music, fades, shaking and the special moves), goes
// from shot to shot when the scene has come to rest, waits with a prompt where a shot asks for the
// player, fast-forwards a shot on Ctrl and ends at once while Z, Enter or a joystick button is held.
#pragma once
#include "rvm/rvm_stl.h"
#include "engine/AccAdjust.h"
#include "engine/AntiCharBmp.h"
#include "engine/FadePlane.h"
#include "scene/Script.h"
#include "scene/ScriptMsgWin.h"

#define QUAKE_TABLE_SIZE 30
#define QUAKE_PERIOD 50
#define OPENING_FADE_STEP 0.03f
// Fast-forward runs the moves and the special effect to their end within one update; past this
// many steps they are ended where they are.
#define OPENING_RUN_LIMIT 10000
// Distance cap of the moves of SPECIAL 2, and how far its first picture travels.
#define SPECIAL_LIMIT 480.0f

// A picture gliding sideways to rest a given distance from where it started (IMAGE_MOVX and the
// special moves), or running at a constant speed up to the distance.
struct GLIDEMOVE {
    rvm::string strName;
    int nStartX = 0;
    float fX = 0.0f;
    float fDistance = 0.0f;
    float fSign = 1.0f;  // the direction: right, but for a constant speed its own sign
    ACCINFO speed = {};  // |speed|, slowing to 0 over the distance (no step: constant)
    int nSteps = 0;
    int bDone = 0;

    // The picture's start and the motion; a move without distance or speed is done at once.
    void Start(const rvm::string& name, int nStartX0, float fDistance0, float fSpeed, int bConstant);
    // One update; the picture's x follows, and comes to rest exactly on start + distance.
    void Step(CScript& script);
};

// The one picture of SPECIAL 0: it sways from side to side while it falls, then drifts off.
struct SWAYFALL {
    rvm::string strName;
    float fX = 0.0f;
    float fY = 0.0f;
    float fHs = 0.0f;  // horizontal speed, changed by fHa, kept within +-fBound while bounded
    float fHa = 0.0f;
    float fBound = 0.0f;
    int bBounded = 0;
    int nTurns = 0;  // times fHa turned at a bound (twice at most)
    float fVs = 0.0f;  // vertical speed, changed by fVa each update
    float fVa = 0.0f;
    int nSteps = 0;
    int bDone = 0;

    void Start(CScript& script, const rvm::string& name, float a, float b, float c);
    void Step(CScript& script);
};

class COpening {
public:
    enum { SPECIAL_IDLE = -1, SPECIAL_SWAY = 0, SPECIAL_TWO = 1, SPECIAL_THREE = 2 };

    COpening() = default;
    virtual ~COpening();
    COpening(const COpening&) = delete;
    COpening& operator=(const COpening&) = delete;

    virtual void DrawBacks(IDirectDrawSurface7* lpDest);
    virtual void DrawChars(IDirectDrawSurface7* lpDest);
    virtual void Special(CScript& script, const rvm::vector<rvm::string>& params);
    virtual void UpdateSpecial();
    virtual int IsSpecialIdle() const { return m_nSpecial == SPECIAL_IDLE; }
    virtual void Start();
    virtual void Update();
    virtual void Stop() { m_bStopped = 1; }

    // The script of a folder such as ".\GameData\Opening\"; 0 (after ERROR 34) when it cannot be
    // read.
    int Load(IDirect3DDevice7* lpDevice, const char* pszFolder);
    void Unload();
    // Skip, fast-forward and the move to the next shot; before Update in every update pass.
    void PollKeys();
    int IsFinished() const;
    void FadeOutVoices() { m_Script.StopVoices(); }
    void Draw(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice);

    // No QUAKE, fade, typing, special or move is running.
    int IsIdle() const;
    // The folder of the loaded script; empty when none is loaded.
    const rvm::string& GetFolder() const { return m_strFolder; }
    CScript& GetScript() { return m_Script; }
    CScriptMsgWin& GetMsgWin() { return m_MsgWin; }
    const CFadePlane& GetFader() const { return m_Fader; }
    int IsQuaking() const { return m_bQuake; }
    // The draw offset QUAKE gives now ((0, 0) without QUAKE).
    POINT GetQuakeOffset() const;
    const int (*GetQuakeTable() const)[2] { return m_nQuakeTable; }
    int IsMoving() const { return m_bMoving; }
    int GetSpecial() const { return m_nSpecial; }
    int IsAllDone() const { return m_bAllDone; }
    // The pack a script folder's music is looked up in: ".\GameData\Ending\" gives
    // ".\GameData\Ending.dat".
    static rvm::string GetMusicPack(const rvm::string& folder);
    int IsSkipped() const { return m_bSkip; }

private:
    void NextShot();
    void FastForward();
    void Execute(const SCRIPTCMD& cmd);
    void ShowPicture(const rvm::vector<rvm::string>& params, int bBack);
    void StartMove(const rvm::vector<rvm::string>& params);
    void ShowMessage(const SCRIPTCMD& cmd);
    void StartFade(int nKind);
    void StartQuake();
    void PlayVoice(const rvm::string& name);
    void PlayMusic(const rvm::string& name);
    void UpdateMoves();
    void UpdateFade();
    void UpdateQuake();
    void BuildQuakeTable();

    int m_nSpecial = SPECIAL_IDLE;
    SWAYFALL m_Sway;
    GLIDEMOVE m_SpecialMoves[3];
    int m_nSpecialMoves = 0;
    rvm::string m_strFolder;
    CScript m_Script;
    CScriptMsgWin m_MsgWin;
    CAntiCharCache m_Glyphs;
    rvm::map<rvm::string, GLIDEMOVE> m_Moves;
    int m_bMoving = 0;
    CFadePlane m_Fader;
    int m_bCtrl = 0;
    int m_bQuake = 0;
    DWORD m_dwQuakeTick = 0;
    int m_nQuakeIndex = 0;
    // Each player keeps its own table: the ending is loaded on the loading thread.
    int m_nQuakeTable[QUAKE_TABLE_SIZE][2] = {};
    int m_bFastForward = 0;
    int m_bSkip = 0;
    int m_bAllDone = 0;
    int m_bStopped = 1;
    // The commands due in one update, reused.
    rvm::vector<const SCRIPTCMD*> m_Due;
};
