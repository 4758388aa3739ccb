// The in-stage message window: a face-and-frame picture that slides in from the left, speaks a
// voice, types its text into itself a segment every half second and closes by squeezing flat. A
// plain object: its owner updates and draws it.
#pragma once
#include "rvm/rvm_stl.h"
#include "engine/AccAdjust.h"
#include "engine/SurfaceUtil.h"

// What a window says. The text is code page 932; "\s" (a backslash and s) ends a segment, "\n" (a
// backslash and n) a line.
struct MSGINFO {
    rvm::string strVoice;     // wave path; empty for none
    rvm::string strText;
    int bCloseOnVoiceEnd = 0; // close as soon as the voice has ended, even with text left
};

class CMsgWin {
public:
    enum { STATE_SLIDE_IN = 0, STATE_CLOSING = 1, STATE_TEXT = 2 };
    enum { TEXT_LEFT = 110, TEXT_TOP = 25, TEXT_HEIGHT = 14, LINE_STEP = 16, TEXT_PERIOD_MS = 500 };

    CMsgWin();
    virtual ~CMsgWin() { Release(); }
    CMsgWin(const CMsgWin&) = delete;
    CMsgWin& operator=(const CMsgWin&) = delete;

    BOOL Create(IDirect3DDevice7* lpDevice, const IMGKEY& key, const MSGINFO& msg);
    BOOL CreateFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, const MSGINFO& msg);
    void Release();
    // Wipes earlier text and slides in from the left edge.
    void Open();
    void Update();
    void StartMessage();
    void StopVoice();
    void Close() { m_bClosed = 1; }
    int IsClosed() const { return m_bClosed; }
    BOOL Draw(IDirectDrawSurface7* lpSurface);

    // White text at (x, y), in black one pixel down-right first when bShadow; a transparent
    // background. nLength -1: up to the terminating zero.
    static BOOL DrawSurfaceText(IDirectDrawSurface7* lpSurface, int x, int y, const char* pszText, int nHeight,
                                int bShadow, int nLength = -1);
    // The byte index of the next two-byte mark "\c" at or after nFrom that starts a character
    // (never the trail byte of a two-byte character); -1 when there is none.
    static int FindMark(const rvm::string& text, int nFrom, int nTo, char c);

    int GetState() const { return m_nState; }
    int GetTextPos() const { return m_nTextPos; }
    int GetTextX() const { return m_nTextX; }
    int GetTextY() const { return m_nTextY; }
    const ACCINFO& GetSlideSpeed() const { return m_Slide; }
    const ACCINFO& GetCloseScale() const { return m_CloseScale; }
    IDirectDrawSurface7* GetPicture() const { return m_lpPicture; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }

    int m_bAnimateClose = 1;
    float m_fX = 0.0f;
    float m_fY = 0.0f;
    float m_fZ = 0.0f;
    float m_fTargetX = 320.0f;
    float m_fTargetY = 240.0f;
    float m_fTargetZ = 0.0f;

private:
    BOOL TakePicture(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpPicture, const MSGINFO& msg);
    void SlideIn();
    void CloseAnim();
    void UpdateText();
    void DrawSegment(int nBegin, int nEnd);
    void StartClosing();
    bool IsVoicePlaying() const;

    int m_nState = STATE_SLIDE_IN;
    IDirectDrawSurface7* m_lpPicture = nullptr;
    IDirectDrawSurface7* m_lpClean = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    MSGINFO m_Msg;
    int m_nTextPos = 0;
    int m_nTextX = 0;
    int m_nTextY = 0;
    int m_bWaiting = 0;
    int m_bClosed = 1;
    ACCINFO m_Slide;
    ACCINFO m_CloseScale;
    DWORD m_dwTextStamp = 0;
    DWORD m_dwTextPeriod = TEXT_PERIOD_MS;
};
