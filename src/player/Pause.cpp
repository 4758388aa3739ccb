#include "player/Pause.h"

#include "engine/BmpIndex.h"
#include "platform/win/Win.h"

namespace {

const char kIndex[] = "SystemIndex.txt";

struct ITEMDEF {
    const char* pszNormal;
    const char* pszSelected;  // null: one look
    float x, y;
};

const ITEMDEF kItems[PAUSE_ITEM_NUM] = {
    {"Pause.bmp", nullptr, 320.0f, 190.0f},
    {"ReturnToGame1.bmp", "ReturnToGame2.bmp", 320.0f, 259.0f},
    {"ReturnToTitle1.bmp", "ReturnToTitle2.bmp", 320.0f, 308.0f},
    {"Really.bmp", nullptr, 320.0f, 213.0f},
    {"Yes1.bmp", "Yes2.bmp", 262.0f, 264.0f},
    {"No1.bmp", "No2.bmp", 376.0f, 263.0f},
    {nullptr, nullptr, 318.0f, 260.0f},
};

// The mark between yes and no: the corner of the question's picture.
const RECT kMarkRect = {0, 0, 17, 17};

int IsDecideDown()
{
    return IsMenuKeyDown('Z') || IsMenuKeyDown(VK_RETURN);
}

int IsCloseDown()
{
    return IsMenuKeyDown(VK_TAB) || IsMenuJumpDown();
}

} // namespace

int CPause::Load(IDirect3DDevice7* lpDevice)
{
    int bOk = 1;
    for (int i = 0; i < PAUSE_ITEM_NUM; i++) {
        const ITEMDEF& d = kItems[i];
        CMenuItem& item = m_Item[i];
        item.m_fX = d.x;
        item.m_fY = d.y;
        if (!d.pszNormal) {
            continue;
        }
        const IMGKEY keySelected = {d.pszSelected ? kIndex : nullptr, d.pszSelected};
        bOk &= item.LoadImages(lpDevice, IMGKEY{kIndex, d.pszNormal}, keySelected);
    }
    IDirectDrawSurface7* lpReally = LoadIndexSurface(lpDevice, IMGKEY{kIndex, "Really.bmp"}, MEM_SYSTEM);
    bOk &= lpReally && m_Item[ITEM_MARK].CreateFromSurface(lpDevice, lpReally, &kMarkRect);
    SafeRelease(lpReally);
    return bOk;
}

void CPause::Start()
{
    m_Up.Clear();
    m_Down.Clear();
    m_Left.Clear();
    m_Right.Clear();
    for (CMenuItem& item : m_Item) {
        item.Hide();
        item.Deselect();
    }
    m_nState = STATE_MAIN;
    m_nResult = RESULT_NONE;
    m_nConfirmSelect = ITEM_NO;
    Select(ITEM_GAME, ITEM_TITLE);
    m_Decide.Latch(IsDecideDown());
    m_Close.Latch(IsCloseDown());
    for (int i = ITEM_PAUSE; i <= ITEM_TITLE; i++) {
        m_Item[i].ShowNow();
    }
    m_bHidden = 0;
}

void CPause::Select(int nItem, int nOther)
{
    m_Item[nItem].Select();
    m_Item[nOther].Deselect();
    if (nItem == ITEM_GAME || nItem == ITEM_TITLE) {
        m_nMainSelect = nItem;
    } else {
        m_nConfirmSelect = nItem;
    }
}

void CPause::PopOut(int nFirst, int nLast)
{
    for (int i = nFirst; i <= nLast; i++) {
        m_Item[i].StartPopOut();
    }
}

void CPause::PopIn(int nFirst, int nLast)
{
    for (int i = nFirst; i <= nLast; i++) {
        m_Item[i].StartPopIn();
    }
}

void CPause::UpdateInput()
{
    if (m_bHidden) {
        return;
    }
    // Every latch follows its key on every read, so a key held through a page change does not act
    // on the new page.
    const int bUp = m_Up.Rise(IsMenuKeyDown(VK_UP));
    const int bDown = m_Down.Rise(IsMenuKeyDown(VK_DOWN));
    const int bLeft = m_Left.Rise(IsMenuKeyDown(VK_LEFT));
    const int bRight = m_Right.Rise(IsMenuKeyDown(VK_RIGHT));
    const int bDecide = m_Decide.Rise(IsDecideDown());
    const int bClose = m_Close.Rise(IsCloseDown());
    // Once answered the menu only closes: a later press must not change the answer.
    if (m_nResult != RESULT_NONE) {
        return;
    }
    if (bClose) {
        m_nResult = RESULT_GAME;
        if (m_nState == STATE_MAIN) {
            PopOut(ITEM_PAUSE, ITEM_TITLE);
        } else {
            PopOut(ITEM_REALLY, ITEM_MARK);
        }
        return;
    }
    if (m_nState == STATE_MAIN) {
        if (bUp || bDown) {
            Select(m_nMainSelect == ITEM_GAME ? ITEM_TITLE : ITEM_GAME, m_nMainSelect);
            PlayMenuMove();
        }
        UpdateMain(bDecide);
    } else {
        if (bLeft || bRight) {
            Select(m_nConfirmSelect == ITEM_YES ? ITEM_NO : ITEM_YES, m_nConfirmSelect);
            PlayMenuMove();
        }
        UpdateConfirm(bDecide);
    }
}

void CPause::UpdateMain(int bDecide)
{
    if (!bDecide) {
        return;
    }
    PopOut(ITEM_PAUSE, ITEM_TITLE);
    if (m_nMainSelect == ITEM_GAME) {
        m_nResult = RESULT_GAME;
        PlayMenuDecide();
        return;
    }
    PopIn(ITEM_REALLY, ITEM_MARK);
    Select(ITEM_NO, ITEM_YES);
    m_nState = STATE_CONFIRM;
}

void CPause::UpdateConfirm(int bDecide)
{
    if (!bDecide) {
        return;
    }
    PopOut(ITEM_REALLY, ITEM_MARK);
    if (m_nConfirmSelect == ITEM_YES) {
        m_nResult = RESULT_TITLE;
        PlayMenuDecide();
        return;
    }
    PopIn(ITEM_PAUSE, ITEM_TITLE);
    m_nState = STATE_MAIN;
}

void CPause::Update()
{
    if (m_bHidden) {
        return;
    }
    bool bAllHidden = true;
    for (CMenuItem& item : m_Item) {
        item.Update();
        bAllHidden = bAllHidden && item.IsHidden();
    }
    if (bAllHidden) {
        m_bHidden = 1;
    }
}

void CPause::Hide()
{
    for (CMenuItem& item : m_Item) {
        item.Hide();
    }
    m_bHidden = 1;
}

int CPause::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bHidden) {
        return 1;
    }
    int bOk = 1;
    for (CMenuItem& item : m_Item) {
        bOk &= item.Draw(lpSurface);
    }
    return bOk;
}
