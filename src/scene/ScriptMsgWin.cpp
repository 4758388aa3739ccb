#include "scene/ScriptMsgWin.h"

#include <cmath>

#include "engine/AppTimer.h"
#include "engine/Blender.h"
#include "engine/Log.h"
#include "engine/RenderState.h"
#include "engine/TextSprite.h"
#include "engine/WinMain.h"
#include "platform/d3d/D3DX.h"
#include "scene/ScriptShot.h"
#include "rvm/rvm_stl.h"

namespace {

const int kUnfoldFrames = 5;
const DWORD kUnfoldPeriod = 50;
const int kPromptFrames = 2;
const DWORD kPromptPeriod = 500;
const float kTopSpeed = 50.0f;

// A blank renders no pixels; it still has to move the pen on.
bool IsBlank(const char* p, int n)
{
    const unsigned char c0 = static_cast<unsigned char>(p[0]);
    return (n == 1 && c0 == ' ') || (n == 2 && c0 == 0x81 && static_cast<unsigned char>(p[1]) == 0x40);
}

DWORD Now()
{
    return CAppTimer::GetElapsed(0);
}

} // namespace

// ---- Glyphs ---------------------------------------------------------------------------------------

const CAntiCharBmp* SCRIPTGLYPHS::Find(const char* pszChar) const
{
    return pCache ? pCache->Find(pszChar) : nullptr;
}

int SCRIPTGLYPHS::Advance(const char* pszChar) const
{
    if (pBlankWidths) {
        auto it = pBlankWidths->find(CAntiCharCache::CharKey(pszChar));
        if (it != pBlankWidths->end()) {
            return it->second;
        }
    }
    const CAntiCharBmp* pGlyph = Find(pszChar);
    return pGlyph ? pGlyph->GetWidth() : 0;
}

// ---- One message ----------------------------------------------------------------------------------

int CScriptMsg::CharLength(const char* p, int nLeft)
{
    if (nLeft <= 0) {
        return 0;
    }
    return nLeft >= 2 && IsDBCSLeadByte(static_cast<BYTE>(p[0])) ? 2 : 1;
}

int CScriptMsg::PieceLength(const char* p, int nLeft)
{
    if (nLeft >= 2 && p[0] == '\\') {
        return 1 + CharLength(p + 1, nLeft - 1);
    }
    return CharLength(p, nLeft);
}

void CScriptMsg::ResetTyping()
{
    m_nCursor = 0;
    m_nPenX = 0;
    m_nPenY = 0;
    m_bWaiting = 0;
}

int CScriptMsg::Step(const SCRIPTGLYPHS& glyphs, DWORD dwNow, int bNoWait, GLYPHPLACE* pPlace)
{
    pPlace->pGlyph = nullptr;
    if (m_bWaiting && (bNoWait || static_cast<DWORD>(dwNow - m_dwWaitStart) >= m_dwWait)) {
        m_bWaiting = 0;
    }
    if (m_bWaiting || IsFinished()) {
        return 0;
    }
    const char* p = m_strText.c_str() + m_nCursor;
    const int nLeft = static_cast<int>(m_strText.size()) - m_nCursor;
    const int n = PieceLength(p, nLeft);
    int bWait = 1;
    m_dwWait = SCRIPTMSG_CHAR_WAIT;
    if (p[0] == '\\' && n > 1) {
        // Markup draws nothing: \s pauses, \n starts a new line at once, anything else is dropped.
        if (p[1] == 's') {
            m_dwWait = SCRIPTMSG_PAUSE_WAIT;
        } else {
            bWait = 0;
            if (p[1] == 'n') {
                m_nPenX = 0;
                m_nPenY += glyphs.nLineStep;
            }
        }
    } else {
        const CAntiCharBmp* pGlyph = glyphs.Find(p);
        if (pGlyph && pGlyph->GetWidth() > 0 && pGlyph->GetHeight() > 0) {
            *pPlace = GLYPHPLACE{pGlyph, m_nPenX, m_nPenY};
        }
        m_nPenX += glyphs.Advance(p);
    }
    m_nCursor += n;
    if (bWait) {
        m_bWaiting = 1;
        m_dwWaitStart = dwNow;
    }
    return pPlace->pGlyph != nullptr;
}

