#include "DemoRecorder.h"

#include "DataSet.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/AppTimer.h"
#include "engine/KeyRecorder.h"
#include "engine/Param.h"
#include "headless/HeadlessGame.h"
#include "platform/host/HostHeadless.h"
#include "platform/win/Win.h"
#include "scene/Game.h"

namespace {

// A run that goes wrong (a stage that never starts) ends here instead of running on.
const uint32_t kMaxTicks = 20000;
// The recording runs past the demo's time, so the demo ends on its time and not on its data.
const DWORD kExtraMs = 1000;
const char kParamPath[] = "GameData/System/Param.txt";

// Replaces a key's values in Param.txt text, or adds the key. Only a line that starts with the
// key is the key's: "// #KEY" is a comment that mentions it.
void SetParamText(std::string* pText, const std::string& strKey, const std::string& strValues)
{
    const std::string strLine = "#" + strKey + " " + strValues + "\r\n";
    const size_t nFound = pText->find("\n#" + strKey + " ");
    if (nFound == std::string::npos) {
        *pText += strLine;
        return;
    }
    const size_t nAt = nFound + 1;
    pText->replace(nAt, pText->find("\r\n", nAt) + 2 - nAt, strLine);
}

// The demo's rider: she keeps to the middle of the screen with the gun going, jumps now and then
// and whenever the way ahead holds her up, and fires the sub-weapon from time to time. She steers
// by what she sees, so the demos stay playable as the stages change.
class CRecordingGame : public CHeadlessGame {
public:
    CRecordingGame(CHostHeadless& host, int nStage, DWORD dwLengthMs, std::vector<DEMOSAMPLE>* pSamples)
        : m_Host(host), m_nShift(7 * (nStage - 1)), m_dwLengthMs(dwLengthMs), m_pSamples(pSamples)
    {
    }

    // Keys change between passes, as a player's do: after this pass, for the next.
    void Update() override
    {
        CHeadlessGame::Update();
        CKeyRecorder* pRec = CKeyRecorder::GetInstance();
        if (!CDemoRecorder::IsStageRunning(*this) || pRec->GetMode() != KEYREC_MODE_RECORD) {
            return;
        }
        if (m_pSamples) {
            m_pSamples->push_back(CDemoRecorder::SampleOf(*this));
        }
        if (GetState() != STATE_STAGE || m_bLeft) {
            return;
        }
        if (GetStage().GetState() == STAGE_STATE_GAMEOVER) {
            // A demo never shows her retrying: the recording ends where she was out.
            m_nOutFrame = pRec->GetFrame();
            Leave();
            return;
        }
        Steer(pRec->GetFrame());
    }

    void Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice) override
    {
        CHeadlessGame::Render(lpDest, lpDevice);
        if (GetState() == STATE_STAGE && !m_bLeft) {
            const DWORD dwNow = CAppTimer::GetElapsed(0);
            if (!m_bStarted) {
                m_bStarted = true;
                m_dwStart = dwNow;
            } else if (dwNow - m_dwStart > m_dwLengthMs) {
                Leave();
            }
        } else if (GetState() == STATE_REPLAY_SELECT && m_Replay.empty()) {
            // What the save of this screen would write, with a date of its own so that every
            // generation writes the same bytes.
            REPLAYIMAGE image = CKeyRecorder::GetInstance()->Snapshot(GetStage().GetScore());
            image.header.nYear = 2026;
            image.header.nMonth = 1;
            image.header.nDay = 1;
            const rvm::vector<uint8_t> bytes = EncodeReplay(image);
            m_Replay.assign(bytes.begin(), bytes.end());
            HOSTSCRIPTCMD close = {};
            close.nTick = m_Host.GetTick() + 2;
            close.op = HSOP_CLOSE;
            m_Host.Schedule(close);
        }
    }

    std::vector<uint8_t> m_Replay;
    int m_nOutFrame = -1;

private:
    enum { GUN_PERIOD = 120, JUMP_FRAMES = 22, STUCK_CHECK = 30, SUB_PERIOD = 600, SUB_FRAMES = 6 };
    // A high jump keeps her in the air some thirty ticks, a cell wide gap more.
    static constexpr float kShowJumpReach = 40.0f;

