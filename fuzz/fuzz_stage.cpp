// The stage definition reader on arbitrary bytes, served from memory: the three passes, the group
// placement, the object types' rectangles cut from their pictures, then the labels of every layer.
// Every stored row must hold whole codes, and every layer-row must have one cell per code, or
// later columns would be out of place.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <strings.h>
#include <string>
#include <vector>

#include "FuzzDevice.h"
#include "pack/teskFile.h"
#include "stage/StageData.h"

namespace {

// The pictures the object types name lie in the scratch folder, the stage's folder here: a
// stand-in is written for each name the first time an input spells it (a few hundred at most).
void PutPictures(const uint8_t* pData, size_t nSize)
{
    static std::set<std::string> s_Written;
    size_t nStart = 0;
    for (size_t i = 0; i <= nSize; i++) {
        const bool bNameByte = i < nSize && (isalnum(pData[i]) || pData[i] == '_' || pData[i] == '-' || pData[i] == '.');
        if (bNameByte)
            continue;
        const std::string name((const char*)pData + nStart, i - nStart);
        nStart = i + 1;
        if (name.size() < 5 || name.size() > 32 || s_Written.size() >= 256 || name[0] == '.' ||
            strcasecmp(name.c_str() + name.size() - 4, ".bmp") != 0 || !s_Written.insert(name).second)
            continue;
        // Room for one cell: larger rectangles are refused as those off a picture are, and every
        // input decodes each picture it names.
        if (!WriteFuzzFile(name, MakeFuzzPicture(68, 68)))
            abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    std::vector<uint8_t> copy(pData, pData + nSize);
    copy.push_back(0);
    char szName[64] = "";
    uint32_t nToken = RegisterMemoryName(copy.data(), (uint32_t)nSize, szName, sizeof(szName));
    if (nToken == 0)
        return 0;
    IDirect3DDevice7* lpDevice = FuzzDevice("fuzz_stage");
    PutPictures(pData, nSize);
    auto pData2 = std::make_unique<CStageData>();
    if (pData2->ReadDefinition(szName)) {
        pData2->LoadObjects(lpDevice);
        for (int nLayer = 0; nLayer < BG_NUM; nLayer++) {
            pData2->BuildLayerLabels(lpDevice, nLayer);
            for (int nRow = 0; nRow < MAX_ROW_NUM; nRow++) {
                size_t nCodes = 0;
                for (int s = 0; s < pData2->GetRowCount(nLayer, nRow); s++) {
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
    UnregisterMemoryName(nToken);
    return 0;
}
