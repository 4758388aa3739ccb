// The Ion Shield: two additive frames that flicker around their owner for 800 ms. It hurts nothing
// and is in no hit test; what it spares its owner is the owner's business. The heroine starts it
// when a hit finds it charged; a boss builds one from its own pictures.
#pragma once
#include "engine/Sprite.h"
#include "platform/d3d/D3D.h"

#define ION_SHIELD1_PATH ".\\GameData\\System\\IonShield1.bmp"
#define ION_SHIELD2_PATH ".\\GameData\\System\\IonShield2.bmp"
#define ION_SHIELD_SOUND_PATH ".\\GameData\\System\\IonShield.wav"

class CSWeapon1b {
public:
    CSWeapon1b() = default;
    virtual ~CSWeapon1b() = default;

    // The frames from IonShield1.bmp and IonShield2.bmp. Always 1: a missing picture draws nothing.
    int Load(IDirect3DDevice7* lpDevice);
    // The frames from the owner's own pictures.
    int Create(IDirect3DDevice7* lpDevice, IDirectDrawSurface7* lpFrame1, IDirectDrawSurface7* lpFrame2);
    void Start();
    void Update();
    void Stop() { m_bFinished = 1; }
    int Draw(IDirect3DDevice7* lpDevice);

    int IsFinished() const { return m_bFinished; }
    // How long a start lasts before it stops itself (an owner's shield may last longer).
    void SetLifetime(DWORD dwMs) { m_dwLifetime = dwMs; }
    int GetFrame() const { return m_nFrame; }

    int m_nFacing = 1;
    float m_fScale = 1.0f;
    D3DVECTOR m_vPos{};  // the 3D pass's space; the owner writes it every tick

private:
    CSprite m_Frame[2];
    DWORD m_dwLifetime = 800;
    DWORD m_dwStart = 0;
    DWORD m_dwFramePeriod = 30;
    DWORD m_dwFrameTime = 0;
    int m_bFrameLock = 0;
    int m_nFrameCount = 2;
    int m_nFrame = 0;
    int m_bFinished = 1;
};
