// The enemy shots' and explosions' pictures as the generator writes them: the sizes the game cuts
// them by, black around every additive cell so no cell bleeds into its neighbour's texture, a
// fireball that grows, colour balls that dim row by row down to black, and keyed round shots.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/BmpPixels.h"
#include "support/TempFolder.h"

namespace {

const uint32_t kKey = 0x00FF00;

class BulletPictures : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_pFolder = new CTempFolder;
        const std::string strCommand = std::string(ZORVA_MAKEDATA) + " . > /dev/null";
        ASSERT_EQ(std::system(strCommand.c_str()), 0);
    }
    static void TearDownTestSuite()
    {
        delete s_pFolder;
        s_pFolder = nullptr;
    }
    static CBmpPixels Picture(const char* pszName)
    {
        return CBmpPixels((s_pFolder->Path() / "GameData/System" / pszName).string());
    }
    // The summed channels of the cell, and whether its edge is black all round.
    static long Light(const CBmpPixels& p, int x0, int y0, int w, int h, bool* pbBlackEdge)
    {
        long n = 0;
        *pbBlackEdge = true;
        for (int y = y0; y < y0 + h; y++) {
            for (int x = x0; x < x0 + w; x++) {
                const uint32_t c = p.Rgb(x, y);
                EXPECT_NE(c, kKey);
                n += (long)(c >> 16) + (long)((c >> 8) & 0xFF) + (long)(c & 0xFF);
                if ((x == x0 || y == y0 || x == x0 + w - 1 || y == y0 + h - 1) && c)
                    *pbBlackEdge = false;
            }
        }
        return n;
    }

    static CTempFolder* s_pFolder;
};

CTempFolder* BulletPictures::s_pFolder = nullptr;

TEST_F(BulletPictures, TheBombsTwelveFramesGrowFromAFlashInBlackCells)
{
    const CBmpPixels bomb = Picture("EnemyBomb.bmp");
    ASSERT_EQ(bomb.Width(), 640);
    ASSERT_EQ(bomb.Height(), 480);
    long nLast = 0;
    for (int i = 0; i < 12; i++) {
        bool bBlackEdge = false;
        const long n = Light(bomb, 160 * (i % 4), 160 * (i / 4), 160, 160, &bBlackEdge);
        EXPECT_TRUE(bBlackEdge) << i;
        EXPECT_GT(n, 0) << i;
        if (i > 0 && i < 6) {
            EXPECT_GT(n, nLast) << i;  // the fireball swells
        }
        nLast = n;
    }
    // The first frame is hot at its centre.
    EXPECT_GT(bomb.Rgb(80, 80) & 0xFF, 0x80u);
}

TEST_F(BulletPictures, ColourBallsDimRowByRowToBlackAndStarsFillTheirCells)
{
    const CBmpPixels balls = Picture("ColorBall.bmp");
    ASSERT_EQ(balls.Width(), 160);
    ASSERT_EQ(balls.Height(), 200);
    for (int c = 0; c < 8; c++) {
        long nLast = -1;
        for (int r = 0; r < 10; r++) {
            bool bBlackEdge = false;
            const long n = Light(balls, 20 * c, 20 * r, 20, 20, &bBlackEdge);
            EXPECT_TRUE(bBlackEdge);
            if (r > 0) {
                EXPECT_LT(n, nLast) << c << " " << r;
            }
            nLast = n;
        }
        EXPECT_EQ(nLast, 0);
    }
    const CBmpPixels stars = Picture("RotateStar.bmp");
    ASSERT_EQ(stars.Width(), 320);
    ASSERT_EQ(stars.Height(), 320);
    for (int f = 0; f < 10; f++) {
        for (int k = 0; k < 10; k++) {
            bool bBlackEdge = false;
            EXPECT_GT(Light(stars, 32 * k, 32 * f, 32, 32, &bBlackEdge), 0);
        }
    }
    // A rotation frame differs from the next.
    bool b = false;
    EXPECT_NE(Light(stars, 0, 0, 32, 16, &b), Light(stars, 0, 32, 32, 16, &b));
    const CBmpPixels big = Picture("EnemyShot3.bmp"), flash = Picture("FlashLightR.bmp");
    EXPECT_EQ(big.Width(), 32);
    EXPECT_EQ(flash.Height(), 32);
    EXPECT_EQ(big.Rgb(0, 0), 0u);
    EXPECT_EQ(flash.Rgb(31, 0), 0u);
}