SIZE CScriptMsg::Measure(const SCRIPTGLYPHS& glyphs) const
{
    SIZE size = {0, 0};
    int nLineWidth = 0, nLineHeight = 0;
    const int nText = static_cast<int>(m_strText.size());
    for (int i = 0; i < nText;) {
        const char* p = m_strText.c_str() + i;
        const int n = PieceLength(p, nText - i);
        if (p[0] == '\\' && n > 1) {
            if (p[1] == 'n') {
                // An empty line still takes the room the pen moves down by.
                size.cy += nLineHeight > 0 ? nLineHeight : glyphs.nLineStep;
                nLineWidth = nLineHeight = 0;
            }
        } else {
            const CAntiCharBmp* pGlyph = glyphs.Find(p);
            nLineWidth += glyphs.Advance(p);
            if (pGlyph && pGlyph->GetHeight() > nLineHeight) {
                nLineHeight = pGlyph->GetHeight();
            }
            if (nLineWidth > size.cx) {
                size.cx = nLineWidth;
            }
        }
        i += n;
    }
    size.cy += nLineHeight;
    return size;
}

// ---- Frame animation ------------------------------------------------------------------------------

void FRAMEANIM::Start(int nFrames, DWORD dwPeriodMs, DWORD dwNow)
{
    nCount = nFrames > 0 ? nFrames : 1;
    dwPeriod = dwPeriodMs;
    dwStart = dwNow;
    nFrame = 0;
    bRunning = 1;
}

int FRAMEANIM::Advance(DWORD dwNow)
{
    if (!bRunning || static_cast<DWORD>(dwNow - dwStart) < dwPeriod) {
        return 0;
    }
    nFrame = (nFrame + 1) % nCount;
    dwStart = dwNow;
    return 1;
}

// ---- The window -----------------------------------------------------------------------------------

CScriptMsgWin::~CScriptMsgWin()
{
    Release();
}

int CScriptMsgWin::Load(IDirect3DDevice7* lpDevice, const char* pszPromptFile)
{
    Release();
    IDirectDrawSurface7* lpPlane =
        CreateDevicePlaneSurface(lpDevice, SCRIPTMSG_SPRITE_SIZE, SCRIPTMSG_SPRITE_SIZE, MEM_VIDEO);
    int bOk = lpPlane && FillSurfaceColor(lpPlane, 0.0f, 0.0f, 0.0f, nullptr);
    for (int i = 0; i < SCRIPTMSG_SPRITES && bOk; i++) {
        bOk = m_TextSprite[i].Create(lpDevice, lpPlane, nullptr);
    }
    SafeRelease(lpPlane);
    m_lpPanel = CreateDevicePlaneSurface(lpDevice, SCRIPTMSG_PANEL_WIDTH, SCRIPTMSG_PANEL_HEIGHT, MEM_VIDEO);
    m_lpGreen = CreateDevicePlaneSurface(lpDevice, SCRIPTMSG_PANEL_WIDTH, SCRIPTMSG_PANEL_HEIGHT, MEM_VIDEO);
    bOk = bOk && m_lpPanel && m_lpGreen && FillSurfaceColor(m_lpGreen, 0.0f, 0.5f, 0.0f, nullptr);
    if (!bOk) {
        Release();
        return 0;
    }
    if (pszPromptFile && m_Prompt.LoadFromFile(lpDevice, pszPromptFile, nullptr, MEM_VIDEO)) {
        m_Prompt.SetColorKeyGreen();
    }
    m_bPanelDirty = 1;
    m_bHidden = 1;
    return 1;
}

void CScriptMsgWin::Release()
{
    m_bHidden = 1;
    m_pMsg = nullptr;
    for (CSprite& sprite : m_TextSprite) {
        sprite.Release();
    }
    if (m_hFont) {
        DeleteObject(m_hFont);
        m_hFont = nullptr;
    }
    SafeRelease(m_lpPanel);
    SafeRelease(m_lpGreen);
    m_Prompt.Release();
    m_BlankWidths.clear();
    m_pCache = nullptr;
}

