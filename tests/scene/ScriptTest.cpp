// The cut-scene script reader and its clock on exact rules: what a line makes of a shot, the
// numbered errors of bad lines, the half-open windows of the commands that fall due, the pending
// test and the fast-forward query that must take the command at the largest time.
#include <gtest/gtest.h>

#include "rvm/rvm_stl.h"
#include "engine/AppTimer.h"
#include "scene/Script.h"
#include "support/TempFolder.h"

namespace {

class Script : public ::testing::Test {
protected:
    void SetUp() override
    {
        CAppTimer::ResetFrameClock();
        CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
        CAppTimer::ResetAll();
    }

    // Parses the lines (joined with CR LF) as Script.txt of a folder of the test's own.
    int ParseLines(const rvm::vector<rvm::string>& lines)
    {
        rvm::string text;
        for (const rvm::string& line : lines) {
            text += line + "\r\n";
        }
        return ParseText(text);
    }
    int ParseText(const rvm::string& text)
    {
        CTempFolder::Put("Scene/Script.txt", text);
        return m_Script.Parse("./Scene/Script.txt");
    }

    rvm::vector<int> Times(int nShot) const
    {
        rvm::vector<int> times;
        for (const SCRIPTCMD& cmd : m_Script.GetShotAt(nShot)->GetCommands()) {
            times.push_back(cmd.nTime);
        }
        return times;
    }
    rvm::vector<rvm::string> Firsts(int nShot) const
    {
        rvm::vector<rvm::string> names;
        for (const SCRIPTCMD& cmd : m_Script.GetShotAt(nShot)->GetCommands()) {
            names.push_back(cmd.params.empty() ? CScriptShot::GetCommandName(cmd.nId) : cmd.params[0]);
        }
        return names;
    }
    // The first parameter (or the name) of each command a query returns.
    rvm::vector<rvm::string> Due(DWORD dwNow, bool bRemaining = false)
    {
        rvm::vector<const SCRIPTCMD*> due;
        if (bRemaining) {
            m_Script.GetRemainingCommands(due);
        } else {
            m_Script.GetNewCommands(due, dwNow);
        }
        rvm::vector<rvm::string> names;
        for (const SCRIPTCMD* pCmd : due) {
            names.push_back(pCmd->params.empty() ? CScriptShot::GetCommandName(pCmd->nId) : pCmd->params[0]);
        }
        return names;
    }

    CTempFolder m_Folder;
    CScript m_Script;
};

using Names = rvm::vector<rvm::string>;

} // namespace

// ---- Reading ----------------------------------------------------------------------------------------

TEST_F(Script, CommandsRunInTimeOrderAndEqualTimesKeepTheFileOrder)
{
    ASSERT_EQ(ParseLines({"#BEGIN_SHOT", "#CMD 1000,IMAGE_HIDE,c.bmp", "#CMD 0,IMAGE_HIDE,a.bmp",
                          "#CMD 1000,IMAGE_HIDE,d.bmp", "#CMD 500,IMAGE_HIDE,b.bmp", "#CMD 1000,IMAGE_HIDE,e.bmp",
                          "#CMD 0,IMAGE_HIDE,a2.bmp", "#END_SHOT"}),
              1);
    ASSERT_EQ(m_Script.GetShotCount(), 1);
    EXPECT_EQ(Times(0), (rvm::vector<int>{0, 0, 500, 1000, 1000, 1000}));
    EXPECT_EQ(Firsts(0), (Names{"a.bmp", "a2.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp"}));
    EXPECT_TRUE(m_Script.GetReports().empty());
}

