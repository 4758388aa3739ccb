// The opening and the ending inside the whole program on the headless host, with the generated
// data set: the opening played to its end (Ctrl at each prompt) and skipped with Z in a second run
// in the same folder; the ending played after the last stage, going on to replay saving.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/win/Win.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"

namespace {

using CutSceneRun = CProgramRun;
using States = std::vector<int>;

const uint32_t kLongRun = 200000;

// What a test sees of one cut-scene player while the game runs it.
struct WATCH {
    std::set<int> shots;
    int nPrompts = 0;
    int bAllDone = 0;
    int bSkipped = 0;
};

// Holds Ctrl for a few updates whenever the player shows its prompt (the host applies key changes
// between updates), and notes what it saw while the player runs and while it fades out.
void Watch(CHostHeadless& host, COpening& player, int nState, int nPlaying, WATCH& watch, int& nCtrl)
{
    if (nCtrl > 0 && --nCtrl == 2) {
        host.ReleaseKey(VK_CONTROL);
    }
    if (nState != nPlaying && nState != nPlaying + 1) {
        return;
    }
    watch.bAllDone = player.IsAllDone();
    watch.bSkipped = player.IsSkipped();
    if (nState != nPlaying) {
        return;
    }
    watch.shots.insert(player.GetScript().GetShot());
    const CScriptMsgWin& win = player.GetMsgWin();
    if (win.GetState() == CScriptMsgWin::STATE_PROMPT && !win.IsHidden() && !player.IsAllDone() && nCtrl == 0) {
        host.PressKey(VK_CONTROL);
        nCtrl = 5;
        watch.nPrompts++;
    }
}

// The states of a run from its first entry into nFrom, n of them.
States From(const States& states, int nFrom, size_t n)
{
    auto it = std::find(states.begin(), states.end(), nFrom);
    States out(it, states.end());
    out.resize(std::min(n, out.size()));
    return out;
}

} // namespace

