#include "scene/ReplaySel.h"

#include <cstdio>

#include "engine/BmpIndex.h"
#include "engine/Input.h"
#include "engine/KeyRecorder.h"
#include "engine/SurfaceUtil.h"
#include "engine/Util.h"
#include "pack/teskFile.h"
#include "player/OptionIcon.h"
#include "platform/win/File.h"
#include "platform/win/Win.h"
#include "player/Cockpit.h"
#include "scene/SceneTime.h"
#include "stage/BoundableSet.h"
#include "stage/CrushableSet.h"

namespace {

// "%04d年%02d月%02d日" in the game's two-byte text.
const char kDateFormat[] = "%04d\x94\x4E%02d\x8C\x8E%02d\x93\xFA";
const int kPlaneWidth = 128, kPlaneHeight = 32;
const float kCursorX = 286.0f;
const float kCursorRowY = 122.0f;
const float kCursorSpeed = -2.5f;
const float kSlotNumberX = 316.0f;
const float kSlotNumberDy = 114.0f;
const DWORD kSlotNumberHoldMs = 100;
const int kScoreX = 426, kScoreDy = 20;
const int kFailureTextHeight = 14;
// "スロット%dにリプレイを保存できませんでした" in the game's two-byte text.
const char kNotSavedFormat[] = "\x83\x58\x83\x8d\x83\x62\x83\x67%d\x82\xc9\x83\x8a\x83\x76\x83\x8c\x83\x43\x82\xf0\x95\xdb"
                               "\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd";

int MakePlane(IDirect3DDevice7* lpDevice, CDSurface* pPlane, int nWidth, int nHeight)
{
    pPlane->Release();
    return pPlane->Attach(CreateDevicePlaneSurface(lpDevice, nWidth, nHeight, MEM_VIDEO));
}

// Values a run of this game can have written; anything else is a damaged or foreign file, never
// drawn or played.
bool IsSoundHeader(int nFormat, const CReplaySel::SLOT& s)
{
    if (nFormat < 0 || s.nSubWeapon < 0 || s.nSubWeapon > 3) {
        return false;
    }
    for (int n : s.nOptions) {
        if (n != 0 && n != 1) {
            return false;
        }
    }
    if (nFormat < 5) {
        return true;  // older formats hold no date or score
    }
    return s.nMonth >= 1 && s.nMonth <= 12 && s.nDay >= 1 && s.nDay <= 31 && s.nYear >= 0 && s.nYear <= 9999 &&
           s.nScore >= 0 && s.nScore <= 9999999;
}

int IsDown(int nInput, int nVirtKey)
{
    return CKeyRecorder::IsKeyDown(nInput, nVirtKey);
}

} // namespace

int CReplaySel::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    if (!m_Back.LoadFromFile(lpDevice, REPLAY_BACK_PICTURE, nullptr, MEM_VIDEO) ||
        !m_Empty.LoadFromFile(lpDevice, REPLAY_EMPTY_PICTURE, nullptr, MEM_VIDEO)) {
        return 0;
    }
    m_Empty.SetColorKeyGreen();
    if (!m_Face.Load(lpDevice)) {
        return 0;
    }
    m_Face.SetDanger(0);
    m_Face.Reset();
    if (!m_Score.Load(lpDevice)) {
        return 0;
    }
    m_Score.SetZerosShown(0);
    m_Score.SetNumber(0);
    m_Cursor.Load(lpDevice);
    m_Cursor.SetKind(CURSOR_ITEM_KIND);
    StartCursor();
    if (!m_Icons.Attach(GetCockpitIndex().CreateSurfaceByDevice(lpDevice, "SubWeaponIcon.bmp", nullptr, MEM_VIDEO))) {
        return 0;
    }
    m_Icons.SetColorKeyGreen();
    return MakePlane(lpDevice, &m_Failure, FAILURE_WIDTH, FAILURE_HEIGHT);
}

