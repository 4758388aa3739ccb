#include "ScreenPictures.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

const RGBF kInk = Rgb(0x0A0C18);
const RGBF kWhite = Rgb(0xFFFFFF);

PAINT Gold(float y0, float y1)
{
    return VerticalStops({{y0, Rgb(0xFFF8D0)}, {y0 + (y1 - y0) * 0.45f, Rgb(0xF8C838)}, {y1, Rgb(0xD86010)}});
}

PAINT Ice(float y0, float y1)
{
    return VerticalStops({{y0, Rgb(0xFFFFFF)}, {y0 + (y1 - y0) * 0.5f, Rgb(0xB8ECFF)}, {y1, Rgb(0x3890E0)}});
}

PAINT Blood(float y0, float y1)
{
    return VerticalStops({{y0, Rgb(0xFFC8B8)}, {y0 + (y1 - y0) * 0.45f, Rgb(0xF03020)}, {y1, Rgb(0x780808)}});
}

// The text centred in the box, with an outline.
void CentredText(CArtKit& kit, float x, float y, float w, float h, const std::string& text, int nHeight,
                 const PAINT& paint, const RGBF& outline, float fOutline)
{
    const float tw = (float)CArtKit::TextWidth(text, nHeight);
    kit.Text(std::round(x + (w - tw) / 2.0f), std::round(y + (h - (float)nHeight) / 2.0f) - 1.0f, text, nHeight,
             paint, outline, fOutline);
}

// A plate of the menus: a rounded steel box; the selected look glows blue with a gold rim and
// gold arrows at its ends.
void MenuPlate(CArtKit& kit, int x, int y, int w, int h, const std::string& text, bool bSelected)
{
    const float fx = (float)x, fy = (float)y, fw = (float)w, fh = (float)h, r = fh * 0.3f;
    if (bSelected) {
        kit.RoundBox(fx + 1, fy + 1, fw - 2, fh - 2, r,
                     VerticalStops({{fy, Rgb(0x5AA8F0)}, {fy + fh * 0.5f, Rgb(0x1C5CB8)}, {fy + fh, Rgb(0x0C2460)}}));
        kit.RoundBox(fx + 6, fy + 3, fw - 12, fh * 0.28f, fh * 0.14f, Flat(Rgb(0x8CC8F8)));
        kit.RoundBoxOutline(fx + 1, fy + 1, fw - 2, fh - 2, r, 2.0f, Flat(Rgb(0xF8D060)));
        const float cy = fy + fh / 2.0f, a = fh * 0.18f;
        kit.Polygon({{fx + 7, cy - a}, {fx + 7 + a * 1.4f, cy}, {fx + 7, cy + a}}, Flat(Rgb(0xF8D060)));
        kit.Polygon({{fx + fw - 7, cy - a}, {fx + fw - 7 - a * 1.4f, cy}, {fx + fw - 7, cy + a}}, Flat(Rgb(0xF8D060)));
        CentredText(kit, fx, fy, fw, fh, text, (int)(fh * 0.45f), Flat(kWhite), kInk, 1.5f);
    } else {
        kit.RoundBox(fx + 1, fy + 1, fw - 2, fh - 2, r,
                     VerticalGradient(fy, Rgb(0x4A5068), fy + fh, Rgb(0x181C2C)));
        kit.RoundBoxOutline(fx + 1, fy + 1, fw - 2, fh - 2, r, 1.5f, Flat(Rgb(0x7880A0)));
        CentredText(kit, fx, fy, fw, fh, text, (int)(fh * 0.45f), Flat(Rgb(0xC0C8DC)), kInk, 1.0f);
    }
}

// ---- Stage-clear tally ----------------------------------------------------------------------------

void DrawStageClear(CArtKit& kit, int x, int y, int w, int h)
{
    const float fx = (float)x, fy = (float)y, fw = (float)w, fh = (float)h;
    // Sparkles either side.
    for (int s = 0; s < 2; s++) {
        const float cx = s ? fx + fw - 9.0f : fx + 9.0f, cy = fy + fh / 2.0f;
        kit.Polygon({{cx, cy - 9}, {cx + 3, cy - 3}, {cx + 9, cy}, {cx + 3, cy + 3}, {cx, cy + 9}, {cx - 3, cy + 3},
                     {cx - 9, cy}, {cx - 3, cy - 3}},
                    Flat(Rgb(0xFFF4B0)));
    }
    CentredText(kit, fx + 16, fy, fw - 32, fh, "STAGE CLEAR", 40, Gold(fy + 6, fy + fh - 6), kInk, 3.0f);
}

