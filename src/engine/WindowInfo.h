// Going full screen used to move and resize the other programs' windows; this object records
// their placement before the switch and puts them back once everything else has shut down.
#pragma once
#include <cstddef>

#include "platform/win/WinTypes.h"
#include "rvm/rvm_stl.h"

class CWindowInfo {
public:
    struct SAVEDWINDOW {
        HWND hWnd;
        BYTE placement[44];
        DWORD dwClassStyle;
        DWORD dwStyle;
        DWORD dwExStyle;
        char szText[71];
        char szClassName[31];
        RECT rcWindow;
    };

    CWindowInfo() = default;
    virtual ~CWindowInfo();

    void SaveAll();
    int RestoreAll();
    bool ChangeDisplayMode(int nWidth, int nHeight, int nBpp, int nRefresh, HWND hWnd);
    bool RestoreDisplayMode();

    size_t GetSavedCount() const { return m_saved.size(); }
    bool IsDisplayModeChanged() const { return m_bModeChanged; }

private:
    rvm::vector<SAVEDWINDOW> m_saved;
    bool m_bModeChanged = false;
};
