#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "stage/EnemyFactory.h"
#include "stage/Object.h"
#include "stage/ObjectLabel.h"
#include "stage/StageData.h"
#include "stage/StageEvent.h"
#include "support/TempFolder.h"

namespace {

// A running stage of the test: writes down every call-back.
class CEventLog : public IStageEventTarget {
public:
    void SetBg0Record(BG0RECORD* pRecord) override
    {
        m_pBg0 = pRecord;
        m_Calls.push_back("BG0");
    }
    int IsBossBattle() override { return m_bBoss; }
    void StartBossWarning() override { m_Calls.push_back("WARNING"); }
    void StartDanger(int x, int y, int n, int bChatSound) override
    {
        m_Calls.push_back("DANGER " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(n) + " " +
                          std::to_string(bChatSound));
    }
    void AddChat(CMsgWin*) override { m_Calls.push_back("CHAT"); }
    void StartBoss(CObjectLabel*, int nBossNumber) override { m_Calls.push_back("BOSS " + std::to_string(nBossNumber)); }
    void SetConstructive(int bOn) override { m_Calls.push_back("CONSTRUCTIVE " + std::to_string(bOn)); }
    void StartAerialMode() override { m_Calls.push_back("AERIAL"); }

    int m_bBoss = 0;
    BG0RECORD* m_pBg0 = nullptr;
    std::vector<std::string> m_Calls;
};

class StageEvents : public ::testing::Test {
protected:
    CStageData& Read(const std::string& text)
    {
        CTempFolder::Put("Stage.txt", text);
        m_pData = std::make_unique<CStageData>();
        EXPECT_EQ(m_pData->ReadDefinition("Stage.txt"), 1);
        return *m_pData;
    }
    int Run(int nScreen)
    {
        m_pData->RunEvents(&m_Log, &nScreen);
        return nScreen;
    }

