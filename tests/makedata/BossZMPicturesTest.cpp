// Boss Z.M.Zorva's sheet as the generator writes it: every region the boss cuts, in the sizes its
// draw offsets are built on (the rifle mirrors with the body, the glow lies on the blade, the beam
// leaves the rifle's barrel), keyed body pictures with opaque figures inside, additive pictures on
// black, regions that do not overlap, and the same bytes on every run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

#include "ArtKit.h"
#include "BossZMPictures.h"
#include "DataSet.h"
#include "support/BmpPixels.h"

namespace {

namespace fs = std::filesystem;

const uint32_t kKey = 0x00FF00;

struct REGION {
    int x, y, w, h;
};

std::string ReadText(const fs::path& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

class BossZMPictures : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_Root = fs::temp_directory_path() / ("zorva-zm-sheet-test-" + std::to_string(::getpid()));
        fs::remove_all(s_Root);
        for (const char* pszSet : {"plain", "again"}) {
            CDataSet data((s_Root / pszSet).string());
            WriteBossZMPictures(data, "Stage02/");
            ASSERT_FALSE(data.Failed());
        }
        std::istringstream in(ReadText(PathOf("plain", ZM_INDEX_FILE)));
        std::string line;
        while (std::getline(in, line)) {
            char szName[64];
            int l, t, r, b;
            if (sscanf(line.c_str(), "#IMG_RGN %63s = %d:%d:%d:%d", szName, &l, &t, &r, &b) == 5)
                s_Regions[szName] = REGION{l, t, r - l + 1, b - t + 1};
        }
    }
    static void TearDownTestSuite() { fs::remove_all(s_Root); }

    static fs::path PathOf(const std::string& set, const std::string& name)
    {
        return s_Root / set / "GameData" / "Stage02" / name;
    }
    static REGION Region(const std::string& name) { return s_Regions.count(name) ? s_Regions[name] : REGION{}; }

    static fs::path s_Root;
    static std::map<std::string, REGION> s_Regions;
};

fs::path BossZMPictures::s_Root;
std::map<std::string, REGION> BossZMPictures::s_Regions;

TEST_F(BossZMPictures, EveryRegionIsThereInTheSizesTheBossDrawsBy)
{
    EXPECT_EQ(s_Regions.size(), 10u);
    const REGION gun = Region("ZM_Gun.bmp"), body = Region("ZM_MSZ006b.bmp");
    const REGION saber = Region("ZM_MSZ006c.bmp"), glow = Region("ZM_Saber1.bmp");
    // The rifle sticks out 99 px to the left of the body, and when mirrored starts its own width
    // less 99 from the body's left: the two only mirror each other with this body width.
    EXPECT_EQ(2 * gun.w - 198, body.w);
    // The beam leaves at 38 above the body's centre, 16 below the picture row it is drawn on: the
    // rifle's barrel (16 rows into its picture, drawn 64 below the body's top) lies on that row.
    EXPECT_EQ(-body.h / 2 - 16 + 64 + 16, -38 + 16);
    // The glow's corner sits 139 across and 192 down the saber pose, and fits in it either way.
    EXPECT_GE(saber.w, 139 + glow.w);
    EXPECT_GE(saber.w, 140 + glow.w);
    EXPECT_GE(saber.h, 192 + glow.h);
    EXPECT_EQ(Region("ZM_Saber2.bmp").w, glow.w);
    EXPECT_EQ(Region("ZM_Saber2.bmp").h, glow.h);
    EXPECT_EQ(Region("MSZ006Shield1.bmp").w, Region("MSZ006Shield2.bmp").w);
    // Large and distinct: each pose its own size, all big on the screen.
    for (const char* pszName : {"ZM_MSZ006a.bmp", "ZM_MSZ006b.bmp", "ZM_MSZ006c.bmp", "ZM_MSZ006d.bmp",
                                "ZM_MSZ006carbon.bmp"}) {
        EXPECT_GE(Region(pszName).w, 120) << pszName;
        EXPECT_GE(Region(pszName).h, 150) << pszName;
    }
    // No two regions share a pixel.
    for (const auto& a : s_Regions) {
        for (const auto& b : s_Regions) {
            if (a.first >= b.first)
                continue;
            const bool bApart = a.second.x + a.second.w <= b.second.x || b.second.x + b.second.w <= a.second.x ||
                                a.second.y + a.second.h <= b.second.y || b.second.y + b.second.h <= a.second.y;
            EXPECT_TRUE(bApart) << a.first << " " << b.first;
        }
    }
}

