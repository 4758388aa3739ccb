// The heroine's HUD and the items as the generator draws them: the item sheets' cells keep to their
// cells, every kind looks different and animates, the HUD regions have the sizes the cockpit cuts
// them by, digit cells are told apart, and the items' names appear only in the labelled variant.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

#include "ArtKit.h"
#include "DataSet.h"
#include "IndexSheets.h"
#include "ItemPictures.h"
#include "support/BmpPixels.h"

namespace {

namespace fs = std::filesystem;

const uint32_t kKey = 0x00FF00;

struct CELL {
    int x, y, w, h;
};

// The mean colour of a cell's opaque pixels and how many there are.
struct MEAN {
    double r = 0, g = 0, b = 0;
    int n = 0;
};

MEAN MeanOf(const CBmpPixels& p, const CELL& c)
{
    MEAN m;
    for (int y = c.y; y < c.y + c.h; y++) {
        for (int x = c.x; x < c.x + c.w; x++) {
            const uint32_t v = p.Rgb(x, y);
            if (v == kKey)
                continue;
            m.r += (double)(v >> 16);
            m.g += (double)((v >> 8) & 0xFF);
            m.b += (double)(v & 0xFF);
            m.n++;
        }
    }
    if (m.n) {
        m.r /= m.n;
        m.g /= m.n;
        m.b /= m.n;
    }
    return m;
}

// Pixels that differ between two cells of the same size.
int Differing(const CBmpPixels& p, const CELL& a, const CELL& b)
{
    int n = 0;
    for (int y = 0; y < a.h; y++)
        for (int x = 0; x < a.w; x++)
            n += p.Rgb(a.x + x, a.y + y) != p.Rgb(b.x + x, b.y + y);
    return n;
}

class HudPictures : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_Root = fs::temp_directory_path() / ("zorva-hud-test-" + std::to_string(::getpid()));
        fs::remove_all(s_Root);
        for (bool bLabelled : {false, true}) {
            SetLabelled(bLabelled);
            CDataSet data((s_Root / (bLabelled ? "labelled" : "plain")).string());
            WriteItemPictures(data);
            WriteIndexSheets(data);
            ASSERT_FALSE(data.Failed());
        }
        SetLabelled(false);
    }
    static void TearDownTestSuite() { fs::remove_all(s_Root); }

    static std::string PathOf(const std::string& rel, const std::string& set = "plain")
    {
        return (s_Root / set / "GameData" / rel).string();
    }

    // The regions of an index file of System/.
    static std::map<std::string, CELL> Regions(const std::string& indexFile)
    {
        std::ifstream f(PathOf("System/" + indexFile));
        std::map<std::string, CELL> regions;
        std::string line;
        while (std::getline(f, line)) {
            if (line.rfind("#IMG_RGN ", 0) != 0)
                continue;
            std::istringstream in(line.substr(9));
            std::string name, eq;
            char c;
            int l, t, r, b;
            in >> name >> eq >> l >> c >> t >> c >> r >> c >> b;
            regions[name] = CELL{l, t, r - l + 1, b - t + 1};
        }
        return regions;
    }

    static fs::path s_Root;
};

fs::path HudPictures::s_Root;

struct SHEET {
    const char* pszName;
    int nCellW, nCellH, nRows;
};
const SHEET kItemSheets[] = {{"System/Item01.bmp", 32, 32, 4}, {"System/Item02.bmp", 60, 40, 6}};

} // namespace

TEST_F(HudPictures, ItemCellsKeepToTheirCellsAndAnimate)
{
    for (const SHEET& s : kItemSheets) {
        const CBmpPixels p(PathOf(s.pszName));
        ASSERT_EQ(p.Width(), 8 * s.nCellW) << s.pszName;
        ASSERT_EQ(p.Height(), s.nRows * s.nCellH) << s.pszName;
        for (int row = 0; row < s.nRows; row++) {
            int nMoving = 0;
            for (int f = 0; f < 8; f++) {
                const CELL c{f * s.nCellW, row * s.nCellH, s.nCellW, s.nCellH};
                // A frame never touches its cell's edge: nothing bleeds into the next frame.
                for (int i = 0; i < c.w; i++) {
                    ASSERT_EQ(p.Rgb(c.x + i, c.y), kKey) << s.pszName << " row " << row << " frame " << f;
                    ASSERT_EQ(p.Rgb(c.x + i, c.y + c.h - 1), kKey) << s.pszName << " row " << row << " frame " << f;
                }
                for (int j = 0; j < c.h; j++) {
                    ASSERT_EQ(p.Rgb(c.x, c.y + j), kKey) << s.pszName << " row " << row << " frame " << f;
                    ASSERT_EQ(p.Rgb(c.x + c.w - 1, c.y + j), kKey) << s.pszName << " row " << row << " frame " << f;
                }
                EXPECT_GT(MeanOf(p, c).n, c.w * c.h / 50) << s.pszName << " row " << row << " frame " << f;
                if (f > 0)
                    nMoving += Differing(p, c, CELL{0, row * s.nCellH, s.nCellW, s.nCellH}) > 10;
            }
            EXPECT_GE(nMoving, 6) << s.pszName << " row " << row;
        }
    }
}

