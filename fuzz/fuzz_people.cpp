// The passer-by catalogue reader on arbitrary bytes, served from memory, as a stage loads it: the
// file as the index of the passers-by's regions, cut from a real sheet, then as the catalogue,
// whose kinds take their pictures from those regions (kinds without them are left out). Then
// the kind-line parser on every line: items stay within 8 and speech within 16.
#include <cstdint>
#include <cstdlib>

#include "FuzzDevice.h"
#include "engine/BmpIndex.h"
#include "pack/teskFile.h"
#include "rvm/rvm_stl.h"
#include "stage/People.h"
#include "stage/PeopleSet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const FuzzInputScope scope;
    rvm::vector<uint8_t> copy(pData, pData + nSize);
    copy.push_back(0);
    char szName[64] = "";
    const uint32_t nToken = RegisterMemoryName(copy.data(), (uint32_t)nSize, szName, sizeof(szName));
    if (nToken == 0)
        return 0;
    IDirect3DDevice7* lpDevice = FuzzDevice("fuzz_people");
    CBmpIndex& index = GetPeopleIndex();
    LoadFuzzSheet(lpDevice, index);
    index.ParseIndexText(reinterpret_cast<const char*>(copy.data()), nSize);
    const int nLoaded = CPeopleSet::LoadFile(lpDevice, szName);
    index.ClearRegions();
    UnregisterMemoryName(nToken);
    if (nLoaded != 1)
        abort();
    CPeopleSet::Clear();

    const rvm::string text(reinterpret_cast<const char*>(pData), nSize);
    size_t nStart = 0;
    while (nStart <= text.size()) {
        size_t nEnd = text.find('\n', nStart);
        if (nEnd == rvm::string::npos)
            nEnd = text.size();
        int nItems[PEOPLE_ITEM_MAX];
        int nItemCount = -1, nSegmentCount = -1;
        rvm::string segments[PEOPLE_TEXT_MAX];
        ParsePeopleLine(text.substr(nStart, nEnd - nStart), nItems, &nItemCount, segments, &nSegmentCount);
        if (nItemCount < 0 || nItemCount > PEOPLE_ITEM_MAX || nSegmentCount < 0 || nSegmentCount > PEOPLE_TEXT_MAX)
            abort();
        for (int i = 0; i < nItemCount; i++) {
            if (nItems[i] != 3 && (nItems[i] < 5 || nItems[i] > 9))
                abort();
        }
        nStart = nEnd + 1;
    }
    return 0;
}
