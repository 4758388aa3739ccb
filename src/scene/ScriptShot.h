// One shot of a cut-scene script: its commands, each stamped with milliseconds from the start of
// the shot and kept in time order, and whether the shot waits for the player after its last one.
#pragma once
#include "rvm/rvm_stl.h"
#define SCRIPT_NUMBER_MAX 100000
// Longest report text kept (a line of a script fits).
#define SCRIPT_REPORT_MAX 3200

enum {
    SCRIPT_VOICE = 0,
    SCRIPT_BGM_PLAY = 1,
    SCRIPT_BGM_STOP = 2,
    SCRIPT_IMAGE_BACK = 3,
    SCRIPT_IMAGE_CHAR = 4,
    SCRIPT_IMAGE_HIDE = 5,
    SCRIPT_IMAGE_MOVX = 6,
    SCRIPT_MSG = 7,
    SCRIPT_QUAKE = 8,
    SCRIPT_BLACK_OUT = 9,
    SCRIPT_BLACK_IN = 10,
    SCRIPT_WHITE_OUT = 11,
    SCRIPT_WHITE_IN = 12,
    SCRIPT_SPECIAL = 13,
    SCRIPT_COMMAND_COUNT = 14,
};

struct SCRIPTCMD {
    int nTime;  // ms since the shot began
    int nId;
    rvm::vector<rvm::string> params;
    // MSG only: how many MSG commands of the shot share this time and came before it in the file,
    // so that each of them keeps a message of its own.
    int nTwin = 0;
};

// A numbered error of the cut-scene scripts: to the debug sink, and kept in the list when one is
// given (the script keeps the reports of its file, so that they can be looked at).
void ReportScriptError(rvm::vector<rvm::string>* pReports, const char* pszFormat, ...)
    __attribute__((format(printf, 2, 3)));

class CScriptShot {
public:
    CScriptShot() = default;
    virtual ~CScriptShot() = default;

    // The text after "#CMD": time, NAME, parameters, separated by commas. A line that does not make
    // a command is reported to the debug sink (ERROR 31, 32 or 33) and dropped; 0 then.
    int AddCommand(const char* pszText, rvm::vector<rvm::string>* pReports = nullptr);

    const rvm::vector<SCRIPTCMD>& GetCommands() const { return m_Commands; }
    int IsWaitKey() const { return m_bWaitKey; }
    void SetWaitKey(int bWaitKey) { m_bWaitKey = bWaitKey; }
    // The time of the last command; 0 for a shot without commands.
    int GetLastTime() const { return m_Commands.empty() ? 0 : m_Commands.back().nTime; }

    // The command's id for its name (whole-name match), -1 when there is none.
    static int FindCommandId(const rvm::string& name);
    static const char* GetCommandName(int nId);
    // A parameter as a number, as atoi and atof read it, but limited to +-SCRIPT_NUMBER_MAX (NaN
    // is 0): a wild number in a script must not send a picture or a move off for ever.
    static int ToInt(const rvm::string& text);
    static float ToFloat(const rvm::string& text);

private:
    rvm::vector<SCRIPTCMD> m_Commands;
    int m_bWaitKey = 0;
};