TEST_F(BossZMPictures, BodyPicturesAreKeyedRoundAFigureAndGlowsLieOnBlack)
{
    const CBmpPixels sheet(PathOf("plain", ZM_SHEET_FILE).string());
    ASSERT_GT(sheet.Width(), 0);
    for (const char* pszName : {"ZM_MSZ006a.bmp", "ZM_MSZ006b.bmp", "ZM_MSZ006c.bmp", "ZM_MSZ006d.bmp",
                                "ZM_MSZ006carbon.bmp", "ZM_Gun.bmp"}) {
        const REGION r = Region(pszName);
        int nOpaque = 0, nEdgeKey = 0, nEdge = 0;
        for (int y = r.y; y < r.y + r.h; y++) {
            for (int x = r.x; x < r.x + r.w; x++) {
                const bool bKey = sheet.Rgb(x, y) == kKey;
                nOpaque += bKey ? 0 : 1;
                if (x == r.x || y == r.y || x == r.x + r.w - 1 || y == r.y + r.h - 1) {
                    nEdge++;
                    nEdgeKey += bKey ? 1 : 0;
                }
            }
        }
        // A figure that fills a good part of its picture, with the key round most of its frame.
        EXPECT_GT(nOpaque, r.w * r.h / 5) << pszName;
        EXPECT_GT(nEdgeKey, nEdge * 3 / 4) << pszName;
        EXPECT_EQ(sheet.Rgb(r.x, r.y), kKey) << pszName;
    }
    // The carbon copy is the glide pose darkened.
    const REGION a = Region("ZM_MSZ006a.bmp"), c = Region("ZM_MSZ006carbon.bmp");
    long nBright = 0, nDark = 0;
    for (int y = 0; y < a.h; y++) {
        for (int x = 0; x < a.w; x++) {
            const uint32_t p = sheet.Rgb(a.x + x, a.y + y), q = sheet.Rgb(c.x + x, c.y + y);
            EXPECT_EQ(p == kKey, q == kKey);
            if (p != kKey) {
                nBright += (long)(p >> 16) + (long)((p >> 8) & 0xFF) + (long)(p & 0xFF);
                nDark += (long)(q >> 16) + (long)((q >> 8) & 0xFF) + (long)(q & 0xFF);
            }
        }
    }
    EXPECT_LT(nDark * 2, nBright);
    for (const char* pszName : {"ZM_Saber1.bmp", "ZM_Saber2.bmp", "MSZ006Shield1.bmp", "MSZ006Shield2.bmp"}) {
        const REGION r = Region(pszName);
        long nLight = 0;
        for (int y = r.y; y < r.y + r.h; y++) {
            for (int x = r.x; x < r.x + r.w; x++) {
                const uint32_t p = sheet.Rgb(x, y);
                EXPECT_NE(p, kKey) << pszName;
                nLight += (long)(p >> 16) + (long)((p >> 8) & 0xFF) + (long)(p & 0xFF);
                if (x == r.x || y == r.y || x == r.x + r.w - 1 || y == r.y + r.h - 1) {
                    EXPECT_LT((p >> 16) + ((p >> 8) & 0xFF) + (p & 0xFF), 24u) << pszName << " " << x << "," << y;
                }
            }
        }
        EXPECT_GT(nLight, (long)r.w * r.h * 8) << pszName;
    }
    // The two glow frames differ, so the blade flickers.
    const REGION g1 = Region("ZM_Saber1.bmp"), g2 = Region("ZM_Saber2.bmp");
    int nDiffer = 0;
    for (int y = 0; y < g1.h; y++)
        for (int x = 0; x < g1.w; x++)
            nDiffer += sheet.Rgb(g1.x + x, g1.y + y) != sheet.Rgb(g2.x + x, g2.y + y) ? 1 : 0;
    EXPECT_GT(nDiffer, g1.w * g1.h / 10);
}

TEST_F(BossZMPictures, TheSameBytesOnEveryRun)
{
    for (const char* pszName : {ZM_INDEX_FILE, ZM_SHEET_FILE})
        EXPECT_EQ(ReadText(PathOf("plain", pszName)), ReadText(PathOf("again", pszName))) << pszName;
}

} // namespace
