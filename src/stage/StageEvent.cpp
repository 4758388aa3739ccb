// Stage events: prepared once at load, run when their screen comes.
#include "stage/StageEvent.h"

#include <cstdlib>
#include <cstring>

#include "engine/BgmWave.h"
#include "engine/DebugOut.h"
#include "engine/Log.h"
#include "engine/MsgWin.h"
#include "engine/PCMManagerTask.h"
#include "engine/SurfaceUtil.h"
#include "engine/Util.h"
#include "stage/EnemyFactory.h"
#include "stage/ObjectLabel.h"
#include "stage/StageData.h"
#include "rvm/rvm_stl.h"

namespace {

bool EndsWith(const rvm::string& text, const char* pszTail)
{
    size_t n = strlen(pszTail);
    return text.size() >= n && text.compare(text.size() - n, n, pszTail) == 0;
}

}  // namespace

int CreateBG0Surface(IDirect3DDevice7* lpDevice, BG0RECORD* pRecord)
{
    if (!pRecord)
        return 0;
    int nScale = pRecord->scale == "200%" ? 2 : 1;
    SafeRelease(pRecord->lpSurface);
    pRecord->nWidth = 0;
    pRecord->nHeight = 0;
    if (EndsWith(pRecord->picture, "Off"))
        return 1;
    IDirectDrawSurface7* lpPicture = LoadBitmapSurface(lpDevice, pRecord->picture.c_str(), 0);
    if (!lpPicture)
        return 0;
    int w = 0, h = 0;
    GetSurfaceSize(lpPicture, &w, &h);
    w *= nScale;
    h *= nScale;
    if (w <= 0 || h <= 0) {
        SafeRelease(lpPicture);
        return 0;
    }
    int nCopies = w >= 640 ? 1 : (640 + w - 1) / w;
    IDirectDrawSurface7* lpStrip = CreateDevicePlaneSurface(lpDevice, w * nCopies, h, 0);
    if (!lpStrip) {
        SafeRelease(lpPicture);
        return 0;
    }
    for (int i = 0; i < nCopies; i++) {
        RECT rcDest = {i * w, 0, (i + 1) * w, h};
        if (FAILED(lpStrip->Blt(&rcDest, lpPicture, nullptr, DDBLT_WAIT, nullptr))) {
            SafeRelease(lpStrip);
            SafeRelease(lpPicture);
            return 0;
        }
    }
    SafeRelease(lpPicture);
    pRecord->lpSurface = lpStrip;
    // The strip is what the far background scrolls through, so its size is the record's.
    pRecord->nWidth = w * nCopies;
    pRecord->nHeight = h;
    return 1;
}

int CStageData::PrepareEvents(IDirect3DDevice7* lpDevice)
{
    for (const auto& screen : m_Events)
        for (const rvm::string& text : screen.second)
            PrepareEvent(lpDevice, screen.first, text);
    return 1;
}

void CStageData::PrepareEvent(IDirect3DDevice7* lpDevice, int nScreen, const rvm::string& text)
{
    rvm::string name;
    rvm::vector<rvm::string> args;
    ParseKeyValueLine(text.c_str(), name, args);
    const rvm::string folder = m_szStageDir;
    if (name == "LOOP") {
        if (!args.empty() && atoi(args[0].c_str()) < 1)
            Report(7, "ERROR 17 : LOOPの画面番号は１以上を指定してください [%s]\n", text.c_str());
    } else if (name == "BG0") {
        if (args.empty())
            return;
        BG0RECORD* pRecord = new BG0RECORD;
        pRecord->picture = folder + args[0];
        if (args.size() == 2)
            pRecord->scale = args[1];
        if (!CreateBG0Surface(lpDevice, pRecord)) {
            DebugPrintf("Fail to CreateBG0Surface [%s]\n", pRecord->picture.c_str());
            m_Messages.push_back("Fail to CreateBG0Surface [" + pRecord->picture + "]\n");
            delete pRecord;
            return;
        }
        if (BG0RECORD** ppOld = m_BG0List.Find(nScreen)) {
            SafeRelease((*ppOld)->lpSurface);
            delete *ppOld;
        }
        if (!m_BG0List.Set(nScreen, pRecord)) {
            SafeRelease(pRecord->lpSurface);
            delete pRecord;
        }
    } else if (name == "CHAT") {
        if (args.size() < 2)
            return;
        MSGINFO msg;
        msg.strVoice = folder + args[1];
        msg.strText = args.size() >= 3 ? args[2] : rvm::string();
        msg.bCloseOnVoiceEnd = 1;
        if (m_pSound)
            m_pSound->QueueStageSound(msg.strVoice.c_str());
        CMsgWin* pWin = new CMsgWin;
        if (!pWin->CreateFromFile(lpDevice, (folder + args[0]).c_str(), msg)) {
            Report(3, "WARNING : 会話ウィンドウを作れません [%s]\n", text.c_str());
            delete pWin;
            return;
        }
        if (CMsgWin** ppOld = m_ChatList.Find(nScreen))
            delete *ppOld;
        if (!m_ChatList.Set(nScreen, pWin))
            delete pWin;
    } else if (name == "PLAY") {
        if (!args.empty() && m_pSound)
            m_pSound->QueueStageSound((folder + args[0]).c_str());
    } else if (name == "BOSS") {
        if (args.empty())
            return;
        CObject* pKind = GetEnemy(args[0]);
        const ENEMYMAKERS& makers = GetEnemyMakers();
        CObjectLabel* pLabel = pKind && makers.NewLabel ? makers.NewLabel(pKind) : nullptr;
        if (!pLabel) {
            // A boss label without a kind would be dereferenced as soon as it makes its parts.
            Report(3, "ERROR 1 : オブジェが定義されていません [%s]\n", args[0].c_str());
            return;
        }
        PlaceLabel(pLabel, STAGE_ENEMY_LAYER, nScreen, 0, 0);
        if (makers.CreateParts)
            makers.CreateParts(pLabel, lpDevice);
        pLabel->Setup(lpDevice, m_szStageDir);
        auto it = m_Bosses.find(args[0]);
        if (it != m_Bosses.end() && it->second) {
            it->second->Release();
            delete it->second;
        }
        m_Bosses[args[0]] = pLabel;
    }
}