// A band with a name and a line under it, and an emblem at its right end. The tally's title comes
// to rest over the band's left end, so the words start clear of it. The banner rests at y 60 under
// the cockpit's score (y 46 to 80): everything it draws keeps below that, the key above.
const float kBannerTop = 22.0f;

void DrawBanner(CArtKit& kit, int x, int y, int w, int h, const char* pszName, const char* pszLine, bool bExtra)
{
    const float fx = (float)x, fy = (float)y + kBannerTop, fw = (float)w, fh = (float)h - kBannerTop;
    const float r = fh / 2.0f - 3.0f, cx = fx + fw - 6.0f - r, cy = fy + fh / 2.0f;
    const float bx = fx + 2.0f, bw = cx - bx, by = fy + 8.0f, bh = fh - 12.0f;
    kit.RoundBox(bx, by, bw, bh, bh / 2.0f, VerticalGradient(by, Rgb(bExtra ? 0x6A3000 : 0x5A1840), by + bh, Rgb(0x140810)));
    kit.RoundBoxOutline(bx, by, bw, bh, bh / 2.0f, 2.0f, Flat(Rgb(bExtra ? 0xF8B040 : 0xF070B0)));
    kit.Ball(cx, cy, r, r, Rgb(bExtra ? 0xF0A020 : 0xE04890));
    kit.EllipseOutline(cx, cy, r, r, 2.5f, Flat(kInk));
    if (bExtra) {
        std::vector<PTF> star;
        for (int i = 0; i < 10; i++) {
            const float a = -1.5707964f + (float)i * 0.62831855f, rr = i % 2 ? r * 0.42f : r * 0.85f;
            star.push_back({cx + std::cos(a) * rr, cy + std::sin(a) * rr});
        }
        kit.Polygon(star, Flat(Rgb(0xFFF6C0)));
        kit.PolygonOutline(star, 1.5f, Flat(kInk));
    } else {
        CentredText(kit, cx - r, cy - r, 2 * r, 2 * r, "Z", (int)(r * 1.5f), Flat(kWhite), kInk, 2.0f);
    }
    const float tx = fx + 62.0f;
    kit.Text(tx, fy + 4.0f, pszName, 32, bExtra ? Gold(fy + 8, fy + 38) : VerticalStops({{fy + 8, Rgb(0xFFE0F0)},
             {fy + 23, Rgb(0xF878B8)}, {fy + 38, Rgb(0xA01860)}}), kInk, 2.5f);
    kit.Text(tx + 2.0f, fy + 42.0f, pszLine, 14, Flat(Rgb(0xF8F0E0)), kInk, 1.5f);
}

void DrawClearZorva(CArtKit& kit, int x, int y, int w, int h)
{
    DrawBanner(kit, x, y, w, h, "ZORVA", "MISSION COMPLETE", false);
}

void DrawClearExtra(CArtKit& kit, int x, int y, int w, int h)
{
    DrawBanner(kit, x, y, w, h, "EXTRA!", "JUST IN TIME", true);
}

// The icon of a tally row in a 26 x 26 box.
void RowIcon(CArtKit& kit, float x, float y, int nKind)
{
    const float cx = x + 13.0f, cy = y + 13.0f;
    switch (nKind) {
    case 0: {  // a heart
        kit.Ellipse(cx - 5.0f, cy - 3.0f, 6.0f, 6.0f, Flat(Rgb(0xF03050)));
        kit.Ellipse(cx + 5.0f, cy - 3.0f, 6.0f, 6.0f, Flat(Rgb(0xF03050)));
        kit.Polygon({{cx - 10.8f, cy - 1.0f}, {cx + 10.8f, cy - 1.0f}, {cx, cy + 11.0f}}, Flat(Rgb(0xF03050)));
        kit.Ellipse(cx - 6.0f, cy - 5.0f, 2.5f, 2.0f, Flat(Rgb(0xFFC0C8)));
        break;
    }
    case 1:  // a clock
        kit.Ball(cx, cy, 11.0f, 11.0f, Rgb(0xE8E8F0));
        kit.EllipseOutline(cx, cy, 11.0f, 11.0f, 2.0f, Flat(Rgb(0x3060C0)));
        kit.Stroke(cx, cy, cx, cy - 7.0f, 2.0f, Flat(kInk));
        kit.Stroke(cx, cy, cx + 5.0f, cy + 2.0f, 2.0f, Flat(kInk));
        break;
    default:  // a target
        kit.Ellipse(cx, cy, 11.0f, 11.0f, Flat(Rgb(0xF04020)));
        kit.Ellipse(cx, cy, 7.5f, 7.5f, Flat(kWhite));
        kit.Ellipse(cx, cy, 4.0f, 4.0f, Flat(Rgb(0xF04020)));
        kit.Stroke(cx - 13.0f, cy, cx + 13.0f, cy, 1.5f, Flat(kInk));
        kit.Stroke(cx, cy - 13.0f, cx, cy + 13.0f, 1.5f, Flat(kInk));
        break;
    }
}

