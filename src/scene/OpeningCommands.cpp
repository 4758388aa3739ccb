// The cut-scene player's commands, and the moves and special effects they start.
#include <cmath>

#include "engine/AppTimer.h"
#include "engine/BgmWave.h"
#include "engine/Config.h"
#include "engine/Log.h"
#include "engine/PCMManagerTask.h"
#include "engine/Sound.h"
#include "scene/Opening.h"
#include "rvm/rvm_stl.h"

namespace {

// Parameters a SPECIAL needs by kind, its kind included.
const size_t kSpecialParams[3] = {5, 7, 9};

int Int(const rvm::vector<rvm::string>& params, size_t i)
{
    return i < params.size() ? CScriptShot::ToInt(params[i]) : 0;
}

float Float(const rvm::vector<rvm::string>& params, size_t i)
{
    return i < params.size() ? CScriptShot::ToFloat(params[i]) : 0.0f;
}

// Whether a picture of w x h at (x, y) has gone past the screen's edge it is heading for.
bool HasLeft(float x, float y, int w, int h, float vx, float vy)
{
    return y >= 481.0f || (vx < 0.0f && x + w <= 0.0f) || (vx > 0.0f && x >= 640.0f) || (vy < 0.0f && y + h <= 0.0f);
}

} // namespace

// ---- Moves ----------------------------------------------------------------------------------------

void GLIDEMOVE::Start(const rvm::string& name, int nStartX0, float fDistance0, float fSpeed, int bConstant)
{
    strName = name;
    nStartX = nStartX0;
    fX = static_cast<float>(nStartX0);
    fDistance = fDistance0;
    // A glide always goes to the right, whatever the sign of its speed; a picture at constant
    // speed keeps the direction its speed gives, so a band can drift either way.
    fSign = bConstant && fSpeed < 0.0f ? -1.0f : 1.0f;
    const float v = std::fabs(fSpeed);
    if (bConstant || fDistance <= 0.0f) {
        speed.Set(v, 0.0f, 0.0f, v, 0);
    } else {
        speed.Set(v, -v * v / (2.0f * fDistance), 0.0f, v, 1);
    }
    nSteps = 0;
    bDone = fDistance <= 0.0f || v <= 0.0f;
}

void GLIDEMOVE::Step(CScript& script)
{
    SCRIPTPICTURE* pPicture = script.FindPicture(strName);
    if (bDone || !pPicture) {
        bDone = 1;
        return;
    }
    const float fOld = fX;
    if (std::fabs(fX - static_cast<float>(nStartX)) < fDistance && speed.fValue > 0.0f && !speed.nReached &&
        ++nSteps <= OPENING_RUN_LIMIT) {
        fX += fSign * speed.fValue;
        pPicture->x = static_cast<int>(fX);
        speed.Step();
        // A speed too small to move the picture any more counts as rest.
        bDone = fX == fOld;
    } else {
        bDone = 1;
    }
    if (bDone) {
        const float fDir = fX > static_cast<float>(nStartX) ? 1.0f : (fX < static_cast<float>(nStartX) ? -1.0f : 0.0f);
        pPicture->x = nStartX + static_cast<int>(fDir * fDistance);
    }
}

void SWAYFALL::Start(CScript& script, const rvm::string& name, float a, float b, float c)
{
    const SCRIPTPICTURE* pPicture = script.FindPicture(name);
    strName = name;
    fX = pPicture ? static_cast<float>(pPicture->x) : 0.0f;
    fY = pPicture ? static_cast<float>(pPicture->y) : 0.0f;
    fBound = std::fabs(a);
    fHs = 0.0f;
    fHa = -0.4f;
    bBounded = 1;
    nTurns = 0;
    fVs = b;
    fVa = c;
    nSteps = 0;
    bDone = !pPicture;
}