TEST_F(Script, BadCommandLinesAreReportedByNumberAndDroppedWhileReadingGoesOn)
{
    ASSERT_EQ(ParseLines({"#BEGIN_SHOT", "#CMD 100", "#CMD 0,BGM", "#CMD 0,", "#CMD 0,VOICEX,a.wav",
                          "#CMD 0,IMAGE_CHAR,a.bmp,1", "#CMD 0,IMAGE_CHAR,a.bmp,1,2,3,4", "#CMD 0,QUAKE,1",
                          "#CMD 0,IMAGE_CHAR,b.bmp,1,2", "#CMD 0,IMAGE_CHAR,c.bmp,1,2,3", "#CMD 7,SPECIAL",
                          "#CMD 8,SPECIAL,1,2,3,4,5,6,7,8,9,10", "#CMD 9,BGM_STOP,", "#END_SHOT"}),
              1);
    EXPECT_EQ(m_Script.GetReports(),
              (Names{"ERROR 31 : #CMD命令のパラメータが不正です [#CMD 100]\n",
                     "ERROR 32 : #CMD命令のコマンド名が見つかりません [#CMD 0,BGM]\n",
                     "ERROR 31 : #CMD命令のパラメータが不正です [#CMD 0,]\n",
                     "ERROR 32 : #CMD命令のコマンド名が見つかりません [#CMD 0,VOICEX,a.wav]\n",
                     "ERROR 33 : コマンドのパラメータ数が不正です [IMAGE_CHAR(3個必要)]\n",
                     "ERROR 33 : コマンドのパラメータ数が不正です [IMAGE_CHAR(3個必要)]\n",
                     "ERROR 33 : コマンドのパラメータ数が不正です [QUAKE(0個必要)]\n"}));
    // IMAGE_CHAR takes 3 or 4, SPECIAL any number; a comma that ends the line opens no field.
    EXPECT_EQ(Firsts(0), (Names{"b.bmp", "c.bmp", "SPECIAL", "1", "BGM_STOP"}));
}

TEST_F(Script, ShotsNeedTheirBeginAndEndAndOnlyLinesStartingWithAHashCount)
{
    ASSERT_EQ(ParseLines({"#CMD 0,QUAKE",            // before any shot: ignored
                          "#END_SHOT",               // nothing to end
                          "  \t#BEGIN_SHOT  ",       // white space first
                          "\x81\x40#CMD 10,QUAKE",    // a full-width space first
                          "CMD 20,QUAKE", "; #CMD 30,QUAKE",  // no hash first: not commands
                          "#CMD 40,QUAKE // #CMD 50,QUAKE", "## #CMD 60,QUAKE", "#END_SHOT WAIT_KEY",
                          "", "#BEGIN_SHOT", "#CMD 0,BLACK_OUT", "#END_SHOT  WAIT_KEYS",
                          "#BEGIN_SHOT", "#CMD 0,WHITE_OUT",  // begun again before its end: dropped
                          "#BEGIN_SHOT", "#END_SHOT", "#BEGIN_SHOT", "#CMD 0,QUAKE"}),
              1);
    ASSERT_EQ(m_Script.GetShotCount(), 3);
    EXPECT_EQ(Times(0), (rvm::vector<int>{10, 40}));
    EXPECT_TRUE(m_Script.GetShotAt(0)->IsWaitKey());
    EXPECT_EQ(Firsts(1), (Names{"BLACK_OUT"}));
    EXPECT_FALSE(m_Script.GetShotAt(1)->IsWaitKey());
    EXPECT_TRUE(m_Script.GetShotAt(2)->GetCommands().empty());
    EXPECT_TRUE(m_Script.GetReports().empty());
}

TEST_F(Script, LinesEndInCrLfOrLfAndAnOverlongLineLosesItsRestInsteadOfMakingANewLine)
{
    rvm::string line = "#CMD 0,MSG,0,0,";
    line += rvm::string(SCRIPT_LINE_MAX - line.size(), 'A');  // 3072 bytes, then more of the line
    const rvm::string text = "#BEGIN_SHOT\n" + line + " #END_SHOT WAIT_KEY\r\n#CMD 5,QUAKE\n#END_SHOT\n";
    ASSERT_EQ(ParseText(text), 1);
    ASSERT_EQ(m_Script.GetShotCount(), 1);
    EXPECT_FALSE(m_Script.GetShotAt(0)->IsWaitKey());
    const rvm::vector<SCRIPTCMD>& cmds = m_Script.GetShotAt(0)->GetCommands();
    ASSERT_EQ(cmds.size(), 2u);
    EXPECT_EQ(cmds[0].params[2], rvm::string(SCRIPT_LINE_MAX - 15, 'A'));
    EXPECT_EQ(cmds[1].nId, SCRIPT_QUAKE);
}

TEST_F(Script, MessageTextKeepsItsTwoByteCharactersWhateverTheirSecondByte)
{
    // "院" ends in 0x40 (the at sign), "表" in 0x5C (the backslash); a blank around a field goes.
    const rvm::string strText = "\x82\xA0\\n\x95\x5C\x89\x40";
    ASSERT_EQ(ParseLines({"#BEGIN_SHOT", "#CMD 1500 , MSG , 40 , 300 , " + strText + " \t", "#END_SHOT"}), 1);
    const SCRIPTCMD& cmd = m_Script.GetShotAt(0)->GetCommands()[0];
    EXPECT_EQ(cmd.nTime, 1500);
    EXPECT_EQ(cmd.params, (Names{"40", "300", strText}));
}