// A row's label: its icon, its name and, for life and time, the unit after the figures the game
// writes at x 147 (life) or 158 (time).
void DrawRowLabel(CArtKit& kit, int x, int y, int h, int nKind, const char* pszName, const char* pszUnit, int nUnitX)
{
    RowIcon(kit, (float)x + 1.0f, (float)y + 1.0f, nKind);
    kit.Text((float)x + 32.0f, (float)y + 3.0f, pszName, 22, Ice((float)y + 4, (float)(y + h) - 4), kInk, 2.0f);
    if (pszUnit) {
        kit.Text((float)(x + nUnitX), (float)y + 7.0f, pszUnit, 16, Flat(Rgb(0xE0F0FF)), kInk, 1.5f);
    }
}

void DrawLifeBonus(CArtKit& kit, int x, int y, int, int h)
{
    DrawRowLabel(kit, x, y, h, 0, "LIFE", "%", 147 + 48 + 2);
}

void DrawTimeBonus(CArtKit& kit, int x, int y, int, int h)
{
    DrawRowLabel(kit, x, y, h, 1, "TIME", "SEC", 158 + 48 + 2);
}

void DrawTargetBonus(CArtKit& kit, int x, int y, int, int h)
{
    DrawRowLabel(kit, x, y, h, 2, "TARGET", nullptr, 0);
}

void DrawTotal(CArtKit& kit, int x, int y, int w, int h)
{
    kit.Text((float)x + 2.0f, (float)y + 1.0f, "TOTAL", 26, Gold((float)y + 3, (float)(y + h) - 3), kInk, 2.0f);
    (void)w;
}

// A gold rule that fades out to both ends.
void DrawBar(CArtKit& kit, int x, int y, int w, int h)
{
    const float fx = (float)x, fw = (float)w;
    kit.RoundBox(fx, (float)y, fw, (float)h, (float)h / 2.0f, [=](float px, float py) {
        const float t = std::fabs((px - fx) / fw * 2.0f - 1.0f);
        const RGBF c = Mix(Rgb(0xFFF4C0), Rgb(0xC06010), std::fabs(py - (float)y - (float)h / 2.0f) / (float)h * 1.6f);
        return Mix(c, Rgb(0x602008), t * t * t);
    });
}

// The tally's figures 1..9, 0 in 16 x 29 cells.
void DrawClearNumbers(CArtKit& kit, int x, int y, int w, int h)
{
    const char* const kDigits = "1234567890";
    const int nCell = w / 10;
    for (int i = 0; i < 10; i++) {
        kit.Clip(x + i * nCell, y, nCell, h);
        CentredText(kit, (float)(x + i * nCell), (float)y, (float)nCell, (float)h, std::string(1, kDigits[i]), 27,
                    Ice((float)y + 3, (float)(y + h) - 3), kInk, 1.5f);
    }
}

// ---- Game over, pause ----------------------------------------------------------------------------

void DrawGameOverTitle(CArtKit& kit, int x, int y, int w, int h)
{
    const float fx = (float)x, fy = (float)y, fw = (float)w, fh = (float)h, cy = fy + fh / 2.0f;
    const int nText = 52;
    const float tw = (float)CArtKit::TextWidth("GAME OVER", nText);
    const float gap = 14.0f, left = fx + (fw - tw) / 2.0f - gap, right = fx + (fw + tw) / 2.0f + gap;
    for (int s = 0; s < 2; s++) {
        const float x0 = s ? right : fx + 4.0f, x1 = s ? fx + fw - 4.0f : left;
        kit.RoundBox(x0, cy - 3.0f, x1 - x0, 6.0f, 3.0f, [=](float px, float) {
            const float t = s ? (px - x0) / (x1 - x0) : (x1 - px) / (x1 - x0);
            return Mix(Rgb(0xF84030), Rgb(0x400808), t);
        });
        const float d = s ? right - 2.0f : left + 2.0f;
        kit.Polygon({{d, cy - 7.0f}, {d + 7.0f, cy}, {d, cy + 7.0f}, {d - 7.0f, cy}}, Flat(Rgb(0xFFD0C0)));
    }
    CentredText(kit, fx, fy, fw, fh, "GAME OVER", nText, Blood(fy + 8, fy + fh - 8), kInk, 3.0f);
}

