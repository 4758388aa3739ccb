// The scene machine inside the whole program on the headless host: which states a run passes
// through, what the loading screen shows, and how runs go on from a stage, checked on the states
// the game enters render pass by render pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "engine/Config.h"
#include "engine/FPSChar.h"
#include "engine/KeyRecorder.h"
#include "engine/Param.h"
#include "pack/PackBuilder.h"
#include "pack/teskFile.h"
#include "scene/Game.h"
#include "scene/ProgramRun.h"
#include "support/BmpPixels.h"
#include "support/WriteBarriers.h"

namespace {

using GameRun = CProgramRun;
using States = std::vector<int>;

const uint32_t kLongRun = 200000;

// The first n states of a run.
States Prefix(const States& states, size_t n)
{
    return States(states.begin(), states.begin() + static_cast<ptrdiff_t>(std::min(n, states.size())));
}

// A demo replay of stage n: its track starts from the stage's start, holds no keys and ends at
// frame nFrames.
void WriteDemoReplay(int nStage, int nFrames = 6000)
{
    REPLAYIMAGE image;
    image.header.nYear = 2026;
    image.header.nMonth = 1;
    image.header.nDay = 1;
    image.header.nScore = 0;
    image.header.nPairs[nStage - 1][0] = 0;
    image.header.nPairs[nStage - 1][1] = 0;
    image.tracks[nStage - 1].push_back({0, 0, 0, 1, 0, 0, 0, 4, 0});
    image.tracks[nStage - 1].push_back({nFrames, 0, 0, 1, 0, 0, 0, 4, 0});
    char szName[64];
    snprintf(szName, sizeof(szName), "GameData/Title/ReplayDemo%02d.dat", nStage);
    CTempFolder::Put(szName, EncodeReplay(image));
}

} // namespace

TEST_F(GameRun, DebugStartShowsTheLoadingPictureOnThePrimaryUntilTheStageRuns)
{
    MakeStageData();  // a debug start: straight into stage 1
    const CBmpPixels picture("GameData/First/Loading.bmp");
    ASSERT_EQ(picture.Width(), 640);
    ASSERT_EQ(picture.Height(), 480);
    // Whether the presented frame is the picture, pixel for pixel on an 8-pixel grid.
    auto showsPicture = [&]() {
        for (int y = 0; y < 480; y += 8)
            for (int x = 0; x < 640; x += 8)
                if (Pixel(x, y) != picture.Rgb565(x, y))
                    return false;
        return true;
    };
    int nLoadingFrames = 0;
    int nPictureFrames = 0;
    int nStageAtPlay = 0;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() == CGame::STATE_LOADING && m_Host.GetPresentCount() > 0) {
            nLoadingFrames++;
            nPictureFrames += showsPicture();
        }
        if (game.GetState() == CGame::STATE_STAGE && !nStageAtPlay) {
            nStageAtPlay = game.GetStageNumber();
            CloseSoon();
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(m_Game.States(), (States{3, 4, 15}));
    EXPECT_EQ(nStageAtPlay, 1);
    EXPECT_GT(nLoadingFrames, 0);
    EXPECT_EQ(nPictureFrames, nLoadingFrames);
    // Once playing, the back buffer is presented again: the picture is gone.
    EXPECT_FALSE(showsPicture());
    EXPECT_TRUE(m_Host.GetMessageBoxes().empty());
}

TEST_F(GameRun, LoadingRendersEverySecondTickAndPresentsNothing)
{
    MakeStageData();
    uint32_t nLoadingRenders = 0;
    uint32_t nLastLoadingTick = 0;
    int nPresentsAtStart = -1;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() == CGame::STATE_LOADING) {
            nLoadingRenders++;
            nLastLoadingTick = m_Host.GetFrameTicks();
        }
        if (game.GetState() == CGame::STATE_STAGE && nPresentsAtStart < 0) {
            nPresentsAtStart = m_Host.GetPresentCount();
            CloseSoon();
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    // Ticks 1, 3, 5 ... render while loading; each draws the picture once onto the primary.
    EXPECT_EQ(nLoadingRenders, (nLastLoadingTick + 1) / 2);
    EXPECT_EQ(nPresentsAtStart, static_cast<int>(nLoadingRenders));
}

TEST_F(GameRun, CloseRequestsDuringLoadingWaitForTheLoadedStage)
{
    MakeStageData();
    bool bAsked = false;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() == CGame::STATE_LOADING && !bAsked) {
            bAsked = true;
            CloseSoon(1);
            game.m_bNoting = true;
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_TRUE(bAsked);
    EXPECT_EQ(m_Game.States(), (States{3, 4, 15}));
    EXPECT_LT(m_Host.GetFrameTicks(), kLongRun);
    EXPECT_EQ(m_Game.GetLoader(), nullptr);
}

TEST_F(GameRun, WithoutItsFrontPicturesTheProgramDoesNotStartAndSaysWhy)
{
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run(kLongRun), 1);
    ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(m_Game.States().empty());
    ASSERT_EQ(m_Host.GetMessageBoxes().size(), 1u);
    EXPECT_EQ(m_Host.GetMessageBoxes()[0].first,
              "The program could not start: GameData/First (the caution screen and the logo) is missing or damaged");

    // The title's pictures missing: the logo's are not enough.
    MakeData();
    std::filesystem::remove_all("GameData/Title");
    CHostHeadless host;
    CObservedGame game(host);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunOn(host, game, kLongRun), 1);
    ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(host.GetMessageBoxes().size(), 1u);
    EXPECT_EQ(host.GetMessageBoxes()[0].first,
              "The program could not start: GameData/Title (the title screen) is missing or damaged");
}

