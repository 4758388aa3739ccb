#include "player/PlayerFace.h"

#include <climits>

#include "engine/AppTimer.h"
#include "engine/Log.h"
#include "engine/SurfaceUtil.h"
#include "player/HudDraw.h"

namespace {

const char* const kFaceRegions[FACE_COUNT] = {"FaceNormal", "FaceDamage", "FaceDanger1", "FaceDanger2"};

} // namespace

int CPlayerFace::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    int bOk = 1;
    for (int i = 0; i < FACE_COUNT; i++) {
        bOk &= m_Face[i].LoadFromIndex(lpDevice, IMGKEY{"CockpitIndex.txt", kFaceRegions[i]}, nullptr, MEM_VIDEO);
        m_Face[i].SetColorKeyGreen();
    }
    return bOk;
}

void CPlayerFace::Release()
{
    for (CDSurface& face : m_Face)
        face.Release();
}

void CPlayerFace::Reset()
{
    m_nFace = FACE_NORMAL;
    m_bDanger = 0;
    m_dwDamageTime = DAMAGE_MS;
}

void CPlayerFace::ShowDamage(int bForever)
{
    m_dwDamageTime = bForever ? (DWORD)INT_MAX : (DWORD)DAMAGE_MS;
    m_dwDamageStamp = CAppTimer::GetElapsed(0);
    m_nFace = FACE_DAMAGE;
}

void CPlayerFace::Update()
{
    const DWORD dwNow = CAppTimer::GetElapsed(0);
    switch (m_nFace) {
    case FACE_NORMAL:
        break;
    case FACE_DAMAGE:
        if (dwNow - m_dwDamageStamp > m_dwDamageTime) {
            m_nFace = m_bDanger ? FACE_DANGER1 : FACE_NORMAL;
            m_dwBlinkStamp = dwNow;
        }
        break;
    case FACE_DANGER1:
    case FACE_DANGER2:
        if (!m_bDanger) {
            m_nFace = FACE_NORMAL;
        } else if (dwNow - m_dwBlinkStamp > DANGER_BLINK_MS) {
            m_nFace = m_nFace == FACE_DANGER1 ? FACE_DANGER2 : FACE_DANGER1;
            m_dwBlinkStamp = dwNow;
        }
        break;
    default:
        // A stray value is not worth stopping the game for: she looks calm again.
        DebugPrintf("cockpit face out of range (%d)\n", m_nFace);
        m_nFace = FACE_NORMAL;
        break;
    }
}

int CPlayerFace::Draw(IDirectDrawSurface7* lpSurface)
{
    const int nFace = (m_nFace >= 0 && m_nFace < FACE_COUNT) ? m_nFace : FACE_NORMAL;
    return BltKeyedCell(lpSurface, m_Face[nFace].GetSurface(), nullptr, (int)m_fX, (int)m_fY);
}
