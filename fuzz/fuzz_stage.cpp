// The stage definition reader on arbitrary bytes, served from memory: the three passes, the group
// placement, the object types' rectangles cut from their pictures (for some inputs, below), then
// the labels of every layer.
// Every stored row must hold whole codes, and every layer-row must have one cell per code, or
// later columns would be out of place.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <strings.h>
#include <string>
#include <vector>

#include "FuzzDevice.h"
#include "engine/BmpIndex.h"
#include "pack/teskFile.h"
#include "stage/StageData.h"

namespace {

bool IsNameByte(uint8_t c)
{
    return isalnum(c) || c == '_' || c == '-' || c == '.';
}

// The pictures the object types name lie in the scratch folder, the stage's folder here: a
// stand-in is written for each name the first time an input spells it (a few hundred at most).
// A name ends in ".bmp", so only the bytes around each dot are looked at.
void PutPictures(const uint8_t* pData, size_t nSize)
{
    static std::set<std::string> s_Written;
    const uint8_t* pEnd = pData + nSize;
    for (const uint8_t* pDot = pData; s_Written.size() < 256; pDot++) {
        pDot = static_cast<const uint8_t*>(memchr(pDot, '.', (size_t)(pEnd - pDot)));
        if (!pDot)
            return;
        const uint8_t* pNameEnd = pDot + 4;
        if (pNameEnd > pEnd || strncasecmp((const char*)pDot + 1, "bmp", 3) != 0 ||
            (pNameEnd < pEnd && IsNameByte(*pNameEnd)))
            continue;
        const uint8_t* pName = pDot;
        while (pName > pData && IsNameByte(pName[-1]))
            pName--;
        const size_t nName = (size_t)(pNameEnd - pName);
        if (nName < 5 || nName > 32 || *pName == '.')
            continue;
        const std::string name((const char*)pName, nName);
        // Room for one cell: larger rectangles are refused as those off a picture are.
        if (s_Written.insert(name).second && !WriteFuzzFile(name, MakeFuzzPicture(68, 68)))
            abort();
    }
}

// Whether the objects of this input load their pictures. Each object reads and decodes its
// picture, cuts its rectangle and makes its flash and blend copies: a stage's objects cost some
// fifteen times all the rest of its reading. One input in 128 takes that path; the others go on
// to the labels with their object types not loaded.
bool WithPictures(const uint8_t* pData, size_t nSize)
{
    return InputHash(pData, nSize) % 128 == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const FuzzInputScope scope;
    std::vector<uint8_t> copy;
    copy.reserve(nSize + 1);
    copy.assign(pData, pData + nSize);
    copy.push_back(0);
    char szName[64] = "";
    uint32_t nToken = RegisterMemoryName(copy.data(), (uint32_t)nSize, szName, sizeof(szName));
    if (nToken == 0)
        return 0;
    IDirect3DDevice7* lpDevice = FuzzDevice("fuzz_stage");
    PutPictures(pData, nSize);
    auto pData2 = std::make_unique<CStageData>();
    if (pData2->ReadDefinition(szName)) {
        if (WithPictures(pData, nSize))
            pData2->LoadObjects(lpDevice);
        for (int nLayer = 0; nLayer < BG_NUM; nLayer++) {
            pData2->BuildLayerLabels(lpDevice, nLayer);
            for (int nRow = 0; nRow < MAX_ROW_NUM; nRow++) {
                size_t nCodes = 0;
                const int nScreens = pData2->GetRowCount(nLayer, nRow);
                for (int s = 0; s < nScreens; s++) {
                    const STAGEROW* pRow = pData2->GetRow(nLayer, s, nRow);
                    if (!pRow || pRow->text.size() % 2)
                        abort();
                    nCodes += pRow->text.size() / 2;
                }
                if ((size_t)pData2->GetCellCount(nLayer, nRow) != nCodes)
                    abort();
            }
        }
        CObjectLabel* column[MAX_ROW_NUM];
        pData2->GetColumn(3, 700, column);
        pData2->FindBG0(5);
        pData2->Reset();
    }
    pData2->Unload();
    // The loaded objects leave their pictures' names in the index directory, without an index.
    CBmpIndexSet::GetInstance().Clear();
    UnregisterMemoryName(nToken);
    return 0;
}
