// The parameter file and the text scanners on arbitrary bytes: the parameter map is loaded from
// the input (served from memory), then every line goes through the shared line functions.
#include <cstdint>
#include <cstring>

#include "engine/Param.h"
#include "engine/Util.h"
#include "pack/teskFile.h"
#include "rvm/rvm_stl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    // One byte more than the input, so even an empty input has a range to name.
    rvm::vector<uint8_t> copy(pData, pData + nSize);
    copy.push_back(0);
    char szName[64] = "";
    uint32_t nToken = RegisterMemoryName(copy.data(), (uint32_t)nSize, szName, sizeof(szName));
    if (nToken == 0)
        return 0;
    if (LoadParamFile(szName)) {
        rvm::vector<rvm::string> values;
        GetParamStrings(nullptr, "A", values);
        GetParamInt("A", 0, 1);
        GetParamFloat("A", 1, 1.0f);
        GetParamString("", 0, "");
        ParamHasIndex("A", 2);
    }
    ClearParams();

    CFile file(1);
    if (file.Read(szName) == FILE_OK) {
        char line[300];
        while (FileGets(line, sizeof(line), &file)) {
            IsBlankLine(line);
            rvm::string name;
            rvm::vector<rvm::string> values;
            ParseKeyValueLine(line, name, values);
            SplitString(line, (int)strlen(line), ',', values);
            CutComment(line);
        }
        file.SeekToTop();
        char quoted[40];
        while (file.ReadQuoted(quoted, sizeof(quoted)) == 0) {
        }
    }
    file.Close();
    UnregisterMemoryName(nToken);
    return 0;
}
