// A cut-scene script ("Script.txt" of the opening's or the ending's folder): the shots, the
// pictures, voices and messages their commands name, loaded once, and the clock that tells the
// player which commands of the current shot fell due since it last asked.
#pragma once
#include <memory>

#include "engine/DSurface.h"
#include "platform/dsound/DSound.h"
#include "rvm/rvm_stl.h"
#include "scene/ScriptMsgWin.h"
#include "scene/ScriptShot.h"

#define SCRIPT_FILE_NAME "Script.txt"
// Longest line of a script in bytes; the rest of a longer line is dropped.
#define SCRIPT_LINE_MAX 3072

struct SCRIPTVOICE {
    rvm::string strName;
    LONG lVolume = 0;  // the buffer's own volume, as loaded
    LPDIRECTSOUNDBUFFER lpBuffer = nullptr;
};

struct SCRIPTPICTURE {
    int bBack = 0;  // named first by IMAGE_BACK, BLACK_IN or WHITE_IN
    int x = 0;
    int y = 0;
    int z = 0;
    int bVisible = 0;
    rvm::string strName;
    CDSurface surface;  // green-keyed
};

class CScript {
public:
    CScript() = default;
    virtual ~CScript();
    CScript(const CScript&) = delete;
    CScript& operator=(const CScript&) = delete;

    // The folder ends in a backslash (".\GameData\Opening\"). 0 when the script cannot be read.
    int Load(IDirect3DDevice7* lpDevice, const char* pszFolder);
    int Parse(const char* pszPath);
    int Prepare(IDirect3DDevice7* lpDevice, const char* pszFolder);
    // Has the window cache the glyphs of every message; 0 when any of them failed.
    int PrepareMessages(CScriptMsgWin* pWin, CAntiCharCache* pCache);
    void Unload();
    // Every picture back to (0, 0), z 0 and hidden; voices stopped; the first shot.
    void Reset();
    void StopVoices();

    void SetShot(int nShot);
    int GetShot() const { return m_nShot; }
    int GetShotCount() const { return static_cast<int>(m_Shots.size()); }
    const CScriptShot* GetShotAt(int nShot) const;
    int IsWaitKey() const;
    // The current shot has a command that no query has returned yet.
    int HasPending() const;
    // Appends the current shot's commands with last query - start <= time < now - start, in
    // order, and makes now the last query. Nothing when now is not after the last query.
    void GetNewCommands(rvm::vector<const SCRIPTCMD*>& out, DWORD dwNow);
    // Every command of the current shot not yet returned, up to and including the last one.
    void GetRemainingCommands(rvm::vector<const SCRIPTCMD*>& out);
    DWORD GetShotStart() const { return m_dwShotStart; }
    DWORD GetLastQuery() const { return m_dwLastQuery; }

    // The picture of the current shot's first command of that id whose picture is loaded.
    SCRIPTPICTURE* FindFirstPicture(int nId);
    SCRIPTPICTURE* FindPicture(const rvm::string& name);
    void SetPicturePos(const rvm::string& name, int x, int y, int z);
    void SetPictureVisible(const rvm::string& name, int bVisible);
    // (-1, -1) for a picture that is not loaded.
    POINT GetPicturePos(const rvm::string& name);
    CScriptMsg* FindMessage(const rvm::string& key);
    SCRIPTVOICE* FindVoice(const rvm::string& name);
    int GetPictureCount() const { return static_cast<int>(m_Pictures.size()); }
    int GetVoiceCount() const { return static_cast<int>(m_Voices.size()); }
    int GetMessageCount() const { return static_cast<int>(m_Messages.size()); }

    // The visible backgrounds (characters) by z order at their place + (dx, dy), keyed, clipped.
    void DrawBacks(IDirectDrawSurface7* lpDest, int dx, int dy);
    void DrawChars(IDirectDrawSurface7* lpDest, int dx, int dy);

    // The numbered errors reported about this script since it was loaded.
    rvm::vector<rvm::string>& GetReports() { return m_Reports; }
    // Hands the reports the user has not been given yet to the user, naming the script file.
    void TellUser();

    // "msg=s%03d:t%08d"; a message that shares its shot and time with earlier ones gets ":%d" more.
    static rvm::string MessageKey(int nShot, int nTime, int nTwin);

private:
    void LoadPicture(IDirect3DDevice7* lpDevice, const rvm::string& folder, const rvm::string& name, int bBack);
    void LoadVoice(const rvm::string& folder, const rvm::string& name);
    void DrawKind(IDirectDrawSurface7* lpDest, int dx, int dy, int bBack);

    rvm::map<rvm::string, SCRIPTVOICE> m_Voices;
    rvm::map<rvm::string, std::unique_ptr<SCRIPTPICTURE>> m_Pictures;
    rvm::map<rvm::string, std::unique_ptr<CScriptMsg>> m_Messages;
    rvm::vector<std::unique_ptr<CScriptShot>> m_Shots;
    rvm::vector<rvm::string> m_Reports;
    size_t m_nToldReports = 0;
    rvm::string m_strPath;  // the script file read last
    int m_nShot = 0;
    DWORD m_dwLastQuery = 0;
    DWORD m_dwShotStart = 0;
    // Reused by the draws: no allocation per frame.
    rvm::vector<SCRIPTPICTURE*> m_DrawList;
};