void DrawChallenge1(CArtKit& kit, int x, int y, int w, int h) { MenuPlate(kit, x, y, w, h, "CHALLENGE AGAIN", false); }
void DrawChallenge2(CArtKit& kit, int x, int y, int w, int h) { MenuPlate(kit, x, y, w, h, "CHALLENGE AGAIN", true); }
void DrawToTitle1(CArtKit& kit, int x, int y, int w, int h) { MenuPlate(kit, x, y, w, h, "RETURN TO TITLE", false); }
void DrawToTitle2(CArtKit& kit, int x, int y, int w, int h) { MenuPlate(kit, x, y, w, h, "RETURN TO TITLE", true); }
void DrawToGame1(CArtKit& kit, int x, int y, int w, int h) { MenuPlate(kit, x, y, w, h, "RETURN TO GAME", false); }
void DrawToGame2(CArtKit& kit, int x, int y, int w, int h) { MenuPlate(kit, x, y, w, h, "RETURN TO GAME", true); }
void DrawYes1(CArtKit& kit, int x, int y, int w, int h) { MenuPlate(kit, x, y, w, h, "YES", false); }
void DrawYes2(CArtKit& kit, int x, int y, int w, int h) { MenuPlate(kit, x, y, w, h, "YES", true); }
void DrawNo1(CArtKit& kit, int x, int y, int w, int h) { MenuPlate(kit, x, y, w, h, "NO", false); }
void DrawNo2(CArtKit& kit, int x, int y, int w, int h) { MenuPlate(kit, x, y, w, h, "NO", true); }

// The confirmation's question. Its top-left 17 x 17 corner holds a gem: the menus also show that
// corner alone, between yes and no.
void DrawReally(CArtKit& kit, int x, int y, int w, int h)
{
    const float fx = (float)x, fy = (float)y, fw = (float)w, fh = (float)h;
    kit.RoundBox(fx + 5, fy + 5, fw - 6, fh - 6, 8.0f, VerticalGradient(fy, Rgb(0x603070), fy + fh, Rgb(0x200C28)));
    kit.RoundBoxOutline(fx + 5, fy + 5, fw - 6, fh - 6, 8.0f, 1.5f, Flat(Rgb(0xD8A0F0)));
    const float cx = fx + 8.5f, cy = fy + 8.5f;
    kit.Polygon({{cx, cy - 8}, {cx + 8, cy}, {cx, cy + 8}, {cx - 8, cy}},
                VerticalGradient(cy - 8, Rgb(0xFFF0A0), cy + 8, Rgb(0xE08010)));
    kit.PolygonOutline({{cx, cy - 8}, {cx + 8, cy}, {cx, cy + 8}, {cx - 8, cy}}, 1.2f, Flat(kInk));
    CentredText(kit, fx + 10, fy + 3, fw - 10, fh - 3, "REALLY?", 22, Flat(kWhite), kInk, 2.0f);
}

void DrawPause(CArtKit& kit, int x, int y, int w, int h)
{
    const float fx = (float)x, fy = (float)y, fh = (float)h;
    // The pause sign: two bars in a disc.
    const float r = fh / 2.0f - 4.0f, cx = fx + 4.0f + r, cy = fy + fh / 2.0f;
    kit.Ball(cx, cy, r, r, Rgb(0x2C78D8));
    kit.EllipseOutline(cx, cy, r, r, 2.0f, Flat(kInk));
    kit.RoundBox(cx - r * 0.45f, cy - r * 0.5f, r * 0.3f, r, 2.0f, Flat(kWhite));
    kit.RoundBox(cx + r * 0.15f, cy - r * 0.5f, r * 0.3f, r, 2.0f, Flat(kWhite));
    kit.Text(cx + r + 8.0f, fy + (fh - 40.0f) / 2.0f - 1.0f, "PAUSE", 40, Ice(fy + 8, fy + fh - 8), kInk, 3.0f);
    (void)w;
}

// ---- Beacons and the boss warning ----------------------------------------------------------------