void CReplaySel::Release()
{
    m_Back.Release();
    m_Empty.Release();
    m_Failure.Release();
    m_Icons.Release();
    m_Face.Release();
    m_Cursor.Finish();
    m_Score.Release();
    for (int i = 0; i < REPLAY_SLOTS; i++) {
        m_Dates[i].Release();
        m_SlotNumbers[i].Stop();
    }
}

void CReplaySel::StartCursor()
{
    m_Cursor.Start(kCursorSpeed, 0.0f);
    CCrushableSet::Unregister(&m_Cursor);
    CBoundableSet::Unregister(&m_Cursor);
    CScrollableSet::Unregister(&m_Cursor);
    PlaceCursor();
}

void CReplaySel::PlaceCursor()
{
    m_Cursor.SetPosition(D3DVECTOR{{kCursorX}, {(float)(m_nCursor * ROW_STEP) + kCursorRowY}, {0.0f}});
}

// The counter has ten places; a saved score has at most seven, so the first three are always blank
// and the counter is moved left by them (and the comma among them).
float CReplaySel::GetScoreX(int x) const
{
    const int nHidden = STAGEPOINT_DIGITS - SCORE_DIGITS;
    int nCommas = 0;
    for (int i = 1; i < nHidden; i++) {
        nCommas += (STAGEPOINT_DIGITS - i) % 3 == 0;
    }
    return (float)(x - nHidden * STAGEPOINT_DIGIT_WIDTH - nCommas * m_Score.GetCommaWidth());
}

void CReplaySel::ReadSlot(const char* pszFile, SLOT* pSlot)
{
    SLOT& s = *pSlot;
    s = SLOT{};
    snprintf(s.szFile, sizeof(s.szFile), "%s", pszFile);
    char szPath[MAX_PATH];
    snprintf(szPath, sizeof(szPath), "%s%s", REPLAY_DIR, pszFile);
    CFile file;
    if (file.Read(szPath) != FILE_OK) {
        return;
    }
    int nPairs[2 * KEYREC_TRACKS];
    for (int& n : nPairs) {
        n = -1;
    }
    const int nFormat = s.nFormat = CKeyRecorder::ReadReplayHeader(&file, szPath, nPairs, &s.nSubWeapon, s.nOptions, &s.nYear,
                                                       &s.nMonth, &s.nDay, &s.nScore);
    while (s.nStartStage < KEYREC_TRACKS && nPairs[2 * s.nStartStage] == -1 && nPairs[2 * s.nStartStage + 1] == -1) {
        s.nStartStage++;
    }
    // A run starts at one of the five stages; a file whose tracks do not all read cannot be played.
    s.bValid = IsSoundHeader(nFormat, s) && s.nStartStage < KEYREC_TRACKS &&
               CKeyRecorder::IsPlayable(file.GetMemory(), file.GetSize(), szPath);
}

void CReplaySel::MakeSlotPictures(IDirect3DDevice7* lpDevice, int i)
{
    const SLOT& s = m_Slots[i];
    m_Dates[i].Release();
    m_SlotNumbers[i].SetNumber(i + 1);
    if (!s.bValid || s.nFormat < 5) {
        return;
    }
    char szText[64];
    snprintf(szText, sizeof(szText), kDateFormat, s.nYear, s.nMonth, s.nDay);
    const char* pszText = szText;
    if (MakePlane(lpDevice, &m_Dates[i], kPlaneWidth, kPlaneHeight)) {
        m_Dates[i].WriteTextLines(&pszText, 1, 12);
    }
}