HFONT CScriptMsgWin::GetFont()
{
    if (!m_hFont) {
        HDC hdc = ::GetDC(g_hWnd);
        const int nDpi = hdc ? GetDeviceCaps(hdc, LOGPIXELSY) : 96;
        ::ReleaseDC(g_hWnd, hdc);
        m_nLineStep = MulDiv(SCRIPTMSG_POINTS, nDpi, 72);
        m_hFont = CreateTextFont(0, FONT_UI_GOTHIC, -m_nLineStep, 0);
    }
    return m_hFont;
}

int CScriptMsgWin::CacheGlyphs(const char* pszText, int nLength, CAntiCharCache* pCache,
                               rvm::vector<rvm::string>* pReports)
{
    if (!pszText || !pCache) {
        return 0;
    }
    m_pCache = pCache;
    HFONT hFont = GetFont();
    int bOk = 1;
    for (int i = 0; i < nLength;) {
        const char* p = pszText + i;
        const int n = CScriptMsg::PieceLength(p, nLength - i);
        i += n;
        if ((p[0] == '\\' && n > 1) || pCache->Find(p)) {
            continue;
        }
        CAntiCharBmp* pGlyph = new CAntiCharBmp;
        if (hFont && pGlyph->Create(0, hFont, p, n, GGO_GRAY4_BITMAP, 255)) {
            pCache->Add(p, pGlyph);
        } else if (hFont && IsBlank(p, n)) {
            HDC hdc = ::GetDC(g_hWnd);
            HGDIOBJ hOld = SelectObject(hdc, hFont);
            SIZE extent = {0, 0};
            GetTextExtentPoint32A(hdc, p, n, &extent);
            SelectObject(hdc, hOld);
            ::ReleaseDC(g_hWnd, hdc);
            m_BlankWidths[CAntiCharCache::CharKey(p)] = extent.cx;
            pCache->Add(p, pGlyph);
        } else {
            ReportScriptError(pReports, "ERROR 36 : 文字の作成に失敗しました。['%s']\n",
                              CAntiCharCache::CharKey(p).c_str());
            delete pGlyph;
            bOk = 0;
        }
    }
    return bOk;
}

SCRIPTGLYPHS CScriptMsgWin::GetGlyphs() const
{
    return SCRIPTGLYPHS{m_pCache, &m_BlankWidths, m_nLineStep};
}

void CScriptMsgWin::SetPosition(int x, int y)
{
    m_nX = x;
    m_nY = y;
}

void CScriptMsgWin::Open()
{
    SIZE text = {0, 0};
    if (m_pMsg) {
        text = m_pMsg->Measure(GetGlyphs());
    }
    m_nTextWidth = text.cx;
    m_fTargetW = static_cast<float>(text.cx) + 2.0f * SCRIPTMSG_MARGIN;
    m_fTargetH = static_cast<float>(text.cy) + 2.0f * SCRIPTMSG_MARGIN;
    m_fCornerX = static_cast<float>(m_nX);
    m_fCornerY = static_cast<float>(m_nY);
    for (CSprite& sprite : m_TextSprite) {
        sprite.ClearPicture();
    }
    m_Anim.Start(kUnfoldFrames, kUnfoldPeriod, Now());
    m_nState = STATE_UNFOLD;
    m_bHidden = 0;
}

void CScriptMsgWin::ShowAll()
{
    if (m_nState == STATE_PROMPT) {
        return;
    }
    m_fCornerX = static_cast<float>(m_nX) + m_fTargetW;
    m_fCornerY = static_cast<float>(m_nY) + m_fTargetH;
    m_Anim.Start(kPromptFrames, kPromptPeriod, Now());
    m_nState = STATE_PROMPT;
}

void CScriptMsgWin::StartTyping()
{
    ShowAll();
    m_nState = STATE_TYPING;
    if (m_pMsg) {
        m_pMsg->ResetTyping();
    }
}

void CScriptMsgWin::FinishText()
{
    if (!m_pMsg) {
        return;
    }
    const SCRIPTGLYPHS glyphs = GetGlyphs();
    GLYPHPLACE place;
    while (!m_pMsg->IsFinished()) {
        if (m_pMsg->Step(glyphs, Now(), 1, &place)) {
            PutGlyph(place);
        }
    }
}

void CScriptMsgWin::ShowWholeText()
{
    if (m_bHidden || !m_pMsg) {
        return;
    }
    if (m_nState == STATE_UNFOLD || m_nState == STATE_GROW) {
        StartTyping();
    }
    FinishText();
    ShowAll();
}

