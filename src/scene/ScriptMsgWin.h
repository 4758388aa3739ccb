// The window of the cut-scene messages: it unfolds at its corner, grows open to the size of its
// text, then types the text character by character in smooth glyphs, and can show a blinking
// prompt while the scene waits for the player. CScriptMsg is one message and where its typing has
// got to; CScriptMsgWin is the window with the font, the textures the text goes into and the
// translucent panel behind it.
#pragma once
#include "rvm/rvm_stl.h"
#include "engine/AccAdjust.h"
#include "engine/AntiCharBmp.h"
#include "engine/DSurface.h"
#include "engine/Sprite.h"

#define SCRIPTMSG_MARGIN 8.0f
#define SCRIPTMSG_SPRITES 3
#define SCRIPTMSG_SPRITE_SIZE 256
#define SCRIPTMSG_PANEL_WIDTH 640
#define SCRIPTMSG_PANEL_HEIGHT 200
#define SCRIPTMSG_CHAR_WAIT 20
#define SCRIPTMSG_PAUSE_WAIT 500
#define SCRIPTMSG_POINTS 18

// Where typing finds its glyphs: the cache, the widths of blank characters (a space renders no
// pixels, yet must move the pen on) and the distance between lines.
struct SCRIPTGLYPHS {
    const CAntiCharCache* pCache;
    const rvm::map<rvm::string, int>* pBlankWidths;
    int nLineStep;

    const CAntiCharBmp* Find(const char* pszChar) const;
    int Advance(const char* pszChar) const;
};

// A glyph to put into the text at (x, y) of the 768 x 256 text area.
struct GLYPHPLACE {
    const CAntiCharBmp* pGlyph;
    int x;
    int y;
};

class CScriptMsg {
public:
    explicit CScriptMsg(const rvm::string& text) : m_strText(text) {}
    virtual ~CScriptMsg() = default;

    void ResetTyping();
    // One step of typing at time dwNow (bNoWait: as if every wait had passed). 1 when a glyph is
    // to be drawn, with it and its place in *pPlace.
    int Step(const SCRIPTGLYPHS& glyphs, DWORD dwNow, int bNoWait, GLYPHPLACE* pPlace);
    int IsFinished() const { return m_nCursor >= static_cast<int>(m_strText.size()); }
    // The size the text takes: the widest line, and the lines' heights added up.
    SIZE Measure(const SCRIPTGLYPHS& glyphs) const;

    const rvm::string& GetText() const { return m_strText; }
    int GetCursor() const { return m_nCursor; }
    int GetPenX() const { return m_nPenX; }
    int GetPenY() const { return m_nPenY; }
    int IsWaiting() const { return m_bWaiting; }

    // Bytes of the character at p (2 for a lead byte with a byte after it), of nLeft bytes.
    static int CharLength(const char* p, int nLeft);
    // Bytes of the piece at p: a character, or a backslash and the character after it.
    static int PieceLength(const char* p, int nLeft);

private:
    rvm::string m_strText;  // code page 932
    int m_bWaiting = 0;
    DWORD m_dwWait = 0;
    DWORD m_dwWaitStart = 0;
    int m_nCursor = 0;
    int m_nPenX = 0;
    int m_nPenY = 0;
};

// A picture animation by frame number: the frame moves on by one (modulo the count) each period.
struct FRAMEANIM {
    DWORD dwPeriod = 0;
    DWORD dwStart = 0;
    int bRunning = 0;
    int nCount = 1;
    int nFrame = 0;

    void Start(int nFrames, DWORD dwPeriodMs, DWORD dwNow);
    // 1 when the frame moved on.
    int Advance(DWORD dwNow);
};

class CScriptMsgWin {
public:
    enum { STATE_UNFOLD = 0, STATE_GROW = 1, STATE_DONE = 2, STATE_TYPING = 3, STATE_PROMPT = 4 };

    CScriptMsgWin() = default;
    virtual ~CScriptMsgWin();
    CScriptMsgWin(const CScriptMsgWin&) = delete;
    CScriptMsgWin& operator=(const CScriptMsgWin&) = delete;

    // The textures and planes, and the prompt picture (two frames side by side; the window works
    // without it). Hidden. 0 on failure.
    int Load(IDirect3DDevice7* lpDevice, const char* pszPromptFile);
    void Release();
    // Renders into the cache every character of the text it does not hold yet. 0 (after ERROR 36)
    // when a character other than a blank cannot be rendered; the others are still cached.
    int CacheGlyphs(const char* pszText, int nLength, CAntiCharCache* pCache,
                    rvm::vector<rvm::string>* pReports = nullptr);
    void SetMessage(CScriptMsg* pMsg) { m_pMsg = pMsg; }
    void SetPosition(int x, int y);
    void Open();
    // The window at full size with the prompt blinking.
    void ShowAll();
    void StartTyping();
    void FinishText();
    // The whole text at once, the window at full size and the prompt: what fast-forward shows.
    void ShowWholeText();
    int IsTextDone() const { return m_nState == STATE_DONE; }
    void Hide() { m_bHidden = 1; }
    int IsHidden() const { return m_bHidden; }
    // What lies behind the window changed: its panel is blended again at the next draw.
    void SetPanelDirty() { m_bPanelDirty = 1; }
    void Update();
    void Draw(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice, int dx, int dy);

    int GetState() const { return m_nState; }
    CScriptMsg* GetMessage() const { return m_pMsg; }
    // The window's rectangle: its position to the growing corner.
    RECT GetRect() const;
    SIZE GetTargetSize() const { return SIZE{static_cast<LONG>(m_fTargetW), static_cast<LONG>(m_fTargetH)}; }
    int GetPromptFrame() const { return m_Anim.nFrame; }
    SCRIPTGLYPHS GetGlyphs() const;
    IDirectDrawSurface7* GetTextTexture(int i) const { return m_TextSprite[i].GetTexture(); }

private:
    void StartGrowing();
    void UpdateGrowing();
    void TypeStep(DWORD dwNow);
    void PutGlyph(const GLYPHPLACE& place);
    void DrawPanel(IDirectDrawSurface7* lpDest, int dx, int dy);
    void DrawText(IDirect3DDevice7* lpDevice, int dx, int dy);
    void DrawTextSprites(IDirect3DDevice7* lpDevice, float x, float y);
    void DrawPrompt(IDirectDrawSurface7* lpDest, int dx, int dy);
    HFONT GetFont();

    int m_nState = STATE_UNFOLD;
    IDirectDrawSurface7* m_lpPanel = nullptr;
    IDirectDrawSurface7* m_lpGreen = nullptr;
    int m_bPanelDirty = 1;
    CDSurface m_Prompt;
    // The growing corner's speed along the diagonal, and its acceleration.
    ACCINFO m_Speed = {};
    float m_fAccel = 0.0f;
    FRAMEANIM m_Anim;
    int m_nX = 0;
    int m_nY = 0;
    float m_fCornerX = 0.0f;
    float m_fCornerY = 0.0f;
    float m_fTargetW = 0.0f;
    float m_fTargetH = 0.0f;
    float m_fAngle = 0.0f;
    float m_fDistance = 0.0f;
    float m_fRemaining = 0.0f;
    int m_nTextWidth = 0;
    CSprite m_TextSprite[SCRIPTMSG_SPRITES];
    CAntiCharCache* m_pCache = nullptr;
    CScriptMsg* m_pMsg = nullptr;
    HFONT m_hFont = nullptr;
    int m_nLineStep = 24;
    int m_bHidden = 1;
    rvm::map<rvm::string, int> m_BlankWidths;
};
