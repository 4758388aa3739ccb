// The stage screens' pictures as the generator writes them: the sizes the screens lay out by, the
// key colour round each picture and never near it inside, shutters that cover and meet, the two
// halves of the demo caption, the tally's figure cells, chat lines that fit their window, names
// only in the labelled variant, and the same bytes on every run.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "ArtKit.h"
#include "DataSet.h"
#include "IndexSheets.h"
#include "ScreenPictures.h"
#include "StageFiles.h"
#include "support/BmpPixels.h"

namespace {

namespace fs = std::filesystem;

const uint32_t kKey = 0x00FF00;

struct REGION {
    int x, y, w, h;
};

bool NearKey(uint32_t c)
{
    return c != kKey && ((c >> 16) & 0xFF) < 24 && (c & 0xFF) < 24 && ((c >> 8) & 0xFF) >= 232;
}

std::string ReadText(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

class ScreenPictures : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_Root = fs::temp_directory_path() / ("zorva-screens-test-" + std::to_string(::getpid()));
        fs::remove_all(s_Root);
        for (const char* pszSet : {"plain", "labelled", "again"}) {
            SetLabelled(std::string(pszSet) == "labelled");
            CDataSet data((s_Root / pszSet).string());
            WriteIndexSheets(data);
            WriteScreenPictures(data);
            WriteStagePictures(data, 1, "Stage01/");
            ASSERT_FALSE(data.Failed());
        }
        SetLabelled(false);
        for (const char* pszIndex : {"SystemIndex.txt", "BossIndex.txt", "CockpitIndex.txt"})
            ReadIndex(PathOf("plain", std::string("System/") + pszIndex));
    }
    static void TearDownTestSuite() { fs::remove_all(s_Root); }

    static std::string PathOf(const std::string& set, const std::string& rel)
    {
        return (s_Root / set / "GameData" / rel).string();
    }
    static void ReadIndex(const std::string& path)
    {
        std::istringstream in(ReadText(path));
        std::string line;
        while (std::getline(in, line)) {
            char szName[64];
            int l, t, r, b;
            if (sscanf(line.c_str(), "#IMG_RGN %63s = %d:%d:%d:%d", szName, &l, &t, &r, &b) == 5)
                s_Regions[szName] = REGION{l, t, r - l + 1, b - t + 1};
        }
    }
    static REGION Region(const std::string& name) { return s_Regions.count(name) ? s_Regions[name] : REGION{}; }

    static fs::path s_Root;
    static std::map<std::string, REGION> s_Regions;
};

fs::path ScreenPictures::s_Root;
std::map<std::string, REGION> ScreenPictures::s_Regions;

TEST_F(ScreenPictures, RegionsHaveTheSizesTheScreensLayOutBy)
{
    // The tally's title flies (-123, -124) from the centre to rest with its corner on (65, 90).
    EXPECT_EQ(Region("StageClear.bmp").w, 264);
    EXPECT_EQ(Region("StageClear.bmp").h, 52);
    // The heroine's banner comes in 600 px from its own width off the left edge to x 280.
    EXPECT_EQ(Region("StageClearZorva.bmp").w, 320);
    EXPECT_EQ(Region("StageClearExtra.bmp").w, 320);
    // Ten figure cells of 16 x 29.
    EXPECT_EQ(Region("StageClearNumbers.bmp").w, 160);
    EXPECT_EQ(Region("StageClearNumbers.bmp").h, 29);
    // A 17 x 17 piece of the question is cut for the mark between yes and no.
    EXPECT_GE(Region("Really.bmp").w, 17);
    EXPECT_GE(Region("Really.bmp").h, 17);
    // The game-over title lands with its left edge at 30 and stays on screen.
    EXPECT_LE(30 + Region("GameOver.bmp").w, 640);
    for (const char* pszName : {"LifeBonus.bmp", "TimeBonus.bmp", "TargetBonus.bmp", "Total.bmp", "Bar.bmp", "Pause.bmp",
                                "ChallengeAgain1.bmp", "ChallengeAgain2.bmp", "ReturnToTitle1.bmp", "ReturnToTitle2.bmp",
                                "ReturnToGame1.bmp", "ReturnToGame2.bmp", "Yes1.bmp", "Yes2.bmp", "No1.bmp", "No2.bmp",
                                "DangerBeacon1.bmp", "DangerBeacon2.bmp", "BossWarning1.bmp", "BossWarning2.bmp"}) {
        EXPECT_GT(Region(pszName).w, 0) << pszName;
    }
    // The two looks of a choice are the same size.
    EXPECT_EQ(Region("Yes1.bmp").w, Region("Yes2.bmp").w);
    EXPECT_EQ(Region("ChallengeAgain1.bmp").h, Region("ChallengeAgain2.bmp").h);
    // The life and time figures stand at x 147 and 158 of their pictures, three cells wide.
    EXPECT_GE(Region("LifeBonus.bmp").w, 147 + 48);
    EXPECT_GE(Region("TimeBonus.bmp").w, 158 + 48);
}

