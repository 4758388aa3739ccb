// The frames-per-second figure: a small "FPS" label and two digits cut from the cockpit sheet,
// optionally followed by a second two-digit number between two framing glyphs. The same module
// keeps the three process-wide system indexes (see BmpIndex).
#pragma once
#include "rvm/rvm_stl.h"
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

#define FPS_LABEL_WIDTH 24
#define FPS_CELL_WIDTH 8
#define FPS_CELL_HEIGHT 14
#define FPS_GLYPH_OPEN 10
#define FPS_GLYPH_CLOSE 11

class CFPSChar {
public:
    CFPSChar() = default;
    virtual ~CFPSChar() { Release(); }
    CFPSChar(const CFPSChar&) = delete;
    CFPSChar& operator=(const CFPSChar&) = delete;

    // The number part (two digits at least, zero-padded).
    virtual int GetDigitCount() const { return 2; }
    virtual void SetNumber(int n);
    virtual int GetNumber() const { return m_nNumber; }
    const rvm::string& GetText() const { return m_Text; }

    // Loads "FPSNumbers.bmp" and "FPS.bmp" of "CockpitIndex.txt", both keyed on pure green.
    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    void SetPosition(float x, float y)
    {
        m_fX = x;
        m_fY = y;
    }
    // 0 when the label cannot be drawn (nothing loaded), else 1.
    virtual int Draw(IDirectDrawSurface7* lpDest);
    // One cell per digit character ('1'..'9' are cells 0..8, '0' cell 9); other characters are
    // skipped but keep their place.
    int DrawDigits(IDirectDrawSurface7* lpDest, int x, int y, int nCellW, int nCellH, const char* pszText);
    int DrawCell(IDirectDrawSurface7* lpDest, int x, int y, int nCellW, int nCellH, int nCell, int nPosition);

private:
    int m_nNumber = 0;
    rvm::string m_Text = "0";
    IDirectDrawSurface7* m_lpLabel = nullptr;
    IDirectDrawSurface7* m_lpDigits = nullptr;
    float m_fX = 0.0f;
    float m_fY = 0.0f;
};

// The one display the frame loop feeds and the running stage draws.
CFPSChar& GetFPSChar();
// The second number shown beside the figure while its flag is on (the player module sets both; a
// scene change clears the flag).
extern char g_szFPSExtra[8];
extern int g_bFPSExtra;