void DrawDanger(CArtKit& kit, int x, int y, int w, int h, bool bLit)
{
    const float fx = (float)x, fy = (float)y, fw = (float)w, fh = (float)h;
    const float top = fy + 2.0f, base = fy + fh - 14.0f, cx = fx + fw / 2.0f;
    const std::vector<PTF> tri = {{cx, top}, {cx + (base - top) * 0.62f, base}, {cx - (base - top) * 0.62f, base}};
    kit.Polygon(tri, bLit ? VerticalGradient(top, Rgb(0xFFF080), base, Rgb(0xF8A000))
                          : VerticalGradient(top, Rgb(0xF86040), base, Rgb(0xA01808)));
    kit.PolygonOutline(tri, 2.5f, Flat(kInk));
    const RGBF mark = bLit ? kInk : Rgb(0xFFF080);
    kit.Polygon({{cx - 3.0f, top + 13.0f}, {cx + 3.0f, top + 13.0f}, {cx + 1.5f, base - 11.0f}, {cx - 1.5f, base - 11.0f}},
                Flat(mark));
    kit.Ellipse(cx, base - 6.0f, 2.8f, 2.8f, Flat(mark));
    kit.RoundBox(fx + 2.0f, fy + fh - 13.0f, fw - 4.0f, 12.0f, 6.0f, Flat(bLit ? Rgb(0xE01818) : Rgb(0x601010)));
    CentredText(kit, fx + 2.0f, fy + fh - 13.0f, fw - 4.0f, 12.0f, "DANGER", 11, Flat(bLit ? kWhite : Rgb(0xF8C0B0)),
                kInk, 0.0f);
}

void DrawDanger1(CArtKit& kit, int x, int y, int w, int h) { DrawDanger(kit, x, y, w, h, true); }
void DrawDanger2(CArtKit& kit, int x, int y, int w, int h) { DrawDanger(kit, x, y, w, h, false); }

// The boss warning's window: an alarm lamp and the word, on a dark red panel.
void DrawWarningWindow(CArtKit& kit, int x, int y, int w, int h)
{
    const float fx = (float)x, fy = (float)y, fw = (float)w, fh = (float)h;
    kit.RoundBox(fx + 1, fy + 1, fw - 2, fh - 2, 10.0f,
                 VerticalStops({{fy, Rgb(0x581010)}, {fy + fh * 0.5f, Rgb(0x300808)}, {fy + fh, Rgb(0x180404)}}));
    kit.RoundBoxOutline(fx + 1, fy + 1, fw - 2, fh - 2, 10.0f, 3.0f, Flat(Rgb(0xF8C020)));
    kit.RoundBoxOutline(fx + 6, fy + 6, fw - 12, fh - 12, 6.0f, 1.0f, Flat(Rgb(0xA02010)));
    const float r = 28.0f, cx = fx + 52.0f, cy = fy + fh / 2.0f;
    kit.Ellipse(cx, cy, r + 6, r + 6, RadialGradient(cx, cy, r + 6, Rgb(0xF84020), Rgb(0x400808)));
    kit.Ball(cx, cy, r, r, Rgb(0xF02818));
    kit.EllipseOutline(cx, cy, r, r, 2.0f, Flat(kInk));
    CentredText(kit, cx - r, cy - r, 2 * r, 2 * r, "!", 40, Flat(Rgb(0xFFF4C0)), kInk, 2.0f);
    CentredText(kit, fx + 100, fy + 8, fw - 110, 48, "WARNING", 44, Gold(fy + 14, fy + 52), kInk, 3.0f);
    CentredText(kit, fx + 100, fy + 56, fw - 110, 22, "A HUGE ENEMY IS APPROACHING", 14, Flat(Rgb(0xF8D8C8)), kInk, 1.0f);
}

// A piece of the warning band: hazard stripes along both edges and the word between; it repeats
// side by side without a join.
void DrawWarningBand(CArtKit& kit, int x, int y, int w, int h)
{
    const float fx = (float)x, fy = (float)y, fh = (float)h;
    kit.Fill(x, y, w, h, VerticalGradient(fy, Rgb(0x500808), fy + fh, Rgb(0x200404)));
    for (int s = 0; s < 2; s++) {
        const int y0 = s ? y + h - 5 : y;
        kit.Fill(x, y0, w, 5, [=](float px, float py) {
            const int k = (int)std::floor((px - fx + (py - (float)y0)) / 8.0f);
            return (k & 1) ? kInk : Rgb(0xF8D020);
        });
    }
    CentredText(kit, fx, fy + 5, (float)w, fh - 10, "WARNING", 18, Gold(fy + 8, fy + fh - 8), kInk, 1.5f);
}

} // namespace

