// The message window of the cut-scenes on a software device: typing time and markup, two-byte
// characters, measuring, growing open, the split of glyphs over the three text textures, and the
// text drawn legibly (light letters, a dark shadow) over the green-tinted panel.
#include <gtest/gtest.h>

#include "rvm/rvm_stl.h"
#include "engine/WinMain.h"
#include "scene/CutSceneFixture.h"
#include "scene/ScriptMsgWin.h"

namespace {

// Code page 932: あ い う か, the full-width space, a lone lead byte.
#define A "\x82\xA0"
#define I "\x82\xA2"
#define U "\x82\xA4"
#define KA "\x82\xA9"
#define WIDE_SPACE "\x81\x40"

class MsgWin : public CCutSceneFixture {
protected:
    void SetUp() override
    {
        CCutSceneFixture::SetUp();
        ASSERT_EQ(m_Win.Load(g_lpD3DDevice, nullptr), 1);
    }
    void TearDown() override
    {
        m_Win.Release();
        m_Cache.Clear();
        CCutSceneFixture::TearDown();
    }

    void Cache(const rvm::string& text)
    {
        ASSERT_EQ(m_Win.CacheGlyphs(text.c_str(), static_cast<int>(text.size()), &m_Cache, &m_Reports), 1);
    }
    int Width(const char* pszChar) const { return m_Cache.Find(pszChar)->GetWidth(); }
    int Height(const char* pszChar) const { return m_Cache.Find(pszChar)->GetHeight(); }

