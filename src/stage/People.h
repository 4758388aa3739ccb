// A passer-by kind: its standing picture (keyed surface) and its knocked-away picture (sprite),
// cut from the stage's passer-by sheet, and the rest of its People.txt line (items : speech).
#pragma once
#include "rvm/rvm_stl.h"
#include "engine/BmpIndex.h"
#include "engine/Sprite.h"
#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

// The one image index that holds every kind's pictures while a stage loads.
CBmpIndex& GetPeopleIndex();

class CPeople {
public:
    explicit CPeople(const char* pszCode);
    CPeople(const CPeople&) = delete;
    CPeople& operator=(const CPeople&) = delete;
    virtual ~CPeople();

    // Both pictures from the passer-by index ("People<code>1.bmp", "People<code>2.bmp"); 0 and
    // ERROR 20 when either is missing.
    int Load(IDirect3DDevice7* lpDevice);
    void GetSize(int* pnWidth, int* pnHeight) const;
    // The standing picture at a stage position (blitted 16 pixels higher).
    int Draw2D(IDirectDrawSurface7* lpTarget, const D3DVECTOR* pPos);
    // The knocked-away sprite under the device's current world transform.
    int Draw3D(IDirect3DDevice7* lpDevice);

    const char* GetCode() const { return m_szCode; }
    void SetLine(const rvm::string& strLine) { m_strLine = strLine; }
    const rvm::string& GetLine() const { return m_strLine; }

    char m_szCode[3] = {0, 0, 0};
    IDirectDrawSurface7* m_lpPicture = nullptr;
    CSprite m_Sprite;
    rvm::string m_strLine;
};

// Item kinds a passer-by throws.
#define PEOPLE_ITEM_MAX 8
#define PEOPLE_TEXT_MAX 16

// A kind's line "items : speech": the item kinds (at most 8; an unknown name gives ERROR 19 and
// is skipped) and the speech split at "\s" (at most 16 segments).
void ParsePeopleLine(const rvm::string& strLine, int* pnItems, int* pnItemCount, rvm::string* pSegments,
                     int* pnSegmentCount);
// The item kind of a name, or -1.
int PeopleItemKind(const rvm::string& strName);