TEST_F(CutSceneRun, TheOpeningPlaysToItsEndAndASecondRunSkipsItWithZ)
{
    MakeData();
    SetParam("STAGE_INIT_STATE", "0");
    WATCH watch;
    int nCtrl = 0;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        Watch(m_Host, game.GetOpening(), game.GetState(), CGame::STATE_OPENING, watch, nCtrl);
        if (game.GetState() == CGame::STATE_TITLE) {
            game.m_OnRender = nullptr;
            CloseSoon();
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(m_Game.States(), (States{1, 9, 10, 13}));
    EXPECT_EQ(watch.shots, (std::set<int>{0, 1, 2, 3}));
    EXPECT_TRUE(watch.bAllDone);
    EXPECT_FALSE(watch.bSkipped);
    EXPECT_EQ(watch.nPrompts, 0);  // it also plays unattended in the attract loop: nothing waits
    // Four shots of about eight seconds each, at 61 updates a second.
    const uint32_t nTicks = m_Game.FirstTick(CGame::STATE_OPENING_FADE) - m_Game.FirstTick(CGame::STATE_OPENING);
    EXPECT_GT(nTicks, 1700u);
    EXPECT_LT(nTicks, 3000u);
    EXPECT_TRUE(m_Host.GetMessageBoxes().empty());

    // Again in the same folder, with Z pressed a second into the opening.
    CHostHeadless host;
    CObservedGame game(host);
    WATCH skipped;
    int nCtrl2 = 0;
    game.m_OnRender = [&](CObservedGame& g) {
        Watch(host, g.GetOpening(), g.GetState(), CGame::STATE_OPENING, skipped, nCtrl2);
        if (g.GetState() == CGame::STATE_OPENING && host.GetFrameTicks() == g.FirstTick(CGame::STATE_OPENING) + 60) {
            host.PressKey('Z');
        }
        if (g.GetState() == CGame::STATE_TITLE) {
            host.ReleaseKey('Z');
            g.m_OnRender = nullptr;
            CloseSoonOn(host, g);
        }
    };
    ASSERT_EQ(RunOn(host, game, kLongRun), 0);
    EXPECT_EQ(game.States(), (States{1, 9, 10, 13}));
    EXPECT_TRUE(skipped.bSkipped);
    EXPECT_EQ(skipped.shots, std::set<int>{0});
    EXPECT_LE(game.FirstTick(CGame::STATE_OPENING_FADE) - game.FirstTick(CGame::STATE_OPENING), 62u);
}

TEST_F(CutSceneRun, TheEndingPlaysAfterTheLastStageAndGoesOnToReplaySaving)
{
    MakeStageData();
    SetParam("MAX_STAGE_NUM", "1");
    WATCH watch;
    int nCtrl = 0;
    int nShotCount = 0;
    std::string strFolder;
    int bSaveMode = -1;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        const int nState = game.GetState();
        Watch(m_Host, game.GetEnding(), nState, CGame::STATE_ENDING, watch, nCtrl);
        if (nState == CGame::STATE_STAGE && game.GetStage().GetState() != STAGE_STATE_CLEARED) {
            game.GetStage().SetState(STAGE_STATE_CLEARED);
        } else if (nState == CGame::STATE_ENDING && !nShotCount) {
            // Loaded by the loading thread while the loading picture showed.
            nShotCount = game.GetEnding().GetScript().GetShotCount();
            strFolder = game.GetEnding().GetFolder();
        } else if (nState == CGame::STATE_REPLAY_SELECT) {
            bSaveMode = game.GetReplaySel().IsSaveMode();
            game.m_OnRender = nullptr;
            CloseSoon();
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(From(m_Game.States(), CGame::STATE_STAGE, 7), (States{15, 16, 3, 4, 19, 20, 7}));
    EXPECT_EQ(strFolder, ENDING_FOLDER);
    EXPECT_EQ(nShotCount, 5);
    EXPECT_EQ(watch.shots, (std::set<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(watch.bAllDone);
    EXPECT_FALSE(watch.bSkipped);
    EXPECT_EQ(watch.nPrompts, 3);
    EXPECT_GT(m_Game.FirstTick(CGame::STATE_ENDING_FADE) - m_Game.FirstTick(CGame::STATE_ENDING), 1400u);
    EXPECT_EQ(bSaveMode, 1);
    // The ending is let go once it has faded out.
    EXPECT_EQ(m_Game.GetEnding().GetScript().GetShotCount(), 0);
}

TEST_F(CutSceneRun, TheGeneratedScriptsReadCleanlyAndUseEveryCommand)
{
    LinkGeneratedData();
    for (const char* pszFolder : {".\\GameData\\Opening\\", ".\\GameData\\Ending\\"}) {
        CScript script;
        ASSERT_EQ(script.Parse((std::string(pszFolder) + SCRIPT_FILE_NAME).c_str()), 1);
        EXPECT_TRUE(script.GetReports().empty()) << pszFolder;
        std::set<int> ids, specials;
        std::set<size_t> charParams;
        for (int s = 0; s < script.GetShotCount(); s++) {
            for (const SCRIPTCMD& cmd : script.GetShotAt(s)->GetCommands()) {
                ids.insert(cmd.nId);
                if (cmd.nId == SCRIPT_SPECIAL) {
                    specials.insert(CScriptShot::ToInt(cmd.params[0]));
                }
                if (cmd.nId == SCRIPT_IMAGE_CHAR) {
                    charParams.insert(cmd.params.size());
                }
            }
        }
        EXPECT_EQ(ids.size(), static_cast<size_t>(SCRIPT_COMMAND_COUNT)) << pszFolder;
        EXPECT_EQ(specials, (std::set<int>{0, 1, 2})) << pszFolder;
        EXPECT_EQ(charParams, (std::set<size_t>{3, 4})) << pszFolder;
    }
}
