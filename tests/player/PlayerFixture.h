// The heroine on a software device with the generated data set, the frame clock and the key map,
// stepped tick by tick the way the running stage steps her, over a flat ground.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/KeyRecorder.h"
#include "player/Player.h"
#include "support/DeviceFixture.h"

class CPlayerFixture : public CDeviceFixture {
protected:
    // Her position when she stands on the fake ground (5 px above its top).
    static constexpr float kGroundY = 300.0f;

    void SetUp() override;
    void TearDown() override;

    // Starts her and lets her ride in until she has landed and stands still at x.
    void StartStanding(float x = 200.0f, int bPlayback = 0);
    // One stage tick: Update, Move, the fake terrain, UpdateKeyRecord.
    void Tick();
    void Ticks(int n);
    // The stand-in for the stage's terrain work: a flat ground under the whole screen.
    void Terrain();
    void Press(int nVirtKey) { m_Host.PressKey(nVirtKey); }
    void Release(int nVirtKey) { m_Host.ReleaseKey(nVirtKey); }
    void ReleaseAll();
    D3DVECTOR Pos();
    // The request state of a system sound (PCM_STATE_*), -1 when it is not loaded.
    int SoundState(const char* pszPath);
    void ClearSoundRequests();
    // Loads a Param.txt of the given lines instead of the generated one (keys not given keep their
    // defaults) and loads her again.
    void UseParams(const std::vector<std::string>& lines);

    std::unique_ptr<CPlayer> m_pPlayer;
    bool m_bSound = false;
};
