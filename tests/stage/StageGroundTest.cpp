// The generated stages' ground: the kinds that walk stand on it, and the arena keeps it flat until
// the scroll stops. (What her jump can clear is the fairness review's, StageFairnessTest.)
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "engine/Param.h"
#include "rvm/rvm_stl.h"
#include "stage/Object.h"
#include "stage/StageData.h"
#include "support/DeviceFixture.h"
#include "support/GeneratedData.h"

namespace {

const int kPit = INT_MIN / 2;

// The main or enemy layer as codes by global column and row (RR 1, the bottom, at index 0).
struct LAYERCODES {
    rvm::string rows[MAX_ROW_NUM];
    int Columns() const
    {
        size_t n = 0;
        for (const rvm::string& row : rows)
            n = std::max(n, row.size());
        return (int)n / 2;
    }
    // Rows stop where their last screen does: "00" beyond.
    rvm::string At(int nColumn, int nRR) const
    {
        const rvm::string& row = rows[nRR - 1];
        return (size_t)nColumn * 2 + 2 <= row.size() ? row.substr((size_t)nColumn * 2, 2) : "00";
    }
};

LAYERCODES ReadLayer(const CStageData& data, int nLayer)
{
    LAYERCODES codes;
    for (int nRR = 1; nRR <= MAX_ROW_NUM; nRR++) {
        const int nRow = MAX_ROW_NUM - nRR;
        for (int s = 0; s < data.GetRowCount(nLayer, nRow); s++)
            codes.rows[nRR - 1] += data.GetRow(nLayer, s, nRow)->text;
    }
    return codes;
}

class StageGround : public CDeviceFixture {
protected:
    void SetUp() override
    {
        CDeviceFixture::SetUp();
        LinkGeneratedData();
        ASSERT_EQ(LoadParamFile(ZORVA_TEST_DATA "/GameData/System/Param.txt"), 1);
    }
    void TearDown() override
    {
        ClearParams();
        CDeviceFixture::TearDown();
    }

    DWORD Attribute(CStageData& data, const rvm::string& code) const
    {
        CObject* pObject = code == "00" ? nullptr : data.GetObject(code);
        return pObject ? pObject->GetAttribute() : 0;
    }
    // Solid to her: touched and not shot away by the gun (a crate that no shot breaks stays).
    bool IsSolid(CStageData& data, const rvm::string& code) const
    {
        const DWORD dw = Attribute(data, code);
        const DWORD dwBreakable = OBJATTR_CRUSH & ~OBJATTR_CRUSH00;
        return (dw & OBJATTR_TOUCH) && !(dw & dwBreakable);
    }
    // Cells of the top of the ground above the ground line; a platform over a gap counts as ground.
    int GroundHeight(CStageData& data, const LAYERCODES& main, int nColumn) const
    {
        int nRR = 1;
        while (nRR <= MAX_ROW_NUM && (IsSolid(data, main.At(nColumn, nRR)) ||
                                      (Attribute(data, main.At(nColumn, nRR)) & OBJATTR_SLOPE)))
            nRR++;
        if (nRR > 1)
            return nRR - 2;
        for (nRR = 1; nRR <= MAX_ROW_NUM; nRR++)
            if (Attribute(data, main.At(nColumn, nRR)) & OBJATTR_RIDEON)
                return nRR - 1;
        return kPit;
    }
};

} // namespace

// Walkers (passers-by and the crawler) stand on the ground, clear of blocks: each on a cell whose
// neighbour below is solid and which is free itself.
TEST_F(StageGround, TheWalkersStandOnTheGround)
{
    for (int nStage = 1; nStage <= 5; nStage++) {
        CStageData data;
        data.SetServices(nullptr, nullptr);
        ASSERT_EQ(data.Load(g_lpD3DDevice, nStage, 0), 1) << "stage " << nStage;
        const LAYERCODES main = ReadLayer(data, STAGE_MAIN_LAYER);
        const LAYERCODES enemies = ReadLayer(data, STAGE_ENEMY_LAYER);
        int nWalkers = 0;
        for (int c = 0; c < enemies.Columns(); c++) {
            for (int nRR = 1; nRR <= MAX_ROW_NUM; nRR++) {
                const rvm::string code = enemies.At(c, nRR);
                if (code[0] != 'P' && code[0] != 'Q')
                    continue;
                nWalkers++;
                ASSERT_GE(nRR, 2) << "stage " << nStage << " column " << c << " " << code;
                EXPECT_TRUE(IsSolid(data, main.At(c, nRR - 1))) << "stage " << nStage << " column " << c << " " << code;
                EXPECT_FALSE(IsSolid(data, main.At(c, nRR))) << "stage " << nStage << " column " << c << " " << code;
            }
        }
        EXPECT_GE(nWalkers, 3) << "stage " << nStage;
        data.Unload();
    }
}

// The tally runs with the scroll stopped: the stop comes on a screen the map still holds, after the
// arena's loop, with flat ground from the arena to the end.
TEST_F(StageGround, TheArenaKeepsFlatGroundUntilTheScrollStops)
{
    for (int nStage = 1; nStage <= 5; nStage++) {
        CStageData data;
        data.SetServices(nullptr, nullptr);
        ASSERT_EQ(data.Load(g_lpD3DDevice, nStage, 0), 1) << "stage " << nStage;
        int nBoss = -1;
        int nStop = -1;
        for (const auto& entry : data.GetEventMap())
            for (const rvm::string& text : entry.second) {
                if (text.rfind("BOSS=", 0) == 0)
                    nBoss = entry.first;
                if (text == "XSPEED=0")
                    nStop = entry.first;
            }
        ASSERT_GE(nBoss, 1) << "stage " << nStage;
        EXPECT_GT(nStop, nBoss) << "stage " << nStage;
        const int nScreens = data.GetRowCount(STAGE_MAIN_LAYER, MAX_ROW_NUM - 1);
        EXPECT_GT(nScreens, nStop) << "stage " << nStage;
        const LAYERCODES main = ReadLayer(data, STAGE_MAIN_LAYER);
        const int nPerScreen = data.ColumnsPerScreen(STAGE_MAIN_LAYER);
        for (int c = 10 + (nBoss - 2) * nPerScreen; c < main.Columns(); c++)
            EXPECT_EQ(GroundHeight(data, main, c), 0) << "stage " << nStage << " column " << c;
        data.Unload();
    }
}