const std::vector<ARTREGION>& ScreenRegions()
{
    static const std::vector<ARTREGION> regions = {
        {"SystemIndex.txt", "StageClear.bmp", 264, 52, DrawStageClear},
        {"SystemIndex.txt", "StageClearZorva.bmp", 320, 96, DrawClearZorva},
        {"SystemIndex.txt", "StageClearExtra.bmp", 320, 96, DrawClearExtra},
        {"SystemIndex.txt", "LifeBonus.bmp", 240, 29, DrawLifeBonus},
        {"SystemIndex.txt", "TimeBonus.bmp", 240, 29, DrawTimeBonus},
        {"SystemIndex.txt", "TargetBonus.bmp", 240, 29, DrawTargetBonus},
        {"SystemIndex.txt", "Total.bmp", 140, 29, DrawTotal},
        {"SystemIndex.txt", "StageClearNumbers.bmp", 160, 29, DrawClearNumbers},
        {"SystemIndex.txt", "Bar.bmp", 606, 6, DrawBar},
        {"SystemIndex.txt", "GameOver.bmp", 580, 64, DrawGameOverTitle},
        {"SystemIndex.txt", "ChallengeAgain1.bmp", 200, 40, DrawChallenge1},
        {"SystemIndex.txt", "ChallengeAgain2.bmp", 200, 40, DrawChallenge2},
        {"SystemIndex.txt", "ReturnToTitle1.bmp", 200, 40, DrawToTitle1},
        {"SystemIndex.txt", "ReturnToTitle2.bmp", 200, 40, DrawToTitle2},
        {"SystemIndex.txt", "Really.bmp", 240, 40, DrawReally},
        {"SystemIndex.txt", "Pause.bmp", 200, 56, DrawPause},
        {"SystemIndex.txt", "ReturnToGame1.bmp", 200, 40, DrawToGame1},
        {"SystemIndex.txt", "ReturnToGame2.bmp", 200, 40, DrawToGame2},
        {"SystemIndex.txt", "Yes1.bmp", 80, 36, DrawYes1},
        {"SystemIndex.txt", "Yes2.bmp", 80, 36, DrawYes2},
        {"SystemIndex.txt", "No1.bmp", 80, 36, DrawNo1},
        {"SystemIndex.txt", "No2.bmp", 80, 36, DrawNo2},
        {"SystemIndex.txt", "DangerBeacon1.bmp", 72, 56, DrawDanger1},
        {"SystemIndex.txt", "DangerBeacon2.bmp", 72, 56, DrawDanger2},
        {"BossIndex.txt", "BossWarning1.bmp", 400, 90, DrawWarningWindow},
        {"BossIndex.txt", "BossWarning2.bmp", 160, 32, DrawWarningBand},
    };
    return regions;
}

