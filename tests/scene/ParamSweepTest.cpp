// Every numeric key of the sample Param.txt set, one key at a time, to values out of any sensible
// range; each time the whole program runs headless through its start-up, a stage load and some
// ticks of play with the keys busy (she takes a hit, so her hit effects run too). The sanitizer
// build stops at the first undefined conversion or overflow that a tuning value reaches. A key that
// a run with the sample values never asks for cannot change that run, so its runs are left out; the
// keys later code reads join by themselves.
//
// The ride never meets a boss, so each boss is also fought from the first tick of a stage cut to it
// alone, in a test of its own, with the keys of that fight the ride does not reach: those the ride
// never asks for, and the boss's own (the ride reads the first boss's at the stage's load but never
// fights it).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <set>
#include <thread>

#include "engine/Param.h"
#include "scene/ProgramRun.h"
#include "scene/RunDataEdit.h"

namespace {

// The sweep looks for undefined behaviour, which only the AddressSanitizer and UBSan build stops
// at; elsewhere its minutes of runs would prove nothing more than the other scene tests.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZORVA_SWEEP_UNDER_UBSAN
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZORVA_SWEEP_UNDER_UBSAN
#endif
#ifndef ZORVA_SWEEP_UNDER_UBSAN
#define ZORVA_SWEEP_SKIPPED
#endif

// The parameter reader folds every out-of-range text into a few values (its own tests check each
// text: inf, 1e39, huge integers and the like); one text of each kind reaches the game: not a
// number, above and below every limit, an integer one past each end of the int range, and a small
// negative.
const char* const kBadValues[] = {"nan", "inf", "-1e39", "2147483648", "-2147483649", "-1"};
// Stage ticks each run plays: she rides right, jumps, shoots, takes a hit and fires her sub-weapon.
const uint32_t kPlayTicks = 90;
const uint32_t kHitTick = 30;
// Each boss in its stage. A fight is over sooner: the boss's values are at work from its first tick.
const uint32_t kFightTicks = 30;
struct BOSSFIGHT {
    int nStage;
    const char* pszName;
    const char* pszHitRatioKey;
};
const BOSSFIGHT kFights[] = {{1, "M.Zorva", "BOSS_HRR_MM"},
                             {2, "Z.M.Zorva", "BOSS_HRR_ZM"},
                             {3, "ZZ.M.Zorva", "BOSS_HRR_ZZ"},
                             {4, "M.ZorvaF91", "BOSS_HRR_F91"},
                             {5, "N.M.Zorva", "BOSS_HRR_NM"}};
const int kFightCount = 5;
// The keys are dealt out over this many tests, so that the sweep runs in parallel; each test copies
// the data set once.
const int kShards = 12;

class ParamSweep : public CProgramRun {
protected:
    // One copy of the build's data set for the whole sweep, and the keys a run with its values asks
    // for.
    static void SetUpTestSuite()
    {
#ifdef ZORVA_SWEEP_SKIPPED
        return;
#endif
        s_pData = new CTempFolder;
        MakeStageData();
        for (int f = 0; f < kFightCount; f++)
            s_strFightStages[f] = WriteFightStage(kFights[f]);
        std::ifstream in("GameData/System/Param.txt", std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        s_strParams = ss.str();
        s_nBaseline = Run(nullptr, nullptr, &s_Asked);
    }

    // The stage cut to its boss, the boss's label spawned with the stage (the events of screens 0
    // and 1 run at its start); the Param.txt value that points the game at it.
    static std::string WriteFightStage(const BOSSFIGHT& fight)
    {
        const std::string strValue = WriteBossStage(fight.nStage, fight.pszName);
        char szFile[64];
        snprintf(szFile, sizeof(szFile), "GameData/Stage%02d/%s", fight.nStage, BOSS_STAGE_FILE);
        std::string text = ReadDataFile(szFile);
        const size_t nAt = text.find("#002XXX:BOSS=");
        EXPECT_NE(nAt, std::string::npos) << szFile;
        if (nAt != std::string::npos)
            text.replace(nAt, 7, "#001XXX");
        CTempFolder::Put(szFile, text);
        return strValue;
    }

    static void TearDownTestSuite()
    {
        delete s_pData;
        s_pData = nullptr;
    }
    void SetUp() override
    {
#ifdef ZORVA_SWEEP_SKIPPED
        GTEST_SKIP() << "a sweep for undefined behaviour: it runs in the sanitizer build";
#endif
        std::filesystem::current_path(s_pData->Path());
    }

    // The keys whose every value is a number, in file order.
    static std::vector<std::string> NumericKeys()
    {
        std::vector<std::string> keys;
        const std::regex line("^#(\\S+) (.*)\r$");
        std::istringstream lines(s_strParams);
        for (std::string text; std::getline(lines, text);) {
            std::smatch m;
            if (std::regex_match(text, m, line) && IsNumberList(m[2]))
                keys.push_back(m[1]);
        }
        return keys;
    }
    static bool IsNumberList(const std::string& strValues)
    {
        std::istringstream values(strValues);
        for (std::string value; std::getline(values, value, ',');) {
            char* pEnd = nullptr;
            strtod(value.c_str(), &pEnd);
            while (*pEnd == ' ')
                pEnd++;
            if (pEnd == value.c_str() || *pEnd)
                return false;
        }
        return true;
    }

    // The program with every value of the key set to the text (the sample values without a key),
    // on the ride or, given a fight (0 to 4), in that boss fight. A run plays the stage and ends as
    // usual, or (when the value leaves no stage to load) ends with its reason and status 1. pAsked
    // receives the numeric keys asked for by the end of the play.
    static int Run(const char* pszKey, const char* pszValue, std::set<std::string>* pAsked, int nFight = -1)
    {
        CTempFolder::Put("GameData/System/Param.txt", s_strParams);
        if (nFight >= 0) {
            SetParam("INIT_STAGE_NUM", kFights[nFight].nStage);
            SetParam("DEBUG_STAGE", s_strFightStages[nFight]);
        }
        if (pszKey) {
            std::string strValues;
            for (size_t i = 0; i < ValueCount(pszKey); i++)
                strValues += std::string(i ? ", " : "") + pszValue;
            SetParam(pszKey, strValues);
        }
        CHostHeadless host;
        CObservedGame game(host);
        uint32_t nStageTicks = 0;
        bool bFront = false, bFought = false;
        const uint32_t nPlayTicks = nFight >= 0 ? kFightTicks : kPlayTicks;
        game.m_OnRender = [&](CObservedGame& g) {
            WaitForLoad(g);
            // A value that picks where the program starts may start it at the logo: the front
            // waits for keys, so a short look at it is the whole run.
            if (!bFront && nStageTicks == 0 && IsFrontState(g.GetState())) {
                bFront = true;
                CloseSoonOn(host, g, kFrontTicks);
            }
            if (g.GetState() != CGame::STATE_STAGE || !g.m_bNoting)
                return;
            bFought = bFought || g.GetStage().IsBossBattle();
            if (nStageTicks == nPlayTicks && pAsked)
                for (const std::string& strKey : NumericKeys())
                    if (WasParamAsked(strKey.c_str()))
                        pAsked->insert(strKey);
            Play(host, g, nStageTicks++, nPlayTicks);
        };
        const int nResult = RunOn(host, game, kLongRun);
        EXPECT_LT(host.GetFrameTicks(), kLongRun) << "the run never ended";
        if (nResult == 0 && bFront) {
            EXPECT_EQ(nStageTicks, 0u) << "a run from the logo reached the stage without a key";
        } else if (nResult == 0) {
            EXPECT_GT(nStageTicks, nPlayTicks) << "the stage was not played";
            // With the sample values a fight is fought (a swept value may well keep the boss away).
            if (nFight >= 0 && !pszKey)
                EXPECT_TRUE(bFought) << kFights[nFight].pszName;
        } else {
            EXPECT_EQ(nResult, 1);
            const auto boxes = host.GetMessageBoxes();
            EXPECT_TRUE(!boxes.empty() && boxes.back().first.find("could not be loaded") != std::string::npos);
        }
        return nResult;
    }

    // The screens before any stage: the logo, the opening, the title and its menus.
    static bool IsFrontState(int nState)
    {
        return nState != CGame::STATE_NONE && nState != CGame::STATE_LOADING && nState != CGame::STATE_LOADING_FADE &&
            nState != CGame::STATE_STAGE && nState != CGame::STATE_STAGE_FADE;
    }

    static size_t ValueCount(const std::string& strKey)
    {
        const size_t nAt = s_strParams.find("#" + strKey + " ");
        const size_t nEnd = s_strParams.find("\r\n", nAt);
        const std::string strLine = s_strParams.substr(nAt, nEnd - nAt);
        return static_cast<size_t>(std::count(strLine.begin(), strLine.end(), ',')) + 1;
    }

    // The loader works in real time while the ticks do not: the first loading frame waits for it.
    static void WaitForLoad(CObservedGame& game)
    {
        for (int i = 0; i < 60000 && game.GetState() == CGame::STATE_LOADING && !game.IsLoadDone(); i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    // The keys numbered nShard, nShard + kShards, ... each with every bad value.
    void SweepShard(int nShard);
    // The keys of the fight (0 to 4) that the ride does not reach, each with every bad value.
    void SweepFight(int nFight);

    // Stage tick t of a run that plays nTicks.
    static void Play(CHostHeadless& host, CObservedGame& game, uint32_t t, uint32_t nTicks)
    {
        if (t == 0) {
            host.PressKey(VK_RIGHT);
            host.PressKey('Z');
        }
        if (t % 30 == 5)
            host.PressKey('X');
        if (t % 30 == 20)
            host.ReleaseKey('X');
        if (t == kHitTick)
            game.GetPlayer().Damage(5);
        if (t == 60)
            host.PressKey(VK_SHIFT);
        if (t == nTicks)
            CloseSoonOn(host, game);
    }

    // Far more than a run from start-up through loading and play needs: a run that never ends
    // fails within seconds, even under the sanitizers.
    static constexpr uint32_t kLongRun = 6000;
    static constexpr uint32_t kFrontTicks = 120;
    static CTempFolder* s_pData;
    static std::string s_strParams;
    static std::string s_strFightStages[kFightCount];
    static int s_nBaseline;
    static std::set<std::string> s_Asked;
};

CTempFolder* ParamSweep::s_pData = nullptr;
std::string ParamSweep::s_strParams;
std::string ParamSweep::s_strFightStages[kFightCount];
int ParamSweep::s_nBaseline = -1;
std::set<std::string> ParamSweep::s_Asked;

} // namespace

void ParamSweep::SweepShard(int nShard)
{
    const std::vector<std::string> keys = NumericKeys();
    ASSERT_GT(keys.size(), 90u);
    // The sample values play the stage, and the heroine's tuning at least is asked for.
    ASSERT_EQ(s_nBaseline, 0);
    for (const char* pszKey : {"INIT_STAGE_NUM", "OBJ_FLASH_TIME", "GRAVITY", "JUMP", "DAMAGE_FLAT", "SHOT_HRR_Y"})
        ASSERT_EQ(s_Asked.count(pszKey), 1u) << pszKey;
    for (size_t i = static_cast<size_t>(nShard); i < keys.size(); i += kShards) {
        if (!s_Asked.count(keys[i]))
            continue;
        for (const char* pszValue : kBadValues) {
            SCOPED_TRACE(keys[i] + " " + pszValue);
            Run(keys[i].c_str(), pszValue, nullptr);
        }
    }
}

void ParamSweep::SweepFight(int nFight)
{
    ASSERT_EQ(s_nBaseline, 0);
    std::set<std::string> asked, keys;
    ASSERT_EQ(Run(nullptr, nullptr, &asked, nFight), 0);
    const std::string strOwn = std::string("ENEMY_") + kFights[nFight].pszName;
    for (const std::string& strKey : asked) {
        if (!s_Asked.count(strKey) || strKey.rfind("BOSS_", 0) == 0 || strKey == strOwn)
            keys.insert(strKey);
    }
    // Its hit box, at least, is the fight's own.
    EXPECT_EQ(keys.count(kFights[nFight].pszHitRatioKey), 1u);
    for (const std::string& strKey : keys) {
        for (const char* pszValue : kBadValues) {
            SCOPED_TRACE(std::string(kFights[nFight].pszName) + " " + strKey + " " + pszValue);
            Run(strKey.c_str(), pszValue, nullptr, nFight);
        }
    }
}

TEST_F(ParamSweep, KeysOfShard0) { SweepShard(0); }
TEST_F(ParamSweep, KeysOfShard1) { SweepShard(1); }
TEST_F(ParamSweep, KeysOfShard2) { SweepShard(2); }
TEST_F(ParamSweep, KeysOfShard3) { SweepShard(3); }
TEST_F(ParamSweep, KeysOfShard4) { SweepShard(4); }
TEST_F(ParamSweep, KeysOfShard5) { SweepShard(5); }
TEST_F(ParamSweep, KeysOfShard6) { SweepShard(6); }
TEST_F(ParamSweep, KeysOfShard7) { SweepShard(7); }
TEST_F(ParamSweep, KeysOfShard8) { SweepShard(8); }
TEST_F(ParamSweep, KeysOfShard9) { SweepShard(9); }
TEST_F(ParamSweep, KeysOfShard10) { SweepShard(10); }
TEST_F(ParamSweep, KeysOfShard11) { SweepShard(11); }
TEST_F(ParamSweep, KeysOfTheFightWithMM) { SweepFight(0); }
TEST_F(ParamSweep, KeysOfTheFightWithZM) { SweepFight(1); }
TEST_F(ParamSweep, KeysOfTheFightWithZZ) { SweepFight(2); }
TEST_F(ParamSweep, KeysOfTheFightWithF91) { SweepFight(3); }
TEST_F(ParamSweep, KeysOfTheFightWithNM) { SweepFight(4); }
