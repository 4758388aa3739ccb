// The heroine's pictures: System/ZorvaIndex.txt with its sheet (three bikes, 4 poses x 3 aims x 6
// frames of the rider, the miss picture), and the main gun's System/Vulcan.bmp and GunFire.bmp.
// The rider is drawn so that her gun ends at the muzzle points of Param.txt's GUNPOS keys: the game
// puts the bike's top-left at (x - 95, y - 80) and the rider 20 px right of and 30 px above it, and
// the muzzle at (x - 100, y - 160) + the point.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "DataSet.h"
#include "IndexSheetsCanvas.h"

namespace {

const int kBikeW = 190, kBikeH = 85;
const int kRiderW = 160, kRiderH = 115;
const int kMissW = 100, kMissH = 100;
// The rider's picture origin relative to the bike's, and the muzzle's relative to the rider's.
const int kRiderDX = 20, kRiderDY = -30;
const int kMuzzleDX = -25, kMuzzleDY = -50;
const int kFrames = 6;
const int kWheelR = 21;

const uint32_t kTyre = 0x181818, kRim = 0xC0C0C8, kSpoke = 0xE8E8F0, kBody = 0xD02838, kBodyDark = 0x801018;
const uint32_t kChrome = 0xA8A8B8, kLamp = 0xFFF080, kPipe = 0x707078;
const uint32_t kSkin = 0xF8C8A0, kHair = 0x603018, kSuit = 0x3050C8, kSuitDark = 0x203080, kScarf = 0xF8E020;
const uint32_t kGun = 0x404048, kGunTip = 0xFFFFFF, kBoot = 0x302020;

// The muzzle points that Param.txt's GUNPOS_JUMP, _FLAT, _UP and _DOWN give for the level, up and
// down aims (points 0, 3 and 6), in pose order JUMP, FLAT, UP, DOWN. The files number the aims
// 1 up, 2 level, 3 down.
const int kGunPos[4][3][2] = {
    {{150, 100}, {142, 74}, {142, 126}},
    {{150, 110}, {142, 84}, {142, 136}},
    {{146, 96}, {138, 70}, {138, 122}},
    {{152, 118}, {144, 92}, {144, 144}},
};

// Wheel centres (rear, front) of the three bikes: nose up (up slope and jump), flat, nose down.
const int kWheels[3][2][2] = {
    {{45, 62}, {150, 46}},
    {{45, 62}, {150, 62}},
    {{45, 46}, {150, 62}},
};

// The rider's file pose (1 up slope, 2 flat, 3 down slope, 4 jump) to the game's pose table row
// and bike.
const int kRiderPoseRow[4] = {2, 1, 3, 0};
const int kRiderPoseBike[4] = {0, 1, 2, 0};

void Line(CCanvas& c, float x0, float y0, float x1, float y1, int nRadius, uint32_t dwColor)
{
    const float dx = x1 - x0, dy = y1 - y0;
    const int nSteps = 1 + (int)std::sqrt(dx * dx + dy * dy);
    for (int i = 0; i <= nSteps; i++) {
        const float t = (float)i / (float)nSteps;
        c.Disc((int)std::lround(x0 + dx * t), (int)std::lround(y0 + dy * t), nRadius, dwColor);
    }
}

// A wheel with six spokes turned by the frame.
void Wheel(CCanvas& c, int cx, int cy, int nFrame)
{
    c.Disc(cx, cy, kWheelR, kTyre);
    c.Disc(cx, cy, kWheelR - 4, kRim);
    c.Disc(cx, cy, kWheelR - 6, 0x303038);
    for (int k = 0; k < 3; k++) {
        const float a = (float)nFrame * 0.17f + (float)k * 1.0472f;
        const float ex = std::cos(a) * (float)(kWheelR - 6), ey = std::sin(a) * (float)(kWheelR - 6);
        Line(c, (float)cx - ex, (float)cy - ey, (float)cx + ex, (float)cy + ey, 0, kSpoke);
    }
    c.Disc(cx, cy, 3, kChrome);
}

// A bike whose picture origin is (ox, oy); the body follows the line between the wheels.
void Bike(CCanvas& c, int ox, int oy, int nBike)
{
    const float rx = (float)(ox + kWheels[nBike][0][0]), ry = (float)(oy + kWheels[nBike][0][1]);
    const float fx = (float)(ox + kWheels[nBike][1][0]), fy = (float)(oy + kWheels[nBike][1][1]);
    auto at = [&](float t, float up) { return std::pair<float, float>(rx + (fx - rx) * t, ry + (fy - ry) * t - up); };
    Wheel(c, (int)rx, (int)ry, 0);
    Wheel(c, (int)fx, (int)fy, 0);
    // Exhaust pipe under the seat, towards the back.
    auto p0 = at(0.15f, 8.0f), p1 = at(-0.28f, 10.0f);
    Line(c, p0.first, p0.second, p1.first, p1.second, 3, kPipe);
    c.Disc((int)p1.first, (int)p1.second, 4, 0x202024);
    // Swing arm, body and tank, fork.
    auto s0 = at(0.0f, 0.0f), s1 = at(0.45f, 14.0f);
    Line(c, s0.first, s0.second, s1.first, s1.second, 3, kChrome);
    auto b0 = at(0.18f, 24.0f), b1 = at(0.78f, 30.0f);
    Line(c, b0.first, b0.second, b1.first, b1.second, 8, kBody);
    auto t0 = at(0.45f, 16.0f), t1 = at(0.7f, 20.0f);
    Line(c, t0.first, t0.second, t1.first, t1.second, 7, kBodyDark);
    auto f0 = at(0.8f, 42.0f);
    Line(c, f0.first, f0.second, fx, fy, 3, kChrome);
    // Handlebar and headlight.
    c.Disc((int)f0.first - 4, (int)f0.second - 4, 3, kChrome);
    auto h = at(0.9f, 30.0f);
    c.Disc((int)h.first, (int)h.second, 5, kLamp);
}

// The rider on the bike's seat; her gun points along the aim and ends at the muzzle; the scarf and
// the wheel spokes move with the frame.
void Rider(CCanvas& c, int nFilePose, int nAim, int nFrame)
{
    const int nRow = kRiderPoseRow[nFilePose];
    const int nBike = kRiderPoseBike[nFilePose];
    // The bike's origin in the rider's picture.
    const float bx = (float)-kRiderDX, by = (float)-kRiderDY;
    const float rx = bx + (float)kWheels[nBike][0][0], ry = by + (float)kWheels[nBike][0][1];
    const float fx = bx + (float)kWheels[nBike][1][0], fy = by + (float)kWheels[nBike][1][1];
    for (int w = 0; w < 2; w++)
        Wheel(c, (int)bx + kWheels[nBike][w][0], (int)by + kWheels[nBike][w][1], nFrame);

    const float lean = nRow == 2 ? -3.0f : nRow == 3 ? 6.0f : 0.0f;
    const float hipx = rx + (fx - rx) * 0.4f, hipy = ry + (fy - ry) * 0.4f - 26.0f;
    const float shx = hipx + 6.0f + lean, shy = hipy - 28.0f;
    const float headx = shx + 2.0f + lean * 0.5f, heady = shy - 15.0f;

    // Leg to the foot peg, torso, head with hair and a fluttering scarf.
    Line(c, hipx, hipy, hipx + 20.0f, hipy + 10.0f, 5, kSuitDark);
    Line(c, hipx + 20.0f, hipy + 10.0f, hipx + 16.0f, hipy + 24.0f, 4, kSuitDark);
    c.Disc((int)hipx + 18, (int)hipy + 27, 4, kBoot);
    Line(c, hipx, hipy, shx, shy, 8, kSuit);
    const float wave = std::sin((float)nFrame * 1.0472f) * 5.0f;
    Line(c, shx - 2.0f, shy - 4.0f, shx - 22.0f, shy - 6.0f + wave, 3, kScarf);
    Line(c, shx - 22.0f, shy - 6.0f + wave, shx - 36.0f, shy - 2.0f - wave, 2, kScarf);
    c.Disc((int)headx, (int)heady, 10, kSkin);
    c.Disc((int)headx - 4, (int)heady - 4, 8, kHair);
    Line(c, headx - 8.0f, heady - 2.0f, headx - 20.0f, heady + 4.0f + wave * 0.5f, 3, kHair);
    c.Disc((int)headx + 5, (int)heady - 1, 1, 0x000000);

    // The gun along the aim (level, 45 degrees up or down), the arm from the shoulder to its grip.
    const int nPoint = nAim == 0 ? 1 : nAim == 1 ? 0 : 2;
    const float mx = (float)(kGunPos[nRow][nPoint][0] + kMuzzleDX);
    const float my = (float)(kGunPos[nRow][nPoint][1] + kMuzzleDY);
    const float dirx = nPoint == 0 ? 1.0f : 0.7071f, diry = nPoint == 0 ? 0.0f : nPoint == 1 ? -0.7071f : 0.7071f;
    const float gx = mx - dirx * 22.0f, gy = my - diry * 22.0f;
    Line(c, shx, shy, gx, gy, 3, kSuit);
    c.Disc((int)gx, (int)gy, 3, kSkin);
    Line(c, gx, gy, mx, my, 3, kGun);
    c.Disc((int)mx, (int)my, 2, kGunTip);
}

void MissPicture(CCanvas& c, int ox, int oy)
{
    const float cx = (float)ox + 50.0f, cy = (float)oy + 50.0f;
    Line(c, cx - 30.0f, cy + 20.0f, cx + 20.0f, cy - 25.0f, 8, kSuit);
    Line(c, cx - 30.0f, cy + 20.0f, cx - 40.0f, cy - 10.0f, 4, kSuitDark);
    Line(c, cx + 5.0f, cy - 10.0f, cx + 35.0f, cy + 5.0f, 3, kSuit);
    Line(c, cx - 15.0f, cy, cx - 5.0f, cy + 30.0f, 3, kSuit);
    c.Disc((int)cx + 26, (int)cy - 32, 11, kSkin);
    c.Disc((int)cx + 30, (int)cy - 36, 8, kHair);
    c.Text((int)cx + 18, (int)cy - 35, "x", 0x000000, 1, 1);
    Line(c, cx + 14.0f, cy - 28.0f, cx - 20.0f, cy - 38.0f, 3, kScarf);
}

struct REGION {
    std::string name;
    int x, y, w, h;
};

void WriteHeroineSheet(CDataSet& data)
{
    const int nCols = kFrames;
    const int nRiderRows = 4 * 3;
    const int nSheetW = nCols * kRiderW;
    const int nBikeTop = nRiderRows * kRiderH;
    CCanvas sheet(nSheetW, nBikeTop + kBikeH + kMissH);
    std::vector<REGION> regions;
    char szName[32];
    for (int b = 0; b < 3; b++) {
        snprintf(szName, sizeof(szName), "Bike%d.bmp", b + 1);
        regions.push_back(REGION{szName, b * kBikeW, nBikeTop, kBikeW, kBikeH});
        Bike(sheet, b * kBikeW, nBikeTop, b);
    }
    regions.push_back(REGION{"zorva999.bmp", 0, nBikeTop + kBikeH, kMissW, kMissH});
    MissPicture(sheet, 0, nBikeTop + kBikeH);
    for (int p = 0; p < 4; p++) {
        for (int a = 0; a < 3; a++) {
            for (int f = 0; f < kFrames; f++) {
                const int x = f * kRiderW, y = (p * 3 + a) * kRiderH;
                snprintf(szName, sizeof(szName), "Zorva%d%d%d.bmp", p + 1, a + 1, f + 1);
                regions.push_back(REGION{szName, x, y, kRiderW, kRiderH});
                CCanvas rider(kRiderW, kRiderH);
                Rider(rider, p, a, f);
                sheet.Blit(rider, x, y);
            }
        }
    }
    std::vector<std::string> lines;
    lines.push_back("// ZorvaIndex.txt: the heroine and her bikes on ZorvaSheet.bmp");
    lines.push_back("#INDEX_FOR ZorvaSheet.bmp");
    for (const REGION& r : regions) {
        char szLine[128];
        snprintf(szLine, sizeof(szLine), "#IMG_RGN %s = %d:%d:%d:%d", r.name.c_str(), r.x, r.y, r.x + r.w - 1,
                 r.y + r.h - 1);
        lines.push_back(szLine);
    }
    data.WriteText("System/ZorvaIndex.txt", JoinCrLf(lines));
    data.Write("System/ZorvaSheet.bmp", sheet.ToBmp24());
}

uint32_t Scale(uint32_t dwColor, int nPercent)
{
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t v = ((dwColor >> shift) & 0xFF) * (uint32_t)nPercent / 100;
        out |= (v > 255 ? 255 : v) << shift;
    }
    return out;
}

