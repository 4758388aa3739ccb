// The cut-scene player of the opening and the ending. Until scripts can be played it reports
// finished as soon as it starts and draws nothing.
#pragma once
#include <string>

#include "platform/d3d/D3D.h"
#include "platform/ddraw/DDraw.h"

class COpening {
public:
    COpening() = default;
    virtual ~COpening() = default;

    // The script of a folder such as ".\GameData\Opening\".
    int Load(IDirect3DDevice7* lpDevice, const char* pszFolder);
    void Unload();
    void Start();
    void PollKeys();
    void Update();
    void Stop();
    int IsFinished() const { return 1; }
    void FadeOutVoices();
    void Draw(IDirectDrawSurface7* lpDest, IDirect3DDevice7* lpDevice);
    // The folder of the loaded script; empty when none is loaded.
    const std::string& GetFolder() const { return m_strFolder; }

private:
    std::string m_strFolder;
};