TEST_F(BulletPictures, TheShotsAreRoundAndKeyedWithoutAGreenFringe)
{
    const CBmpPixels sheet = Picture("SystemSheet.bmp");
    ASSERT_GT(sheet.Width(), 0);
    // The first two regions of the system sheet: 12 x 12 at (0, 0) and 16 x 16 at (14, 0).
    const int kX[2] = {0, 14}, kSize[2] = {12, 16};
    for (int s = 0; s < 2; s++) {
        const int x0 = kX[s], n = kSize[s];
        EXPECT_EQ(sheet.Rgb(x0, 0), kKey);
        EXPECT_EQ(sheet.Rgb(x0 + n - 1, n - 1), kKey);
        EXPECT_NE(sheet.Rgb(x0 + n / 2, n / 2), kKey);
        for (int y = 0; y < n; y++) {
            for (int x = x0; x < x0 + n; x++) {
                const uint32_t c = sheet.Rgb(x, y);
                const bool bNearlyKey = c != kKey && (c >> 16) < 0x20 && ((c >> 8) & 0xFF) > 0xE0 && (c & 0xFF) < 0x20;
                EXPECT_FALSE(bNearlyKey) << x << "," << y;
            }
        }
    }
}

TEST_F(BulletPictures, EachLaserColourHoldsTwoMirroredHeadsAndABodyThatFadesToBlackAtItsEdges)
{
    const char* const kNames[3] = {"EnemyLaserB128.bmp", "EnemyLaserG128.bmp", "EnemyLaserR128.bmp"};
    uint32_t dwBody[3] = {};
    for (int c = 0; c < 3; c++) {
        const CBmpPixels laser = Picture(kNames[c]);
        ASSERT_EQ(laser.Width(), 256) << c;
        ASSERT_EQ(laser.Height(), 128) << c;
        // The body: lit on its axis, black at its top and bottom rows, the same down both halves.
        for (int x = 124; x < 156; x++) {
            EXPECT_NE(laser.Rgb(x, 64), 0u) << x;
            EXPECT_EQ(laser.Rgb(x, 0), 0u) << x;
            EXPECT_EQ(laser.Rgb(x, 127), 0u) << x;
        }
        // Between the parts nothing, so no texture takes a neighbour's light.
        EXPECT_EQ(laser.Rgb(100, 64), 0u);
        EXPECT_EQ(laser.Rgb(170, 64), 0u);
        // The heads narrow to their tips (column 0 for a beam pointing left, 255 for one pointing
        // right) and join the body at full height.
        int nJoin = 0, nTip = 0, nLeftJoin = 0, nLeftTip = 0;
        for (int y = 0; y < 128; y++) {
            nJoin += laser.Rgb(192, y) != 0u;
            nTip += laser.Rgb(250, y) != 0u;
            nLeftJoin += laser.Rgb(63, y) != 0u;
            nLeftTip += laser.Rgb(5, y) != 0u;
        }
        EXPECT_GT(nJoin, 2 * nTip);
        EXPECT_NEAR(nLeftJoin, nJoin, 2);
        EXPECT_NEAR(nLeftTip, nTip, 2);
        dwBody[c] = laser.Rgb(140, 40);
    }
    // Blue, green and red glows off the white core.
    EXPECT_GT(dwBody[0] & 0xFF, dwBody[0] >> 16);
    EXPECT_GT((dwBody[1] >> 8) & 0xFF, dwBody[1] >> 16);
    EXPECT_GT(dwBody[2] >> 16, dwBody[2] & 0xFF);
}

TEST_F(BulletPictures, TheHomingMissileIsKeyedAndTheChargePuffSitsOnBlack)
{
    const CBmpPixels homing = Picture("MSZ006Missile.bmp"), puff = Picture("smoke2.bmp");
    ASSERT_EQ(homing.Width(), 40);
    ASSERT_EQ(homing.Height(), 16);
    EXPECT_EQ(homing.Rgb(0, 0), kKey);
    EXPECT_EQ(homing.Rgb(39, 15), kKey);
    // The red nose on the left (it is drawn turned half round), the body in the middle.
    EXPECT_GT(homing.Rgb(4, 8) >> 16, (homing.Rgb(4, 8) >> 8) & 0xFF);
    EXPECT_NE(homing.Rgb(20, 8), kKey);
    ASSERT_EQ(puff.Width(), 64);
    bool bBlack = false;
    EXPECT_GT(Light(puff, 0, 0, 64, 64, &bBlack), 0);
    EXPECT_TRUE(bBlack);
}

} // namespace
