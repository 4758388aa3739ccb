// The sample data set against the stage loader: every stage the generator writes loads through a
// software device, and nothing in it draws a loader message but the enemy kinds still to come.
#include <gtest/gtest.h>

#include <string>

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
std::vector<std::string> UnexpectedMessages(const CStageData& data)
{
    std::vector<std::string> found;
    for (const std::string& strMessage : data.GetMessages()) {
        if (strMessage.rfind("ERROR 1 :", 0) != 0) {
            found.push_back(strMessage);
        }
    }
    return found;
}

} // namespace

TEST_F(GeneratedStages, EveryStageAndTheDemoLoadWithoutComplaint)
{
    struct {
        int nStage;
        int bDemo;
    } const kStages[] = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {1, 1}};
    for (const auto& stage : kStages) {
        CStageData data;
        data.SetServices(nullptr, nullptr);
        ASSERT_EQ(data.Load(g_lpD3DDevice, stage.nStage, stage.bDemo), 1)
            << "stage " << stage.nStage << (stage.bDemo ? " (demo)" : "");
        EXPECT_EQ(UnexpectedMessages(data), std::vector<std::string>())
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
