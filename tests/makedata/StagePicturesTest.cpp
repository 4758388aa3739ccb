// The stage pictures as the generator writes them: the same bytes on every run, tiles that join
// their neighbours without a seam (slopes against flat ground too), far layers that repeat without
// a join or a frame, no key-coloured fringe, names only in the labelled variant, and five stages
// that look different.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "ArtKit.h"
#include "DataSet.h"
#include "IndexSheets.h"
#include "PeopleData.h"
#include "StageFiles.h"
#include "support/BmpPixels.h"

namespace {

namespace fs = std::filesystem;

const uint32_t kKey = 0x00FF00;

// Sum of the channel differences of two colours.
int Diff(uint32_t a, uint32_t b)
{
    return std::abs((int)(a >> 16) - (int)(b >> 16)) + std::abs((int)((a >> 8) & 0xFF) - (int)((b >> 8) & 0xFF)) +
           std::abs((int)(a & 0xFF) - (int)(b & 0xFF));
}

// A rectangle of a picture: a tile of a sheet, or a whole picture.
struct VIEW {
    const CBmpPixels* p;
    int x, y, w, h;
    uint32_t At(int i, int j) const { return p->Rgb(x + i, y + j); }
};

// Mean difference between column a of one view and column b of another, over the rows where both
// are opaque; -1 when there are none.
double ColumnDiff(const VIEW& va, int a, const VIEW& vb, int b)
{
    double sum = 0.0;
    int n = 0;
    for (int j = 0; j < std::min(va.h, vb.h); j++) {
        const uint32_t ca = va.At(a, j), cb = vb.At(b, j);
        if (ca != kKey && cb != kKey) {
            sum += Diff(ca, cb);
            n++;
        }
    }
    return n ? sum / n : -1.0;
}

// The first opaque row of a column, h when it has none.
int TopOf(const VIEW& v, int i)
{
    for (int j = 0; j < v.h; j++)
        if (v.At(i, j) != kKey)
            return j;
    return v.h;
}

// How many of a column's opaque pixels stand out sharply from the pixel next to them.
double SharpShare(const VIEW& v, int i, int nNext)
{
    int nSharp = 0, n = 0;
    for (int j = 0; j < v.h; j++) {
        const uint32_t c = v.At(i, j), c2 = v.At(nNext, j);
        if (c == kKey || c2 == kKey)
            continue;
        n++;
        nSharp += Diff(c, c2) > 60;
    }
    return n ? (double)nSharp / n : 0.0;
}

// A frame drawn round a picture makes its edge column stand out from its neighbour on nearly
// every row, more than any line inside the picture does.
bool HasFrameAt(const VIEW& v, int nEdge)
{
    double inner = 0.0;
    for (int i = 1; i + 2 < v.w; i++)
        inner = std::max(inner, SharpShare(v, i, i + 1));
    const double edge = SharpShare(v, nEdge, nEdge == 0 ? 1 : nEdge - 1);
    return edge > 0.6 && edge > inner + 0.1;
}

// How much two tiles differ across their join, and the sharpest line inside either of them (each
// over the rows where both columns are opaque): a seam makes the join stand out above every line
// the pattern itself draws.
struct JOIN {
    double join, sharpest;
};

JOIN JoinOf(const VIEW& a, const VIEW& b, const VIEW& base)
{
    double sharpest = 0.0;
    for (const VIEW* v : {&a, &b, &base})
        for (int i = 0; i + 1 < v->w; i++)
            sharpest = std::max(sharpest, ColumnDiff(*v, i, *v, i + 1));
    return JOIN{ColumnDiff(a, a.w - 1, b, 0), sharpest};
}

class StagePictures : public ::testing::Test {
protected:
    // The pictures are drawn straight through the generator's library, plain and labelled.
    static void SetUpTestSuite()
    {
        s_Root = fs::temp_directory_path() / ("zorva-makedata-test-" + std::to_string(::getpid()));
        fs::remove_all(s_Root);
        for (bool bLabelled : {false, true}) {
            SetLabelled(bLabelled);
            CDataSet data((s_Root / (bLabelled ? "labelled" : "plain")).string());
            for (int nStage = 1; nStage <= 5; nStage++) {
                char szFolder[16];
                snprintf(szFolder, sizeof(szFolder), "Stage%02d/", nStage);
                WriteStagePictures(data, nStage, szFolder);
            }
            WritePeopleFiles(data);
            WriteIndexSheets(data);
            ASSERT_FALSE(data.Failed());
        }
        SetLabelled(false);
    }
    static void TearDownTestSuite() { fs::remove_all(s_Root); }