TEST_F(Script, MessagesAreKeyedByShotAndTimeAndTwoAtOneTimeKeepTheirOwnTexts)
{
    EXPECT_EQ(CScript::MessageKey(2, 1500, 0), "msg=s002:t00001500");
    ASSERT_EQ(ParseLines({"#BEGIN_SHOT", "#END_SHOT", "#BEGIN_SHOT", "#END_SHOT", "#BEGIN_SHOT",
                          "#CMD 1500,MSG,0,0,first", "#CMD 1500,MSG,0,0,second", "#CMD 0,MSG,0,0,zero", "#END_SHOT"}),
              1);
    ASSERT_EQ(m_Script.Prepare(nullptr, "./Scene/"), 1);
    EXPECT_EQ(m_Script.GetMessageCount(), 3);
    ASSERT_NE(m_Script.FindMessage("msg=s002:t00001500"), nullptr);
    EXPECT_EQ(m_Script.FindMessage("msg=s002:t00001500")->GetText(), "first");
    ASSERT_NE(m_Script.FindMessage("msg=s002:t00001500:1"), nullptr);
    EXPECT_EQ(m_Script.FindMessage("msg=s002:t00001500:1")->GetText(), "second");
    EXPECT_EQ(m_Script.FindMessage("msg=s002:t00000000")->GetText(), "zero");
}

TEST_F(Script, AMissingFileIsReportedAndAnEmptyOneIsAScriptWithoutShots)
{
    EXPECT_EQ(m_Script.Load(nullptr, ".\\Nowhere\\"), 0);
    EXPECT_EQ(m_Script.GetReports(), (Names{".\\Nowhere\\Script.txt の読み込みに失敗しました\n"}));
    CTempFolder::Put("Empty/Script.txt", rvm::string());
    EXPECT_EQ(m_Script.Load(nullptr, ".\\Empty\\"), 1);
    EXPECT_EQ(m_Script.GetShotCount(), 0);
    EXPECT_TRUE(m_Script.GetReports().empty());
}

TEST_F(Script, PicturesThatDoNotLoadAreLeftOutAndUnknownNamesAnswerNothing)
{
    ASSERT_EQ(ParseLines({"#BEGIN_SHOT", "#CMD 0,IMAGE_BACK,none.bmp,0,0", "#CMD 0,VOICE,none.wav", "#END_SHOT"}), 1);
    ASSERT_EQ(m_Script.Prepare(nullptr, "./Scene/"), 1);
    EXPECT_EQ(m_Script.GetPictureCount(), 0);
    EXPECT_EQ(m_Script.GetVoiceCount(), 0);
    EXPECT_EQ(m_Script.FindFirstPicture(SCRIPT_IMAGE_BACK), nullptr);
    EXPECT_EQ(m_Script.GetPicturePos("none.bmp").x, -1);
    EXPECT_EQ(m_Script.GetPicturePos("none.bmp").y, -1);
    EXPECT_EQ(m_Script.FindVoice("none.wav"), nullptr);
    EXPECT_EQ(m_Script.FindMessage("msg=s000:t00000000"), nullptr);
}

// ---- The clock -------------------------------------------------------------------------------------

TEST_F(Script, CommandsFallDueInHalfOpenWindowsFromTheLastQuery)
{
    ASSERT_EQ(ParseLines({"#BEGIN_SHOT", "#CMD 0,IMAGE_HIDE,a", "#CMD 500,IMAGE_HIDE,b", "#CMD 1000,IMAGE_HIDE,c",
                          "#CMD 1000,IMAGE_HIDE,d", "#CMD 1500,IMAGE_HIDE,e", "#END_SHOT"}),
              1);
    m_Script.SetShot(0);
    ASSERT_EQ(m_Script.GetShotStart(), 0u);
    EXPECT_EQ(Due(0), Names{});  // not after the last query
    EXPECT_TRUE(m_Script.HasPending());
    EXPECT_EQ(Due(1), Names{"a"});
    EXPECT_EQ(Due(500), Names{});  // [1, 500)
    EXPECT_EQ(Due(501), Names{"b"});
    EXPECT_EQ(Due(1000), Names{});
    EXPECT_EQ(Due(999), Names{});  // earlier than the last query: nothing, and it stays at 1000
    EXPECT_EQ(m_Script.GetLastQuery(), 1000u);
    EXPECT_EQ(Due(1001), (Names{"c", "d"}));
    EXPECT_EQ(Due(1500), Names{});
    // The last command has not been returned while the last query is not past its time.
    EXPECT_TRUE(m_Script.HasPending());
    EXPECT_EQ(Due(1501), Names{"e"});
    EXPECT_FALSE(m_Script.HasPending());
    EXPECT_EQ(Due(99999), Names{});
}