void CReplaySel::Enter(IDirect3DDevice7* lpDevice)
{
    if (!IsReplayDirExist()) {
        CreateDirectories(REPLAY_DIR);
    }
    for (int i = 0; i < REPLAY_SLOTS; i++) {
        char szName[16];
        snprintf(szName, sizeof(szName), "Replay%02d.dat", i + 1);
        // What a save cut short by the end of the program left beside the slot's file.
        char szPath[MAX_PATH];
        snprintf(szPath, sizeof(szPath), "%s%s", REPLAY_DIR, szName);
        RemoveReplacementLeftover(szPath);
        ReadSlot(szName, &m_Slots[i]);
        MakeSlotPictures(lpDevice, i);
    }
}

void CReplaySel::SetMode(int bSave)
{
    m_bStopped = 1;
    m_bSave = bSave;
    m_nFailure = USERFILE_WRITTEN;
    m_nFailureSlot = -1;
    ResetSelection();
    StartCursor();
    m_Score.Reset();
    const int nInput = CInputState::GetInput(0);
    m_Shot.Latch(nInput & INPUT_SHOT);
    m_Jump.Latch(nInput & INPUT_JUMP);
    m_Up.Latch(IsDown(nInput, VK_UP));
    m_Down.Latch(IsDown(nInput, VK_DOWN));
    m_bStopped = 0;
}

void CReplaySel::ResetSelection()
{
    m_nCursor = 0;
    if (!m_bSave) {
        const int nFirst = NextValid(REPLAY_SLOTS - 1, 1);
        m_nCursor = m_Slots[nFirst].bValid ? nFirst : 0;
    }
    m_nResult = RESULT_NONE;
}

int CReplaySel::NextValid(int nFrom, int nStep) const
{
    int n = nFrom;
    for (int i = 0; i < REPLAY_SLOTS + 1; i++) {
        n = (n + nStep + REPLAY_SLOTS) % REPLAY_SLOTS;
        if (m_Slots[n].bValid) {
            return n;
        }
    }
    return nFrom;
}

const char* CReplaySel::GetFileName() const
{
    return m_nCursor >= 0 && m_nCursor < REPLAY_SLOTS ? m_Slots[m_nCursor].szFile : nullptr;
}

int CReplaySel::GetStage() const
{
    return m_nCursor >= 0 && m_nCursor < REPLAY_SLOTS ? m_Slots[m_nCursor].nStartStage + 1 : 0;
}

void CReplaySel::ShowSaved()
{
    m_dwConfirmStart = SceneNow();
    m_nResult = RESULT_SAVED;
    m_nFailure = USERFILE_WRITTEN;
    m_nFailureSlot = -1;
}

void CReplaySel::ShowSaveFailure(int nWhy)
{
    char szNotSaved[80];
    snprintf(szNotSaved, sizeof(szNotSaved), kNotSavedFormat, m_nCursor + 1);
    const char* lines[2] = {szNotSaved, UserFileFailureText(nWhy)};
    m_Failure.WriteTextLines(lines, 2, kFailureTextHeight);
    m_nFailure = nWhy;
    m_nFailureSlot = m_nCursor;
    m_nResult = RESULT_NONE;
}

void CReplaySel::MoveCursor(int nStep)
{
    m_nCursor = m_bSave ? (m_nCursor + nStep + REPLAY_SLOTS) % REPLAY_SLOTS : NextValid(m_nCursor, nStep);
    PlayMenuMove();
}

// Only a slot with a sound header can be played: an unreadable one would leave the game nowhere.
void CReplaySel::Update()
{
    UpdateCursor();
    if (m_bStopped || m_nCursor < 0 || m_nCursor >= REPLAY_SLOTS || m_nResult != RESULT_NONE) {
        return;
    }
    const int nInput = CInputState::GetInput(0);
    if (m_Shot.Rise(nInput & INPUT_SHOT)) {
        if (m_bSave || m_Slots[m_nCursor].bValid) {
            m_nResult = m_bSave ? RESULT_SAVE : RESULT_PLAY;
            PlayMenuDecide();
        }
    }
    if (m_nResult == RESULT_NONE && m_Jump.Rise(nInput & INPUT_JUMP)) {
        m_nResult = m_bSave ? RESULT_SAVE_CANCEL : RESULT_LOAD_CANCEL;
    }
    if (m_nResult != RESULT_NONE) {
        return;
    }
    if (m_Up.Rise(IsDown(nInput, VK_UP))) {
        MoveCursor(-1);
    }
    if (m_Down.Rise(IsDown(nInput, VK_DOWN))) {
        MoveCursor(1);
    }
}

