#include <gtest/gtest.h>

#include <memory>

#include "rvm/rvm_stl.h"
#include "stage/EnemyFactory.h"
#include "stage/Object.h"
#include "stage/ObjectLabel.h"
#include "stage/StageData.h"
#include "support/TempFolder.h"

namespace {

// Lines joined with CR LF, as the game's text files are written.
rvm::string CrLf(std::initializer_list<const char*> lines)
{
    rvm::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

class StageDataRead : public ::testing::Test {
protected:
    // Reads the lines as a definition file into a fresh stage data.
    CStageData& Read(std::initializer_list<const char*> lines)
    {
        CTempFolder::Put("Stage.txt", CrLf(lines));
        m_pData = std::make_unique<CStageData>();
        EXPECT_EQ(m_pData->ReadDefinition("Stage.txt"), 1);
        return *m_pData;
    }
    rvm::string RowText(int nLayer, int nScreen, int nRow)
    {
        const STAGEROW* p = m_pData->GetRow(nLayer, nScreen, nRow);
        return p ? p->text : rvm::string("<none>");
    }

    CTempFolder m_Folder;
    std::unique_ptr<CStageData> m_pData;
};

rvm::string Empties(int n)
{
    rvm::string s;
    for (int i = 0; i < n; i++)
        s += "00";
    return s;
}

TEST(StageDataModel, NewDataHasTheConstructorValues)
{
    auto p = std::make_unique<CStageData>();
    for (int i = 0; i < BG_NUM; i++) {
        EXPECT_EQ(p->m_vRatio[i].x, 1.0f);
        EXPECT_EQ(p->m_vRatio[i].y, 1.0f);
        EXPECT_EQ(p->m_vVelocity[i].x, 10.0f);
        EXPECT_EQ(p->m_vVelocity[i].y, 0.0f);
    }
    EXPECT_EQ(p->m_fXSpeed, -1.0f);
    EXPECT_EQ(p->m_nStageNo, -1);
    EXPECT_EQ(p->m_nShotLevel, 1);
    EXPECT_EQ(p->GetCell(3, 0, 0), nullptr);
    EXPECT_EQ(p->GetRowCount(3, 8), 0);
}

TEST(StageDataModel, LayerLettersBothWays)
{
    EXPECT_EQ(LayerFromLetter('A'), 1);
    EXPECT_EQ(LayerFromLetter('c'), 3);
    EXPECT_EQ(LayerFromLetter('E'), 6);
    EXPECT_EQ(LayerFromLetter('x'), 7);
    EXPECT_EQ(LayerFromLetter('F'), -1);
    EXPECT_EQ(LetterFromLayer(4), 'D');
    EXPECT_EQ(LetterFromLayer(6), 'E');
    EXPECT_EQ(LetterFromLayer(5), (char)0xFF);
    EXPECT_EQ(LetterFromLayer(0), (char)0xFF);
}

TEST_F(StageDataRead, MissingFileFails)
{
    auto p = std::make_unique<CStageData>();
    EXPECT_EQ(p->ReadDefinition("NoSuchStage.txt"), 0);
}

TEST_F(StageDataRead, DirectivesMatchByPrefixAndCheckTheirValueCounts)
{
    CStageData& d = Read({
        "// header comment",
        "#XFIRSTX 8",
        "#BGSPEED0 0.5:0.5, 1",
        "#BGSPEED1 0.5:0.25",
        "#BGSPEED2 0.75",
        "#BGSPEED4 1.5:2",
        "#SHOTLEVEL 3",
        "#BGSPEED3 4:4",
    });
    EXPECT_EQ(d.m_vVelocity[3].x, 8.0f);
    EXPECT_EQ(d.m_vRatio[0].x, 1.0f);  // the two-value line changed nothing
    EXPECT_EQ(d.CountMessages(10), 1);
    EXPECT_EQ(d.CountMessages(11), 1);  // a value without x:y
    EXPECT_EQ(d.CountMessages(13), 2);
    EXPECT_NE(d.GetMessages()[1].find("(3)"), rvm::string::npos);  // line numbers count the comment
    EXPECT_EQ(d.m_vVelocity[1].x, 4.0f);
    EXPECT_EQ(d.m_vVelocity[1].y, 0.0f);
    EXPECT_EQ(d.m_vVelocity[4].x, 12.0f);
    EXPECT_EQ(d.m_vVelocity[0].x, 8.0f);
    EXPECT_EQ(d.m_vRatio[3].x, 1.0f);  // the main layer's ratio is always 1
    EXPECT_EQ(d.m_nShotLevel, 3);
    EXPECT_EQ(d.m_vVelocityInit[4].x, 12.0f);
    EXPECT_EQ(d.ColumnsPerScreen(1), 5);
    EXPECT_EQ(d.ColumnsPerScreen(4), 15);
}

TEST_F(StageDataRead, DirectiveValueCountErrors)
{
    CStageData& d = Read({"#XFIRST", "#XFIRST 1, 2", "#SHOTLEVEL 1,2", "#BGSPEED4 ,"});
    EXPECT_EQ(d.CountMessages(9), 2);  // the line end after "#XFIRST" is the blank after the keyword
    EXPECT_EQ(d.CountMessages(37), 1);
    EXPECT_EQ(d.CountMessages(12), 1);
    EXPECT_EQ(d.CountMessages(13), 4);
    EXPECT_EQ(d.m_vVelocity[3].x, 10.0f);
}

TEST_F(StageDataRead, RowsArePaddedPerLayerAndScreen)
{
    CStageData& d = Read({
        "#BGSPEED1 0.5:1",
        "#003A01:0101",
        "#000A02:01",
        "#001A02:01,0102",
        "#OBJECT01 Ground.bmp, TOUCH",
        "#OBJECT11 Crate.bmp, TOUCH",
        "#000C01:010203040506070809101112,0101",
    });
    EXPECT_EQ(d.GetRowCount(1, 7), 4);
    EXPECT_EQ(RowText(1, 3, 7), "0101" + Empties(3));  // ratio 0.5: five columns
    EXPECT_EQ(RowText(1, 0, 7), Empties(10));          // screen 0 always has ten
    EXPECT_EQ(RowText(1, 1, 7), Empties(5));
    EXPECT_EQ(RowText(1, 0, 6), "01" + Empties(9));
    EXPECT_EQ(RowText(1, 2, 6), "0102" + Empties(3));
    // Twelve codes on a ten-column screen: reported and kept, so they run on into the next
    // screen's columns, and that screen's codes come two columns later.
    EXPECT_EQ(d.CountMessages(8), 1);
    EXPECT_EQ(RowText(3, 0, 7), "010203040506070809101112");
    EXPECT_EQ(RowText(3, 1, 7), "0101" + Empties(8));
    d.BuildLayerLabels(nullptr, 3);
    ASSERT_EQ(d.GetCellCount(3, 7), 22);
    CObjectLabel* pEleventh = d.GetCell(3, 7, 10);
    ASSERT_NE(pEleventh, nullptr);
    EXPECT_STREQ(pEleventh->GetName(), "11");
    int nColumn = -1;
    pEleventh->GetCell(&nColumn, nullptr);
    EXPECT_EQ(pEleventh->GetNumber(), 0);
    EXPECT_EQ(nColumn, 10);
    EXPECT_EQ(d.GetCell(3, 7, 11), nullptr);
    ASSERT_NE(d.GetCell(3, 7, 12), nullptr);
    EXPECT_EQ(d.GetCell(3, 7, 12)->GetNumber(), 1);
    EXPECT_NE(d.GetCell(3, 7, 13), nullptr);
    EXPECT_EQ(d.GetCell(3, 7, 14), nullptr);
    EXPECT_EQ(d.GetCell(3, 7, 22), nullptr);
    CObjectLabel* column[MAX_ROW_NUM];
    d.GetColumn(3, 12 * STAGE_CELL_SIZE, column);
    EXPECT_EQ(column[7], d.GetCell(3, 7, 12));
}

TEST_F(StageDataRead, AbsurdRatiosPlaceNothingAndPointsFarAwayFindNoCell)
{
    CStageData& d = Read({"#BGSPEED1 -1:1", "#BGSPEED2 1e30:1", "#XFIRST 1e30", "#001A01:0101", "#001B01:0101"});
    EXPECT_EQ(d.ColumnsPerScreen(1), 0);
    EXPECT_EQ(d.ColumnsPerScreen(2), STAGE_FIELD_MAX);
    // No column on the layer: both codes are too many, reported and kept.
    EXPECT_EQ(RowText(1, 1, 7), "0101");
    EXPECT_EQ(d.CountMessages(8), 1);
    D3DVECTOR v{{0.0f}, {100.0f}, {0.0f}};
    EXPECT_EQ(d.GetCellAt(3, 704, v), nullptr);
}

TEST_F(StageDataRead, EmptyTokensCountAsScreensAndGapsAreFilled)
{
    CStageData& d = Read({"#002A01:,0102"});
    ASSERT_EQ(d.GetRowCount(1, 7), 4);
    EXPECT_EQ(RowText(1, 2, 7), Empties(10));
    EXPECT_EQ(RowText(1, 3, 7), "0102" + Empties(8));
    EXPECT_EQ(d.GetRow(1, 3, 7)->nScreen, 3);
    EXPECT_EQ(d.GetRow(1, 1, 7)->nScreen, 1);
}

TEST_F(StageDataRead, AnOutOfOrderRowIsAppendedAsTheNextScreen)
{
    CStageData& d = Read({"#007B03:0707", "#005B03:0505"});
    ASSERT_EQ(d.GetRowCount(2, 5), 9);
    EXPECT_EQ(RowText(2, 7, 5), "0707" + Empties(8));
    EXPECT_EQ(RowText(2, 8, 5), "0505" + Empties(8));
    EXPECT_EQ(RowText(2, 5, 5), Empties(10));
}

TEST_F(StageDataRead, GroupsAreVerticalSlicesOfTheXRows)
{
    CStageData& d = Read({
        "#009C02:1111",
        "#010C02:2222",
        "#010C05:5555",
        "#999X02:0101,0202",
        "#999X00:G1,G2",
        "#010C00:G1",
        "#011D00:G2",
    });
    const STAGEGROUP* g1 = d.GetGroup("G1");
    const STAGEGROUP* g2 = d.GetGroup("G2");
    ASSERT_NE(g1, nullptr);
    ASSERT_NE(g2, nullptr);
    ASSERT_NE(g1->pRows[6], nullptr);
    EXPECT_EQ(g1->pRows[6]->text, "0101");
    EXPECT_EQ(g2->pRows[6]->text, "0202");
    for (int r = 0; r < MAX_ROW_NUM; r++) {
        if (r != 6) {
            EXPECT_EQ(g1->pRows[r], nullptr);
        }
    }
    // The group replaces only the rows it has, and only at its screen.
    EXPECT_EQ(RowText(3, 10, 6), "0101" + Empties(8));
    EXPECT_EQ(RowText(3, 9, 6), "1111" + Empties(8));
    EXPECT_EQ(RowText(3, 10, 3), "5555" + Empties(8));
    EXPECT_EQ(d.CountMessages(14), 2);  // four characters for ten columns, on C and on D
    // D had no row: the group's row is appended after empty screens.
    EXPECT_EQ(d.GetRowCount(4, 6), 12);
    EXPECT_EQ(RowText(4, 11, 6), "0202" + Empties(8));
    // Group rows are event texts of their screens too; they run as no keyword.
    ASSERT_NE(d.GetEvents(999), nullptr);
    EXPECT_EQ((*d.GetEvents(999))[0], "0101");
}

TEST_F(StageDataRead, GroupErrorsAndPendingRows)
{
    CStageData& d = Read({
        "#999X01:AAAA,BBBB,CCCC",
        "#999X03:DDDD",
        "#999X00:",
        "#999X00:K1,,K3",
        "#999X01:EEEE",
        "#999X00:K1",
        "#001C00:Nope",
    });
    // The name line without names left the rows pending for the next one.
    const STAGEGROUP* k3 = d.GetGroup("K3");
    ASSERT_NE(k3, nullptr);
    ASSERT_NE(k3->pRows[7], nullptr);
    EXPECT_EQ(k3->pRows[7]->text, "CCCC");
    ASSERT_NE(k3->pRows[5], nullptr);
    EXPECT_EQ(k3->pRows[5]->text, "");  // the row had fewer tokens than the slice
    ASSERT_NE(d.GetGroup(""), nullptr);
    EXPECT_EQ(d.GetGroup("")->pRows[7]->text, "BBBB");
    EXPECT_EQ(d.CountMessages(16), 1);
    EXPECT_EQ(d.GetGroup("K1")->pRows[7]->text, "EEEE");
    EXPECT_EQ(d.GetGroup("K1")->pRows[5], nullptr);
    EXPECT_EQ(d.CountMessages(15), 1);
}

TEST_F(StageDataRead, EventsAreKeptByScreenInFileOrder)
{
    CStageData& d = Read({
        "#003XXX:PLAY=Horn.wav,,BG0=Far.bmp",
        "#003xx:BGM=Off",
        "#003XXX:BGM=Stage.wav:0",
        "#003XXX : LOOP=1",
        "#BG0=X:Y",
    });
    ASSERT_NE(d.GetEvents(3), nullptr);
    const rvm::vector<rvm::string>& e3 = *d.GetEvents(3);
    ASSERT_EQ(e3.size(), 2u);
    EXPECT_EQ(e3[0], "PLAY=Horn.wav");
    EXPECT_EQ(e3[1], "BGM=Stage.wav:0");
    EXPECT_EQ(d.GetEvents(4), nullptr);
    ASSERT_NE(d.GetEvents(5), nullptr);
    EXPECT_EQ((*d.GetEvents(5))[0], "BG0=Far.bmp");
}

TEST_F(StageDataRead, CommentsAndTheWhiteSpaceSet)
{
    CStageData& d = Read({
        "\t @#000A01:0101 // comment",
        "\x81\x40#001A01:0202##more",
        "##000A02:0303",
        "   ",
        "#000A03:0404\t@",
    });
    EXPECT_EQ(RowText(1, 0, 7), "0101" + Empties(8));
    EXPECT_EQ(RowText(1, 1, 7), "0202" + Empties(8));
    EXPECT_EQ(d.GetRowCount(1, 6), 0);
    EXPECT_EQ(RowText(1, 0, 5), "0404" + Empties(8));
}

TEST_F(StageDataRead, MalformedHeadersAndTokensLeaveTheDataIntact)
{
    CStageData& d = Read({
        "#000Q01:0101",     // no such layer
        "#000A09:0101",     // row above the top
        "#0a0A01:0101",     // screen not a number
        "#-01A01:0101",     // negative screen
        "#000A01:01010",    // odd length: the half code is dropped
        "#000A0:0101",      // ':' in the wrong place
    });
    EXPECT_EQ(d.GetRowCount(1, 7), 1);
    EXPECT_EQ(RowText(1, 0, 7), "0101" + Empties(8));
    for (int r = 0; r < MAX_ROW_NUM; r++) {
        if (r != 7) {
            EXPECT_EQ(d.GetRowCount(1, r), 0);
        }
    }
}

TEST_F(StageDataRead, ObjectDefinitions)
{
    CStageData& d = Read({
        "#OBJECTG1 Ground.bmp=1:1:64:64, touch",
        "#OBJECTT1 Tree.bmp",
        "#OBJECTS1 Slope.bmp, RIDEON, RUNUP2",
        "#OBJECTB1 Bad.bmp=1:2:3, TOUCH",
        "#OBJECTZ1 Zero.bmp=0:0:64:64, TOUCH",
        "#OBJECTU1 Up.bmp, NOSUCHWORD",
        "#OBJECTK1 Crate.bmp, TOUCH, CRUSH32, ADDBLT",
        "#ANIMATEWA G1, T1, WA, Q9",
        "#ANIMATEWB WA, G1",
    });
    CObject* g1 = d.GetObject("G1");
    ASSERT_NE(g1, nullptr);
    EXPECT_EQ(g1->GetAttribute(), OBJATTR_TOUCH);
    EXPECT_STREQ(g1->GetImageFile(), "Ground.bmp");
    EXPECT_STREQ(g1->GetRectKey(), "=1:1:64:64");
    EXPECT_EQ(d.GetObject("T1")->GetAttribute(), OBJATTR_NOTOUCH);  // scenery
    EXPECT_EQ(d.CountMessages(3), 1);
    EXPECT_NE(d.GetObject("S1"), nullptr);  // refused combination, defined all the same
    EXPECT_EQ(d.CountMessages(7), 2);
    EXPECT_STREQ(d.GetObject("Z1")->GetRectKey(), "");
    EXPECT_EQ(d.CountMessages(2), 1);
    EXPECT_EQ(d.GetObject("K1")->GetCrushBits(), OBJATTR_CRUSH32);
    CObject* wa = d.GetObject("WA");
    ASSERT_NE(wa, nullptr);
    EXPECT_TRUE(wa->IsAnimate());
    EXPECT_EQ(wa->m_pFirstAnim->dwTime, 250u);  // 1000 / 4 listed codes, skipped ones included
    EXPECT_EQ(d.CountMessages(5), 1);
    EXPECT_EQ(d.GetObject("Q9"), nullptr);
}

TEST_F(StageDataRead, RedefiningATypeKeepsTheOldOneForEarlierAnimations)
{
    CStageData& d = Read({
        "#OBJECTW1 Water.bmp=1:1:64:64, TOUCH",
        "#ANIMATEWA W1",
        "#OBJECTW1 Water.bmp=65:1:128:64, RIDEON",
    });
    EXPECT_EQ(d.CountMessages(4), 1);
    EXPECT_EQ(d.GetObject("W1")->GetAttribute(), OBJATTR_RIDEON);
    // The animation's frame is the first definition, still alive.
    CObject* pFrame = d.GetObject("WA")->m_pFirstAnim->obj;
    EXPECT_NE(pFrame, d.GetObject("W1"));
    EXPECT_EQ(pFrame->GetAttribute(), OBJATTR_TOUCH);
    EXPECT_EQ(d.GetObject("WA")->GetAttribute(), OBJATTR_TOUCH);
    d.Unload();
    EXPECT_EQ(d.GetObject("W1"), nullptr);
}

TEST_F(StageDataRead, LabelsFillTheCellsColumnByColumn)
{
    CStageData& d = Read({
        "#OBJECTG1 Ground.bmp, TOUCH",
        "#OBJECTK1 Crate.bmp, TOUCH, CRUSH16",
        "#000C01:G1000000Q1G1",
        "#001C01:K1",
        "#000C08:G1",
    });
    d.BuildLayerLabels(nullptr, 3);
    ASSERT_EQ(d.GetCellCount(3, 7), 20);
    EXPECT_NE(d.GetCell(3, 7, 0), nullptr);
    EXPECT_EQ(d.GetCell(3, 7, 1), nullptr);
    // The undefined code is reported and leaves its column empty; G1 stays in column 5.
    EXPECT_EQ(d.CountMessages(1), 1);
    EXPECT_EQ(d.GetCell(3, 7, 4), nullptr);
    ASSERT_NE(d.GetCell(3, 7, 5), nullptr);
    EXPECT_STREQ(d.GetCell(3, 7, 5)->GetName(), "G1");
    CObjectLabel* pCrate = d.GetCell(3, 7, 10);
    ASSERT_NE(pCrate, nullptr);
    EXPECT_EQ(pCrate->GetNumber(), 1);
    int nColumn = -1, nRow = -1;
    pCrate->GetCell(&nColumn, &nRow);
    EXPECT_EQ(nColumn, 0);
    EXPECT_EQ(nRow, 7);
    EXPECT_EQ(d.GetCell(3, 7, 20), nullptr);
    EXPECT_EQ(d.GetCell(3, 7, -1), nullptr);
    EXPECT_EQ(d.GetCell(3, 8, 0), nullptr);
    EXPECT_NE(d.GetCell(3, 0, 0), nullptr);

    CObjectLabel* column[MAX_ROW_NUM];
    d.GetColumn(3, 127, column);
    EXPECT_EQ(column[7], d.GetCell(3, 7, 1));
    d.GetColumn(3, 640, column);
    EXPECT_EQ(column[7], pCrate);
    d.GetColumn(3, -1, column);
    for (CObjectLabel* p : column)
        EXPECT_EQ(p, nullptr);
    // The point lookup adds the layer's step as one tick ahead: 704 - 704 + 10 + 630 = column 10.
    D3DVECTOR v{{630.0f}, {480.0f}, {0.0f}};
    EXPECT_EQ(d.GetCellAt(3, 704, v), pCrate);
    v.x = 629.0f;
    EXPECT_EQ(d.GetCellAt(3, 704, v), d.GetCell(3, 7, 9));
    // Labels not yet spawned are finished, so they are not solid.
    EXPECT_EQ(d.GetSolidCellAt(3, 704, v), nullptr);
}

TEST(StageDataModel, FindBG0TakesTheNearestLowerScreen)
{
    auto p = std::make_unique<CStageData>();
    BG0RECORD* a = new BG0RECORD;
    BG0RECORD* b = new BG0RECORD;
    p->m_BG0List.Set(0, a);
    p->m_BG0List.Set(5, b);
    EXPECT_EQ(p->FindBG0(7), b);
    EXPECT_EQ(p->FindBG0(5), b);
    EXPECT_EQ(p->FindBG0(4), a);
    EXPECT_EQ(p->FindBG0(-1), nullptr);
    p->Unload();  // frees the records
    EXPECT_EQ(p->FindBG0(7), nullptr);
}

TEST(StageDataModel, XSpeedTransitionArmsThenApplies)
{
    auto p = std::make_unique<CStageData>();
    p->m_vRatio[1].x = 0.5f;
    p->m_vRatio[4].x = 1.5f;
    p->m_vVelocity[3].z = 7.0f;
    p->ApplyLayerSpeeds();
    p->m_fXSpeed = 6.0f;
    g_nXSpeedState = 1;
    p->Update();
    EXPECT_EQ(p->m_vVelocity[3].x, 10.0f);
    EXPECT_EQ(p->GetXSpeedDelta(), 0.0f);
    p->Update();
    EXPECT_EQ(p->GetXSpeedDelta(), -4.0f);
    EXPECT_EQ(p->m_vVelocity[3].x, 6.0f);
    EXPECT_EQ(p->m_vVelocity[1].x, 3.0f);
    EXPECT_EQ(p->m_vVelocity[4].x, 9.0f);
    p->Update();
    EXPECT_EQ(p->GetXSpeedDelta(), -4.0f);
    p->StopScroll();
    EXPECT_EQ(p->m_vVelocity[3].x, 0.0f);
    EXPECT_EQ(p->m_vVelocity[3].z, 7.0f);
    p->Reset();  // restores the saved velocities and forgets the transition
    EXPECT_EQ(p->GetXSpeedDelta(), 0.0f);
    EXPECT_EQ(g_nXSpeedState, 0);
}

TEST(EnemyFactory, TableMapsEveryCodeAndBossName)
{
    int nVariant = -5;
    EXPECT_EQ(FindEnemyKind("A0", &nVariant), ENEMYKIND_A);
    EXPECT_EQ(nVariant, 0);
    EXPECT_EQ(FindEnemyKind("A9", &nVariant), ENEMYKIND_NONE);
    EXPECT_EQ(FindEnemyKind("B0", &nVariant), ENEMYKIND_NONE);
    EXPECT_EQ(FindEnemyKind("B8", &nVariant), ENEMYKIND_B);
    EXPECT_EQ(nVariant, 8);
    EXPECT_EQ(FindEnemyKind("C4", nullptr), ENEMYKIND_C);
    EXPECT_EQ(FindEnemyKind("C5", nullptr), ENEMYKIND_NONE);
    EXPECT_EQ(FindEnemyKind("F0", nullptr), ENEMYKIND_F);
    EXPECT_EQ(FindEnemyKind("G8", nullptr), ENEMYKIND_G);
    EXPECT_EQ(FindEnemyKind("H4", nullptr), ENEMYKIND_H);
    EXPECT_EQ(FindEnemyKind("J1", nullptr), ENEMYKIND_J);
    EXPECT_EQ(FindEnemyKind("L4", nullptr), ENEMYKIND_L);
    EXPECT_EQ(FindEnemyKind("M1", nullptr), ENEMYKIND_M);
    EXPECT_EQ(FindEnemyKind("N4", nullptr), ENEMYKIND_N);
    EXPECT_EQ(FindEnemyKind("P2", nullptr), ENEMYKIND_P);
    EXPECT_EQ(FindEnemyKind("P3", nullptr), ENEMYKIND_NONE);
    EXPECT_EQ(FindEnemyKind("a1", nullptr), ENEMYKIND_NONE);
    EXPECT_EQ(FindEnemyKind("A10", nullptr), ENEMYKIND_NONE);
    EXPECT_EQ(FindEnemyKind("M.Zorva", &nVariant), ENEMYKIND_MM);
    EXPECT_EQ(FindEnemyKind("Z.M.Zorva", nullptr), ENEMYKIND_ZM);
    EXPECT_EQ(FindEnemyKind("ZZ.M.Zorva", nullptr), ENEMYKIND_ZZ);
    EXPECT_EQ(FindEnemyKind("M.ZorvaF91", nullptr), ENEMYKIND_F91);
    EXPECT_EQ(FindEnemyKind("N.M.Zorva", nullptr), ENEMYKIND_NM);
    EXPECT_EQ(FindEnemyKind("m.zorva", nullptr), ENEMYKIND_NONE);
    EXPECT_EQ(GetBossNumber("ZZ.M.Zorva"), 2);
    EXPECT_EQ(GetBossNumber("Q"), -1);
}

// An enemy kind of the test: counts its loads and lives.
int g_nKindsAlive = 0;
int g_nKindsLoaded = 0;
class CTestKind : public CObject {
public:
    CTestKind(const char* pszText, int nVariant) : CObject(pszText), m_nVariant(nVariant) { g_nKindsAlive++; }
    ~CTestKind() override { g_nKindsAlive--; }
    int Load(IDirect3DDevice7*, const char*) override
    {
        g_nKindsLoaded++;
        return 1;
    }
    int m_nVariant;
};

TEST_F(StageDataRead, EnemyKindsAreMadeOncePerTextAndFreedAtUnload)
{
    g_nKindsLoaded = 0;
    CStageData& d = Read({"#000E02:B3000000B3Z9"});
    EXPECT_EQ(d.GetEnemy("B3"), nullptr);  // no enemy library yet: no kind
    ENEMYMAKERS makers;
    makers.NewKind = [](ENEMYKIND, const char* pszText, int nVariant) -> CObject* {
        return new CTestKind(pszText, nVariant);
    };
    SetEnemyMakers(makers);
    CObject* pB3 = d.GetEnemy("B3");
    ASSERT_NE(pB3, nullptr);
    EXPECT_EQ(static_cast<CTestKind*>(pB3)->m_nVariant, 3);
    EXPECT_EQ(d.GetEnemy("B3"), pB3);
    EXPECT_NE(d.GetEnemy("M.Zorva"), nullptr);
    EXPECT_EQ(d.GetEnemy("Z9"), nullptr);
    EXPECT_EQ(g_nKindsAlive, 2);
    d.LoadEnemies(nullptr);
    EXPECT_EQ(g_nKindsLoaded, 2);
    // Without a label maker the cells stay empty but keep their columns.
    d.BuildLayerLabels(nullptr, 6);
    EXPECT_EQ(d.GetCellCount(6, 6), 10);
    EXPECT_EQ(d.CountMessages(1), 3);
    d.Unload();
    EXPECT_EQ(g_nKindsAlive, 0);
    SetEnemyMakers(ENEMYMAKERS());
}

}  // namespace

namespace {

TEST(StageDataLoad, AFailedLoadLeavesNothingBehind)
{
    CTempFolder folder;
    CTempFolder::Put("GameData/Stage02/Stage.txt", "#OBJECTG1 Ground.bmp, TOUCH\r\n#000C01:G1G1\r\n");
    auto p = std::make_unique<CStageData>();
    ASSERT_EQ(p->Load(nullptr, 2, 0), 1);
    EXPECT_EQ(p->m_nStageNo, 2);
    EXPECT_STREQ(p->m_szStageDir, ".\\GameData\\Stage02\\");
    EXPECT_NE(p->GetCell(3, 7, 1), nullptr);
    // The demo file is missing: the load fails and the earlier stage is gone, not mixed in.
    EXPECT_EQ(p->Load(nullptr, 2, 1), 0);
    EXPECT_EQ(p->GetCell(3, 7, 1), nullptr);
    EXPECT_EQ(p->GetObject("G1"), nullptr);
    EXPECT_EQ(p->GetRowCount(3, 7), 0);
}

TEST(StageDataLoad, ASecondLoadReplacesTheFirst)
{
    CTempFolder folder;
    CTempFolder::Put("GameData/Stage01/Stage.txt", "#OBJECTG1 Ground.bmp, TOUCH\r\n#000C01:G1G1\r\n");
    auto p = std::make_unique<CStageData>();
    ASSERT_EQ(p->Load(nullptr, 1, 0), 1);
    ASSERT_EQ(p->Load(nullptr, 1, 0), 1);
    EXPECT_EQ(p->GetRowCount(3, 7), 1);
    EXPECT_EQ(p->GetCellCount(3, 7), 10);
}

}  // namespace
