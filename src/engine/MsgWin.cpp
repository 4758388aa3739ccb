#include "engine/MsgWin.h"

#include <cstring>

#include "engine/AppTimer.h"
#include "engine/DSurface.h"
#include "engine/Sound.h"
#include "engine/TextSprite.h"
#include "engine/WidgetDraw.h"
#include "platform/gdi/Gdi.h"
#include "rvm/rvm_stl.h"

CMsgWin::CMsgWin()
{
    m_Slide.Set(-30.0f, 1.3f, -40.0f, -1.0f, 1);
    m_CloseScale.Set(1.0f, -0.25f, 0.15f, 2.0f, 1);
}

BOOL CMsgWin::TakePicture(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpPicture, const MSGINFO& msg)
{
    if (!lpPicture) {
        return 0;
    }
    m_lpPicture = lpPicture;
    GetSurfaceSize(lpPicture, &m_nWidth, &m_nHeight);
    m_lpClean = CreateSurfaceCopyByDevice(lpDevice, lpPicture, nullptr, MEM_SYSTEM);
    if (!m_lpClean) {
        Release();
        return 0;
    }
    m_Msg = msg;
    return 1;
}

BOOL CMsgWin::Create(IDirect3DDevice7* lpDevice, const IMGKEY& key, const MSGINFO& msg)
{
    Release();
    return TakePicture(lpDevice, LoadIndexSurface(lpDevice, key, MEM_SYSTEM), msg);
}

BOOL CMsgWin::CreateFromFile(IDirect3DDevice7* lpDevice, const char* pszPath, const MSGINFO& msg)
{
    Release();
    return TakePicture(lpDevice, LoadBitmapSurface(lpDevice, pszPath, MEM_SYSTEM), msg);
}

void CMsgWin::Release()
{
    Close();
    SafeRelease(m_lpPicture);
    SafeRelease(m_lpClean);
}

void CMsgWin::Open()
{
    if (m_lpPicture && m_lpClean) {
        BltOk(m_lpPicture, nullptr, m_lpClean, nullptr, DDBLT_WAIT, nullptr);
        SetColorKeyGreen(m_lpPicture);
    }
    m_fX = (float)(-(m_nWidth / 2));
    m_fY = m_fTargetY;
    m_fZ = 0.0f;
    m_Slide.Restart();
    m_CloseScale.Restart();
    m_bClosed = 0;
    m_nState = STATE_SLIDE_IN;
}

void CMsgWin::Update()
{
    if (m_bClosed) {
        return;
    }
    switch (m_nState) {
    case STATE_SLIDE_IN:
        SlideIn();
        break;
    case STATE_CLOSING:
        CloseAnim();
        break;
    case STATE_TEXT:
        UpdateText();
        break;
    default:
        break;
    }
}

// Fast from the left edge, braking over the last 320 pixels.
void CMsgWin::SlideIn()
{
    m_fX -= m_Slide.fValue;
    if (m_fX > m_fTargetX - 320.0f) {
        m_Slide.Step();
    }
    if (m_fX > m_fTargetX) {
        StartMessage();
    }
}

void CMsgWin::StartMessage()
{
    if (!m_Msg.strVoice.empty()) {
        PlaySoundFile(m_Msg.strVoice.c_str());
    }
    m_Slide.fValue = 0.0f;
    m_nTextPos = 0;
    m_nTextX = 0;
    m_nTextY = 0;
    m_bWaiting = 0;
    m_bClosed = 0;
    m_fX = m_fTargetX;
    m_fY = m_fTargetY;
    m_fZ = m_fTargetZ;
    m_nState = STATE_TEXT;
}

void CMsgWin::StopVoice()
{
    if (!m_Msg.strVoice.empty()) {
        StopSoundFile(m_Msg.strVoice.c_str());
    }
}

bool CMsgWin::IsVoicePlaying() const
{
    return !m_Msg.strVoice.empty() && IsSoundFilePlaying(m_Msg.strVoice.c_str());
}

void CMsgWin::CloseAnim()
{
    m_CloseScale.Step();
    if (m_CloseScale.nReached) {
        Close();
    }
}

