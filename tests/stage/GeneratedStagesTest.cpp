// The sample data set against the stage loader: every stage the generator writes loads through a
// software device, demo or not, and nothing in it draws a loader message but the enemy kinds still
// to come.
#include <gtest/gtest.h>

#include "rvm/rvm_stl.h"
#include "stage/StageData.h"
#include "support/DeviceFixture.h"
#include "support/GeneratedData.h"

namespace {

class GeneratedStages : public CDeviceFixture {
protected:
    void SetUp() override
    {
        CDeviceFixture::SetUp();
        LinkGeneratedData();
    }
};

// Messages other than "no such enemy kind" (ERROR 1 for an enemy code).
rvm::vector<rvm::string> UnexpectedMessages(const CStageData& data)
{
    rvm::vector<rvm::string> found;
    for (const rvm::string& strMessage : data.GetMessages()) {
        if (strMessage.rfind("ERROR 1 :", 0) != 0) {
            found.push_back(strMessage);
        }
    }
    return found;
}

} // namespace

TEST_F(GeneratedStages, EveryStageAndItsDemoLoadWithoutComplaint)
{
    struct {
        int nStage;
        int bDemo;
    } const kStages[] = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}};
    for (const auto& stage : kStages) {
        CStageData data;
        data.SetServices(nullptr, nullptr);
        ASSERT_EQ(data.Load(g_lpD3DDevice, stage.nStage, stage.bDemo), 1)
            << "stage " << stage.nStage << (stage.bDemo ? " (demo)" : "");
        EXPECT_EQ(UnexpectedMessages(data), rvm::vector<rvm::string>())
            << "stage " << stage.nStage << (stage.bDemo ? " (demo)" : "");
        // The main layer has ground under the start of every stage.
        bool bGround = false;
        for (int nRow = 0; nRow < 8; nRow++) {
            bGround = bGround || data.GetCell(3, nRow, 0) != nullptr;
        }
        EXPECT_TRUE(bGround) << "stage " << stage.nStage;
        data.Unload();
    }
}

// The stage's tables are the game's largest containers: their blocks come from the general heap,
// and every one of them goes back when the stage is gone (after a first load, which fills the
// process-wide picture and people caches once).
TEST_F(GeneratedStages, AStagesTablesLiveInTheGeneralHeapAndAllGoBack)
{
    CHeap* pHeap = GetGeneralHeap();
    {
        CStageData first;
        first.SetServices(nullptr, nullptr);
        ASSERT_EQ(first.Load(g_lpD3DDevice, 1, 0), 1);
    }
    for (int nStage = 1; nStage <= 5; nStage++) {
        const int nBefore = pHeap->m_nLive;
        const size_t nBytesBefore = pHeap->m_Mem.UsedBytes();
        {
            CStageData data;
            data.SetServices(nullptr, nullptr);
            ASSERT_EQ(data.Load(g_lpD3DDevice, nStage, 0), 1) << "stage " << nStage;
            EXPECT_GT(pHeap->m_nLive, nBefore + 10) << "stage " << nStage;
            EXPECT_GT(pHeap->m_Mem.UsedBytes(), nBytesBefore + 8 * 1024) << "stage " << nStage;
            EXPECT_EQ(pHeap->m_Mem.Check(), 1) << "stage " << nStage;
        }
        EXPECT_EQ(pHeap->m_nLive, nBefore) << "stage " << nStage;
        EXPECT_EQ(pHeap->m_Mem.UsedBytes(), nBytesBefore) << "stage " << nStage;
    }
}