TEST_F(Script, ShotsStartAtTheTimerAndTheRemainingCommandsIncludeTheLastTime)
{
    ASSERT_EQ(ParseLines({"#BEGIN_SHOT", "#CMD 0,IMAGE_HIDE,a", "#CMD 2000,IMAGE_HIDE,b", "#CMD 5000,IMAGE_HIDE,c",
                          "#CMD 5000,IMAGE_HIDE,d", "#END_SHOT WAIT_KEY", "#BEGIN_SHOT", "#CMD 0,IMAGE_HIDE,x",
                          "#END_SHOT"}),
              1);
    for (int i = 0; i < 30; i++) {
        CAppTimer::FrameTick();
    }
    const DWORD dwStart = CAppTimer::GetElapsed(0);
    ASSERT_GT(dwStart, 0u);
    m_Script.SetShot(0);
    EXPECT_EQ(m_Script.GetShotStart(), dwStart);
    EXPECT_TRUE(m_Script.IsWaitKey());
    EXPECT_EQ(Due(dwStart + 100), Names{"a"});
    EXPECT_EQ(Due(0, true), (Names{"b", "c", "d"}));
    EXPECT_FALSE(m_Script.HasPending());
    EXPECT_EQ(Due(0, true), Names{});
    // The query ran ahead of the timer: later updates get nothing more from this shot.
    EXPECT_EQ(Due(dwStart + 3000), Names{});
    m_Script.SetShot(1);
    EXPECT_FALSE(m_Script.IsWaitKey());
    EXPECT_EQ(Due(dwStart + 1), Names{"x"});
    m_Script.SetShot(2);
    EXPECT_FALSE(m_Script.IsWaitKey());
    EXPECT_FALSE(m_Script.HasPending());
    EXPECT_EQ(Due(dwStart + 99), Names{});
    EXPECT_EQ(Due(0, true), Names{});
}

TEST_F(Script, EmptyShotsAndScriptsHaveNothingPending)
{
    ASSERT_EQ(ParseLines({"#BEGIN_SHOT", "#END_SHOT WAIT_KEY"}), 1);
    m_Script.SetShot(0);
    EXPECT_FALSE(m_Script.HasPending());
    EXPECT_TRUE(m_Script.IsWaitKey());
    EXPECT_EQ(Due(0, true), Names{});
    CScript empty;
    empty.SetShot(0);
    EXPECT_FALSE(empty.HasPending());
    EXPECT_FALSE(empty.IsWaitKey());
    rvm::vector<const SCRIPTCMD*> due;
    empty.GetNewCommands(due, 1000);
    empty.GetRemainingCommands(due);
    EXPECT_TRUE(due.empty());
}

TEST_F(Script, NumbersReadLikeAtoiAndAtofButStayInBounds)
{
    EXPECT_EQ(CScriptShot::ToInt("12abc"), 12);
    EXPECT_EQ(CScriptShot::ToInt("x"), 0);
    EXPECT_EQ(CScriptShot::ToInt("-99999999999999999999"), -SCRIPT_NUMBER_MAX);
    EXPECT_EQ(CScriptShot::ToFloat("2.5e3"), 2500.0f);
    EXPECT_EQ(CScriptShot::ToFloat("nan"), 0.0f);
    EXPECT_EQ(CScriptShot::ToFloat("inf"), static_cast<float>(SCRIPT_NUMBER_MAX));
    ASSERT_EQ(ParseLines({"#BEGIN_SHOT", "#CMD 99999999999999999999,QUAKE", "#CMD -5,QUAKE", "#END_SHOT"}), 1);
    EXPECT_EQ(Times(0), (rvm::vector<int>{-5, 2147483647}));
}