int CMsgWin::FindMark(const rvm::string& text, int nFrom, int nTo, char c)
{
    for (int i = nFrom; i + 1 < nTo; i++) {
        const BYTE b = (BYTE)text[i];
        if (b == '\\' && text[i + 1] == c) {
            return i;
        }
        // A two-byte character may end in 0x5C: its trail byte is never a mark.
        if (IsDBCSLeadByte(b)) {
            i++;
        }
    }
    return -1;
}

// The segment's lines into the picture; the text position of the next segment moves on from it.
void CMsgWin::DrawSegment(int nBegin, int nEnd)
{
    int nPiece = nBegin;
    for (;;) {
        const int nBreak = FindMark(m_Msg.strText, nPiece, nEnd, 'n');
        const int nPieceEnd = nBreak < 0 ? nEnd : nBreak;
        const int nLength = nPieceEnd - nPiece;
        if (nLength > 0 && m_lpPicture) {
            DrawSurfaceText(m_lpPicture, TEXT_LEFT + m_nTextX, TEXT_TOP + m_nTextY, m_Msg.strText.c_str() + nPiece,
                            TEXT_HEIGHT, 1, nLength);
        }
        if (nBreak < 0) {
            m_nTextX += (int)((float)nLength * (float)TEXT_HEIGHT * 0.5f);
            return;
        }
        m_nTextY += LINE_STEP;
        m_nTextX = 0;
        nPiece = nBreak + 2;
    }
}

void CMsgWin::StartClosing()
{
    m_nState = STATE_CLOSING;
    m_CloseScale.Restart();
    if (!m_bAnimateClose) {
        Close();
    }
}

void CMsgWin::UpdateText()
{
    if (m_bWaiting) {
        if (CAppTimer::GetElapsed(0) - m_dwTextStamp <= m_dwTextPeriod) {
            return;
        }
        m_bWaiting = 0;
    }
    const int nLength = (int)m_Msg.strText.size();
    const int nMark = FindMark(m_Msg.strText, m_nTextPos, nLength, 's');
    const int nEnd = nMark < 0 ? nLength : nMark;
    DrawSegment(m_nTextPos, nEnd);
    bool bClose = false;
    if (nMark < 0) {
        m_nTextPos = nLength;
        bClose = !m_Msg.bCloseOnVoiceEnd && !IsVoicePlaying();
    } else {
        m_nTextPos = nMark + 2;
    }
    if (m_Msg.bCloseOnVoiceEnd && !IsVoicePlaying()) {
        bClose = true;
    }
    if (bClose) {
        StartClosing();
    }
    m_bWaiting = 1;
    m_dwTextStamp = CAppTimer::GetElapsed(0);
}

BOOL CMsgWin::DrawSurfaceText(IDirectDrawSurface7* lpSurface, int x, int y, const char* pszText, int nHeight,
                              int bShadow, int nLength)
{
    HDC hdc = nullptr;
    if (!lpSurface || !pszText || lpSurface->GetDC(&hdc) != DD_OK) {
        return 0;
    }
    if (nLength < 0) {
        nLength = (int)std::strlen(pszText);
    }
    const int nOldMode = SetBkMode(hdc, TRANSPARENT);
    if (bShadow) {
        SetTextColor(hdc, RGB(0, 0, 0));
        DrawGothicText(hdc, x + 1, y + 1, pszText, nLength, nHeight);
    }
    SetTextColor(hdc, 0xFFFFFF);
    DrawGothicText(hdc, x, y, pszText, nLength, nHeight);
    SetBkMode(hdc, nOldMode);
    lpSurface->ReleaseDC(hdc);
    return 1;
}

BOOL CMsgWin::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bClosed || !m_lpPicture) {
        return 1;
    }
    const int h = (int)(m_CloseScale.fValue * (float)m_nHeight);
    return BltCentred(lpSurface, m_lpPicture, m_fX, m_fY, m_nWidth, h, m_nWidth, m_nHeight,
                      m_nState == STATE_CLOSING);
}