void CStageData::RunEvents(IStageEventTarget* pStage, int* pnScreen)
{
    if (!pStage || !pnScreen)
        return;
    auto it = m_Events.find(*pnScreen);
    if (it == m_Events.end())
        return;
    int bFirstDanger = 1;
    int nScreen = *pnScreen;
    for (const rvm::string& text : it->second)
        RunEvent(pStage, *pnScreen, &nScreen, text, &bFirstDanger);
    *pnScreen = nScreen;
}

void CStageData::PlayBgm(const rvm::vector<rvm::string>& args)
{
    if (!m_pBgm || args.empty())
        return;
    if (args[0] == "Off") {
        m_pBgm->FadeOut();
        return;
    }
    int nCue = args.size() >= 2 ? atoi(args[1].c_str()) : 0;
    // The stage's pack: its folder with the closing backslash turned into ".dat".
    rvm::string pack = m_szStageDirCopy;
    if (!pack.empty() && pack.back() == '\\')
        pack.pop_back();
    pack += ".dat";
    rvm::string wave = rvm::string(m_szStageDirCopy) + args[0];
    if (m_pBgm->Open(pack.c_str(), wave.c_str(), nCue))
        m_pBgm->Play(1);
    else
        m_pBgm->FadeOut();
}

int CStageData::RunEvent(IStageEventTarget* pStage, int nEventScreen, int* pnScreen, const rvm::string& text,
                         int* pbFirstDanger)
{
    rvm::string name;
    rvm::vector<rvm::string> args;
    ParseKeyValueLine(text.c_str(), name, args);
    if (name == "XSPEED") {
        if (args.empty())
            return 0;
        m_fXSpeed = (float)atof(args[0].c_str());
        g_nXSpeedState = 1;
    } else if (name == "BG0") {
        pStage->SetBg0Record(FindBG0(nEventScreen));
    } else if (name == "LOOP") {
        if (args.empty())
            return 0;
        int n = atoi(args[0].c_str());
        if (args.size() == 1)
            *pnScreen = n;
        else if (args[1] == "Boss" && pStage->IsBossBattle())
            *pnScreen = n;
        else if (args[1] == "NoBoss" && !pStage->IsBossBattle())
            *pnScreen = n;
    } else if (name == "PLAY") {
        if (!args.empty() && m_pSound)
            m_pSound->Play((rvm::string(m_szStageDir) + args[0]).c_str());
    } else if (name == "BGM") {
        PlayBgm(args);
    } else if (name == "DANGER") {
        if (!args.empty() && args[0] == "Boss") {
            pStage->StartBossWarning();
        } else if (args.size() >= 2) {
            int n = args.size() >= 3 ? atoi(args[2].c_str()) : 1;
            pStage->StartDanger(atoi(args[0].c_str()), 480 - atoi(args[1].c_str()), n, *pbFirstDanger);
            *pbFirstDanger = 0;
        }
    } else if (name == "CHAT") {
        if (CMsgWin** ppWin = m_ChatList.Find(nEventScreen))
            pStage->AddChat(*ppWin);
    } else if (name == "BOSS") {
        if (args.empty())
            return 0;
        auto it = m_Bosses.find(args[0]);
        if (it == m_Bosses.end() || !it->second)
            return 0;
        it->second->Spawn();
        pStage->StartBoss(it->second, GetBossNumber(args[0].c_str()));
    } else if (name == "CONSTRUCTIVE") {
        pStage->SetConstructive(!args.empty() && args[0] == "On");
    } else if (name == "AERIALMODE") {
        pStage->StartAerialMode();
    } else {
        return 0;
    }
    return 1;
}
