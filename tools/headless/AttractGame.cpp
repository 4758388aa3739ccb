#include "headless/AttractGame.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <sstream>

#include "bullet/EBulletPart.h"
#include "bullet/ExpBombScroll.h"
#include "engine/BgmWave.h"
#include "engine/KeyRecorder.h"
#include "engine/Log.h"
#include "rvm/Heap.h"
#include "player/Item.h"
#include "scene/ScriptMsgWin.h"

namespace {

// FNV-1a, one value after another.
class CFingerprint {
public:
    explicit CFingerprint(uint64_t nStart) : m_nHash(nStart ? nStart : kBasis) {}
    void Mix(const void* pData, size_t nSize)
    {
        const auto* p = static_cast<const uint8_t*>(pData);
        for (size_t i = 0; i < nSize; i++)
            m_nHash = (m_nHash ^ p[i]) * 1099511628211ULL;
    }
    template <class T>
    void Mix(const T& value)
    {
        Mix(&value, sizeof(value));
    }
    uint64_t Get() const { return m_nHash; }

private:
    static constexpr uint64_t kBasis = 1469598103934665603ULL;
    uint64_t m_nHash;
};

// The number of a line of /proc/self/status ("VmRSS:" in KiB, "Threads:").
long ReadStatusValue(const char* pszKey)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string key(pszKey);
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) == 0)
            return std::stol(line.substr(key.size()));
    }
    return 0;
}

// What the sparks of a frame may change. The stars of a hit are strewn by a generator seeded from
// the wall clock, so a demo in which she is hit never looks quite the same twice.
const int kSparkPixels = 640 * 480 / 6;

// The explosions, items and enemy shots in play.
void MixPools(CFingerprint& print)
{
    int nBusy = 0;
    for (int i = 0; i < EXPBOMB_POOL_SIZE; i++)
        nBusy += IsExpBombScrollBusy(i) != 0;
    int nItems = 0;
    for (int i = 0; i < ITEM_POOL_SIZE; i++) {
        const CItemGun* pItem = CItemGun::GetPoolItem(i);
        nItems += pItem && !pItem->IsFinished();
    }
    int nShots = 0;
    IEBulletRender::REGISTRY& shots = IEBulletRender::GetRegistry();
    for (auto it = shots.begin(); it != shots.end(); ++it)
        nShots++;
    print.Mix(nBusy);
    print.Mix(nItems);
    print.Mix(nShots);
}

std::string Describe(const std::vector<int>& states)
{
    std::ostringstream out;
    for (size_t i = 0; i < states.size(); i++)
        out << (i ? " " : "") << states[i];
    return out.str();
}

} // namespace

CAttractGame::CAttractGame(CHostHeadless& host) : m_Host(host)
{
}

void CAttractGame::Update()
{
    CHeadlessGame::Update();
    SampleDemo();
}

void CAttractGame::Render(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice)
{
    Note();
    CHeadlessGame::Render(lpDest, lpDevice);
    Note();
    PlayViewer();
    if (m_nState == STATE_OPENING)
        LookAtHash(m_nOpeningLook, "opening", &m_Current.nOpeningHash);
    if (m_nState == STATE_TITLE) {
        LookAtHash(m_nTitleLook, "title", &m_Current.nTitleHash);
        if (m_Host.GetFrameTicks() - m_nStateTick == m_nTitleLook)
            m_Current.bTitleMusic = g_BgmWave.IsPlaying() != 0;
    }
    if (m_nState == STATE_STAGE && IsDemo())
        LookAtDemo();
}

void CAttractGame::Note()
{
    const int nState = GetState();
    if (nState == m_nState)
        return;
    const uint32_t nTick = m_Host.GetFrameTicks();
    if (nState == STATE_LOGO_BAR && !m_Current.states.empty()) {
        m_Current.nEndTick = nTick;
        m_Loops.push_back(m_Current);
        OnLoopEnd(m_Loops.back());
        m_Current = ATTRACTLOOP();
    }
    if (m_Current.states.empty())
        m_Current.nStartTick = nTick;
    m_Current.states.push_back(nState);
    m_Current.entryTicks.push_back(nTick);
    m_nState = nState;
    m_nStateTick = nTick;
}

