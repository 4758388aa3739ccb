#include "scene/Script.h"

#include <cstdio>
#include <cstring>

#include "engine/AppTimer.h"
#include "engine/Log.h"
#include "engine/PCMManagerTask.h"
#include "engine/Sound.h"
#include "engine/Util.h"
#include "pack/teskFile.h"
#include "rvm/rvm_stl.h"

namespace {

// Skips space, tab, CR, LF and the full-width space.
const char* SkipWhite(const char* p)
{
    for (;;) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            p++;
        } else if (c == 0x81 && static_cast<unsigned char>(p[1]) == 0x40) {
            p += 2;
        } else {
            return p;
        }
    }
}

const char* SkipWord(const char* p)
{
    while (*p && SkipWhite(p) == p) {
        p++;
    }
    return p;
}

// One line of at most SCRIPT_LINE_MAX bytes without its line end; the rest of a longer line is
// read and dropped, so it cannot pass for a line of its own. False at the end of the file.
bool ReadLine(CFile* pFile, char* pszLine)
{
    if (!FileGets(pszLine, SCRIPT_LINE_MAX + 1, pFile)) {
        return false;
    }
    size_t n = std::strlen(pszLine);
    bool bWhole = n > 0 && pszLine[n - 1] == '\n';
    char szRest[256];
    while (!bWhole && n == SCRIPT_LINE_MAX && FileGets(szRest, sizeof(szRest), pFile)) {
        const size_t nRest = std::strlen(szRest);
        bWhole = nRest > 0 && szRest[nRest - 1] == '\n';
    }
    while (n > 0 && (pszLine[n - 1] == '\n' || pszLine[n - 1] == '\r')) {
        pszLine[--n] = '\0';
    }
    return true;
}

bool IsPictureCommand(int nId)
{
    return nId == SCRIPT_IMAGE_BACK || nId == SCRIPT_IMAGE_CHAR || nId == SCRIPT_BLACK_IN || nId == SCRIPT_WHITE_IN;
}

} // namespace

CScript::~CScript()
{
    Unload();
}

int CScript::Load(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    Unload();
    const rvm::string folder = pszFolder ? pszFolder : "";
    const int bLoaded = Parse((folder + SCRIPT_FILE_NAME).c_str()) && Prepare(lpDevice, folder.c_str());
    TellUser();
    if (!bLoaded) {
        return 0;
    }
    if (m_Shots.empty()) {
        ReportDataError(m_strPath.c_str(), "the script has no shot: there is nothing to play");
    }
    Reset();
    return 1;
}

void CScript::TellUser()
{
    for (; m_nToldReports < m_Reports.size(); m_nToldReports++) {
        ReportDataError(m_strPath.c_str(), "%s", m_Reports[m_nToldReports].c_str());
    }
}

int CScript::Parse(const char* pszPath)
{
    m_strPath = pszPath ? pszPath : "";
    CFile* pFile = nullptr;
    if (FileOpen(&pFile, pszPath) != 0 || !pFile) {
        ReportScriptError(&m_Reports, "%s の読み込みに失敗しました\n", pszPath);
        return 0;
    }
    rvm::vector<char> line(SCRIPT_LINE_MAX + 1);
    // The shot being read; a shot that is never ended is not kept.
    std::unique_ptr<CScriptShot> pShot;
    while (ReadLine(pFile, line.data())) {
        CutComment(line.data());
        const char* p = SkipWhite(line.data());
        if (*p != '#') {
            continue;
        }
        const char* pEnd = SkipWord(p + 1);
        const rvm::string keyword(p + 1, pEnd);
        const char* pRest = SkipWhite(pEnd);
        if (keyword == "BEGIN_SHOT") {
            pShot = std::make_unique<CScriptShot>();
        } else if (keyword == "CMD" && pShot) {
            pShot->AddCommand(pRest, &m_Reports);
        } else if (keyword == "END_SHOT" && pShot) {
            pShot->SetWaitKey(rvm::string(pRest, SkipWord(pRest)) == "WAIT_KEY");
            m_Shots.push_back(std::move(pShot));
        }
    }
    FileClose(pFile);
    if (pShot) {
        // Most likely a file cut short: the user hears of the shot the scene will not show.
        ReportDataError(pszPath, "the last shot has no #END_SHOT and is left out");
    }
    return 1;
}

