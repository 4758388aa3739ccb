// The heroine's face in the cockpit: calm, hurt for a moment after a hit (or for good once she is
// out), and blinking between two worried faces while her life is low.
#pragma once
#include "engine/DSurface.h"

enum { FACE_NORMAL = 0, FACE_DAMAGE = 1, FACE_DANGER1 = 2, FACE_DANGER2 = 3, FACE_COUNT = 4 };

class CPlayerFace {
public:
    enum { DAMAGE_MS = 1000, DANGER_BLINK_MS = 200 };

    CPlayerFace() = default;
    virtual ~CPlayerFace() { Release(); }
    CPlayerFace(const CPlayerFace&) = delete;
    CPlayerFace& operator=(const CPlayerFace&) = delete;

    // "FaceNormal", "FaceDamage", "FaceDanger1", "FaceDanger2" of CockpitIndex.txt.
    int Load(IDirect3DDevice7* lpDevice);
    void Release();
    void Reset();
    // The hurt face from now, for its normal time or (bForever) until the next reset.
    void ShowDamage(int bForever);
    void SetDanger(int bDanger) { m_bDanger = bDanger; }
    void Update();
    int Draw(IDirectDrawSurface7* lpSurface);

    int GetFace() const { return m_nFace; }
    int IsDanger() const { return m_bDanger; }
    // Any value; an unknown face is drawn and updated as the calm one.
    void SetFace(int nFace) { m_nFace = nFace; }

    float m_fX = 7.0f;
    float m_fY = 7.0f;

private:
    CDSurface m_Face[FACE_COUNT];
    int m_nFace = FACE_NORMAL;
    int m_bDanger = 0;
    DWORD m_dwDamageTime = DAMAGE_MS;
    DWORD m_dwDamageStamp = 0;
    DWORD m_dwBlinkStamp = 0;
};
