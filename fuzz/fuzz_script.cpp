// The cut-scene script reader on arbitrary bytes, served from memory: every shot it keeps must be
// in time order with the parameter counts its commands allow, the clock must hand out each
// command once, and typing and measuring every message must stay inside its text.
#include <cstdint>
#include <cstdlib>

#include "pack/teskFile.h"
#include "rvm/rvm_stl.h"
#include "scene/Script.h"

namespace {

void CheckMessage(const rvm::string& text)
{
    CScriptMsg msg(text);
    const SCRIPTGLYPHS glyphs = {nullptr, nullptr, 24};
    msg.Measure(glyphs);
    GLYPHPLACE place;
    for (size_t nSteps = 0; !msg.IsFinished(); nSteps++) {
        if (nSteps > text.size() || msg.Step(glyphs, 0, 1, &place)) {
            abort();  // no glyphs: nothing to draw, and every step moves on
        }
        if (msg.GetCursor() > static_cast<int>(text.size())) {
            abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    rvm::vector<uint8_t> copy(pData, pData + nSize);
    copy.push_back(0);
    char szName[64] = "";
    const uint32_t nToken = RegisterMemoryName(copy.data(), (uint32_t)nSize, szName, sizeof(szName));
    if (nToken == 0) {
        return 0;
    }
    CScript script;
    if (script.Parse(szName)) {
        for (int s = 0; s < script.GetShotCount(); s++) {
            const rvm::vector<SCRIPTCMD>& cmds = script.GetShotAt(s)->GetCommands();
            size_t nAll = 0;
            for (size_t i = 0; i < cmds.size(); i++) {
                if ((i > 0 && cmds[i - 1].nTime > cmds[i].nTime) || cmds[i].nId < 0 || cmds[i].nId >= SCRIPT_COMMAND_COUNT) {
                    abort();
                }
                if (cmds[i].nId == SCRIPT_MSG) {
                    CheckMessage(cmds[i].params.at(2));
                }
                nAll += cmds[i].nTime >= 0;
            }
            // Each command with a time the shot can reach comes out once, in three queries.
            script.SetShot(s);
            rvm::vector<const SCRIPTCMD*> due;
            const DWORD dwStart = script.GetShotStart();
            script.GetNewCommands(due, dwStart + 1);
            script.GetNewCommands(due, dwStart + 1000);
            script.GetRemainingCommands(due);
            if (due.size() != nAll || script.HasPending()) {
                abort();
            }
        }
    }
    script.Unload();
    UnregisterMemoryName(nToken);
    return 0;
}
