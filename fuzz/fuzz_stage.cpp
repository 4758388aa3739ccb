// The stage definition reader on arbitrary bytes, served from memory: the three passes, the group
// placement, then the labels of every layer. Every stored row must hold whole codes, and every
// layer-row must have one cell per code, or later columns would be out of place.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "pack/teskFile.h"
#include "stage/StageData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    std::vector<uint8_t> copy(pData, pData + nSize);
    copy.push_back(0);
    char szName[64] = "";
    uint32_t nToken = RegisterMemoryName(copy.data(), (uint32_t)nSize, szName, sizeof(szName));
    if (nToken == 0)
        return 0;
    auto pData2 = std::make_unique<CStageData>();
    if (pData2->ReadDefinition(szName)) {
        for (int nLayer = 0; nLayer < BG_NUM; nLayer++) {
            pData2->BuildLayerLabels(nullptr, nLayer);
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