TEST_F(GameRun, EachDataErrorReachesStderrOnceNamingItsFile)
{
    MakeStageData();
    // Crates (K1, placed more than once) undefined; an object whose code and attribute are
    // code-page-932 text; the sign's picture, which two objects load, zeroed.
    std::string strStage = ReadDataFile(StagePath(1));
    const size_t nCrate = strStage.find("#OBJECTK1 ");
    ASSERT_NE(nCrate, std::string::npos);
    strStage.erase(nCrate, strStage.find('\n', nCrate) + 1 - nCrate);
    strStage.insert(nCrate, "#OBJECT\x82\xa0 Sign.bmp, \x94\xf2\x82\xd4\r\n");
    CTempFolder::Put(StagePath(1), strStage);
    const size_t nSignSize = CTempFolder::Get("GameData/Stage01/Sign.bmp").size();
    CTempFolder::Put("GameData/Stage01/Sign.bmp", std::string(nSignSize, '\0'));
    int nCrateErrors = 0;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() != CGame::STATE_STAGE || nCrateErrors)
            return;
        for (const rvm::string& strMessage : game.GetStage().GetStageData().GetMessages())
            nCrateErrors += strMessage.find("[K1]") != rvm::string::npos;
        CloseSoon();
    };
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(RunOn(m_Host, m_Game, kLongRun, false), 0);
    // The loader met the crates more than once; the user reads of them once.
    EXPECT_GE(nCrateErrors, 2);
    std::istringstream err(::testing::internal::GetCapturedStderr());
    std::vector<std::string> fileLines;
    for (std::string strLine; std::getline(err, strLine);) {
        if (strLine.compare(0, 9, "GameData/") == 0)
            fileLines.push_back(strLine);
    }
    EXPECT_EQ(fileLines, (std::vector<std::string>{
                             "GameData/Stage01/Stage.txt: ERROR 2 : 属性がみつかりません [飛ぶ]",
                             "GameData/Stage01/Sign.bmp: the picture is refused: not a bitmap file (no \"BM\" at its start)",
                             "GameData/Stage01/Stage.txt: ERROR 1 : オブジェが定義されていません [K1]"}));
}

TEST_F(GameRun, TheLogoLeadsToTheTitleAndItsStartMenuToTheChosenStage)
{
    MakeData();
    SetParam("PLAY_OPENING", "0");
    SetParam("INIT_STAGE_NUM", "3");
    m_Game.m_bStartFromTitle = true;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() == CGame::STATE_STAGE) {
            game.m_OnRender = nullptr;
            CloseSoon();
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(m_Game.States(), (States{1, 13, 14, 11, 12, 3, 4, 15}));
    EXPECT_EQ(m_Game.GetStageNumber(), 3);
    // Each fade of the machine steps 0.03 a pass: 34 passes from start to finish.
    EXPECT_EQ(m_Game.FirstTick(11) - m_Game.FirstTick(14), 34u);
    EXPECT_EQ(m_Game.FirstTick(3) - m_Game.FirstTick(12), 34u);
    // Easy was chosen: the half-damage option is on; the first tab is the homing sub-weapon.
    EXPECT_EQ(g_nOptionFlags[0], 1);
    EXPECT_EQ(m_Game.GetPlayer().GetSubWeapon(), 1);
}

namespace {

// The times the text stands in the output.
int CountOf(const std::string& strText, const std::string& strPart)
{
    int n = 0;
    for (size_t nAt = strText.find(strPart); nAt != std::string::npos; nAt = strText.find(strPart, nAt + 1))
        n++;
    return n;
}

// A run whose stage does not load: it must end at once with a non-zero status and the reason, in
// the message box and once on stderr, and never run the stage.
class FailedLoadRun : public CProgramRun {
protected:
    void ExpectEndWithReason(const std::string& strReason) { ExpectEndOn(m_Host, m_Game, strReason); }
    // The same on a host and game of the test's own; what stderr got.
    static std::string ExpectEndOn(CHostHeadless& host, CObservedGame& game, const std::string& strReason)
    {
        ::testing::internal::CaptureStderr();
        const int nResult = RunOn(host, game, kLongRun, false);
        const std::string strErr = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(nResult, 1);
        EXPECT_EQ(game.States(), (States{3, 21}));
        EXPECT_EQ(game.GetLoader(), nullptr);
        EXPECT_TRUE(game.IsLoadFailed());
        const auto boxes = host.GetMessageBoxes();
        EXPECT_EQ(boxes.size(), 1u);
        if (!boxes.empty()) {
            EXPECT_EQ(boxes[0].first, strReason);
            EXPECT_EQ(boxes[0].second, "Zorva");
        }
        EXPECT_NE(strErr.find("[Zorva] " + strReason + "\n"), std::string::npos) << strErr;
        EXPECT_EQ(CountOf(strErr, strReason), 1) << strErr;
        return strErr;
    }
};

// Bytes that mean nothing, the same every run.
std::string Garbage(size_t nSize, uint32_t nSeed)
{
    std::string bytes(nSize, '\0');
    for (char& c : bytes) {
        nSeed = nSeed * 214013u + 2531011u;
        c = static_cast<char>(nSeed >> 16);
    }
    return bytes;
}

// Stage 1's folder as a stored pack whose entries (directory intact) hold garbage.
void PackStageOneWithGarbage()
{
    CPackBuilder pack(PACK_MAGIC_STORED);
    uint32_t nSeed = 1;
    for (const auto& entry : std::filesystem::directory_iterator("GameData/Stage01")) {
        const std::string strBytes = Garbage(static_cast<size_t>(entry.file_size()), nSeed++);
        pack.AddFile(entry.path().filename().string().c_str(), rvm::vector<uint8_t>(strBytes.begin(), strBytes.end()),
                     false);
    }
    std::filesystem::remove_all("GameData/Stage01");
    const rvm::vector<uint8_t> bytes = pack.Build();
    CTempFolder::Put("GameData/Stage01.dat", std::string(bytes.begin(), bytes.end()));
}

} // namespace