void CScriptMsgWin::Update()
{
    if (m_bHidden) {
        return;
    }
    const DWORD dwNow = Now();
    switch (m_nState) {
    case STATE_UNFOLD:
        if (m_Anim.Advance(dwNow) && m_Anim.nFrame == kUnfoldFrames - 1) {
            StartGrowing();
        }
        break;
    case STATE_GROW:
        UpdateGrowing();
        break;
    case STATE_TYPING:
        TypeStep(dwNow);
        break;
    case STATE_PROMPT:
        m_Anim.Advance(dwNow);
        break;
    default:
        break;
    }
}

// The corner speeds up over the first half of the diagonal and slows to rest over the second.
void CScriptMsgWin::StartGrowing()
{
    m_fDistance = std::sqrt(m_fTargetW * m_fTargetW + m_fTargetH * m_fTargetH);
    const float v = m_fDistance < kTopSpeed ? m_fDistance : kTopSpeed;
    m_fAccel = m_fDistance > 0.0f ? v * v / m_fDistance : 0.0f;
    m_Speed.Set(0.0f, m_fAccel, 0.0f, v, 1);
    m_fAngle = std::atan2(m_fTargetH, m_fTargetW);
    m_fRemaining = m_fDistance;
    m_nState = STATE_GROW;
}

void CScriptMsgWin::UpdateGrowing()
{
    m_fCornerX += m_Speed.fValue * std::cos(m_fAngle);
    m_fCornerY += m_Speed.fValue * std::sin(m_fAngle);
    m_fRemaining -= m_Speed.fValue;
    const bool bBraking = m_fRemaining <= m_fDistance * 0.5f;
    m_Speed.fStep = bBraking ? -m_fAccel : m_fAccel;
    m_Speed.Step();
    // Braking can come to rest a little short of the corner: it is reached all the same.
    if (m_fRemaining <= 0.0f || (bBraking && m_Speed.fValue <= 0.0f)) {
        StartTyping();
    }
}

void CScriptMsgWin::TypeStep(DWORD dwNow)
{
    if (!m_pMsg) {
        m_nState = STATE_DONE;
        return;
    }
    GLYPHPLACE place;
    if (m_pMsg->Step(GetGlyphs(), dwNow, 0, &place)) {
        PutGlyph(place);
    }
    if (m_pMsg->IsFinished()) {
        m_nState = STATE_DONE;
    }
}

// Into every text texture the glyph overlaps: one that crosses an edge is split, and whatever lies
// beyond the three textures is cut off.
void CScriptMsgWin::PutGlyph(const GLYPHPLACE& place)
{
    const CAntiCharBmp& glyph = *place.pGlyph;
    for (int i = 0; i < SCRIPTMSG_SPRITES; i++) {
        const int x = place.x - SCRIPTMSG_SPRITE_SIZE * i;
        IDirectDrawSurface7* lpTexture = m_TextSprite[i].GetTexture();
        HDC hdc = nullptr;
        if (x >= SCRIPTMSG_SPRITE_SIZE || x + glyph.GetWidth() <= 0 || !lpTexture || FAILED(lpTexture->GetDC(&hdc))) {
            continue;
        }
        BitBlt(hdc, x, place.y, glyph.GetWidth(), glyph.GetHeight(), glyph.GetDC(), 0, 0, SRCCOPY);
        lpTexture->ReleaseDC(hdc);
    }
}

// ---- Drawing --------------------------------------------------------------------------------------

RECT CScriptMsgWin::GetRect() const
{
    return RECT{m_nX, m_nY, static_cast<LONG>(m_fCornerX), static_cast<LONG>(m_fCornerY)};
}

void CScriptMsgWin::Draw(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice, int dx, int dy)
{
    if (m_bHidden) {
        return;
    }
    DrawPanel(lpDest, dx, dy);
    if (m_nState == STATE_DONE || m_nState == STATE_TYPING || m_nState == STATE_PROMPT) {
        DrawText(lpDevice, dx, dy);
    }
    if (m_nState == STATE_PROMPT) {
        DrawPrompt(lpDest, dx, dy);
    }
}