void SWAYFALL::Step(CScript& script)
{
    SCRIPTPICTURE* pPicture = script.FindPicture(strName);
    if (bDone || !pPicture) {
        bDone = 1;
        return;
    }
    fX += fHs;
    fY += fVs;
    pPicture->x = static_cast<int>(fX);
    pPicture->y = static_cast<int>(fY);
    fHs += fHa;
    if (bBounded && (fHs <= -fBound || fHs >= fBound)) {
        fHs = fHs < 0.0f ? -fBound : fBound;
        if (nTurns < 2) {
            fHa = -fHa;
            nTurns++;
        }
    }
    // After its two turns the picture is let go as soon as it heads left.
    if (nTurns >= 2 && fHs < 0.0f) {
        bBounded = 0;
    }
    fVs += fVa;
    int w = 0, h = 0;
    pPicture->surface.GetSize(&w, &h);
    bDone = HasLeft(fX, fY, w, h, fHs, fVs) || ++nSteps >= OPENING_RUN_LIMIT;
}

void COpening::StartMove(const rvm::vector<rvm::string>& params)
{
    const SCRIPTPICTURE* pPicture = m_Script.FindPicture(params[0]);
    if (!pPicture) {
        return;
    }
    GLIDEMOVE& move = m_Moves[params[0]];
    move.Start(params[0], pPicture->x, CScriptShot::ToFloat(params[1]), CScriptShot::ToFloat(params[2]), 0);
    m_bMoving |= !move.bDone;
}

void COpening::UpdateMoves()
{
    if (!m_bMoving) {
        return;
    }
    int bAny = 0;
    for (auto& entry : m_Moves) {
        entry.second.Step(m_Script);
        bAny |= !entry.second.bDone;
    }
    if (!bAny) {
        m_Moves.clear();
        m_bMoving = 0;
    }
}

// ---- Special effects ------------------------------------------------------------------------------

void COpening::Special(CScript& script, const rvm::vector<rvm::string>& params)
{
    const int nKind = Int(params, 0);
    if (params.empty() || nKind < SPECIAL_SWAY || nKind > SPECIAL_THREE || params.size() != kSpecialParams[nKind]) {
        ReportScriptError(&script.GetReports(), "ERROR 35 : SPECIALのパラメータが不正です [%s(%d個)]\n",
                          params.empty() ? "" : params[0].c_str(), static_cast<int>(params.size()));
        script.TellUser();
        return;
    }
    m_nSpecial = nKind;
    m_nSpecialMoves = 0;
    if (nKind == SPECIAL_SWAY) {
        m_Sway.Start(script, params[1], Float(params, 2), Float(params, 3), Float(params, 4));
        return;
    }
    // Kind 1: two glides (name, speed, distance). Kind 2: the first picture runs at its constant
    // speed for the limit's distance, then two glides no longer than the limit.
    size_t i = 1;
    const bool bThree = nKind == SPECIAL_THREE;
    if (bThree) {
        const POINT at = script.GetPicturePos(params[1]);
        m_SpecialMoves[m_nSpecialMoves++].Start(params[1], at.x, SPECIAL_LIMIT, Float(params, 2), 1);
        i = 3;
    }
    for (; i + 2 < params.size() && m_nSpecialMoves < 3; i += 3) {
        const POINT at = script.GetPicturePos(params[i]);
        float fDistance = Float(params, i + 2);
        if (bThree && fDistance > SPECIAL_LIMIT) {
            fDistance = SPECIAL_LIMIT;
        }
        m_SpecialMoves[m_nSpecialMoves++].Start(params[i], at.x, fDistance, Float(params, i + 1), 0);
    }
}

void COpening::UpdateSpecial()
{
    if (m_nSpecial == SPECIAL_SWAY) {
        m_Sway.Step(m_Script);
        if (m_Sway.bDone) {
            m_nSpecial = SPECIAL_IDLE;
        }
        return;
    }
    if (m_nSpecial == SPECIAL_IDLE) {
        return;
    }
    int bAny = 0;
    for (int i = 0; i < m_nSpecialMoves; i++) {
        m_SpecialMoves[i].Step(m_Script);
        bAny |= !m_SpecialMoves[i].bDone;
    }
    if (!bAny) {
        m_nSpecial = SPECIAL_IDLE;
    }
}

// ---- Commands -------------------------------------------------------------------------------------

