// The pause menu: return to the game, or return to the title after a yes/no confirmation whose
// answer starts on "no". Each key acts once per press. Tab or the jump key returns to the game
// from either page.
#pragma once
#include "engine/MenuItem.h"
#include "player/MenuKeys.h"
#include "stage/StageScreens.h"

#define PAUSE_ITEM_NUM 7

class CPause : public IPause {
public:
    enum { STATE_MAIN = 0, STATE_CONFIRM = 1 };
    enum { RESULT_NONE = 0, RESULT_GAME = PAUSE_CHOICE_GAME, RESULT_TITLE = PAUSE_CHOICE_TITLE };
    // The items: the title, the two choices, then the confirmation's question, yes, no and mark.
    enum { ITEM_PAUSE = 0, ITEM_GAME = 1, ITEM_TITLE = 2, ITEM_REALLY = 3, ITEM_YES = 4, ITEM_NO = 5, ITEM_MARK = 6 };

    CPause() = default;
    ~CPause() override = default;

    int Load(IDirect3DDevice7* lpDevice) override;
    void Start() override;
    void UpdateInput() override;
    void Update() override;
    void Hide() override;
    int Draw(IDirectDrawSurface7* lpSurface) override;
    // Answered and closed.
    int IsDecided() override { return m_nResult != RESULT_NONE && m_bHidden; }
    int GetChoice() override { return m_nResult; }

    int GetState() const { return m_nState; }
    int GetResult() const { return m_nResult; }
    int IsHidden() const { return m_bHidden; }
    // The item the cursor is on in the present page.
    int GetSelected() const { return m_nState == STATE_MAIN ? m_nMainSelect : m_nConfirmSelect; }
    const CMenuItem& GetItem(int i) const { return m_Item[i]; }

private:
    void UpdateMain(int bDecide);
    void UpdateConfirm(int bDecide);
    void Select(int nItem, int nOther);
    // The items of a page: [first, last].
    void PopOut(int nFirst, int nLast);
    void PopIn(int nFirst, int nLast);

    int m_nState = STATE_MAIN;
    int m_nResult = RESULT_NONE;
    int m_nMainSelect = ITEM_GAME;
    int m_nConfirmSelect = ITEM_NO;
    CMenuItem m_Item[PAUSE_ITEM_NUM];
    CKeyEdge m_Up, m_Down, m_Left, m_Right;
    CKeyEdge m_Decide;
    CKeyEdge m_Close;
    int m_bHidden = 1;
};
