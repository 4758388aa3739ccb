// The stage's chat: the message windows that stage events open, each sliding in at one place with
// the chat sound; the list empties itself once every window has closed. The windows belong to the
// stage data; the list only points at them.
#pragma once
#include "engine/MsgWin.h"
#include "stage/StageScreens.h"

#define CHAT_WINDOW_MAX 1024
#define CHAT_X 145.0f
#define CHAT_Y 125.0f

class CChat : public IChat {
public:
    CChat() = default;
    ~CChat() override = default;

    // The value the window's next Add keeps with it.
    void SetEntry(CMsgWin* pWin, int nValue) override;
    // Nothing when the window is listed already or the list is full.
    void Add(CMsgWin* pWin) override;
    void Show() override { m_bHidden = 0; }
    void Update() override;
    void Clear() override;
    int Draw(IDirectDrawSurface7* lpSurface) override;

    int GetCount() const { return m_nCount; }
    int IsHidden() const { return m_bHidden; }
    CMsgWin* GetWindow(int i) const { return m_pWin[i]; }
    int GetValue(int i) const { return m_nValue[i]; }
    int Find(const CMsgWin* pWin) const;

private:
    CMsgWin* m_pWin[CHAT_WINDOW_MAX] = {};
    int m_nValue[CHAT_WINDOW_MAX] = {};
    int m_nCount = 0;
    CMsgWin* m_pPendingWin = nullptr;
    int m_nPendingValue = 0;
    int m_bHidden = 1;
};