TEST_F(ScreenPictures, KeyedPicturesHaveKeyEdgesAndNothingNearTheKeyInside)
{
    const CBmpPixels sheet(PathOf("plain", "System/SystemSheet.bmp"));
    ASSERT_GT(sheet.Width(), 0);
    for (const ARTREGION& a : ScreenRegions()) {
        if (std::string(a.pszIndexFile) != "SystemIndex.txt" || std::string(a.pszName) == "Bar.bmp")
            continue;
        const REGION r = Region(a.pszName);
        for (int y = r.y; y < r.y + r.h; y++)
            for (int x = r.x; x < r.x + r.w; x++)
                ASSERT_FALSE(NearKey(sheet.Rgb(x, y))) << a.pszName << " " << x << ", " << y;
        // Shapes and words on the key: its corners are transparent.
        EXPECT_EQ(sheet.Rgb(r.x, r.y), kKey) << a.pszName;
        EXPECT_EQ(sheet.Rgb(r.x + r.w - 1, r.y + r.h - 1), kKey) << a.pszName;
    }
    for (const char* pszFile : {"System/Ready.bmp", "System/Go.bmp", "System/DemoPlay.bmp", "Stage01/ChatWin1.bmp",
                                "Stage01/ChatWin2.bmp"}) {
        const CBmpPixels pic(PathOf("plain", pszFile));
        ASSERT_GT(pic.Width(), 0) << pszFile;
        int nOpaque = 0;
        for (int y = 0; y < pic.Height(); y++) {
            for (int x = 0; x < pic.Width(); x++) {
                ASSERT_FALSE(NearKey(pic.Rgb(x, y))) << pszFile << " " << x << ", " << y;
                nOpaque += pic.Rgb(x, y) != kKey;
            }
        }
        EXPECT_EQ(pic.Rgb(0, 0), kKey) << pszFile;
        EXPECT_GT(nOpaque, pic.Width() * pic.Height() / 5) << pszFile;
    }
}