TEST_F(FailedLoadRun, AnEmptyPackInPlaceOfTheStageFolderEndsTheProgramWithTheReason)
{
    MakeStageData();
    std::filesystem::remove_all("GameData/Stage01");
    CTempFolder::Put("GameData/Stage01.dat", std::string());
    ExpectEndWithReason("Stage 1 could not be loaded: GameData/Stage01 is missing or damaged");
}

TEST_F(FailedLoadRun, ADefinitionWithNothingToPlayEndsTheProgramWithTheReason)
{
    MakeStageData();
    const std::string strStage = ReadDataFile(StagePath(1));
    const std::string strBeforeMap = strStage.substr(0, strStage.find("\n#000") + 1);
    struct DAMAGE {
        const char* pszKind;
        std::string strBytes;  // empty with the pack
        const char* pszMissing;
    };
    const DAMAGE damages[] = {{"empty", "", "no object and no map row"},
                              {"cut before the map", strBeforeMap, "no map row"},
                              {"garbage", Garbage(strStage.size(), 7), "no object and no map row"},
                              {"stored pack of garbage", "", "no object and no map row"}};
    for (const DAMAGE& damage : damages) {
        SCOPED_TRACE(damage.pszKind);
        if (damage.pszKind == damages[3].pszKind)
            PackStageOneWithGarbage();
        else
            CTempFolder::Put(StagePath(1), damage.strBytes);
        CHostHeadless host;
        CObservedGame game(host);
        const std::string strErr =
            ExpectEndOn(host, game, "Stage 1 could not be loaded: GameData/Stage01 is missing or damaged");
        const std::string strDetail =
            std::string("GameData/Stage01/Stage.txt: defines ") + damage.pszMissing + ": there is no stage to play\n";
        EXPECT_EQ(CountOf(strErr, strDetail), 1) << strErr;
    }
}

TEST_F(FailedLoadRun, AFirstStageNumberOutOfRangeEndsTheProgramWithTheReason)
{
    MakeStageData();
    for (const char* pszStage : {"6", "0", "-2147483649", "nan"}) {
        SCOPED_TRACE(pszStage);
        SetParam("INIT_STAGE_NUM", pszStage);
        const int nStage = GetParamInt("INIT_STAGE_NUM", 0, 1);
        ClearParams();
        char szReason[128];
        snprintf(szReason, sizeof(szReason), "Stage %d could not be loaded: GameData/Stage%02d is missing or damaged",
                 nStage, nStage);
        CHostHeadless host;
        CObservedGame game(host);
        ::testing::internal::CaptureStderr();
        const int nResult = RunOn(host, game, kLongRun, false);
        const std::string strErr = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(nResult, 1);
        EXPECT_EQ(game.States(), (States{3, 21}));
        ASSERT_EQ(host.GetMessageBoxes().size(), 1u);
        EXPECT_EQ(host.GetMessageBoxes()[0].first, szReason);
        EXPECT_EQ(CountOf(strErr, szReason), 1) << strErr;
    }
}

// The score goes on into the next stage, and its counter shows it from the stage's first frame.
TEST_F(GameRun, AClearedStageGoesOnToTheNextStageAndTrack)
{
    MakeStageData();
    const int kCarried = 399000;
    int nTrackAtSecond = -1, nScoreAtSecond = -1, nShownAtSecond = -1, bShownAtRest = 0;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() != CGame::STATE_STAGE) {
            return;
        }
        if (game.Visits(CGame::STATE_STAGE) == 1 && game.GetStage().GetState() != STAGE_STATE_CLEARED) {
            game.GetStage().AddScore(kCarried, 0);
            game.GetStage().SetState(STAGE_STATE_CLEARED);
        } else if (game.Visits(CGame::STATE_STAGE) == 2 && nTrackAtSecond < 0) {
            nTrackAtSecond = CKeyRecorder::GetInstance()->GetCurrentTrack();
            nScoreAtSecond = game.GetStage().GetScore();
            CCockpit& cockpit = game.GetPlayer().GetCockpit();
            nShownAtSecond = cockpit.GetScore();
            bShownAtRest = cockpit.GetScoreCounter().IsFinished();
            EXPECT_EQ(game.GetStageNumber(), 2);
            CloseSoon();
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(m_Game.States(), (States{3, 4, 15, 16, 3, 4, 15}));
    EXPECT_EQ(nTrackAtSecond, 1);
    EXPECT_EQ(nScoreAtSecond, kCarried);
    EXPECT_EQ(nShownAtSecond, kCarried);
    EXPECT_TRUE(bShownAtRest);
}