namespace {

void WritePicture(CDataSet& data, const std::string& name, CCanvas& canvas)
{
    Label(canvas, 0, 0, canvas.Width(), std::min(canvas.Height(), 24), name);
    data.Write("System/" + name, canvas.ToBmp24());
}

// "Ready": pale blue letters with speed lines trailing to the left.
void WriteReady(CDataSet& data)
{
    CCanvas c(320, 80);
    CArtKit kit(c);
    for (int i = 0; i < 4; i++) {
        const float y = 22.0f + (float)i * 12.0f, len = 40.0f - (float)(i % 2) * 14.0f;
        kit.Stroke(6.0f + (float)(i % 2) * 10.0f, y, 6.0f + len, y, 3.0f, Flat(Rgb(0x80C8F8)));
    }
    CentredText(kit, 40, 0, 276, 80, "READY", 64, Ice(12, 70), kInk, 3.5f);
    WritePicture(data, "Ready.bmp", c);
}

// "Go!": fiery letters.
void WriteGo(CDataSet& data)
{
    CCanvas c(200, 100);
    CArtKit kit(c);
    CentredText(kit, 0, 0, 200, 100, "GO!", 88,
                VerticalStops({{10, Rgb(0xFFFBD8)}, {45, Rgb(0xF8D030)}, {70, Rgb(0xF06010)}, {92, Rgb(0xB01808)}}),
                kInk, 4.0f);
    WritePicture(data, "Go.bmp", c);
}

// One shutter, 320 x 480: corrugated steel slats, grime, and a hazard-striped edge with rivets
// where the two meet. The right one is its mirror image.
void DrawShutter(CCanvas& c, bool bRight)
{
    CArtKit kit(c);
    const int w = c.Width(), h = c.Height(), nSlat = 24;
    kit.Fill(0, 0, w, h, [=](float px, float py) {
        const float t = std::fmod(py, (float)nSlat) / (float)nSlat;
        // Each slat bulges towards the light: bright upper half, shaded lower half, a dark groove.
        const float ny = (t - 0.5f) * 1.8f;
        RGBF base = Lit(Rgb(0x707A88), 0.0f, ny, std::sqrt(std::max(0.05f, 1.0f - ny * ny)));
        if (t > 0.92f)
            base = Rgb(0x20242C);
        const float grime = Fbm(bRight ? (float)w - px : px, py, 71, 48.0f, 3, w, 0);
        return Scale(base, 0.82f + 0.3f * grime);
    });
    const int nEdge = 18, ex = bRight ? 0 : w - nEdge;
    kit.Fill(ex, 0, nEdge, h, [=](float px, float py) {
        // Mirrored on the right, so the stripes of the two edges meet in chevrons.
        const int k = (int)std::floor((py + (bRight ? (float)w - px : px)) / 14.0f);
        return (k & 1) ? Rgb(0x181818) : Rgb(0xF0C020);
    });
    kit.Fill(bRight ? nEdge : w - nEdge - 4, 0, 4, h, Flat(Rgb(0x30343C)));
    const float rx = bRight ? (float)nEdge + 12.0f : (float)(w - nEdge) - 12.0f;
    for (int i = 0; i < 10; i++) {
        const float ry = 24.0f + (float)i * 48.0f;
        kit.Ball(rx, ry, 4.0f, 4.0f, Rgb(0xA8B0B8));
    }
    // A handle at waist height.
    const float hx = bRight ? 60.0f : (float)w - 90.0f;
    kit.RoundBox(hx, 300.0f, 30.0f, 10.0f, 5.0f, Flat(Rgb(0x202428)));
    kit.RoundBox(hx + 2.0f, 301.0f, 26.0f, 5.0f, 2.5f, Flat(Rgb(0x8890A0)));
}

void WriteShutters(CDataSet& data)
{
    for (int i = 0; i < 2; i++) {
        CCanvas c(320, 480, 0);
        DrawShutter(c, i == 1);
        WritePicture(data, i ? "GameOver2.bmp" : "GameOver1.bmp", c);
    }
}

// The demo-play caption, two frames stacked: lit, then dimmed; the game shows them in turn.
void WriteDemoPlay(CDataSet& data)
{
    const int w = 240, h = 40;
    CCanvas c(w, 2 * h);
    CArtKit kit(c);
    for (int f = 0; f < 2; f++) {
        const float y = (float)(f * h);
        const bool bLit = f == 0;
        kit.RoundBox(2, y + 2, (float)w - 4, (float)h - 4, 16.0f,
                     VerticalGradient(y + 2, Rgb(bLit ? 0xF04040 : 0x802020), y + (float)h - 2, Rgb(bLit ? 0x901010 : 0x401010)));
        kit.RoundBoxOutline(2, y + 2, (float)w - 4, (float)h - 4, 16.0f, 2.0f, Flat(Rgb(bLit ? 0xFFE0D0 : 0x906060)));
        kit.Ellipse(22.0f, y + (float)h / 2.0f, 7.0f, 7.0f, Flat(bLit ? Rgb(0xFFF4F0) : Rgb(0xA06060)));
        CentredText(kit, 30, y, (float)w - 36, (float)h, "DEMO PLAY", 24, Flat(bLit ? kWhite : Rgb(0xD0A0A0)), kInk, 2.0f);
    }
    WritePicture(data, "DemoPlay.bmp", c);
}

// ---- Chat windows --------------------------------------------------------------------------------

// The heroine: brown hair with a long tail, blue suit, yellow scarf, against the evening sky.
void DrawHeroineFace(CArtKit& kit, float x, float y, float w, float h)
{
    kit.Fill((int)x, (int)y, (int)w, (int)h, VerticalGradient(y, Rgb(0x6890D8), y + h, Rgb(0xF0A878)));
    const float cx = x + w * 0.52f, cy = y + h * 0.42f;
    kit.Ellipse(cx + 16, cy + 8, 14, 26, Flat(Rgb(0x5A2C14)));  // the tail behind
    kit.Polygon({{x + 6, y + h}, {x + 14, y + h - 16}, {cx, y + h - 22}, {x + w - 14, y + h - 16}, {x + w - 6, y + h}},
                VerticalGradient(y + h - 22, Rgb(0x4868E0), y + h, Rgb(0x203080)));
    kit.Polygon({{cx - 14, y + h - 20}, {cx + 14, y + h - 20}, {cx + 8, y + h - 10}, {cx - 8, y + h - 10}},
                Flat(Rgb(0xF8E020)));
    kit.Ellipse(cx, cy + 2, 15, 18, SphereShade(cx, cy + 2, 15, 18, Rgb(0xF8C8A0)));
    kit.Polygon({{cx - 17, cy - 2}, {cx - 12, cy - 18}, {cx + 4, cy - 22}, {cx + 17, cy - 12}, {cx + 16, cy + 4},
                 {cx + 9, cy - 8}, {cx - 2, cy - 10}, {cx - 10, cy - 4}, {cx - 15, cy + 8}},
                VerticalGradient(cy - 22, Rgb(0x8A4A24), cy + 8, Rgb(0x4A200C)));
    for (int s = -1; s <= 1; s += 2) {
        const float ex = cx + (float)s * 6.5f, ey = cy + 3.0f;
        kit.Ellipse(ex, ey, 3.0f, 4.2f, Flat(Rgb(0x283070)));
        kit.Ellipse(ex - 0.8f, ey - 1.5f, 1.2f, 1.2f, Flat(kWhite));
    }
    kit.Stroke(cx - 3.0f, cy + 12.0f, cx + 3.0f, cy + 12.5f, 1.4f, Flat(Rgb(0xB04848)));
}

// The operator at base: short dark hair, a headset with its microphone, an olive uniform, the
// green glow of a radar screen.
void DrawOperatorFace(CArtKit& kit, float x, float y, float w, float h)
{
    kit.Fill((int)x, (int)y, (int)w, (int)h, RadialGradient(x + w * 0.3f, y + h * 0.3f, w, Rgb(0x3C8C58), Rgb(0x0C2014)));
    for (int i = 1; i <= 3; i++)
        kit.EllipseOutline(x + w * 0.3f, y + h * 0.3f, 9.0f * (float)i, 9.0f * (float)i, 1.0f, Flat(Rgb(0x58C878)));
    const float cx = x + w * 0.5f, cy = y + h * 0.44f;
    kit.Polygon({{x + 4, y + h}, {x + 12, y + h - 15}, {cx, y + h - 20}, {x + w - 12, y + h - 15}, {x + w - 4, y + h}},
                VerticalGradient(y + h - 20, Rgb(0x7A8048), y + h, Rgb(0x3A4020)));
    kit.Ellipse(cx, cy + 2, 14, 17, SphereShade(cx, cy + 2, 14, 17, Rgb(0xE8B890)));
    kit.Polygon({{cx - 15, cy}, {cx - 13, cy - 14}, {cx, cy - 19}, {cx + 13, cy - 14}, {cx + 15, cy},
                 {cx + 10, cy - 8}, {cx - 10, cy - 8}},
                Flat(Rgb(0x1C1C24)));
    kit.EllipseOutline(cx, cy - 2, 17, 18, 2.5f, Flat(Rgb(0x303038)));  // the headset band
    kit.RoundBox(cx - 20, cy - 2, 7, 12, 3, Flat(Rgb(0x404048)));
    kit.Stroke(cx - 16, cy + 8, cx - 4, cy + 16, 1.8f, Flat(Rgb(0x404048)));
    kit.Ellipse(cx - 3, cy + 16, 2.5f, 2.0f, Flat(Rgb(0x202024)));
    for (int s = -1; s <= 1; s += 2) {
        kit.Stroke(cx + (float)s * 8.0f, cy - 1.0f, cx + (float)s * 3.5f, cy - 2.0f, 1.5f, Flat(Rgb(0x1C1C24)));
        kit.Ellipse(cx + (float)s * 6.0f, cy + 3.5f, 2.0f, 2.4f, Flat(Rgb(0x202020)));
    }
    kit.Stroke(cx - 2.5f, cy + 11.0f, cx + 3.5f, cy + 11.0f, 1.2f, Flat(Rgb(0x905040)));
}

} // namespace