// A picture laid over figures a player must read leaves them clear: where the screen puts it, its
// pixels over the figures are the key.
TEST_F(ScreenPictures, PicturesLaidOverFiguresLeaveThemClear)
{
    struct OVERLAY {
        const char* pszSheet;
        const char* pszRegion;
        int nCells;        // side by side, 60 px apart (the sub-weapon icons), or 1
        int x, y;          // where the screen draws the picture (a cell)
        int l, t, r, b;    // the figures, on the screen
    };
    const OVERLAY kOverlays[] = {
        // The tally's banner at rest on (280, 60) under the cockpit's score (y 46 to 80, a full
        // ten-digit score from x 391 to 635).
        {"System/SystemSheet.bmp", "StageClearZorva.bmp", 1, 280, 60, 380, 46, 640, 80},
        {"System/SystemSheet.bmp", "StageClearExtra.bmp", 1, 280, 60, 380, 46, 640, 80},
        // A replay slot's icon at (562, y - 12) beside its score (digits of 20 x 34 at y + 20, the
        // last one ending at x 600), for the row at y 0.
        {"System/CockpitSheet.bmp", "SubWeaponIcon.bmp", 4, 562, -12, 420, 20, 601, 54},
        // The warning on the life gauge at (120, 7), 200 x 16, while a fifth of it or less is left.
        {"System/CockpitSheet.bmp", "Danger1", 1, 120, 7, 120, 7, 161, 23},
        {"System/CockpitSheet.bmp", "Danger2", 1, 120, 7, 120, 7, 161, 23},
    };
    for (const OVERLAY& o : kOverlays) {
        const CBmpPixels sheet(PathOf("plain", o.pszSheet));
        const REGION r = Region(o.pszRegion);
        ASSERT_GT(r.w, 0) << o.pszRegion;
        const int nCellW = r.w / o.nCells;
        int nOpaque = 0, nCovering = 0;
        for (int c = 0; c < o.nCells; c++) {
            for (int y = 0; y < r.h; y++) {
                for (int x = 0; x < nCellW; x++) {
                    const bool bOpaque = sheet.Rgb(r.x + c * nCellW + x, r.y + y) != kKey;
                    const int sx = o.x + x, sy = o.y + y;
                    nOpaque += bOpaque;
                    nCovering += bOpaque && sx >= o.l && sx < o.r && sy >= o.t && sy < o.b;
                }
            }
        }
        EXPECT_EQ(nCovering, 0) << o.pszRegion;
        // Still a picture: a good part of it is drawn.
        EXPECT_GT(nOpaque, r.w * r.h / 4) << o.pszRegion;
    }
}

TEST_F(ScreenPictures, TheShuttersCoverTheirHalfAndTheirStripesMeetAtTheCentre)
{
    const CBmpPixels left(PathOf("plain", "System/GameOver1.bmp")), right(PathOf("plain", "System/GameOver2.bmp"));
    ASSERT_EQ(left.Width(), 320);
    ASSERT_EQ(left.Height(), 480);
    ASSERT_EQ(right.Width(), 320);
    ASSERT_EQ(right.Height(), 480);
    for (int y = 0; y < 480; y++) {
        for (int x = 0; x < 320; x++) {
            ASSERT_NE(left.Rgb(x, y), kKey) << x << ", " << y;
            ASSERT_NE(right.Rgb(x, y), kKey) << x << ", " << y;
        }
        // The hazard stripes of the two edges are mirror images: where they meet they join.
        ASSERT_EQ(left.Rgb(319, y), right.Rgb(0, y)) << y;
        ASSERT_EQ(left.Rgb(310, y), right.Rgb(9, y)) << y;
    }
}

TEST_F(ScreenPictures, TheDemoCaptionHasALitAndADimmedHalf)
{
    const CBmpPixels pic(PathOf("plain", "System/DemoPlay.bmp"));
    ASSERT_GT(pic.Width(), 0);
    ASSERT_EQ(pic.Height() % 2, 0);
    const int h = pic.Height() / 2;
    auto brightness = [&](int nHalf) {
        long sum = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < pic.Width(); x++) {
                const uint32_t c = pic.Rgb(x, nHalf * h + y);
                if (c != kKey)
                    sum += (c >> 16) + ((c >> 8) & 0xFF) + (c & 0xFF);
            }
        return sum;
    };
    EXPECT_GT(brightness(0), brightness(1) * 5 / 4);
    EXPECT_GT(brightness(1), 0);
}

