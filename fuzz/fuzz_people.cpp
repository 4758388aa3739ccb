// The passer-by catalogue reader on arbitrary bytes, served from memory, and the kind-line parser
// on every line: kinds without pictures are left out, items stay within 8 and speech within 16.
#include <cstdint>
#include <cstdlib>

#include "pack/teskFile.h"
#include "rvm/rvm_stl.h"
#include "stage/People.h"
#include "stage/PeopleSet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    rvm::vector<uint8_t> copy(pData, pData + nSize);
    copy.push_back(0);
    char szName[64] = "";
    const uint32_t nToken = RegisterMemoryName(copy.data(), (uint32_t)nSize, szName, sizeof(szName));
    if (nToken == 0)
        return 0;
    const int nLoaded = CPeopleSet::LoadFile(nullptr, szName);
    UnregisterMemoryName(nToken);
    if (nLoaded != 1 || CPeopleSet::Count() != 0)
        abort();

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