    void Steer(int nFrame)
    {
        D3DVECTOR v = {};
        GetPlayer().GetPosition(&v);
        if (v.x < 360.0f) {
            SetKey(VK_RIGHT, true);
        } else if (v.x > 440.0f) {
            SetKey(VK_RIGHT, false);
        }
        SetKey('Z', (nFrame + m_nShift) % GUN_PERIOD < GUN_PERIOD - 6);
        // Her looks ahead must leave the stage as it was: a probe notes speed changes it saw.
        const int bCorrected = GetStage().m_bXSpeedCorrected;
        // A gap is jumped as soon as she is down again; a wall waits for the beat.
        const float fSpeed = GetStage().GetStep(STAGE_MAIN_LAYER);
        const bool bOnGround = !(GetPlayer().GetState() & PLAYER_STATE_JUMP);
        const bool bGap = nFrame > m_nJumpUntil && bOnGround && IsEdgeWithin(v, 3.0f * fSpeed + 12.0f);
        if (bGap || (nFrame >= m_nJumpUntil + JUMP_FRAMES && IsWallAhead(v))) {
            m_nJumpUntil = nFrame + JUMP_FRAMES;
        }
        GetStage().m_bXSpeedCorrected = bCorrected;
        if (nFrame % STUCK_CHECK == 0) {
            const bool bStuck = m_Down[KEY_RIGHT] && v.x <= m_fCheckX + 1.0f;
            // A jump for the show is not taken where it would come down in a gap.
            const bool bBeat = nFrame % (110 + 2 * m_nShift) < STUCK_CHECK && !IsEdgeWithin(v, kShowJumpReach * fSpeed);
            if (bStuck || bBeat) {
                m_nJumpUntil = nFrame + JUMP_FRAMES;
            }
            m_fCheckX = v.x;
        }
        SetKey('X', nFrame < m_nJumpUntil);
        SetKey('C', (nFrame + 5 * m_nShift) % SUB_PERIOD >= SUB_PERIOD - SUB_FRAMES);
    }

    // The ground she rides on ends within the distance ahead of her.
    bool IsEdgeWithin(const D3DVECTOR& v, float fDistance)
    {
        for (float fAhead = 8.0f; fAhead <= fDistance; fAhead += 8.0f) {
            if (!GetStage().GetMainLabelAtEx(D3DVECTOR{v.x + fAhead, v.y + 24.0f, 0.0f}))
                return true;
        }
        return false;
    }

    // Something solid a little ahead of her, above the ground she rides on.
    bool IsWallAhead(const D3DVECTOR& v)
    {
        return GetStage().GetMainLabelAtEx(D3DVECTOR{v.x + 110.0f, v.y - 30.0f, 0.0f}) != nullptr;
    }

    void Leave()
    {
        m_bLeft = true;
        for (int nKey : kKeys) {
            SetKey(nKey, false);
        }
        GetStage().SetState(STAGE_STATE_LEAVE);
    }

    enum { KEY_RIGHT, KEY_SHOT, KEY_JUMP, KEY_SUB, KEY_COUNT };
    static constexpr int kKeys[KEY_COUNT] = {VK_RIGHT, 'Z', 'X', 'C'};

    void SetKey(int nKey, bool bDown)
    {
        for (int i = 0; i < KEY_COUNT; i++) {
            if (kKeys[i] != nKey || m_Down[i] == bDown)
                continue;
            m_Down[i] = bDown;
            if (bDown)
                m_Host.PressKey(nKey);
            else
                m_Host.ReleaseKey(nKey);
        }
    }

    CHostHeadless& m_Host;
    int m_nShift;
    DWORD m_dwLengthMs;
    std::vector<DEMOSAMPLE>* m_pSamples;
    bool m_Down[KEY_COUNT] = {};
    float m_fCheckX = 0.0f;
    int m_nJumpUntil = 0;
    bool m_bStarted = false;
    bool m_bLeft = false;
    DWORD m_dwStart = 0;
};

} // namespace

int CDemoRecorder::SubWeapon(int nStage)
{
    // Hawk Wind, Fire Storm and the Ground Wiper: the demos show the weapons the start menu offers.
    return nStage % 4;
}

bool CDemoRecorder::IsStageRunning(CGame& game)
{
    return game.GetState() == CGame::STATE_STAGE || game.GetState() == CGame::STATE_STAGE_FADE;
}