int CScript::Prepare(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    const rvm::string folder = pszFolder ? pszFolder : "";
    for (size_t s = 0; s < m_Shots.size(); s++) {
        for (const SCRIPTCMD& cmd : m_Shots[s]->GetCommands()) {
            if (IsPictureCommand(cmd.nId)) {
                LoadPicture(lpDevice, folder, cmd.params[0], cmd.nId != SCRIPT_IMAGE_CHAR);
            } else if (cmd.nId == SCRIPT_MSG) {
                m_Messages[MessageKey(static_cast<int>(s), cmd.nTime, cmd.nTwin)] =
                    std::make_unique<CScriptMsg>(cmd.params[2]);
            } else if (cmd.nId == SCRIPT_VOICE && g_bSoundOn) {
                LoadVoice(folder, cmd.params[0]);
            }
        }
    }
    return 1;
}

void CScript::LoadPicture(IDirect3DDevice7* lpDevice, const rvm::string& folder, const rvm::string& name, int bBack)
{
    if (name.empty() || m_Pictures.count(name)) {
        return;
    }
    auto pPicture = std::make_unique<SCRIPTPICTURE>();
    if (!pPicture->surface.LoadFromFile(lpDevice, (folder + name).c_str(), nullptr, MEM_VIDEO)) {
        return;
    }
    pPicture->surface.SetColorKeyGreen();
    pPicture->bBack = bBack;
    pPicture->strName = name;
    m_Pictures[name] = std::move(pPicture);
}

void CScript::LoadVoice(const rvm::string& folder, const rvm::string& name)
{
    if (name.empty() || m_Voices.count(name)) {
        return;
    }
    LPDIRECTSOUNDBUFFER lpBuffer = LoadWaveSoundBuffer((folder + name).c_str());
    if (!lpBuffer) {
        return;
    }
    SCRIPTVOICE& voice = m_Voices[name];
    voice.strName = name;
    voice.lpBuffer = lpBuffer;
    lpBuffer->GetVolume(&voice.lVolume);
}

int CScript::PrepareMessages(CScriptMsgWin* pWin, CAntiCharCache* pCache)
{
    if (!pWin || !pCache) {
        return 0;
    }
    // A message whose glyphs fail has been reported by the window; the others go on.
    int bAll = 1;
    for (auto& entry : m_Messages) {
        const rvm::string& text = entry.second->GetText();
        bAll &= pWin->CacheGlyphs(text.c_str(), static_cast<int>(text.size()), pCache, &m_Reports);
    }
    return bAll;
}

void CScript::Unload()
{
    m_Shots.clear();
    m_Reports.clear();
    m_nToldReports = 0;
    m_Pictures.clear();
    m_Messages.clear();
    for (auto& entry : m_Voices) {
        entry.second.lpBuffer->Stop();
        entry.second.lpBuffer->Release();
    }
    m_Voices.clear();
    m_nShot = 0;
}

void CScript::Reset()
{
    for (auto& entry : m_Pictures) {
        SCRIPTPICTURE& picture = *entry.second;
        picture.x = picture.y = picture.z = 0;
        picture.bVisible = 0;
    }
    for (auto& entry : m_Voices) {
        entry.second.lpBuffer->Stop();
    }
    m_nShot = 0;
}

void CScript::StopVoices()
{
    for (auto& entry : m_Voices) {
        LPDIRECTSOUNDBUFFER lpBuffer = entry.second.lpBuffer;
        if (IsSoundBufferPlaying(lpBuffer)) {
            FadeOutSoundBuffer(lpBuffer);
            lpBuffer->SetVolume(DSBVOLUME_MIN);
        }
    }
}

// ---- The clock ------------------------------------------------------------------------------------

void CScript::SetShot(int nShot)
{
    m_nShot = nShot;
    m_dwShotStart = m_dwLastQuery = CAppTimer::GetElapsed(0);
}

const CScriptShot* CScript::GetShotAt(int nShot) const
{
    return nShot >= 0 && nShot < GetShotCount() ? m_Shots[nShot].get() : nullptr;
}

int CScript::IsWaitKey() const
{
    const CScriptShot* pShot = GetShotAt(m_nShot);
    return pShot ? pShot->IsWaitKey() : 0;
}

int CScript::HasPending() const
{
    const CScriptShot* pShot = GetShotAt(m_nShot);
    if (!pShot || pShot->GetCommands().empty()) {
        return 0;
    }
    return static_cast<long long>(pShot->GetLastTime()) >= static_cast<long long>(m_dwLastQuery - m_dwShotStart);
}

void CScript::GetNewCommands(rvm::vector<const SCRIPTCMD*>& out, DWORD dwNow)
{
    const CScriptShot* pShot = GetShotAt(m_nShot);
    if (dwNow <= m_dwLastQuery || !pShot) {
        return;
    }
    const long long nFrom = static_cast<DWORD>(m_dwLastQuery - m_dwShotStart);
    const long long nTo = static_cast<DWORD>(dwNow - m_dwShotStart);
    for (const SCRIPTCMD& cmd : pShot->GetCommands()) {
        if (cmd.nTime >= nFrom && cmd.nTime < nTo) {
            out.push_back(&cmd);
        }
    }
    m_dwLastQuery = dwNow;
}