TEST_F(GameRun, ClearingWhenTheNextStageHasNoDefinitionEndsTheRunWithTheEnding)
{
    MakeStageData();
    std::filesystem::remove("GameData/Stage02/Stage.txt");
    std::string strEndingFolder;
    int bSaveMode = -1;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        switch (game.GetState()) {
        case CGame::STATE_STAGE:
            game.GetStage().SetState(STAGE_STATE_CLEARED);
            break;
        case CGame::STATE_ENDING:
            strEndingFolder = game.GetEnding().GetFolder();
            m_Host.PressKey('Z');  // skipped: the ending's own run is tested with the cut-scenes
            break;
        case CGame::STATE_REPLAY_SELECT:
            m_Host.ReleaseKey('Z');
            bSaveMode = game.GetReplaySel().IsSaveMode();
            break;
        case CGame::STATE_TITLE:
            game.m_OnRender = nullptr;
            CloseSoon();
            break;
        default:
            break;
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(Prefix(m_Game.States(), 11), (States{3, 4, 15, 16, 3, 4, 19, 20, 7, 8, 13}));
    EXPECT_EQ(strEndingFolder, ENDING_FOLDER);
    EXPECT_EQ(bSaveMode, 1);
}

TEST_F(GameRun, WithoutTheEndingTheLastClearShowsTheProvisionalEndingThenSaving)
{
    MakeStageData();
    SetParam("PLAY_ENDING", "0");
    SetParam("MAX_STAGE_NUM", "1");
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() == CGame::STATE_STAGE) {
            game.GetStage().SetState(STAGE_STATE_CLEARED);
        } else if (game.GetState() == CGame::STATE_ENDING_KARI) {
            // Held from the start: it only counts once the picture has been shown its ten seconds.
            m_Host.PressKey('X');
            // A screenshot for looking at, only when ZORVA_LOOK_DIR names a folder.
            const char* pszLook = std::getenv("ZORVA_LOOK_DIR");
            if (pszLook && m_Host.GetFrameTicks() == game.FirstTick(CGame::STATE_ENDING_KARI) + 60) {
                m_Host.WriteLastFrame((std::string(pszLook) + "/ending-kari.png").c_str());
            }
        } else if (game.GetState() == CGame::STATE_ENDING_KARI_FADE) {
            m_Host.ReleaseKey('X');
            EXPECT_TRUE(game.GetEndingKari().GetState() == CEndingKari::STATE_ENDED);
        } else if (game.GetState() == CGame::STATE_TITLE) {
            game.m_OnRender = nullptr;
            CloseSoon();
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(Prefix(m_Game.States(), 9), (States{3, 4, 15, 16, 17, 18, 7, 8, 13}));
    const uint32_t nShown = m_Game.FirstTick(CGame::STATE_ENDING_KARI_FADE) - m_Game.FirstTick(CGame::STATE_ENDING_KARI);
    EXPECT_GE(nShown, 600u);
    EXPECT_LE(nShown, 620u);
    EXPECT_TRUE(m_Game.GetEndingKari().IsStopped());
}

TEST_F(GameRun, LeavingAStageOffersSavingButAPauseQuitGoesToTheTitle)
{
    MakeStageData();
    m_Game.m_bStartFromTitle = true;
    int nVisit = 0;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() == CGame::STATE_STAGE && game.Visits(CGame::STATE_STAGE) > nVisit) {
            nVisit = game.Visits(CGame::STATE_STAGE);
            game.GetStage().SetState(nVisit == 1 ? STAGE_STATE_LEAVE : STAGE_STATE_QUIT);
        } else if (game.GetState() == CGame::STATE_TITLE && game.Visits(CGame::STATE_TITLE) == 2) {
            game.m_OnRender = nullptr;
            CloseSoon();
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    // A normal end saves (7, back to the title); the second run is quit from the pause menu.
    EXPECT_EQ(m_Game.States(), (States{3, 4, 15, 16, 7, 8, 13, 14, 11, 12, 3, 4, 15, 16, 13}));
}

TEST_F(GameRun, DemoPlayCyclesOverTheDemosThereAreAndEndsInTheLogoBar)
{
    MakeStageData();
    SetParam("PLAY_OPENING", "0");
    for (const char* pszKey : {"DEMOPLAY01", "DEMOPLAY02", "DEMOPLAY03"}) {
        SetParam(pszKey, "300");
    }
    std::filesystem::remove("GameData/Title/ReplayDemo02.dat");
    WriteDemoReplay(1);
    WriteDemoReplay(3);
    std::vector<int> demoStages;
    bool bLogoShown = false;
    bool bReplayMarks = false;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        switch (game.GetState()) {
        case CGame::STATE_STAGE:
            if (game.Visits(CGame::STATE_STAGE) == 1) {
                game.GetStage().SetState(STAGE_STATE_QUIT);
            } else if (game.IsDemo() && demoStages.size() < static_cast<size_t>(game.Visits(CGame::STATE_STAGE) - 1)) {
                demoStages.push_back(game.GetStageNumber());
                bLogoShown = !game.GetDemoPlayLogo().IsHidden();
            }
            // The heroine's playback start raises both marks; the demo takes them down again.
            if (game.IsDemo()) {
                bReplayMarks = bReplayMarks || g_bFPSExtra || g_bPlayerReplaying;
            }
            break;
        case CGame::STATE_TITLE:
            if (demoStages.size() == 3) {
                game.m_OnRender = nullptr;
                CloseSoon();
            } else {
                game.GetTitle().SetResult(CTitle::RESULT_DEMO);
            }
            break;
        default:
            break;
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(demoStages, (std::vector<int>{1, 3, 1}));
    EXPECT_TRUE(bLogoShown);
    EXPECT_FALSE(bReplayMarks);
    // A demo that runs out of time goes to the logo bar, then (without the opening) the title.
    EXPECT_EQ(Prefix(m_Game.States(), 12), (States{3, 4, 15, 16, 13, 14, 3, 4, 15, 16, 2, 13}));
    EXPECT_EQ(m_Game.GetNextDemo(), 2);
}

TEST_F(GameRun, DemoSelectionFailuresStayOnTheTitle)
{
    MakeStageData();
    // No demo replay files (the first title visit), then no demo keys (the second), then the first
    // demo's replay and key but an empty demo stage (the third): its load fails, and the title
    // comes back instead of the program ending. Last, the first demo's replay damaged (the fourth):
    // the title comes back, and the next count-down tries the demo after it, so one bad file does
    // not hold up the attract loop for good.
    for (const char* pszFile : {"ReplayDemo01.dat", "ReplayDemo02.dat", "ReplayDemo03.dat"})
        std::filesystem::remove(std::string("GameData/Title/") + pszFile);
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() == CGame::STATE_STAGE) {
            game.GetStage().SetState(STAGE_STATE_QUIT);
        } else if (game.GetState() == CGame::STATE_TITLE && game.GetTitle().GetResult() != CTitle::RESULT_DEMO) {
            const int nVisit = game.Visits(CGame::STATE_TITLE);
            if (nVisit == 5) {
                game.m_OnRender = nullptr;
                CloseSoon();
                return;
            }
            if (nVisit == 2) {
                for (const char* pszKey : {"DEMOPLAY01", "DEMOPLAY02", "DEMOPLAY03"}) {
                    DropParam(pszKey);
                }
                ReloadParamFile();
            } else if (nVisit == 3) {
                SetParam("DEMOPLAY01", "300");
                ReloadParamFile();
                WriteDemoReplay(1);
                CTempFolder::Put("GameData/Stage01/StageDemo.txt", std::string());
            } else if (nVisit == 4) {
                CTempFolder::Put("GameData/Title/ReplayDemo01.dat", "no replay at all, only words");
            }
            game.GetTitle().SetResult(CTitle::RESULT_DEMO);
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(m_Game.States(), (States{3, 4, 15, 16, 13, 14, 13, 14, 13, 14, 3, 13, 14, 13}));
    EXPECT_EQ(m_Game.GetNextDemo(), 2);
    EXPECT_FALSE(m_Game.IsDemo());
    EXPECT_TRUE(m_Host.GetMessageBoxes().empty());
    EXPECT_EQ(m_Host.GetErrorLines(),
              (std::vector<std::string>{
                  "GameData/Title/ReplayDemo01.dat: ERROR 39 : デモプレイのファイルが存在しません "
                  "[.\\GameData\\Title\\ReplayDemo01.dat]",
                  "GameData/System/Param.txt: ERROR 38 : デモプレイのパラメータが存在しません [#DEMOPLAY01]",
                  "GameData/Stage01/StageDemo.txt: defines no object and no map row: there is no stage to play",
                  "GameData/Stage01/StageDemo.txt: the demo play of stage 1 could not be loaded; back to the title",
                  "GameData/Title/ReplayDemo01.dat: ERROR 24 : リプレイデータの形式が違います "
                  "[.\\GameData\\Title\\ReplayDemo01.dat(no replay at all, )]"}));
}

TEST_F(GameRun, QuittingFromTheTitleEndsTheProgram)
{
    MakeData();
    SetParam("PLAY_OPENING", "0");
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() == CGame::STATE_TITLE) {
            game.GetTitle().SetResult(CTitle::RESULT_QUIT);
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(m_Game.States(), (States{1, 13, 14, 21}));
    EXPECT_EQ(m_Game.FirstTick(21) - m_Game.FirstTick(14), 34u);
}

namespace {

// A run without the opening whose first title visit asks for the given result; the states up to
// the second title visit. The ending is skipped with Z, the settings are left by Up (to their exit
// row) and Z (and Z again, should the first stay), the start menu by X, the replay selection by X.
// The observer, when given, sees every pass.
class TitleChoiceRun : public CProgramRun {
protected:
    States RunWithTitleResult(int nResult, const char* pszPlayEnding = "1",
                              std::function<void(CObservedGame&, uint32_t)> observe = nullptr)
    {
        MakeData();
        SetParam("PLAY_OPENING", "0");
        SetParam("PLAY_ENDING", pszPlayEnding);
        m_Game.m_bConfirmStartMenu = false;
        m_Game.m_OnRender = [&](CObservedGame& game) {
            const uint32_t nPass = m_Host.GetFrameTicks() - game.FirstTick(game.GetState());
            if (observe)
                observe(game, nPass);
            if (game.GetState() == CGame::STATE_ENDING) {
                m_Host.PressKey('Z');
            } else if (game.GetState() == CGame::STATE_REPLAY_SELECT) {
                m_Host.ReleaseKey('Z');
            } else if (game.GetState() == CGame::STATE_SETTINGS) {
                Tap(nPass, 10, VK_UP);
                Tap(nPass, 14, 'Z');
                Tap(nPass, 30, 'Z');
            } else if (game.GetState() == CGame::STATE_START_MENU) {
                Tap(nPass, 10, 'X');
            }
            if (game.GetState() != CGame::STATE_TITLE) {
                return;
            }
            if (game.Visits(CGame::STATE_TITLE) == 1) {
                game.GetTitle().SetResult(nResult);
            } else {
                game.m_OnRender = nullptr;
                CloseSoon();
            }
        };
        EXPECT_EQ(Run(kLongRun), 0);
        return m_Game.States();
    }
    // The key down at pass nAt of a state and up two passes later.
    void Tap(uint32_t nPass, uint32_t nAt, int nKey)
    {
        if (nPass == nAt)
            m_Host.PressKey(nKey);
        else if (nPass == nAt + 2)
            m_Host.ReleaseKey(nKey);
    }
};

} // namespace

TEST_F(TitleChoiceRun, TheEndingIsLoadedLikeAStageAndThenOffersSaving)
{
    EXPECT_EQ(RunWithTitleResult(CTitle::RESULT_ENDING), (States{1, 13, 14, 3, 4, 19, 20, 7, 8, 13}));
    EXPECT_FALSE(m_Game.IsToEnding());
}

TEST_F(TitleChoiceRun, TheLogoChoiceShowsTheBarAgain)
{
    EXPECT_EQ(RunWithTitleResult(CTitle::RESULT_LOGO), (States{1, 13, 14, 2, 13}));
}

TEST_F(TitleChoiceRun, WithoutTheEndingKeyTheEndingLeadsBackToTheTitle)
{
    EXPECT_EQ(RunWithTitleResult(CTitle::RESULT_ENDING, "0"), (States{1, 13, 14, 3, 4, 19, 20, 13}));
}

// The menus' own screens: each is left the player's way and the title comes back as it was left,
// its music and chosen stage kept (not a fresh visit).
TEST_F(TitleChoiceRun, TheSettingsAreLeftFromTheirExitRowBackToTheTitle)
{
    EXPECT_EQ(RunWithTitleResult(CTitle::RESULT_SETTINGS), (States{1, 13, 14, 5, 6, 13}));
    EXPECT_FALSE(m_Game.GetTitle().IsFresh());
}

// A settings file that cannot be written (a folder has its name) is said in place of the help line
// with its reason; the settings hold for the run, and the next press leaves. A file a write cut
// short left beside it is gone once the settings are read; a name that only looks like one stays.
TEST_F(TitleChoiceRun, ASettingsFileThatCannotBeWrittenIsSaidAndTheNextPressLeaves)
{
    std::vector<uint16_t> help, told;
    int nWhy = -1;
    uint32_t nLeftAt = 0;
    auto observe = [&](CObservedGame& game, uint32_t nPass) {
        if (nPass == 0 && game.GetState() == CGame::STATE_LOGO) {
            std::filesystem::create_directories("GameData/Config.dat");
            CTempFolder::Put("GameData/Config.dat.new", std::string("#CFG_FPS 3"));
            CTempFolder::Put("GameData/Config.dat.new.keep", std::string("mine"));
        }
        if (game.GetState() != CGame::STATE_SETTINGS)
            return;
        const std::vector<uint16_t>& frame = m_Host.GetLastFrame();
        const std::vector<uint16_t> band(frame.begin() + 410 * 640, frame.begin() + 470 * 640);
        if (nPass == 13)
            help = band;  // the exit row's help
        if (nPass == 26) {
            told = band;
            nWhy = g_Config.GetWriteFailure();
            WriteLook(m_Host, "settings-refused");
        }
        nLeftAt = nPass;
    };
    EXPECT_EQ(RunWithTitleResult(CTitle::RESULT_SETTINGS, "1", observe), (States{1, 13, 14, 5, 6, 13}));
    EXPECT_EQ(nWhy, USERFILE_NAME_IS_FOLDER);
    EXPECT_GE(nLeftAt, 30u) << "the first press stayed";
    ASSERT_EQ(help.size(), told.size());
    int nChanged = 0;
    for (size_t i = 0; i < help.size(); i++)
        nChanged += help[i] != told[i];
    EXPECT_GT(nChanged, 1000) << "the reason stands where the help was";
    EXPECT_TRUE(std::filesystem::is_directory("GameData/Config.dat"));
    EXPECT_FALSE(std::filesystem::exists("GameData/Config.dat.new"));
    EXPECT_TRUE(std::filesystem::exists("GameData/Config.dat.new.keep"));
}

TEST_F(TitleChoiceRun, TheStartMenusBackLeadsToTheTitle)
{
    EXPECT_EQ(RunWithTitleResult(CTitle::RESULT_START), (States{1, 13, 14, 11, 12, 13}));
    EXPECT_FALSE(m_Game.GetTitle().IsFresh());
}

TEST_F(TitleChoiceRun, LeavingTheReplayListLeadsToTheTitle)
{
    EXPECT_EQ(RunWithTitleResult(CTitle::RESULT_REPLAY), (States{1, 13, 14, 7, 8, 13}));
    EXPECT_EQ(m_Game.GetReplaySel().GetResult(), CReplaySel::RESULT_NONE);
    EXPECT_FALSE(m_Game.GetTitle().IsFresh());
}

TEST_F(GameRun, TheTitlesCountDownStartsADemoThatRunsToItsEndAndTheLogoBarLeadsBack)
{
    MakeData();
    SetParam("PLAY_OPENING", "0");
    SetParam("DEMO_COUNT", "1500, 1000");
    SetParam("DEMOPLAY01", "2000");
    WriteDemoReplay(1);
    uint32_t nDemoTicks = 0;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() == CGame::STATE_STAGE && game.IsDemo()) {
            nDemoTicks++;
        }
        if (game.GetState() == CGame::STATE_TITLE && game.Visits(CGame::STATE_TITLE) == 2) {
            game.m_OnRender = nullptr;
            CloseSoon();
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(m_Game.States(), (States{1, 13, 14, 3, 4, 15, 16, 2, 13}));
    // The count-down: 2.5 s of the menu after the wipe; the demo: its 2000 ms.
    const uint32_t nTitle = m_Game.FirstTick(CGame::STATE_TITLE_FADE) - m_Game.FirstTick(CGame::STATE_TITLE);
    EXPECT_GT(nTitle, 150u);
    EXPECT_LT(nTitle, 200u);
    EXPECT_GE(nDemoTicks, 120u);
    EXPECT_LE(nDemoTicks, 125u);
    EXPECT_EQ(m_Game.GetNextDemo(), 2);
}

TEST_F(GameRun, ADemoWhoseRecordEndsBeforeItsTimeEndsThereAndGoesOnToTheLogoBar)
{
    MakeData();
    SetParam("PLAY_OPENING", "0");
    SetParam("DEMO_COUNT", "1000, 500");
    SetParam("DEMOPLAY01", "60000");
    WriteDemoReplay(1, 150);
    uint32_t nDemoTicks = 0;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        if (game.GetState() == CGame::STATE_STAGE && game.IsDemo()) {
            nDemoTicks++;
        }
        if (game.GetState() == CGame::STATE_TITLE && game.Visits(CGame::STATE_TITLE) == 2) {
            game.m_OnRender = nullptr;
            CloseSoon();
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(m_Game.States(), (States{1, 13, 14, 3, 4, 15, 16, 2, 13}));
    // Its 150 frames (and the first pass before her first frame), not its minute.
    EXPECT_GE(nDemoTicks, 150u);
    EXPECT_LE(nDemoTicks, 153u);
}

namespace {

// A way a save fails: what is done to the folder before the save and undone after it, and what the
// player is told.
struct SAVEBARRIER {
    int nSlot;  // 0-based
    int nWhy;
    std::function<void()> raise;
    std::function<void()> lower;
};

// The failure lines' place differs from the background: the message is there.
int FailureInk(const CHostHeadless& host, const CBmpPixels& back)
{
    int nInk = 0;
    for (int y = CReplaySel::FAILURE_Y; y < CReplaySel::FAILURE_Y + CReplaySel::FAILURE_HEIGHT; y++)
        for (int x = CReplaySel::FAILURE_X; x < CReplaySel::FAILURE_X + CReplaySel::FAILURE_WIDTH; x++)
            nInk += host.GetLastFrame()[static_cast<size_t>(y) * 640 + x] != back.Rgb565(x, y);
    return nInk;
}

} // namespace

// Each way a save can fail is said with its slot and reason; the old file stays byte for
// byte, nothing is left beside it, and the player chooses again until a save works.
TEST_F(GameRun, ASaveThatFailsIsNeverShownAsSavedAndThePlayerChoosesAgain)
{
    MakeStageData();
    m_Game.m_bLeaveReplaySelect = false;
    // Slot 1's name is taken by a folder; slot 2 holds a replay of an earlier run.
    std::filesystem::create_directories("Replay/Replay01.dat");
    REPLAYIMAGE old;
    old.header.nYear = 2025;
    old.header.nMonth = 4;
    old.header.nDay = 1;
    old.header.nScore = 700;
    old.header.nPairs[0][0] = old.header.nPairs[0][1] = 0;
    old.tracks[0].push_back({0, 0, 0, 1, 0, 0, 0, 4, 0});
    const rvm::vector<uint8_t> oldBytes = EncodeReplay(old);
    CTempFolder::Put("Replay/Replay02.dat", oldBytes);
    std::unique_ptr<CFileSizeLimit> pLimit;
    std::unique_ptr<CPermissionsBind> pBind;
    const std::vector<SAVEBARRIER> barriers = {
        {0, USERFILE_NAME_IS_FOLDER, [] {}, [] {}},
        // A full disk: no file may grow past 16 bytes.
        {1, USERFILE_NO_ROOM, [&] { pLimit = std::make_unique<CFileSizeLimit>(16); }, [&] { pLimit.reset(); }},
        {1, USERFILE_NOT_ALLOWED,
         [&] {
             std::filesystem::permissions("Replay", std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                                        std::filesystem::perms::others_write,
                                          std::filesystem::perm_options::remove);
             pBind = std::make_unique<CPermissionsBind>();
             ASSERT_FALSE(std::ofstream("Replay/probe")) << "the folder must refuse files for the case to mean anything";
         },
         [&] {
             pBind.reset();
             std::filesystem::permissions("Replay", std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
         }},
        {1, USERFILE_FOLDER_IS_FILE,
         [] {
             std::filesystem::rename("Replay", "Replay.away");
             CTempFolder::Put("Replay", std::string("a file"));
         },
         [] {
             std::filesystem::remove("Replay");
             std::filesystem::rename("Replay.away", "Replay");
         }},
    };
    const CBmpPixels back("GameData/Title/Replay.bmp");
    // Per case: down to its slot, the barrier up and Z, then (told) the barrier down and the key
    // up, a few passes for the message to be presented, and its ink. Last, slot 3 takes the run.
    enum { MOVE, PRESS, WAIT, SHOWN };
    int nPhase = MOVE;
    size_t nCase = 0;
    int nPass = 0;  // passes in the phase
    bool bSavedShown = false;
    std::vector<int> shown, ink;
    int nInkBefore = -1;
    m_Game.m_OnRender = [&](CObservedGame& game) {
        CReplaySel& sel = game.GetReplaySel();
        if (game.GetState() == CGame::STATE_STAGE) {
            game.GetStage().SetState(STAGE_STATE_LEAVE);
            return;
        }
        if (game.GetState() == CGame::STATE_TITLE) {
            game.m_OnRender = nullptr;
            CloseSoon();
            return;
        }
        if (game.GetState() != CGame::STATE_REPLAY_SELECT)
            return;
        if (sel.GetResult() == CReplaySel::RESULT_SAVED && !bSavedShown) {
            bSavedShown = true;
            m_Host.ReleaseKey('Z');
        }
        if (sel.GetResult() != CReplaySel::RESULT_NONE)
            return;
        const int nSlot = nCase < barriers.size() ? barriers[nCase].nSlot : 2;
        nPass++;
        switch (nPhase) {
        case MOVE:
            if (nPass == 1 && sel.GetCursor() != nSlot)
                m_Host.PressKey(VK_DOWN);
            else if (nPass == 3)
                m_Host.ReleaseKey(VK_DOWN);
            else if (nPass >= 5 && sel.GetCursor() == nSlot) {
                nPhase = PRESS;
                nPass = 0;
            } else if (nPass >= 5)
                nPass = 0;
            break;
        case PRESS:
            if (nInkBefore < 0)
                nInkBefore = FailureInk(m_Host, back);
            if (nCase < barriers.size())
                barriers[nCase].raise();
            m_Host.PressKey('Z');
            nPhase = WAIT;
            nPass = 0;
            break;
        case WAIT:
            if (nCase < barriers.size() && sel.GetSaveFailure() == barriers[nCase].nWhy &&
                sel.GetFailureSlot() == nSlot) {
                barriers[nCase].lower();
                m_Host.ReleaseKey('Z');
                shown.push_back(barriers[nCase].nWhy);
                EXPECT_EQ(CTempFolder::Get("Replay/Replay02.dat"), std::vector<uint8_t>(oldBytes.begin(), oldBytes.end()))
                    << "case " << nCase;
                nPhase = SHOWN;
                nPass = 0;
            } else if (nCase < barriers.size() && nPass > 100) {
                ADD_FAILURE() << "case " << nCase << " never said why";
                barriers[nCase].lower();
                m_Host.ReleaseKey('Z');
                nCase = barriers.size();
                nPhase = MOVE;
                nPass = 0;
            }
            break;
        case SHOWN:
            if (nPass == 6) {
                ink.push_back(FailureInk(m_Host, back));
                WriteLook(m_Host, "save-refused-" + std::to_string(nCase + 1));
                nCase++;
                nPhase = MOVE;
                nPass = 0;
            }
            break;
        }
    };
    ASSERT_EQ(Run(kLongRun), 0);
    EXPECT_EQ(m_Game.States(), (States{3, 4, 15, 16, 7, 8, 13}));
    std::vector<int> expected;
    for (const SAVEBARRIER& b : barriers)
        expected.push_back(b.nWhy);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(nInkBefore, 0) << "no message before a failure";
    ASSERT_EQ(ink.size(), barriers.size());
    for (size_t i = 0; i < ink.size(); i++)
        EXPECT_GT(ink[i], 400) << "case " << i;
    // Only the save that worked was shown as saved, and it is a replay the list can play.
    EXPECT_TRUE(bSavedShown);
    EXPECT_TRUE(std::filesystem::is_directory("Replay/Replay01.dat"));
    EXPECT_EQ(CTempFolder::Get("Replay/Replay02.dat"), std::vector<uint8_t>(oldBytes.begin(), oldBytes.end()));
    CReplaySel::SLOT slot;
    CReplaySel::ReadSlot("Replay03.dat", &slot);
    EXPECT_TRUE(slot.bValid);
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator("Replay"))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Replay01.dat", "Replay02.dat", "Replay03.dat"}));
}