    CTempFolder m_Folder;
    std::unique_ptr<CStageData> m_pData;
    CEventLog m_Log;
};

TEST_F(StageEvents, LoopFollowsTheBossCondition)
{
    Read("#001XXX:LOOP=3\r\n#002XXX:LOOP=3:Boss\r\n#003XXX:LOOP=4:NoBoss\r\n#004XXX:LOOP=3:Maybe\r\n"
         "#005XXX:LOOP\r\n");
    EXPECT_EQ(Run(1), 3);
    EXPECT_EQ(Run(2), 2);
    EXPECT_EQ(Run(3), 4);
    EXPECT_EQ(Run(4), 4);
    EXPECT_EQ(Run(5), 5);
    m_Log.m_bBoss = 1;
    EXPECT_EQ(Run(2), 3);
    EXPECT_EQ(Run(3), 3);
    EXPECT_EQ(Run(9), 9);  // a screen without events
}

TEST_F(StageEvents, LoopBelowOneIsReportedAtLoad)
{
    CStageData& d = Read("#001XXX:LOOP=0\r\n#002XXX:LOOP=2\r\n");
    d.PrepareEvents(nullptr);
    EXPECT_EQ(d.CountMessages(17), 1);
}

TEST_F(StageEvents, DangerBeaconsAndTheFirstDangerFlag)
{
    Read("#006XXX:DANGER=100:80:3,\r\n#006XXX:DANGER=560:240\r\n#006XXX:DANGER=Boss\r\n#006XXX:DANGER=7\r\n");
    Run(6);
    ASSERT_EQ(m_Log.m_Calls.size(), 3u);
    EXPECT_EQ(m_Log.m_Calls[0], "DANGER 100 400 3 1");
    EXPECT_EQ(m_Log.m_Calls[1], "DANGER 560 240 1 0");
    EXPECT_EQ(m_Log.m_Calls[2], "WARNING");
    m_Log.m_Calls.clear();
    Run(6);  // the flag belongs to one call
    EXPECT_EQ(m_Log.m_Calls[0], "DANGER 100 400 3 1");
}

TEST_F(StageEvents, XSpeedRequestsTheTransition)
{
    CStageData& d = Read("#004XXX:XSPEED=6.5\r\n");
    g_nXSpeedState = 0;
    Run(4);
    EXPECT_EQ(d.m_fXSpeed, 6.5f);
    EXPECT_EQ(g_nXSpeedState, 1);
    d.Update();
    d.Update();
    EXPECT_EQ(d.GetXSpeedDelta(), -3.5f);
    d.Reset();
}

TEST_F(StageEvents, ModesNamesAndUnknownEvents)
{
    Read("#002XXX:CONSTRUCTIVE=On,CONSTRUCTIVE=Off\r\n#002XXX:AERIALMODE\r\n#002XXX:aerialmode\r\n"
         "#002XXX:CHAT=Win.bmp:Voice.wav:Hi\r\n#002XXX:BOSS=Nobody\r\n#002XXX:PLAY\r\n");
    Run(2);
    // Names are case-sensitive: the lower-case one is ignored, like the rest of screen 2's.
    ASSERT_EQ(m_Log.m_Calls.size(), 2u);
    EXPECT_EQ(m_Log.m_Calls[0], "CONSTRUCTIVE 1");
    EXPECT_EQ(m_Log.m_Calls[1], "AERIAL");
    Run(3);
    ASSERT_EQ(m_Log.m_Calls.size(), 3u);
    EXPECT_EQ(m_Log.m_Calls[2], "CONSTRUCTIVE 0");
}

TEST_F(StageEvents, Bg0OffKeepsARecordWithoutPicture)
{
    CStageData& d = Read("#000XXX:BG0=DawnOff\r\n#000XXX:BG0=SkyOff\r\n#003XXX:BG0=Missing.bmp\r\n"
                         "#004XXX:BG0=NightOff:200%\r\n");
    d.PrepareEvents(nullptr);
    BG0RECORD* p0 = d.FindBG0(0);
    ASSERT_NE(p0, nullptr);
    EXPECT_EQ(p0->lpSurface, nullptr);
    EXPECT_EQ(p0->picture, rvm::string(d.m_szStageDir) + "SkyOff");  // the later one replaced the first
    // The picture that cannot be loaded is dropped: screen 3 finds screen 0's record.
    EXPECT_EQ(d.FindBG0(3), p0);
    ASSERT_NE(d.FindBG0(4), p0);
    EXPECT_EQ(d.FindBG0(4)->scale, "200%");
    Run(3);
    EXPECT_EQ(m_Log.m_pBg0, p0);
    EXPECT_EQ(CreateBG0Surface(nullptr, nullptr), 0);
}

TEST_F(StageEvents, BossWithoutAKindMakesNoLabel)
{
    CStageData& d = Read("#009XXX:BOSS=M.Zorva\r\n#009XXX:BOSS=Stranger\r\n#009XXX:BOSS\r\n");
    d.PrepareEvents(nullptr);
    EXPECT_TRUE(d.m_Bosses.empty());
    EXPECT_EQ(d.CountMessages(1), 2);
    Run(9);
    EXPECT_TRUE(m_Log.m_Calls.empty());
}

// A boss label of the test, with a stand-in kind, to follow the BOSS event through.
int g_nBossSpawns = 0;
class CTestBossLabel : public CObjectLabel {
public:
    void Spawn() override { g_nBossSpawns++; }
};

TEST_F(StageEvents, BossLabelsArePreparedAndSpawned)
{
    g_nBossSpawns = 0;
    CStageData& d = Read("#009XXX:BOSS=ZZ.M.Zorva\r\n#010XXX:BOSS=ZZ.M.Zorva\r\n");
    ENEMYMAKERS makers;
    makers.NewKind = [](ENEMYKIND, const char* pszText, int) -> CObject* { return new CObject(pszText); };
    makers.NewLabel = [](CObject* pKind) -> CObjectLabel* {
        CObjectLabel* p = new CTestBossLabel;
        p->SetObject(pKind);
        return p;
    };
    SetEnemyMakers(makers);
    d.PrepareEvents(nullptr);
    ASSERT_EQ(d.m_Bosses.size(), 1u);  // the second replaced the first
    CObjectLabel* pBoss = d.m_Bosses["ZZ.M.Zorva"];
    EXPECT_EQ(pBoss->GetNumber(), 10);
    Run(10);
    EXPECT_EQ(g_nBossSpawns, 1);
    ASSERT_EQ(m_Log.m_Calls.size(), 1u);
    EXPECT_EQ(m_Log.m_Calls[0], "BOSS 2");
    d.Unload();
    SetEnemyMakers(ENEMYMAKERS());
}

}  // namespace