DEMOSAMPLE CDemoRecorder::SampleOf(CGame& game)
{
    D3DVECTOR v = {};
    game.GetPlayer().GetPosition(&v);
    return {CKeyRecorder::GetInstance()->GetFrame(), v.x, v.y, game.GetPlayer().GetLife(), game.GetStage().GetScore()};
}

std::vector<uint8_t> CDemoRecorder::Record(int nStage, std::vector<DEMOSAMPLE>* pSamples, std::string* pError)
{
    const std::filesystem::path oldDir = std::filesystem::current_path();
    std::error_code ec;
    std::filesystem::current_path(m_strFolder, ec);
    if (ec) {
        *pError = "cannot enter " + m_strFolder + ": " + ec.message();
        return {};
    }
    std::string strParams;
    {
        std::ifstream in(kParamPath, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        strParams = ss.str();
    }
    // A start straight into the stage's demo definition, with the demo's sub-weapon.
    std::string strRun = strParams;
    char szValue[80];
    SetParamText(&strRun, "STAGE_INIT_STATE", "1");
    snprintf(szValue, sizeof(szValue), "%d", nStage);
    SetParamText(&strRun, "INIT_STAGE_NUM", szValue);
    snprintf(szValue, sizeof(szValue), "%d", SubWeapon(nStage));
    SetParamText(&strRun, "INIT_SUB_WEAPON", szValue);
    snprintf(szValue, sizeof(szValue), ".\\GameData\\Stage%02d\\StageDemo.txt", nStage);
    SetParamText(&strRun, "DEBUG_STAGE", szValue);
    {
        std::ofstream out(kParamPath, std::ios::binary | std::ios::trunc);
        out << strRun;
    }
    ClearParams();
    char szKey[32];
    snprintf(szKey, sizeof(szKey), "DEMOPLAY%02d", nStage);
    const DWORD dwLength = static_cast<DWORD>(GetParamInt(szKey, 0, 0)) + kExtraMs;

    // Nothing of an earlier run in this process may go into the recording.
    CKeyRecorder::GetInstance()->Reset();
    int nOldOptions[REPLAY_OPTION_COUNT];
    std::copy(g_nOptionFlags, g_nOptionFlags + REPLAY_OPTION_COUNT, nOldOptions);
    // Easy (half damage) with the high jump, which clears the sample stages' two-cell walls.
    g_nOptionFlags[0] = 1;
    g_nOptionFlags[1] = 1;
    g_nOptionFlags[2] = 0;
    if (pSamples)
        pSamples->clear();
    CHostHeadless host;
    CRecordingGame game(host, nStage, dwLength, pSamples);
    host.SetQuiet(true);
    const int nResult = RunOnHost(host, game, kMaxTicks);
    CKeyRecorder::GetInstance()->Reset();
    std::copy(nOldOptions, nOldOptions + REPLAY_OPTION_COUNT, g_nOptionFlags);

    {
        std::ofstream out(kParamPath, std::ios::binary | std::ios::trunc);
        out << strParams;
    }
    ClearParams();
    std::filesystem::current_path(oldDir, ec);
    if (game.m_nOutFrame >= 0) {
        fprintf(stderr, "makedata: the demo of stage %d ends at frame %d, where she was out\n", nStage, game.m_nOutFrame);
    }
    if (game.m_Replay.empty()) {
        *pError = "the demo of stage " + std::to_string(nStage) + " was not recorded (exit " + std::to_string(nResult) +
                  ", " + std::to_string(host.GetFrameTicks()) + " ticks)";
    }
    return game.m_Replay;
}

bool WriteDemoReplays(CDataSet& data, const std::string& strFolder)
{
    CDemoRecorder recorder(strFolder);
    for (int nStage = 1; nStage <= DEMO_STAGES; nStage++) {
        std::string strError;
        const std::vector<uint8_t> replay = recorder.Record(nStage, nullptr, &strError);
        if (replay.empty()) {
            fprintf(stderr, "makedata: %s\n", strError.c_str());
            return false;
        }
        char szName[64];
        snprintf(szName, sizeof(szName), "Title/ReplayDemo%02d.dat", nStage);
        if (!data.Write(szName, replay))
            return false;
    }
    return true;
}