// Enter at the caution's wait; Ctrl, for one pass, where the opening waits with its prompt.
void CAttractGame::PlayViewer()
{
    const bool bCaution = GetState() == STATE_LOGO && GetLogo().GetState() == CLogo::STATE_CAUTION_WAIT;
    Hold(VK_RETURN, bCaution, &m_bEnterHeld);
    COpening& opening = GetOpening();
    const CScriptMsgWin& win = opening.GetMsgWin();
    const bool bWaits = m_bHurryOpening || (win.GetState() == CScriptMsgWin::STATE_PROMPT && !win.IsHidden());
    const bool bPrompt = GetState() == STATE_OPENING && bWaits && !opening.IsAllDone();
    // Let go after one pass, so that the next prompt is a new press.
    Hold(VK_CONTROL, bPrompt && !m_bCtrlHeld, &m_bCtrlHeld);
}

void CAttractGame::Hold(int nKey, bool bDown, bool* pbHeld)
{
    if (bDown && !*pbHeld)
        m_Host.PressKey(nKey);
    else if (!bDown && *pbHeld)
        m_Host.ReleaseKey(nKey);
    *pbHeld = bDown;
}

// The host holds the frame presented last: the one drawn in the pass before this.
const std::vector<uint16_t>* CAttractGame::Look(uint32_t nSince, uint32_t nAt, const char* pszName)
{
    if (m_Host.GetFrameTicks() - nSince != nAt)
        return nullptr;
    if (!m_strLookFolder.empty()) {
        char szName[64];
        snprintf(szName, sizeof(szName), "/loop%02d-%s.png", static_cast<int>(m_Loops.size()) + 1, pszName);
        m_Host.WriteLastFrame((m_strLookFolder + szName).c_str());
    }
    return &m_Host.GetLastFrame();
}

void CAttractGame::LookAtHash(uint32_t nAt, const char* pszName, uint64_t* pnHash)
{
    if (const std::vector<uint16_t>* pFrame = Look(m_nStateTick, nAt, pszName)) {
        CFingerprint print(0);
        print.Mix(pFrame->data(), pFrame->size() * sizeof(uint16_t));
        *pnHash = print.Get();
    }
}

void CAttractGame::LookAtDemo()
{
    const std::vector<uint16_t>* pFrame = Look(m_nStateTick, m_nDemoLook, "demo");
    if (!pFrame)
        return;
    auto it = m_FirstDemoShots.find(GetStageNumber());
    if (it == m_FirstDemoShots.end()) {
        m_FirstDemoShots[GetStageNumber()] = *pFrame;
        return;
    }
    int nDiffs = it->second.size() == pFrame->size() ? 0 : static_cast<int>(pFrame->size());
    for (size_t i = 0; i < pFrame->size() && i < it->second.size(); i++)
        nDiffs += (*pFrame)[i] != it->second[i];
    m_Current.nDemoShotDiffs = nDiffs;
}

// Every stage update that the demo replay drives, while the stage runs and while it fades out.
void CAttractGame::SampleDemo()
{
    const bool bStage = GetState() == STATE_STAGE || GetState() == STATE_STAGE_FADE;
    CKeyRecorder* pRecorder = CKeyRecorder::GetInstance();
    if (!IsDemo() || !bStage || pRecorder->GetMode() != KEYREC_MODE_PLAY)
        return;
    D3DVECTOR v = {};
    GetPlayer().GetPosition(&v);
    CFingerprint print(m_Current.nDemoHash);
    print.Mix(pRecorder->GetFrame());
    print.Mix(v.x);
    print.Mix(v.y);
    print.Mix(GetPlayer().GetLife());
    print.Mix(GetStage().GetScore());
    // Every object of every layer and of the pools: one left over from an earlier demo shows here.
    for (int nLayer = 0; nLayer < BG_NUM; nLayer++)
        print.Mix(GetStage().GetLayerList(nLayer).size());
    MixPools(print);
    m_Current.nDemoHash = print.Get();
    m_Current.nDemo = GetStageNumber();
    m_Current.nDemoFrames++;
}

