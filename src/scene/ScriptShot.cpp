#include "scene/ScriptShot.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/Log.h"
#include "rvm/rvm_stl.h"

namespace {

struct COMMANDDEF {
    const char* pszName;
    int nParams;  // -1: any number
};

const COMMANDDEF kCommands[SCRIPT_COMMAND_COUNT] = {
    {"VOICE", 1},      {"BGM_PLAY", 1},  {"BGM_STOP", 0},   {"IMAGE_BACK", 3}, {"IMAGE_CHAR", 3},
    {"IMAGE_HIDE", 1}, {"IMAGE_MOVX", 3}, {"MSG", 3},       {"QUAKE", 0},      {"BLACK_OUT", 0},
    {"BLACK_IN", 3},   {"WHITE_OUT", 0}, {"WHITE_IN", 3},   {"SPECIAL", -1},
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Fields between commas with the blanks around them cut. Only narrow blanks go: a message may end
// in a two-byte character whose second byte looks like white space.
void SplitCommas(const char* p, rvm::vector<rvm::string>& fields)
{
    for (;;) {
        const char* pEnd = std::strchr(p, ',');
        const char* pStop = pEnd ? pEnd : p + std::strlen(p);
        const char* pBegin = p;
        while (pBegin < pStop && IsBlank(*pBegin)) {
            pBegin++;
        }
        const char* pLast = pStop;
        while (pLast > pBegin && IsBlank(pLast[-1])) {
            pLast--;
        }
        fields.emplace_back(pBegin, pLast);
        // A comma that ends the text opens no field, as in the game's other readers.
        if (!pEnd || pEnd[1] == '\0') {
            return;
        }
        p = pEnd + 1;
    }
}

// A time as atoi reads it, without its undefined overflow: out-of-range values stop at the limits.
int TimeOf(const rvm::string& text)
{
    const long long n = std::strtoll(text.c_str(), nullptr, 10);
    if (n > INT_MAX) {
        return INT_MAX;
    }
    return n < INT_MIN ? INT_MIN : static_cast<int>(n);
}

bool IsCountAllowed(int nId, size_t nCount)
{
    if (nId == SCRIPT_SPECIAL) {
        return true;
    }
    if (nId == SCRIPT_IMAGE_CHAR) {
        return nCount == 3 || nCount == 4;
    }
    return nCount == static_cast<size_t>(kCommands[nId].nParams);
}

} // namespace

void ReportScriptError(rvm::vector<rvm::string>* pReports, const char* pszFormat, ...)
{
    char szText[SCRIPT_REPORT_MAX];
    va_list args;
    va_start(args, pszFormat);
    vsnprintf(szText, sizeof(szText), pszFormat, args);
    va_end(args);
    DebugPrintf("%s", szText);
    if (pReports) {
        pReports->push_back(szText);
    }
}

int CScriptShot::ToInt(const rvm::string& text)
{
    const long long n = std::strtoll(text.c_str(), nullptr, 10);
    if (n > SCRIPT_NUMBER_MAX) {
        return SCRIPT_NUMBER_MAX;
    }
    return n < -SCRIPT_NUMBER_MAX ? -SCRIPT_NUMBER_MAX : static_cast<int>(n);
}

float CScriptShot::ToFloat(const rvm::string& text)
{
    const double f = std::strtod(text.c_str(), nullptr);
    if (!(f == f)) {
        return 0.0f;
    }
    if (f > SCRIPT_NUMBER_MAX) {
        return static_cast<float>(SCRIPT_NUMBER_MAX);
    }
    return f < -SCRIPT_NUMBER_MAX ? static_cast<float>(-SCRIPT_NUMBER_MAX) : static_cast<float>(f);
}

int CScriptShot::FindCommandId(const rvm::string& name)
{
    for (int i = 0; i < SCRIPT_COMMAND_COUNT; i++) {
        if (name == kCommands[i].pszName) {
            return i;
        }
    }
    return -1;
}

const char* CScriptShot::GetCommandName(int nId)
{
    return nId >= 0 && nId < SCRIPT_COMMAND_COUNT ? kCommands[nId].pszName : "";
}

int CScriptShot::AddCommand(const char* pszText, rvm::vector<rvm::string>* pReports)
{
    rvm::vector<rvm::string> fields;
    SplitCommas(pszText ? pszText : "", fields);
    if (fields.size() < 2) {
        ReportScriptError(pReports, "ERROR 31 : #CMD命令のパラメータが不正です [#CMD %s]\n", pszText ? pszText : "");
        return 0;
    }
    // The whole name must match: a prefix such as "BGM" names no command.
    const int nId = FindCommandId(fields[1]);
    if (nId < 0) {
        ReportScriptError(pReports, "ERROR 32 : #CMD命令のコマンド名が見つかりません [#CMD %s]\n", pszText);
        return 0;
    }
    SCRIPTCMD cmd;
    cmd.nTime = TimeOf(fields[0]);
    cmd.nId = nId;
    cmd.params.assign(fields.begin() + 2, fields.end());
    if (!IsCountAllowed(nId, cmd.params.size())) {
        ReportScriptError(pReports, "ERROR 33 : コマンドのパラメータ数が不正です [%s(%d個必要)]\n",
                          kCommands[nId].pszName, kCommands[nId].nParams);
        return 0;
    }
    // After every command of the same time: equal times keep the file's order.
    auto it = m_Commands.begin();
    while (it != m_Commands.end() && it->nTime <= cmd.nTime) {
        cmd.nTwin += it->nId == SCRIPT_MSG && nId == SCRIPT_MSG && it->nTime == cmd.nTime;
        ++it;
    }
    m_Commands.insert(it, std::move(cmd));
    return 1;
}