// Bolts pointing right on black (black adds nothing): a dim glow, the colour and a white core,
// longer and thicker with each level.
void WriteVulcan(CDataSet& data)
{
    const uint32_t kinds[3] = {0xFFD040, 0x40D0FF, 0xFF6030};
    CCanvas c(96 * 5, 72 * 3, 0x000000);
    for (int k = 0; k < 3; k++) {
        for (int l = 0; l < 5; l++) {
            const float cx = (float)(96 * l + 48), cy = (float)(72 * k + 36);
            const float half = 22.0f + 4.0f * (float)l;
            const int r = 3 + l / 2;
            Line(c, cx - half, cy, cx + half, cy, r + 3, Scale(kinds[k], 40));
            Line(c, cx - half + 4.0f, cy, cx + half, cy, r + 1, kinds[k]);
            Line(c, cx - half + 10.0f, cy, cx + half - 2.0f, cy, r > 3 ? r - 2 : 1, 0xFFFFF0);
        }
    }
    data.Write("System/Vulcan.bmp", c.ToBmp24());
}

// Two frames of a star-shaped flash centred in the cell, the second smaller.
void WriteGunFire(CDataSet& data)
{
    const uint32_t kinds[3] = {0xFFB020, 0x60C0FF, 0xFF5020};
    CCanvas c(72 * 2, 72 * 3, 0x000000);
    for (int k = 0; k < 3; k++) {
        for (int f = 0; f < 2; f++) {
            const float cx = (float)(72 * f + 36), cy = (float)(72 * k + 36);
            const float reach = f == 0 ? 30.0f : 18.0f;
            for (int ray = 0; ray < 8; ray++) {
                const float a = (float)ray * 0.7854f;
                const float len = ray % 2 == 0 ? reach : reach * 0.55f;
                Line(c, cx, cy, cx + std::cos(a) * len, cy + std::sin(a) * len, 2, kinds[k]);
            }
            c.Disc((int)cx, (int)cy, f == 0 ? 12 : 7, Scale(kinds[k], 70));
            c.Disc((int)cx, (int)cy, f == 0 ? 7 : 4, 0xFFFFF0);
        }
    }
    data.Write("System/GunFire.bmp", c.ToBmp24());
}

} // namespace

void WriteHeroinePictures(CDataSet& data)
{
    WriteHeroineSheet(data);
    WriteVulcan(data);
    WriteGunFire(data);
}