void CReplaySel::UpdateCursor()
{
    if (m_bStopped) {
        return;
    }
    if (m_nResult == RESULT_SAVED) {
        if (HasPassed(m_dwConfirmStart, CONFIRM_MS)) {
            m_nResult = RESULT_BACK;
        }
        return;
    }
    if (m_nCursor < 0 || m_nCursor >= REPLAY_SLOTS) {
        return;
    }
    // The item spins where it is put, whatever its throw did to it this pass.
    m_Cursor.Update();
    PlaceCursor();
}

void CReplaySel::DrawSurface(IDirectDrawSurface7* lpDest, IDirectDrawSurface7* lpSurface, int x, int y)
{
    if (!lpSurface) {
        return;
    }
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    lpSurface->GetSurfaceDesc(&desc);
    RECT rcSrc, rcDest;
    GetClippedBltRects(x, y, (int)desc.dwWidth, (int)desc.dwHeight, &rcSrc, &rcDest);
    if (rcDest.left < rcDest.right && rcDest.top < rcDest.bottom) {
        lpDest->Blt(&rcDest, lpSurface, &rcSrc, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
    }
}

void CReplaySel::Draw(IDirectDrawSurface7* lpDest)
{
    if (m_bStopped || !lpDest || !m_Back.GetSurface()) {
        return;
    }
    lpDest->Blt(nullptr, m_Back.GetSurface(), nullptr, DDBLT_WAIT, nullptr);
    for (int i = 0; i < REPLAY_SLOTS; i++) {
        const int y = ROW_Y + ROW_STEP * i;
        if (m_Slots[i].bValid) {
            DrawSlot(lpDest, i, y);
        } else {
            DrawSurface(lpDest, m_Empty.GetSurface(), 356, y + 8);
        }
    }
    if (m_nFailureSlot >= 0 && m_nFailureSlot < REPLAY_SLOTS) {
        DrawSurface(lpDest, m_Failure.GetSurface(), FAILURE_X, FAILURE_Y);
    }
    if (m_nCursor >= 0 && m_nCursor < REPLAY_SLOTS) {
        m_Cursor.Draw(lpDest);
    }
}

void CReplaySel::DrawSlot(IDirectDrawSurface7* lpDest, int i, int y)
{
    const SLOT& s = m_Slots[i];
    m_Face.m_fX = 306.0f;
    m_Face.m_fY = static_cast<float>(y);
    m_Face.Draw(lpDest);
    // Drawn here and taken out of the draw registry at once, so that no stage draws it later.
    CPointNumber& number = m_SlotNumbers[i];
    number.m_fX = kSlotNumberX;
    number.m_fY = (float)y + kSlotNumberDy;
    number.Start(0.0f, 0.0f, kSlotNumberHoldMs);
    number.Draw(lpDest);
    number.Stop();
    COptionIcon::DrawIcons(lpDest, 486, y - 6, 0, s.nOptions);
    CCockpit::DrawSubWeaponIcon(lpDest, 562, y - 12, s.nSubWeapon, m_Icons.GetSurface());
    // Formats before 5 hold no date or score.
    if (s.nFormat >= 5) {
        m_Score.SetNumber(s.nScore);
        m_Score.m_fX = GetScoreX(kScoreX);
        m_Score.m_fY = (float)(y + kScoreDy);
        m_Score.Draw(lpDest);
    }
    DrawSurface(lpDest, m_Dates[i].GetSurface(), 400, y + 6);
}