std::vector<std::string> FindLoopFaults(const std::vector<ATTRACTLOOP>& loops)
{
    std::vector<std::string> faults;
    if (loops.size() < 2) {
        faults.push_back("fewer than two passes of the loop");
        return faults;
    }
    const std::vector<int>& expected = loops[1].states;
    for (size_t i = 0; i < loops.size(); i++) {
        const ATTRACTLOOP& loop = loops[i];
        const std::string strPass = "pass " + std::to_string(i + 1);
        const bool bSame = i == 0 ? loop.states.size() == expected.size() &&
                                        std::equal(loop.states.begin() + 1, loop.states.end(), expected.begin() + 1)
                                  : loop.states == expected;
        if (!bSame)
            faults.push_back(strPass + " went through " + Describe(loop.states) + ", not " + Describe(expected));
        if (!loop.bTitleMusic)
            faults.push_back(strPass + "'s title had no music");
        if (!loop.nDemo || !loop.nDemoFrames)
            faults.push_back(strPass + " played no demo");
        if (i > 0 && loop.nOpeningHash != loops[0].nOpeningHash)
            faults.push_back(strPass + "'s opening differs from the first pass's");
        if (i > 0 && loop.nTitleHash != loops[0].nTitleHash)
            faults.push_back(strPass + "'s title differs from the first pass's");
        for (size_t j = 0; j < i; j++) {
            const ATTRACTLOOP& first = loops[j];
            if (first.nDemo != loop.nDemo)
                continue;
            if (first.nDemoFrames != loop.nDemoFrames || first.nDemoHash != loop.nDemoHash)
                faults.push_back(strPass + "'s demo " + std::to_string(loop.nDemo) + " played otherwise than in pass " +
                                 std::to_string(j + 1));
            if (loop.nDemoShotDiffs < 0 || loop.nDemoShotDiffs > kSparkPixels)
                faults.push_back(strPass + "'s demo " + std::to_string(loop.nDemo) + " looks otherwise than in pass " +
                                 std::to_string(j + 1) + " (" + std::to_string(loop.nDemoShotDiffs) + " pixels)");
            break;
        }
    }
    return faults;
}

// The game's own words for a failure, in its debug output and logs.
bool IsErrorLine(const std::string& line)
{
    for (const char* pszWord : {"ERROR", "rror", "失敗", "refused", "damaged", "did not", "could not", "Assertion",
                                "missing", "できません"}) {
        if (line.find(pszWord) != std::string::npos)
            return true;
    }
    return false;
}

std::vector<std::string> ReadLines(const char* pszPath)
{
    std::vector<std::string> lines;
    std::ifstream in(pszPath, std::ios::binary);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

std::vector<std::string> FindRunErrors(const CHostHeadless& host)
{
    std::vector<std::string> errors;
    for (const std::string& line : host.GetDebugLines()) {
        if (IsErrorLine(line))
            errors.push_back("debug output: " + line);
    }
    for (const std::string& line : ReadLines(OPEN_LOG_FILE)) {
        if (IsErrorLine(line))
            errors.push_back(std::string(OPEN_LOG_FILE) + ": " + line);
    }
    for (const std::string& line : ReadLines(ASSERT_LOG_FILE))
        errors.push_back(std::string(ASSERT_LOG_FILE) + ": " + line);
    for (const auto& box : host.GetMessageBoxes())
        errors.push_back("message box: " + box.first);
    for (const std::string& line : host.GetErrorLines())
        errors.push_back("error output: " + line);
    return errors;
}

long ReadOpenFiles()
{
    std::error_code ec;
    long n = 0;
    for (std::filesystem::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end; it.increment(ec))
        n++;
    return n;
}

long ReadThreads()
{
    return ReadStatusValue("Threads:");
}

size_t ReadHeapInUse()
{
    // The system allocator sees each game heap's arena as one block that never changes: what the
    // game holds inside them is added.
    const struct mallinfo2 info = mallinfo2();
    size_t nArenas = 0;
    for (CHeap* pHeap : {GetGeneralHeap(), GetEnemyHeap(), GetSoundHeap()})
        nArenas += HeapBytesInUse(pHeap);
    return info.uordblks + info.hblkhd + nArenas;
}

long ReadResidentKiB()
{
    return ReadStatusValue("VmRSS:");
}

long ReadPeakResidentKiB()
{
    return ReadStatusValue("VmHWM:");
}