void COpening::Execute(const SCRIPTCMD& cmd)
{
    DebugPrintf("DEBUG_TRACE #CMD %d,%s", cmd.nTime, CScriptShot::GetCommandName(cmd.nId));
    const rvm::vector<rvm::string>& p = cmd.params;
    switch (cmd.nId) {
    case SCRIPT_VOICE:
        if (!m_bFastForward) {
            PlayVoice(p[0]);
        }
        break;
    case SCRIPT_BGM_PLAY:
        PlayMusic(p[0]);
        break;
    case SCRIPT_BGM_STOP:
        g_BgmWave.FadeOut();
        break;
    case SCRIPT_IMAGE_BACK:
    case SCRIPT_IMAGE_CHAR:
        ShowPicture(p, cmd.nId == SCRIPT_IMAGE_BACK);
        break;
    case SCRIPT_IMAGE_HIDE:
        m_Script.SetPictureVisible(p[0], 0);
        m_MsgWin.SetPanelDirty();
        break;
    case SCRIPT_IMAGE_MOVX:
        StartMove(p);
        break;
    case SCRIPT_MSG:
        ShowMessage(cmd);
        break;
    case SCRIPT_QUAKE:
        if (!m_bFastForward) {
            StartQuake();
        }
        break;
    case SCRIPT_BLACK_OUT:
        StartFade(CFadePlane::KIND_OUT_BLACK);
        break;
    case SCRIPT_WHITE_OUT:
        StartFade(CFadePlane::KIND_OUT_WHITE);
        break;
    case SCRIPT_BLACK_IN:
    case SCRIPT_WHITE_IN:
        StartFade(cmd.nId == SCRIPT_BLACK_IN ? CFadePlane::KIND_IN_BLACK : CFadePlane::KIND_IN_WHITE);
        if (!p[0].empty()) {
            ShowPicture(p, 1);
        }
        break;
    case SCRIPT_SPECIAL:
        Special(m_Script, p);
        break;
    default:
        break;
    }
}

// IMAGE_BACK, IMAGE_CHAR and the fades in: name, x, y and for a character its z.
void COpening::ShowPicture(const rvm::vector<rvm::string>& params, int bBack)
{
    const int z = bBack ? 0 : Int(params, 3);
    m_Script.SetPicturePos(params[0], Int(params, 1), Int(params, 2), z);
    m_Script.SetPictureVisible(params[0], 1);
    m_MsgWin.SetPanelDirty();
}

void COpening::ShowMessage(const SCRIPTCMD& cmd)
{
    m_MsgWin.SetPanelDirty();
    for (int i = 0; i < OPENING_RUN_LIMIT && !m_Fader.IsDone(); i++) {
        UpdateFade();
    }
    m_bQuake = 0;
    const rvm::string key = CScript::MessageKey(m_Script.GetShot(), cmd.nTime, cmd.nTwin);
    m_MsgWin.SetMessage(m_Script.FindMessage(key));
    m_MsgWin.SetPosition(Int(cmd.params, 0), Int(cmd.params, 1));
    m_MsgWin.Open();
    if (m_bFastForward) {
        m_MsgWin.ShowWholeText();
    }
}

void COpening::StartFade(int nKind)
{
    m_Fader.SetKind(nKind);
    m_Fader.Start();
    for (int i = 0; m_bFastForward && i < OPENING_RUN_LIMIT && !m_Fader.IsDone(); i++) {
        UpdateFade();
    }
}

void COpening::StartQuake()
{
    m_nQuakeIndex = 0;
    m_bQuake = 1;
    m_dwQuakeTick = CAppTimer::GetElapsed(0);
}

void COpening::PlayVoice(const rvm::string& name)
{
    SCRIPTVOICE* pVoice = m_Script.FindVoice(name);
    if (!pVoice || !g_bSoundOn) {
        return;
    }
    pVoice->lpBuffer->SetVolume(g_Config.ScaleVolume(pVoice->lVolume));
    RestartSoundBuffer(pVoice->lpBuffer);
}

rvm::string COpening::GetMusicPack(const rvm::string& folder)
{
    rvm::string pack = folder;
    if (!pack.empty() && pack.back() == '\\') {
        pack.pop_back();
    }
    return pack + ".dat";
}

// From the script's folder, or from the pack named after it.
void COpening::PlayMusic(const rvm::string& name)
{
    if (g_BgmWave.Open(GetMusicPack(m_strFolder).c_str(), (m_strFolder + name).c_str(), 0)) {
        g_BgmWave.Play(1);
    } else {
        g_BgmWave.FadeOut();
    }
}
