#include "stage/People.h"

#include <cstring>

#include "engine/Log.h"
#include "engine/RenderState.h"
#include "engine/SurfaceUtil.h"
#include "engine/Util.h"
#include "platform/d3d/D3DX.h"
#include "stage/Object.h"
#include "rvm/rvm_stl.h"

namespace {

struct ITEMNAME {
    const char* pszName;
    int nKind;
};

const ITEMNAME kItemNames[] = {{"100", 5}, {"500", 6}, {"1000", 7}, {"5000", 8}, {"10000", 9}, {"Food", 3}};

rvm::string TrimBlanks(const rvm::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && IsWhiteByte((unsigned char)s[b]))
        b++;
    while (e > b && IsWhiteByte((unsigned char)s[e - 1]))
        e--;
    return s.substr(b, e - b);
}

rvm::string TrimTrailingBlanks(const rvm::string& s)
{
    size_t e = s.size();
    while (e > 0 && IsWhiteByte((unsigned char)s[e - 1]))
        e--;
    return s.substr(0, e);
}

} // namespace

CBmpIndex& GetPeopleIndex()
{
    static CBmpIndex s_Index;
    return s_Index;
}

namespace {

void ReportMissingPicture(const rvm::string& name)
{
    ReportDataError(GetPeopleIndex().GetIndexPath().c_str(), "ERROR 20 : 通行者画像がありません [%s]\n", name.c_str());
}

} // namespace

int PeopleItemKind(const rvm::string& strName)
{
    for (const ITEMNAME& item : kItemNames) {
        if (strName == item.pszName)
            return item.nKind;
    }
    return -1;
}

void ParsePeopleLine(const rvm::string& strLine, int* pnItems, int* pnItemCount, rvm::string* pSegments,
                     int* pnSegmentCount)
{
    *pnItemCount = 0;
    *pnSegmentCount = 0;
    const size_t nColon = strLine.find(':');
    const rvm::string strItems = strLine.substr(0, nColon);
    size_t nStart = 0;
    while (nStart <= strItems.size()) {
        size_t nComma = strItems.find(',', nStart);
        if (nComma == rvm::string::npos)
            nComma = strItems.size();
        const rvm::string strName = TrimBlanks(strItems.substr(nStart, nComma - nStart));
        nStart = nComma + 1;
        if (strName.empty())
            continue;
        const int nKind = PeopleItemKind(strName);
        if (nKind < 0) {
            ReportDataError(GetPeopleIndex().GetIndexPath().c_str(), "ERROR 19 : アイテムが定義されていません [%s]\n",
                            strName.c_str());
            continue;
        }
        if (*pnItemCount < PEOPLE_ITEM_MAX)
            pnItems[(*pnItemCount)++] = nKind;
    }
    if (nColon == rvm::string::npos)
        return;
    const rvm::string strSpeech = TrimTrailingBlanks(strLine.substr(nColon + 1));
    if (strSpeech.empty())
        return;
    size_t nPos = 0;
    while (*pnSegmentCount < PEOPLE_TEXT_MAX) {
        size_t nSep = strSpeech.find("\\s", nPos);
        pSegments[(*pnSegmentCount)++] = strSpeech.substr(nPos, nSep == rvm::string::npos ? nSep : nSep - nPos);
        if (nSep == rvm::string::npos)
            break;
        nPos = nSep + 2;
    }
}

CPeople::CPeople(const char* pszCode)
{
    if (!pszCode || !pszCode[0]) {
        RaiseRuntimeAssert("name && name[0] != 0", __FILE__, __LINE__);
        return;
    }
    m_szCode[0] = pszCode[0];
    m_szCode[1] = pszCode[1];
}

CPeople::~CPeople()
{
    if (m_lpPicture)
        m_lpPicture->Release();
}

int CPeople::Load(IDirect3DDevice7* lpDevice)
{
    CBmpIndex& index = GetPeopleIndex();
    const rvm::string strStand = rvm::string("People") + m_szCode + "1.bmp";
    const rvm::string strFly = rvm::string("People") + m_szCode + "2.bmp";
    for (const rvm::string* pName : {&strStand, &strFly}) {
        if (!index.HasRegion(pName->c_str())) {
            ReportMissingPicture(*pName);
            return 0;
        }
    }
    if (m_lpPicture)
        m_lpPicture->Release();
    m_lpPicture = index.CreateSurfaceByDevice(lpDevice, strStand.c_str(), nullptr, MEM_VIDEO);
    IDirectDrawSurface7* lpFly = index.CreateSurfaceByDevice(lpDevice, strFly.c_str(), nullptr, MEM_SYSTEM);
    int nSprite = lpFly ? m_Sprite.Create(lpDevice, lpFly, nullptr, 0) : 0;
    if (lpFly)
        lpFly->Release();
    if (!m_lpPicture || !nSprite) {
        ReportMissingPicture(m_lpPicture ? strFly : strStand);
        return 0;
    }
    SetColorKeyGreen(m_lpPicture);
    return 1;
}

void CPeople::GetSize(int* pnWidth, int* pnHeight) const
{
    int w = 0, h = 0;
    if (m_lpPicture)
        GetSurfaceSize(m_lpPicture, &w, &h);
    if (pnWidth)
        *pnWidth = w;
    if (pnHeight)
        *pnHeight = h;
}

int CPeople::Draw2D(IDirectDrawSurface7* lpTarget, const D3DVECTOR* pPos)
{
    int w = 0, h = 0;
    GetSize(&w, &h);
    return BltStagePicture(lpTarget, m_lpPicture, (int)pPos->x, (int)pPos->y - 16, w, h);
}

int CPeople::Draw3D(IDirect3DDevice7* lpDevice)
{
    if (!lpDevice)
        return 1;
    CRenderState::Apply(lpDevice, 1);
    D3DXMATRIX mIdentity;
    D3DXMatrixIdentity(&mIdentity);
    m_Sprite.Draw(lpDevice, &mIdentity);
    return 1;
}