void DrawChatWindow(CCanvas& canvas, int nSpeaker)
{
    CArtKit kit(canvas);
    const float w = (float)canvas.Width(), h = (float)canvas.Height();
    const bool bHeroine = nSpeaker == 1;
    const RGBF rim = bHeroine ? Rgb(0x80C8FF) : Rgb(0x90E0A0);
    kit.RoundBox(1, 1, w - 2, h - 2, 10.0f, VerticalGradient(0, Rgb(0x1C2850), h, Rgb(0x080C1C)));
    kit.RoundBoxOutline(1, 1, w - 2, h - 2, 10.0f, 2.5f, Flat(rim));
    // The face in its frame; the text panel the game writes into from (110, 25).
    kit.Clip(9, 9, 86, 62);
    if (bHeroine)
        DrawHeroineFace(kit, 9, 9, 86, 62);
    else
        DrawOperatorFace(kit, 9, 9, 86, 62);
    kit.Unclip();
    kit.RoundBoxOutline(7, 7, 90, 66, 4.0f, 2.0f, Flat(rim));
    kit.RoundBox(103, 22, w - 108, h - 28, 5.0f, Flat(Rgb(0x101630)));
    kit.Text(110, 4, bHeroine ? "ZORVA" : "OPERATOR", 14, Flat(rim), kInk, 1.0f);
    Label(canvas, 0, 0, canvas.Width(), 20, bHeroine ? "CHATWIN1" : "CHATWIN2");
}

void WriteScreenPictures(CDataSet& data)
{
    WriteReady(data);
    WriteGo(data);
    WriteShutters(data);
    WriteDemoPlay(data);
}