    // Counts the texture's texels that are not black in the rectangle.
    static int Lit(IDirectDrawSurface7* lpTexture, int x0, int y0, int x1, int y1)
    {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        EXPECT_EQ(lpTexture->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        const DWORD dwColor = desc.ddpfPixelFormat.dwRBitMask | desc.ddpfPixelFormat.dwGBitMask |
                              desc.ddpfPixelFormat.dwBBitMask;
        int n = 0;
        for (int y = y0; y < y1; y++) {
            const WORD* pRow = reinterpret_cast<const WORD*>(static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch);
            for (int x = x0; x < x1; x++) {
                n += (pRow[x] & dwColor) != 0;
            }
        }
        lpTexture->Unlock(nullptr);
        return n;
    }

    // Opens the message at (x, y) and runs the window to its complete text.
    void ShowTyped(CScriptMsg& msg, int x, int y)
    {
        m_Win.SetMessage(&msg);
        m_Win.SetPosition(x, y);
        m_Win.Open();
        m_Win.StartTyping();
        m_Win.FinishText();
        m_Win.Update();
        ASSERT_EQ(m_Win.GetState(), CScriptMsgWin::STATE_DONE);
    }

    CScriptMsgWin m_Win;
    CAntiCharCache m_Cache;
    rvm::vector<rvm::string> m_Reports;
};

} // namespace

TEST_F(MsgWin, TypingTakesACharacterAfterEachTwentyMillisecondsAndMarkupDrawsNothing)
{
    const rvm::string text = A "\\s" I "\\n" U "\\x" KA;
    Cache(text);
    CScriptMsg msg(text);
    const SCRIPTGLYPHS glyphs = m_Win.GetGlyphs();
    ASSERT_EQ(glyphs.nLineStep, 24);  // 18 points at 96 pixels per inch
    GLYPHPLACE place;
    ASSERT_EQ(msg.Step(glyphs, 1000, 0, &place), 1);
    EXPECT_EQ(place.pGlyph, m_Cache.Find(A));
    EXPECT_EQ(place.x, 0);
    EXPECT_EQ(msg.GetCursor(), 2);
    EXPECT_EQ(msg.Step(glyphs, 1019, 0, &place), 0);
    EXPECT_EQ(msg.GetCursor(), 2);
    // \s: no glyph, and the next character only 500 ms later.
    EXPECT_EQ(msg.Step(glyphs, 1020, 0, &place), 0);
    EXPECT_EQ(msg.GetCursor(), 4);
    EXPECT_EQ(msg.Step(glyphs, 1519, 0, &place), 0);
    EXPECT_EQ(msg.GetCursor(), 4);
    ASSERT_EQ(msg.Step(glyphs, 1520, 0, &place), 1);
    EXPECT_EQ(place.pGlyph, m_Cache.Find(I));
    EXPECT_EQ(place.x, Width(A));
    EXPECT_EQ(place.y, 0);
    // \n: a new line at once, without a wait.
    EXPECT_EQ(msg.Step(glyphs, 1540, 0, &place), 0);
    EXPECT_EQ(msg.GetPenX(), 0);
    EXPECT_EQ(msg.GetPenY(), 24);
    ASSERT_EQ(msg.Step(glyphs, 1540, 0, &place), 1);
    EXPECT_EQ(place.pGlyph, m_Cache.Find(U));
    EXPECT_EQ(place.y, 24);
    // Any other backslash pair is dropped, without a wait either.
    EXPECT_EQ(msg.Step(glyphs, 1560, 0, &place), 0);
    ASSERT_EQ(msg.Step(glyphs, 1560, 0, &place), 1);
    EXPECT_EQ(place.pGlyph, m_Cache.Find(KA));
    EXPECT_EQ(place.x, Width(U));
    EXPECT_TRUE(msg.IsFinished());
    EXPECT_EQ(msg.GetCursor(), static_cast<int>(text.size()));
}

TEST_F(MsgWin, ALeadByteOrABackslashEndingTheTextIsOneByteAndNothingIsReadPastIt)
{
    Cache(A);
    const SCRIPTGLYPHS glyphs = m_Win.GetGlyphs();
    for (const rvm::string& text : {rvm::string(A "\x82"), rvm::string(A "\\"), rvm::string("\\")}) {
        CScriptMsg msg(text);
        GLYPHPLACE place;
        int nSteps = 0;
        while (!msg.IsFinished() && nSteps < 10) {
            msg.Step(glyphs, 0, 1, &place);
            nSteps++;
        }
        EXPECT_EQ(msg.GetCursor(), static_cast<int>(text.size())) << text;
        EXPECT_EQ(nSteps, static_cast<int>(text.size()) - 1 + (text.size() == 1)) << text;
    }
    EXPECT_EQ(CScriptMsg::CharLength(A, 2), 2);
    EXPECT_EQ(CScriptMsg::CharLength("\x82", 1), 1);
    EXPECT_EQ(CScriptMsg::PieceLength("\\" A, 3), 3);
}

TEST_F(MsgWin, BlanksMoveThePenOnAndCharactersThatCannotBeMadeAreReported)
{
    const rvm::string text = A WIDE_SPACE A " " A;
    Cache(text);
    const SCRIPTGLYPHS glyphs = m_Win.GetGlyphs();
    EXPECT_GT(glyphs.Advance(WIDE_SPACE), Width(A) / 2);
    EXPECT_GT(glyphs.Advance(" "), 0);
    CScriptMsg msg(text);
    EXPECT_EQ(msg.Measure(glyphs).cx, 3 * Width(A) + glyphs.Advance(WIDE_SPACE) + glyphs.Advance(" "));
    // Without a font nothing can be made: every character but a blank is reported.
    CScriptMsgWin fontless;
    ASSERT_EQ(fontless.Load(g_lpD3DDevice, nullptr), 1);
    GdiSetFontFile("/nonexistent/font.ttf");
    CAntiCharCache cache;
    const int nResult = fontless.CacheGlyphs(A I, 4, &cache, &m_Reports);
    GdiSetFontFile(nullptr);
    EXPECT_EQ(nResult, 0);
    EXPECT_EQ(m_Reports, (rvm::vector<rvm::string>{"ERROR 36 : 文字の作成に失敗しました。['" A "']\n",
                                                   "ERROR 36 : 文字の作成に失敗しました。['" I "']\n"}));
    EXPECT_EQ(cache.GetCount(), 0u);
}

TEST_F(MsgWin, MeasuringAddsLineHeightsAndTakesTheWidestLine)
{
    Cache(A I U);
    const SCRIPTGLYPHS glyphs = m_Win.GetGlyphs();
    EXPECT_GE(Height(A), 24);
    const SIZE two = CScriptMsg(A A "\\n" A "\\s" A A).Measure(glyphs);
    EXPECT_EQ(two.cx, 3 * Width(A));
    EXPECT_EQ(two.cy, 2 * Height(A));
    // Only new lines: the window grows by line steps and nothing is typed.
    CScriptMsg lines("\\n\\n");
    EXPECT_EQ(lines.Measure(glyphs).cx, 0);
    EXPECT_EQ(lines.Measure(glyphs).cy, 48);
    m_Win.SetMessage(&lines);
    m_Win.SetPosition(10, 20);
    m_Win.Open();
    EXPECT_EQ(m_Win.GetTargetSize().cx, 16);
    EXPECT_EQ(m_Win.GetTargetSize().cy, 64);
    m_Win.StartTyping();
    m_Win.FinishText();
    EXPECT_EQ(Lit(m_Win.GetTextTexture(0), 0, 0, 256, 256), 0);
}

TEST_F(MsgWin, TheWindowUnfoldsGrowsToItsTextTypesAndCompletes)
{
    const rvm::string text = A I U "\\n" KA;
    Cache(text);
    CScriptMsg msg(text);
    m_Win.SetMessage(&msg);
    m_Win.SetPosition(40, 300);
    m_Win.Open();
    ASSERT_EQ(m_Win.GetState(), CScriptMsgWin::STATE_UNFOLD);
    EXPECT_FALSE(m_Win.IsHidden());
    int nUnfold = 0, nGrow = 0, nType = 0;
    float fLastW = 0.0f;
    for (int i = 0; i < 200 && m_Win.GetState() != CScriptMsgWin::STATE_DONE; i++) {
        const int nState = m_Win.GetState();
        nUnfold += nState == CScriptMsgWin::STATE_UNFOLD;
        nGrow += nState == CScriptMsgWin::STATE_GROW;
        nType += nState == CScriptMsgWin::STATE_TYPING;
        if (nState == CScriptMsgWin::STATE_GROW) {
            const RECT rc = m_Win.GetRect();
            EXPECT_GE(static_cast<float>(rc.right - rc.left), fLastW);  // it only grows
            fLastW = static_cast<float>(rc.right - rc.left);
        }
        CAppTimer::FrameTick();
        m_Win.Update();
    }
    ASSERT_EQ(m_Win.GetState(), CScriptMsgWin::STATE_DONE);
    // Four 50-ms frames of unfolding, at 16.67 ms an update: 13 updates.
    EXPECT_EQ(nUnfold, 13);
    EXPECT_GT(nGrow, 2);
    EXPECT_LT(nGrow, 30);
    // Four characters at two updates each, the new line at once.
    EXPECT_EQ(nType, 8);
    const RECT rc = m_Win.GetRect();
    EXPECT_EQ(rc.left, 40);
    EXPECT_EQ(rc.top, 300);
    EXPECT_EQ(rc.right, 40 + 3 * Width(A) + 16);
    EXPECT_EQ(rc.bottom, 300 + 2 * Height(A) + 16);
}

TEST_F(MsgWin, ShowAllJumpsToFullSizeAndThePromptBlinksEveryHalfSecond)
{
    Cache(A);
    CScriptMsg msg(A);
    m_Win.SetMessage(&msg);
    m_Win.SetPosition(0, 0);
    m_Win.Open();
    m_Win.ShowWholeText();
    EXPECT_EQ(m_Win.GetState(), CScriptMsgWin::STATE_PROMPT);
    EXPECT_TRUE(msg.IsFinished());
    EXPECT_EQ(m_Win.GetRect().right, Width(A) + 16);
    EXPECT_GT(Lit(m_Win.GetTextTexture(0), 0, 0, Width(A), Height(A)), 20);
    // The frame turns on the first update at least 500 ms after the last turn.
    rvm::vector<DWORD> turns{CAppTimer::GetElapsed(0)};
    int nFrame = 0;
    for (int i = 0; i < 200; i++) {
        CAppTimer::FrameTick();
        m_Win.Update();
        if (m_Win.GetPromptFrame() != nFrame) {
            nFrame = m_Win.GetPromptFrame();
            turns.push_back(CAppTimer::GetElapsed(0));
        }
    }
    ASSERT_EQ(turns.size(), 7u);
    for (size_t i = 1; i < turns.size(); i++) {
        EXPECT_GE(turns[i] - turns[i - 1], 500u);
        EXPECT_LT(turns[i] - turns[i - 1], 517u);
    }
    EXPECT_EQ(nFrame, 0);
}

TEST_F(MsgWin, GlyphsAcrossATextureEdgeAreSplitAndTextPastTheThirdTextureIsCut)
{
    rvm::string text;
    for (int i = 0; i < 40; i++) {
        text += A;
    }
    Cache(text);
    ASSERT_EQ(Width(A), 24);
    CScriptMsg msg(text);
    ShowTyped(msg, 0, 0);
    // The eleventh character lies across x 256: both textures hold part of it.
    EXPECT_GT(Lit(m_Win.GetTextTexture(0), 242, 0, 256, 24), 0);
    EXPECT_GT(Lit(m_Win.GetTextTexture(1), 0, 0, 8, 24), 0);
    EXPECT_GT(Lit(m_Win.GetTextTexture(2), 248, 0, 256, 24), 0);
    // Nothing lands below the one line.
    EXPECT_EQ(Lit(m_Win.GetTextTexture(2), 0, 32, 256, 256), 0);
}

TEST_F(MsgWin, TheTextIsDrawnLightWithADarkShadowOverTheTintedPanel)
{
    const uint32_t kBack = 0x808080;
    const rvm::string text = A I U;
    Cache(text);
    CScriptMsg msg(text);
    ShowTyped(msg, 100, 200);
    FillBack(To565(kBack));
    g_lpD3DDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    m_Win.Draw(g_lpDDSBack, g_lpD3DDevice, 0, 0);
    // The panel: the scene mixed with green (0, 0.5, 0) as (scene x 140 + green x 115) >> 8, channel
    // by channel in 5-6-5 units.
    const WORD wBack = To565(kBack);
    const int r = ((wBack >> 11) * 140) >> 8, g = (((wBack >> 5) & 0x3F) * 140 + 31 * 115) >> 8,
              b = ((wBack & 0x1F) * 140) >> 8;
    const WORD wPanel = static_cast<WORD>(r << 11 | g << 5 | b);
    EXPECT_EQ(BackPixel(102, 202), wPanel);
    const RECT rc = m_Win.GetRect();
    EXPECT_EQ(BackPixel(rc.right - 1, rc.bottom - 1), wPanel);
    EXPECT_EQ(BackPixel(rc.right, rc.bottom), wBack);
    EXPECT_EQ(BackPixel(99, 200), wBack);
    // Light letters and their shadow where the text is; neither outside it.
    int nLight = 0, nShadow = 0;
    for (int y = 200; y < rc.bottom; y++) {
        for (int x = 100; x < rc.right; x++) {
            const WORD w = BackPixel(x, y);
            const bool bText = x >= 108 && x < 108 + 3 * Width(A) + 1 && y >= 208 && y < 208 + Height(A) + 1;
            nLight += bText && (w >> 11) >= 28 && ((w >> 5) & 0x3F) >= 56;
            nShadow += bText && w != wPanel && (w >> 11) < r && (w & 0x1F) < b;
            if (!bText) {
                EXPECT_EQ(w, wPanel) << x << "," << y;
            }
        }
    }
    EXPECT_GT(nLight, 60);
    EXPECT_GT(nShadow, 30);
}

TEST_F(MsgWin, AHiddenWindowNeitherMovesOnNorDraws)
{
    Cache(A);
    CScriptMsg msg(A);
    m_Win.SetMessage(&msg);
    m_Win.SetPosition(0, 0);
    m_Win.Open();
    m_Win.Hide();
    FillBack(0x1234);
    for (int i = 0; i < 60; i++) {
        CAppTimer::FrameTick();
        m_Win.Update();
    }
    m_Win.Draw(g_lpDDSBack, g_lpD3DDevice, 0, 0);
    EXPECT_EQ(m_Win.GetState(), CScriptMsgWin::STATE_UNFOLD);
    EXPECT_EQ(BackPixel(4, 4), 0x1234);
}