    // The whole data set through the generator program.
    static int Generate(const std::string& name)
    {
        const std::string command = std::string(ZORVA_MAKEDATA) + " " + (s_Root / name).string() + " > /dev/null";
        return std::system(command.c_str());
    }
    static std::string PathOf(const std::string& set, const std::string& rel)
    {
        return (s_Root / set / "GameData" / rel).string();
    }
    static std::string StageFile(int nStage, const std::string& name, const std::string& set = "plain")
    {
        char sz[16];
        snprintf(sz, sizeof(sz), "Stage%02d/", nStage);
        return PathOf(set, sz + name);
    }

    static fs::path s_Root;
};

fs::path StagePictures::s_Root;

const char* const kStagePictures[] = {"Ground.bmp", "Slope.bmp",     "Platform.bmp", "Crate.bmp", "Safe.bmp",
                                      "Spike.bmp",  "Lift.bmp",      "Glow.bmp",     "Haze.bmp",  "Tree.bmp",
                                      "Water.bmp",  "Big.bmp",       "FarGround.bmp", "Grass.bmp", "Sky.bmp",
                                      "Far2.bmp",   "Far3.bmp",      "Edge.bmp",     "Sign.bmp"};

// Pictures with the key colour: everything but the far backgrounds and the blended glow and haze.
bool IsKeyed(const std::string& name)
{
    return name != "Sky.bmp" && name != "Far2.bmp" && name != "Far3.bmp" && name != "Glow.bmp" && name != "Haze.bmp";
}

std::vector<uint8_t> ReadAll(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

} // namespace

TEST_F(StagePictures, TheSameGeneratorWritesTheSameBytes)
{
    ASSERT_EQ(Generate("first"), 0);
    ASSERT_EQ(Generate("again"), 0);
    int nFiles = 0;
    for (const auto& e : fs::recursive_directory_iterator(s_Root / "first")) {
        if (!e.is_regular_file())
            continue;
        const fs::path rel = fs::relative(e.path(), s_Root / "first");
        ASSERT_TRUE(fs::exists(s_Root / "again" / rel)) << rel;
        ASSERT_TRUE(ReadAll(e.path()) == ReadAll(s_Root / "again" / rel)) << rel;
        nFiles++;
    }
    int nAgain = 0;
    for (const auto& e : fs::recursive_directory_iterator(s_Root / "again"))
        nAgain += e.is_regular_file();
    EXPECT_EQ(nAgain, nFiles);
    EXPECT_GT(nFiles, 100);
    // The pictures drawn through the library are the program's.
    for (int nStage = 1; nStage <= 5; nStage++)
        for (const char* pszName : {"Ground.bmp", "Sky.bmp", "Far3.bmp"})
            EXPECT_TRUE(ReadAll(StageFile(nStage, pszName)) == ReadAll(StageFile(nStage, pszName, "first"))) << pszName;
}

TEST_F(StagePictures, TilesJoinTheirNeighboursWithoutASeam)
{
    for (int nStage = 1; nStage <= 5; nStage++) {
        const CBmpPixels ground(StageFile(nStage, "Ground.bmp")), slope(StageFile(nStage, "Slope.bmp"));
        const CBmpPixels platform(StageFile(nStage, "Platform.bmp")), edge(StageFile(nStage, "Edge.bmp"));
        ASSERT_EQ(ground.Width(), 128);
        ASSERT_EQ(slope.Width(), 192);
        const VIEW g1{&ground, 0, 0, 64, 64}, g2{&ground, 64, 0, 64, 64};
        const VIEW u1{&slope, 0, 0, 64, 64}, u2{&slope, 64, 0, 64, 64}, u3{&slope, 128, 0, 64, 64};
        const VIEW d3{&slope, 0, 64, 64, 64}, d2{&slope, 64, 64, 64, 64}, d1{&slope, 128, 64, 64, 64};
        const VIEW r1{&platform, 0, 0, 64, 16};
        // The ground's edges and the ground under ground.
        const VIEW gl{&edge, 0, 0, 64, 64}, gr{&edge, 64, 0, 64, 64}, gf{&edge, 128, 0, 64, 64};
        const VIEW fl{&edge, 0, 64, 64, 64}, fr{&edge, 64, 64, 64, 64};

        const struct {
            const char* pszPair;
            VIEW a, b;
        } kPairs[] = {{"G1 G1", g1, g1}, {"G1 G2", g1, g2}, {"G2 G1", g2, g1}, {"G2 G2", g2, g2},
                      {"U1 U2", u1, u2}, {"U2 U3", u2, u3}, {"U3 G1", u3, g1}, {"G1 D3", g1, d3},
                      {"D3 D2", d3, d2}, {"D2 D1", d2, d1}, {"R1 R1", r1, r1}, {"GL G1", gl, g1},
                      {"G1 GR", g1, gr}, {"GL GR", gl, gr}, {"GF GF", gf, gf}, {"FL GF", fl, gf},
                      {"GF FR", gf, fr}};
        for (const auto& pair : kPairs) {
            const JOIN j = JoinOf(pair.a, pair.b, pair.a.h == 16 ? r1 : g1);
            EXPECT_GE(j.join, 0.0) << "stage " << nStage << " " << pair.pszPair;
            EXPECT_LE(j.join, j.sharpest * 1.15 + 4.0) << "stage " << nStage << " " << pair.pszPair;
            // The surface runs on without a step.
            EXPECT_LE(std::abs(TopOf(pair.a, 63) - TopOf(pair.b, 0)), 1) << "stage " << nStage << " " << pair.pszPair;
        }
        // The second block keeps its detail away from its edges.
        EXPECT_EQ(ColumnDiff(g1, 0, g2, 0), 0.0) << "stage " << nStage;
        EXPECT_EQ(ColumnDiff(g1, 63, g2, 63), 0.0) << "stage " << nStage;
        // The slopes start and end level with the flat ground: U1 rises from its bottom edge, D1
        // comes down to it, U3 ends and D3 starts at the top like a block.
        EXPECT_GE(TopOf(u1, 0), 63) << "stage " << nStage;
        EXPECT_GE(TopOf(d1, 63), 63) << "stage " << nStage;
        EXPECT_EQ(TopOf(u3, 63), 0) << "stage " << nStage;
        EXPECT_EQ(TopOf(d3, 0), 0) << "stage " << nStage;
        EXPECT_EQ(TopOf(g1, 0), 0) << "stage " << nStage;
        // Below the cap, slopes are the flat block's material cell for cell, so they join as
        // blocks join each other.
        for (const VIEW& v : {u1, u2, u3, d3, d2, d1}) {
            for (int x = 0; x < 64; x++) {
                for (int y = TopOf(v, x) + 32; y < 64; y++)
                    ASSERT_EQ(v.At(x, y), g1.At(x, y)) << "stage " << nStage << " at " << x << ", " << y;
            }
        }
        // No frame round the blocks.
        for (const VIEW& v : {g1, g2}) {
            EXPECT_FALSE(HasFrameAt(v, 0)) << "stage " << nStage;
            EXPECT_FALSE(HasFrameAt(v, 63)) << "stage " << nStage;
        }
    }
}

TEST_F(StagePictures, FarLayersRepeatWithoutAJoinOrAFrame)
{
    for (int nStage = 1; nStage <= 5; nStage++) {
        for (const char* pszName : {"Sky.bmp", "Far2.bmp", "Far3.bmp"}) {
            const CBmpPixels pic(StageFile(nStage, pszName));
            ASSERT_GT(pic.Width(), 0) << pszName;
            const VIEW v{&pic, 0, 0, pic.Width(), pic.Height()};
            std::vector<double> inner;
            for (int i = 0; i + 1 < v.w; i++)
                inner.push_back(ColumnDiff(v, i, v, i + 1));
            std::sort(inner.begin(), inner.end());
            const double p95 = inner[inner.size() * 95 / 100];
            const double wrap = ColumnDiff(v, v.w - 1, v, 0);
            EXPECT_LE(wrap, p95 + 4.0) << "stage " << nStage << " " << pszName;
            EXPECT_FALSE(HasFrameAt(v, 0)) << "stage " << nStage << " " << pszName;
            EXPECT_FALSE(HasFrameAt(v, v.w - 1)) << "stage " << nStage << " " << pszName;
            // Tall enough that the camera's vertical play never uncovers the black behind.
            EXPECT_EQ(pic.Height() * (std::string(pszName) == "Far3.bmp" ? 2 : 1), 512) << pszName;
        }
    }
}

TEST_F(StagePictures, NoPictureHasAFringeOfNearlyKeyGreen)
{
    auto nearKey = [](uint32_t c) {
        return c != kKey && ((c >> 16) & 0xFF) < 24 && (c & 0xFF) < 24 && ((c >> 8) & 0xFF) >= 232;
    };
    for (int nStage = 1; nStage <= 5; nStage++) {
        for (const char* pszName : kStagePictures) {
            if (!IsKeyed(pszName))
                continue;
            const CBmpPixels pic(StageFile(nStage, pszName));
            ASSERT_GT(pic.Width(), 0) << pszName;
            for (int y = 0; y < pic.Height(); y++)
                for (int x = 0; x < pic.Width(); x++)
                    ASSERT_FALSE(nearKey(pic.Rgb(x, y))) << "stage " << nStage << " " << pszName << " " << x << ", " << y;
        }
    }
    const CBmpPixels cockpit(PathOf("plain", "System/CockpitSheet.bmp"));
    for (int y = 0; y < cockpit.Height(); y++)
        for (int x = 0; x < cockpit.Width(); x++)
            ASSERT_FALSE(nearKey(cockpit.Rgb(x, y))) << x << ", " << y;
}

TEST_F(StagePictures, NamesAreWrittenOnlyInTheLabelledVariant)
{
    for (int nStage = 1; nStage <= 5; nStage++) {
        std::vector<std::string> names(std::begin(kStagePictures), std::end(kStagePictures));
        names.push_back("People.bmp");
        for (const std::string& name : names) {
            const CBmpPixels plain(StageFile(nStage, name)), labelled(StageFile(nStage, name, "labelled"));
            ASSERT_EQ(plain.Width(), labelled.Width()) << name;
            ASSERT_EQ(plain.Height(), labelled.Height()) << name;
            int nChanged = 0;
            for (int y = 0; y < plain.Height(); y++) {
                for (int x = 0; x < plain.Width(); x++) {
                    const uint32_t a = plain.Rgb(x, y), b = labelled.Rgb(x, y);
                    if (a == b)
                        continue;
                    // The labelled variant only adds white letters with a black shadow.
                    ASSERT_TRUE(b == 0xFFFFFF || b == 0x000000) << name << " " << x << ", " << y;
                    nChanged++;
                }
            }
            EXPECT_GT(nChanged, 10) << "stage " << nStage << " " << name;
        }
    }
}

TEST_F(StagePictures, TheFiveStagesLookDifferent)
{
    // The mean colours of the top, the middle and the bottom of a picture (its opaque pixels).
    auto bands = [](const CBmpPixels& p) {
        std::vector<double> m(9, 0.0);
        int n[3] = {0, 0, 0};
        for (int y = 0; y < p.Height(); y++) {
            const int b = y * 3 / p.Height();
            for (int x = 0; x < p.Width(); x++) {
                const uint32_t v = p.Rgb(x, y);
                if (v == kKey)
                    continue;
                m[b * 3] += v >> 16;
                m[b * 3 + 1] += (v >> 8) & 0xFF;
                m[b * 3 + 2] += v & 0xFF;
                n[b]++;
            }
        }
        for (int i = 0; i < 9; i++)
            m[i] /= std::max(1, n[i / 3]);
        return m;
    };
    for (const char* pszName : {"Ground.bmp", "Sky.bmp", "Far2.bmp", "Far3.bmp"}) {
        std::vector<std::vector<double>> means;
        for (int nStage = 1; nStage <= 5; nStage++)
            means.push_back(bands(CBmpPixels(StageFile(nStage, pszName))));
        for (int a = 0; a < 5; a++) {
            for (int b = a + 1; b < 5; b++) {
                double d = 0.0;
                for (int i = 0; i < 9; i++)
                    d += std::abs(means[a][i] - means[b][i]);
                EXPECT_GT(d, 90.0) << pszName << ": stages " << a + 1 << " and " << b + 1;
            }
        }
    }
}
