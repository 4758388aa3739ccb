#include <gtest/gtest.h>

#include "engine/RenderState.h"
#include "support/DeviceFixture.h"

namespace {

// Every render state a preset or the frame touches, read back in one go.
const D3DRENDERSTATETYPE kWatched[] = {
    D3DRENDERSTATE_COLORKEYENABLE, D3DRENDERSTATE_ALPHABLENDENABLE, D3DRENDERSTATE_LIGHTING,
    D3DRENDERSTATE_CULLMODE,       D3DRENDERSTATE_SRCBLEND,         D3DRENDERSTATE_DESTBLEND,
    D3DRENDERSTATE_ZWRITEENABLE,   D3DRENDERSTATE_ZENABLE,          D3DRENDERSTATE_AMBIENT,
    D3DRENDERSTATE_SPECULARENABLE, D3DRENDERSTATE_DITHERENABLE,
};

std::vector<DWORD> ReadWatched(IDirect3DDevice7* lpDevice)
{
    std::vector<DWORD> values;
    for (D3DRENDERSTATETYPE state : kWatched) {
        DWORD dw = 0;
        lpDevice->GetRenderState(state, &dw);
        values.push_back(dw);
    }
    return values;
}

DWORD State(D3DRENDERSTATETYPE state)
{
    DWORD dw = 0;
    g_lpD3DDevice->GetRenderState(state, &dw);
    return dw;
}

} // namespace

using RenderStatePresets = CDeviceFixture;

TEST_F(RenderStatePresets, AreRecordedAfterDeviceSetUp)
{
    EXPECT_NE(CRenderState::GetHandle(0), 0u);
    EXPECT_NE(CRenderState::GetHandle(1), 0u);
    EXPECT_NE(CRenderState::GetHandle(2), 0u);
    for (int i = 3; i < CRenderState::MAX_PRESETS; i++) {
        EXPECT_EQ(CRenderState::GetHandle(i), 0u);
    }
}

TEST_F(RenderStatePresets, RecordingLeavesTheFixedDeviceStatesInForce)
{
    // The presets are recorded on the live device; recording must not apply them.
    EXPECT_EQ(State(D3DRENDERSTATE_LIGHTING), static_cast<DWORD>(FALSE));
    EXPECT_EQ(State(D3DRENDERSTATE_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(State(D3DRENDERSTATE_COLORKEYENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(State(D3DRENDERSTATE_AMBIENT), 0xFFFFFFFFu);
}

TEST_F(RenderStatePresets, PresetZeroChangesNothing)
{
    g_lpD3DDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    g_lpD3DDevice->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    const std::vector<DWORD> before = ReadWatched(g_lpD3DDevice);
    CRenderState::Apply(g_lpD3DDevice, CRenderState::PRESET_NONE);
    EXPECT_EQ(ReadWatched(g_lpD3DDevice), before);
}

TEST_F(RenderStatePresets, AdditiveTurnsOffLightingAndZWrites)
{
    CRenderState::Apply(g_lpD3DDevice, CRenderState::PRESET_ADDITIVE);
    EXPECT_EQ(State(D3DRENDERSTATE_LIGHTING), static_cast<DWORD>(FALSE));
    EXPECT_EQ(State(D3DRENDERSTATE_ZWRITEENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(State(D3DRENDERSTATE_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(State(D3DRENDERSTATE_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(State(D3DRENDERSTATE_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(State(D3DRENDERSTATE_DESTBLEND), static_cast<DWORD>(D3DBLEND_ONE));
}

TEST_F(RenderStatePresets, OpaqueLightsAndKeysButLeavesZWritesAlone)
{
    CRenderState::Apply(g_lpD3DDevice, CRenderState::PRESET_ADDITIVE);
    CRenderState::Apply(g_lpD3DDevice, CRenderState::PRESET_OPAQUE);
    EXPECT_EQ(State(D3DRENDERSTATE_LIGHTING), static_cast<DWORD>(TRUE));
    EXPECT_EQ(State(D3DRENDERSTATE_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(State(D3DRENDERSTATE_COLORKEYENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(State(D3DRENDERSTATE_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(State(D3DRENDERSTATE_DESTBLEND), static_cast<DWORD>(D3DBLEND_ZERO));
    // The additive preset switched Z writes off; the opaque one does not switch them back.
    EXPECT_EQ(State(D3DRENDERSTATE_ZWRITEENABLE), static_cast<DWORD>(FALSE));
}

TEST_F(RenderStatePresets, RecreatingReplacesTheOldBlocks)
{
    EXPECT_EQ(CRenderState::CreatePresets(g_lpD3DDevice), 1);
    CRenderState::Apply(g_lpD3DDevice, CRenderState::PRESET_ADDITIVE);
    EXPECT_EQ(State(D3DRENDERSTATE_DESTBLEND), static_cast<DWORD>(D3DBLEND_ONE));
}

TEST_F(RenderStatePresets, DeletingClearsEveryHandleAndAnEmptyTableNeedsNoDevice)
{
    CRenderState::DeletePresets(g_lpD3DDevice);
    for (int i = 0; i < CRenderState::MAX_PRESETS; i++) {
        EXPECT_EQ(CRenderState::GetHandle(i), 0u);
    }
    // With nothing recorded, deleting and applying must not touch a device at all.
    CRenderState::DeletePresets(nullptr);
    CRenderState::Apply(nullptr, CRenderState::PRESET_OPAQUE);
}