TEST_F(HudPictures, EveryItemKindLooksDifferent)
{
    std::vector<MEAN> kinds;
    for (const SHEET& s : kItemSheets) {
        const CBmpPixels p(PathOf(s.pszName));
        for (int row = 0; row < s.nRows; row++)
            kinds.push_back(MeanOf(p, CELL{0, row * s.nCellH, s.nCellW, s.nCellH}));
    }
    ASSERT_EQ(kinds.size(), 10u);
    for (size_t i = 0; i < kinds.size(); i++) {
        for (size_t j = i + 1; j < kinds.size(); j++) {
            const double d = std::abs(kinds[i].r - kinds[j].r) + std::abs(kinds[i].g - kinds[j].g) +
                             std::abs(kinds[i].b - kinds[j].b);
            const double size = std::abs((double)kinds[i].n - (double)kinds[j].n) / (double)std::max(kinds[i].n, kinds[j].n);
            EXPECT_TRUE(d > 30.0 || size > 0.25) << "kinds " << i << " and " << j;
        }
    }
}

TEST_F(HudPictures, TheCockpitRegionsHaveTheSizesTheHudCutsThemBy)
{
    std::map<std::string, CELL> r = Regions("CockpitIndex.txt");
    // Ten digit cells of 20 x 34; eleven of 10 x 16 in two rows; three gauge strips; four icons
    // 60 px apart; the option icons over the two bonus signs.
    EXPECT_EQ(r["ScoreNumbers.bmp"].w, 200);
    EXPECT_EQ(r["ScoreNumbers.bmp"].h, 34);
    EXPECT_EQ(r["ScoreNumbersWhite.bmp"].w, 200);
    EXPECT_EQ(r["LvNumbers.bmp"].w, 110);
    EXPECT_EQ(r["LvNumbers.bmp"].h, 32);
    EXPECT_EQ(r["MaxLVGauge.bmp"].h % 3, 0);
    EXPECT_GE(r["SubWeaponIcon.bmp"].w, 240);
    EXPECT_GE(r["Option"].w, 72);
    EXPECT_GE(r["Option"].h, 72);
    // The plate covers the face (7, 7), the gauges and the icon bay (330..390) from (5, 5).
    EXPECT_GE(r["Cockpit.bmp"].x + r["Cockpit.bmp"].w, r["Cockpit.bmp"].x + 390 - 5);
    EXPECT_GE(r["Cockpit.bmp"].h, r["FaceNormal"].h + 4);
    for (const char* pszFace : {"FaceDamage", "FaceDanger1", "FaceDanger2"}) {
        EXPECT_EQ(r[pszFace].w, r["FaceNormal"].w);
        EXPECT_EQ(r[pszFace].h, r["FaceNormal"].h);
    }
    EXPECT_EQ(r["Danger1"].w, r["mode_hard"].w);
    EXPECT_EQ(r["mode_easy"].w, r["mode_hard"].w);
    std::map<std::string, CELL> sys = Regions("SystemIndex.txt");
    EXPECT_GT(sys["LvUp.bmp"].w, 0);
    EXPECT_GT(sys["Damaged.bmp"].w, 0);
}

TEST_F(HudPictures, DigitCellsAreToldApartAndTheWhiteOnesAreLighter)
{
    std::map<std::string, CELL> r = Regions("CockpitIndex.txt");
    const CBmpPixels p(PathOf("System/CockpitSheet.bmp"));
    const CELL gold = r["ScoreNumbers.bmp"], white = r["ScoreNumbersWhite.bmp"], level = r["LvNumbers.bmp"];
    for (int i = 0; i < 10; i++) {
        for (int j = i + 1; j < 10; j++) {
            EXPECT_GT(Differing(p, CELL{gold.x + 20 * i, gold.y, 20, 34}, CELL{gold.x + 20 * j, gold.y, 20, 34}), 20)
                << i << " " << j;
            EXPECT_GT(Differing(p, CELL{level.x + 10 * i, level.y, 10, 16}, CELL{level.x + 10 * j, level.y, 10, 16}), 6)
                << i << " " << j;
        }
        const MEAN g = MeanOf(p, CELL{gold.x + 20 * i, gold.y, 20, 34});
        const MEAN w = MeanOf(p, CELL{white.x + 20 * i, white.y, 20, 34});
        EXPECT_GT(w.r + w.g + w.b, g.r + g.g + g.b) << i;
    }
}

TEST_F(HudPictures, NamesAreWrittenOnlyInTheLabelledVariant)
{
    for (const char* pszName : {"System/Item01.bmp", "System/Item02.bmp"}) {
        const CBmpPixels plain(PathOf(pszName)), labelled(PathOf(pszName, "labelled"));
        ASSERT_EQ(plain.Width(), labelled.Width());
        int nChanged = 0;
        for (int y = 0; y < plain.Height(); y++) {
            for (int x = 0; x < plain.Width(); x++) {
                const uint32_t a = plain.Rgb(x, y), b = labelled.Rgb(x, y);
                if (a == b)
                    continue;
                ASSERT_TRUE(b == 0xFFFFFF || b == 0x000000) << pszName << " " << x << ", " << y;
                nChanged++;
            }
        }
        EXPECT_GT(nChanged, 10) << pszName;
    }
}