void CScript::GetRemainingCommands(rvm::vector<const SCRIPTCMD*>& out)
{
    const CScriptShot* pShot = GetShotAt(m_nShot);
    if (!pShot || pShot->GetCommands().empty() || pShot->GetLastTime() < 0) {
        return;
    }
    // The window is half-open: asking for one past the last time takes the last command too.
    GetNewCommands(out, m_dwShotStart + static_cast<DWORD>(pShot->GetLastTime()) + 1);
}

// ---- Pictures, messages, voices ------------------------------------------------------------------

SCRIPTPICTURE* CScript::FindFirstPicture(int nId)
{
    const CScriptShot* pShot = GetShotAt(m_nShot);
    if (!pShot) {
        return nullptr;
    }
    for (const SCRIPTCMD& cmd : pShot->GetCommands()) {
        SCRIPTPICTURE* pPicture = cmd.nId == nId && !cmd.params.empty() ? FindPicture(cmd.params[0]) : nullptr;
        if (pPicture) {
            return pPicture;
        }
    }
    return nullptr;
}

SCRIPTPICTURE* CScript::FindPicture(const rvm::string& name)
{
    auto it = m_Pictures.find(name);
    return it == m_Pictures.end() ? nullptr : it->second.get();
}

void CScript::SetPicturePos(const rvm::string& name, int x, int y, int z)
{
    if (SCRIPTPICTURE* pPicture = FindPicture(name)) {
        pPicture->x = x;
        pPicture->y = y;
        pPicture->z = z;
    }
}

void CScript::SetPictureVisible(const rvm::string& name, int bVisible)
{
    if (SCRIPTPICTURE* pPicture = FindPicture(name)) {
        pPicture->bVisible = bVisible;
    }
}

POINT CScript::GetPicturePos(const rvm::string& name)
{
    const SCRIPTPICTURE* pPicture = FindPicture(name);
    return pPicture ? POINT{pPicture->x, pPicture->y} : POINT{-1, -1};
}

CScriptMsg* CScript::FindMessage(const rvm::string& key)
{
    auto it = m_Messages.find(key);
    return it == m_Messages.end() ? nullptr : it->second.get();
}

SCRIPTVOICE* CScript::FindVoice(const rvm::string& name)
{
    auto it = m_Voices.find(name);
    return it == m_Voices.end() ? nullptr : &it->second;
}

rvm::string CScript::MessageKey(int nShot, int nTime, int nTwin)
{
    char szKey[64];
    if (nTwin > 0) {
        snprintf(szKey, sizeof(szKey), "msg=s%03d:t%08d:%d", nShot, nTime, nTwin);
    } else {
        snprintf(szKey, sizeof(szKey), "msg=s%03d:t%08d", nShot, nTime);
    }
    return szKey;
}

// ---- Drawing --------------------------------------------------------------------------------------

void CScript::DrawBacks(IDirectDrawSurface7* lpDest, int dx, int dy)
{
    DrawKind(lpDest, dx, dy, 1);
}

void CScript::DrawChars(IDirectDrawSurface7* lpDest, int dx, int dy)
{
    DrawKind(lpDest, dx, dy, 0);
}

void CScript::DrawKind(IDirectDrawSurface7* lpDest, int dx, int dy, int bBack)
{
    if (!lpDest) {
        return;
    }
    // By z, equal z in name order: an insertion sort into the reused list.
    m_DrawList.clear();
    for (auto& entry : m_Pictures) {
        SCRIPTPICTURE* pPicture = entry.second.get();
        if (!pPicture->bVisible || pPicture->bBack != bBack) {
            continue;
        }
        auto it = m_DrawList.end();
        while (it != m_DrawList.begin() && (*(it - 1))->z > pPicture->z) {
            --it;
        }
        m_DrawList.insert(it, pPicture);
    }
    for (SCRIPTPICTURE* pPicture : m_DrawList) {
        int w = 0, h = 0;
        pPicture->surface.GetSize(&w, &h);
        RECT rcSrc, rcDest;
        GetClippedBltRects(pPicture->x + dx, pPicture->y + dy, w, h, &rcSrc, &rcDest);
        if (rcDest.right > rcDest.left && rcDest.bottom > rcDest.top) {
            pPicture->surface.BltTo(lpDest, &rcDest, &rcSrc, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
        }
    }
}