// The scene behind the window, darkened and tinted green; blended again only when it changed.
void CScriptMsgWin::DrawPanel(IDirectDrawSurface7* lpDest, int dx, int dy)
{
    const RECT rc = GetRect();
    const int x = rc.left + dx, y = rc.top + dy;
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (!lpDest || x < 0 || y < 0 || x + w > 640 || y + h > 480 || w < 1 || h < 1) {
        return;
    }
    if (m_bPanelDirty) {
        RECT rcScreen = {x, y, x + SCRIPTMSG_PANEL_WIDTH, y + SCRIPTMSG_PANEL_HEIGHT};
        rcScreen.right = rcScreen.right > 640 ? 640 : rcScreen.right;
        rcScreen.bottom = rcScreen.bottom > 480 ? 480 : rcScreen.bottom;
        RECT rcPanel = {0, 0, rcScreen.right - x, rcScreen.bottom - y};
        m_lpPanel->Blt(&rcPanel, lpDest, &rcScreen, DDBLT_WAIT, nullptr);
        BlendBltMix(m_lpPanel, &rcPanel, m_lpGreen, &rcPanel);
        m_bPanelDirty = 0;
    }
    w = w > SCRIPTMSG_PANEL_WIDTH ? SCRIPTMSG_PANEL_WIDTH : w;
    h = h > SCRIPTMSG_PANEL_HEIGHT ? SCRIPTMSG_PANEL_HEIGHT : h;
    RECT rcSrc = {0, 0, w, h};
    RECT rcDest = {x, y, x + w, y + h};
    lpDest->Blt(&rcDest, m_lpPanel, &rcSrc, DDBLT_WAIT, nullptr);
}

// A dark shadow one pixel down and right (ZERO / INVSRCCOLOR), then the text added on top.
void CScriptMsgWin::DrawText(IDirect3DDevice7* lpDevice, int dx, int dy)
{
    if (!lpDevice || FAILED(lpDevice->BeginScene())) {
        return;
    }
    const float x = static_cast<float>(m_nX + dx) + SCRIPTMSG_MARGIN + SCRIPTMSG_SPRITE_SIZE / 2;
    const float y = static_cast<float>(m_nY + dy) + SCRIPTMSG_MARGIN + SCRIPTMSG_SPRITE_SIZE / 2;
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    lpDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ZERO);
    lpDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCCOLOR);
    DrawTextSprites(lpDevice, x + 1.0f, y + 1.0f);
    CRenderState::Apply(lpDevice, CRenderState::PRESET_ADDITIVE);
    DrawTextSprites(lpDevice, x, y);
    lpDevice->EndScene();
}

// Only the textures the text reaches: a black texture neither darkens nor adds anything.
void CScriptMsgWin::DrawTextSprites(IDirect3DDevice7* lpDevice, float x, float y)
{
    for (int i = 0; i < SCRIPTMSG_SPRITES && i * SCRIPTMSG_SPRITE_SIZE < m_nTextWidth; i++) {
        D3DXMATRIX mat;
        D3DXMatrixTranslation(&mat, x + static_cast<float>(SCRIPTMSG_SPRITE_SIZE * i), -y, 0.0f);
        m_TextSprite[i].Draw(lpDevice, &mat);
    }
}

// The prompt's frame straddles the bottom edge near the right-hand corner.
void CScriptMsgWin::DrawPrompt(IDirectDrawSurface7* lpDest, int dx, int dy)
{
    int w = 0, h = 0;
    m_Prompt.GetSize(&w, &h);
    const int nFrameW = w / kPromptFrames;
    if (!lpDest || !m_Prompt.GetSurface() || nFrameW <= 0 || h <= 0) {
        return;
    }
    const RECT rc = GetRect();
    RECT rcSrc, rcDest;
    GetClippedBltRects(rc.right - nFrameW - 6 + dx, rc.bottom - h / 2 + dy, nFrameW, h, &rcSrc, &rcDest);
    if (rcDest.right <= rcDest.left || rcDest.bottom <= rcDest.top) {
        return;
    }
    rcSrc.left += nFrameW * m_Anim.nFrame;
    rcSrc.right += nFrameW * m_Anim.nFrame;
    m_Prompt.BltTo(lpDest, &rcDest, &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
}