TEST_F(ScreenPictures, EveryFigureCellHoldsItsFigure)
{
    const CBmpPixels sheet(PathOf("plain", "System/SystemSheet.bmp"));
    const REGION r = Region("StageClearNumbers.bmp");
    for (int i = 0; i < 10; i++) {
        int nOpaque = 0;
        for (int y = 0; y < r.h; y++)
            for (int x = 0; x < 16; x++)
                nOpaque += sheet.Rgb(r.x + i * 16 + x, r.y + y) != kKey;
        EXPECT_GT(nOpaque, 40) << "cell " << i;
        // Nothing on the cell's edge columns: a figure never bleeds into its neighbour.
        for (int y = 0; y < r.h; y++)
            ASSERT_EQ(sheet.Rgb(r.x + i * 16, r.y + y), kKey) << "cell " << i << " row " << y;
    }
}

// Lays the chat lines out as the message window types them: each text step goes on where the last
// ended, "\n" starts a line, 7 pixels a byte from x 110, lines 16 px apart from y 25.
TEST_F(ScreenPictures, TheChatLinesFitTheirWindows)
{
    const CBmpPixels win(PathOf("plain", "Stage01/ChatWin1.bmp"));
    // The chat centres a window at x 145: it shows whole when at most 290 wide.
    ASSERT_GT(win.Width(), 0);
    EXPECT_LE(win.Width(), 290);
    const std::string text = MakeStageText(1, false);
    int nChats = 0;
    for (size_t at = text.find("CHAT="); at != std::string::npos; at = text.find("CHAT=", at + 1)) {
        nChats++;
        std::string line = text.substr(at, text.find("\r\n", at) - at);
        // CHAT=picture:voice:text
        const size_t nText = line.find(':', line.find(':') + 1) + 1;
        const std::string chat = line.substr(nText);
        int x = 0, y = 0, nMaxX = 0, nDouble = 0;
        for (size_t i = 0; i < chat.size(); i++) {
            const unsigned char c = (unsigned char)chat[i];
            if (c == '\\' && i + 1 < chat.size() && (chat[i + 1] == 's' || chat[i + 1] == 'n')) {
                if (chat[i + 1] == 'n') {
                    x = 0;
                    y += 16;
                }
                i++;
                continue;
            }
            const bool bLead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
            if (bLead) {
                ASSERT_LT(i + 1, chat.size());
                const unsigned char t = (unsigned char)chat[i + 1];
                ASSERT_TRUE(t >= 0x40 && t <= 0xFC && t != 0x7F) << "bad trail byte at " << i;
                nDouble++;
                i++;
                x += 14;
            } else {
                x += 7;
            }
            nMaxX = std::max(nMaxX, x);
        }
        EXPECT_GT(nDouble, 10);  // Japanese
        EXPECT_LE(110 + nMaxX, win.Width() - 6) << line;
        EXPECT_LE(25 + y + 14, win.Height() - 4) << line;
    }
    EXPECT_GE(nChats, 2);
}

TEST_F(ScreenPictures, NamesAreWrittenOnlyInTheLabelledVariantAndTheBytesRepeat)
{
    for (const char* pszFile : {"System/Ready.bmp", "System/Go.bmp", "System/GameOver1.bmp", "System/DemoPlay.bmp",
                                "Stage01/ChatWin1.bmp", "System/SystemSheet.bmp", "System/BossSheet.bmp"}) {
        EXPECT_EQ(ReadText(PathOf("plain", pszFile)), ReadText(PathOf("again", pszFile))) << pszFile;
        const CBmpPixels plain(PathOf("plain", pszFile)), labelled(PathOf("labelled", pszFile));
        ASSERT_EQ(plain.Width(), labelled.Width());
        int nChanged = 0;
        for (int y = 0; y < plain.Height(); y++) {
            for (int x = 0; x < plain.Width(); x++) {
                const uint32_t a = plain.Rgb(x, y), b = labelled.Rgb(x, y);
                if (a != b) {
                    ASSERT_TRUE(b == 0xFFFFFF || b == 0x000000) << pszFile << " " << x << ", " << y;
                    nChanged++;
                }
            }
        }
        EXPECT_GT(nChanged, 10) << pszFile;
    }
}

} // namespace
