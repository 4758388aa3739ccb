// The effect list, the device wrappers and the ring: its growth, its fade, its lifetime in updates,
// and what it asks of the device when it renders.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "effect/RVMEffect.h"

namespace {

// A device that only records: render states, the world transform and the primitives drawn.
class CRecordingDevice : public IDirect3DDevice7 {
public:
    HRESULT QueryInterface(REFIID, LPVOID*) override { return E_FAIL; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetCaps(D3DDEVICEDESC7*) override { return D3D_OK; }
    HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK, LPVOID) override { return D3D_OK; }
    HRESULT BeginScene() override { return D3D_OK; }
    HRESULT EndScene() override { return D3D_OK; }
    HRESULT GetDirect3D(IDirect3D7**) override { return E_FAIL; }
    HRESULT SetRenderTarget(IDirectDrawSurface7*, DWORD) override { return D3D_OK; }
    HRESULT GetRenderTarget(IDirectDrawSurface7**) override { return E_FAIL; }
    HRESULT Clear(DWORD, D3DRECT*, DWORD, D3DCOLOR, D3DVALUE, DWORD) override { return D3D_OK; }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE t, D3DMATRIX* p) override
    {
        if (t == D3DTRANSFORMSTATE_WORLD) {
            m_World = *p;
            m_Worlds.push_back(*p);
        }
        return D3D_OK;
    }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX* p) override
    {
        *p = m_World;
        return D3D_OK;
    }
    HRESULT SetViewport(D3DVIEWPORT7*) override { return D3D_OK; }
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX*) override { return D3D_OK; }
    HRESULT GetViewport(D3DVIEWPORT7*) override { return D3D_OK; }
    HRESULT SetMaterial(D3DMATERIAL7*) override { return D3D_OK; }
    HRESULT GetMaterial(D3DMATERIAL7*) override { return D3D_OK; }
    HRESULT SetLight(DWORD, D3DLIGHT7*) override { return D3D_OK; }
    HRESULT GetLight(DWORD, D3DLIGHT7*) override { return D3D_OK; }
    HRESULT SetRenderState(D3DRENDERSTATETYPE s, DWORD v) override
    {
        m_States[s] = v;
        return D3D_OK;
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE s, DWORD* p) override
    {
        *p = m_States[s];
        return D3D_OK;
    }
    HRESULT BeginStateBlock() override { return D3D_OK; }
    HRESULT EndStateBlock(DWORD*) override { return D3D_OK; }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID, DWORD n, DWORD) override
    {
        m_nDrawType = type;
        m_dwDrawFvf = fvf;
        m_nDrawCount = n;
        m_bBlendAtDraw = m_States[D3DRENDERSTATE_SRCBLEND] == D3DBLEND_ONE &&
                         m_States[D3DRENDERSTATE_DESTBLEND] == D3DBLEND_ONE &&
                         m_States[D3DRENDERSTATE_ALPHABLENDENABLE] == TRUE;
        m_WorldAtDraw = m_World;
        return m_hrDraw;
    }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE, DWORD, LPVOID, DWORD, WORD*, DWORD, DWORD) override
    {
        return D3D_OK;
    }
    HRESULT GetTexture(DWORD, IDirectDrawSurface7**) override { return E_FAIL; }
    HRESULT SetTexture(DWORD, IDirectDrawSurface7* p) override
    {
        m_nTextureCalls++;
        m_lpTexture = p;
        return D3D_OK;
    }
    HRESULT GetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD*) override { return D3D_OK; }
    HRESULT SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override { return D3D_OK; }
    HRESULT ValidateDevice(DWORD*) override { return D3D_OK; }
    HRESULT ApplyStateBlock(DWORD) override { return D3D_OK; }
    HRESULT CaptureStateBlock(DWORD) override { return D3D_OK; }
    HRESULT DeleteStateBlock(DWORD) override { return D3D_OK; }
    HRESULT LightEnable(DWORD, BOOL) override { return D3D_OK; }
    HRESULT GetLightEnable(DWORD, BOOL*) override { return D3D_OK; }

    std::map<DWORD, DWORD> m_States;
    D3DMATRIX m_World = {};
    D3DMATRIX m_WorldAtDraw = {};
    std::vector<D3DMATRIX> m_Worlds;
    int m_nDrawType = 0;
    DWORD m_dwDrawFvf = 0;
    DWORD m_nDrawCount = 0;
    bool m_bBlendAtDraw = false;
    int m_nTextureCalls = 0;
    IDirectDrawSurface7* m_lpTexture = nullptr;
    HRESULT m_hrDraw = D3D_OK;
};

class Effects : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearEffects();
        m_lpDevice = nullptr;
    }
    void TearDown() override
    {
        ClearEffects();
        m_lpDevice = nullptr;
    }
};

// Updates until the ring stops; the number of updates it ran.
int Lifetime(CRVMParticleEffect& ring)
{
    int n = 0;
    while (!ring.IsStopped() && n < 1000) {
        ring.Update();
        n++;
    }
    return n;
}

} // namespace

TEST_F(Effects, TheListHoldsEachEffectOnceAndForgetsItWhenDestroyed)
{
    CRVMParticleEffect a, b;
    AddEffect(&a);
    AddEffect(&a);
    AddEffect(&b);
    EXPECT_EQ(GetEffectCount(), 2);
    {
        CRVMParticleEffect c;
        AddEffect(&c);
        EXPECT_EQ(GetEffectCount(), 3);
    }
    EXPECT_EQ(GetEffectCount(), 2);
    RemoveEffect(&a);
    EXPECT_EQ(IsEffectListed(&a), 0);
    EXPECT_EQ(IsEffectListed(&b), 1);
}

TEST_F(Effects, AFullListLeavesANewEffectOutOfUpdates)
{
    std::vector<CRVMParticleEffect> rings(RVM_EFFECT_MAX);
    for (auto& r : rings) {
        AddEffect(&r);
    }
    CRVMParticleEffect extra;
    extra.Reset();
    AddEffect(&extra);
    EXPECT_EQ(IsEffectListed(&extra), 0);
    UpdateAllEffects();
    EXPECT_EQ(extra.GetRadius(), 0.0f);
    CRecordingDevice dev;
    EXPECT_EQ(RenderEffect(&dev, &extra), 1);  // its owner can still draw it
    EXPECT_EQ(dev.m_nDrawCount, 64u);
    EXPECT_EQ(RenderEffect(&dev, nullptr), 0);
}

TEST_F(Effects, TheRingIsADiscForFiveUpdatesThenARing)
{
    CRVMParticleEffect ring;
    ring.Reset();
    for (int i = 1; i <= 6; i++) {
        ring.Update();
        const RVMPARTICLEVERTEX& outer = ring.GetVertices()[0];
        const RVMPARTICLEVERTEX& inner = ring.GetVertices()[1];
        EXPECT_EQ(outer.x, 5.0f * (float)i);
        EXPECT_EQ(inner.x, i <= 5 ? 0.0f : 5.0f * (float)i - 25.0f);
    }
    // The strip closes on its first pair; colours are packed opaque, truncated.
    const RVMPARTICLEVERTEX* v = ring.GetVertices();
    EXPECT_EQ(v[62].x, v[0].x);
    EXPECT_EQ(v[63].x, v[1].x);
    EXPECT_EQ(v[0].dwDiffuse, v[0].dwSpecular);
    const DWORD c = (DWORD)(ring.GetOuterColor()[0] * 255.0f);
    EXPECT_EQ(v[0].dwDiffuse, 0xFF000000u | (c << 16) | (c << 8) | c);
    EXPECT_EQ(v[0].dwDiffuse, 0xFFEFEFEFu);  // 0.94 of white
    EXPECT_NEAR(v[60].y, std::sin(60 * 0.10129032f) * 30.0f, 1e-4f);
}

TEST_F(Effects, AWhiteRingFadesOutInAboutAHundredUpdatesAndStopsItself)
{
    CRVMParticleEffect ring;
    AddEffect(&ring);
    ring.Reset();
    const int n = Lifetime(ring);
    EXPECT_GE(n, 100);
    EXPECT_LE(n, 101);
    EXPECT_EQ(ring.GetOuterColor()[0], 0.0f);
    // The stopping update is the first in which every component went below zero.
    CRVMParticleEffect probe;
    probe.Reset();
    for (int i = 0; i < n - 1; i++) {
        probe.Update();
    }
    EXPECT_EQ(probe.IsStopped(), 0);
    EXPECT_LT(probe.GetOuterColor()[0], 0.0101f);
    // A stopped ring stays listed and still.
    const float fRadius = ring.GetRadius();
    UpdateAllEffects();
    EXPECT_EQ(ring.GetRadius(), fRadius);
    EXPECT_EQ(IsEffectListed(&ring), 1);
    ring.Reset();
    EXPECT_EQ(ring.GetRadius(), 0.0f);
    EXPECT_EQ(ring.IsStopped(), 0);
}

TEST_F(Effects, TheDecayingRingSlowsTurnsAndStillFadesOut)
{
    CRVMDecayParticleEffect ring;
    ring.Reset();
    std::vector<float> speeds;
    for (int i = 0; i < 52; i++) {
        ring.Update();
        speeds.push_back(ring.GetSpeed());
    }
    EXPECT_GT(speeds[48], 0.0f);
    EXPECT_LT(speeds[51], 0.0f);
    const float fPeak = ring.GetRadius();
    Lifetime(ring);
    EXPECT_LT(ring.GetRadius(), fPeak);
    EXPECT_EQ(ring.GetSpeed(), 5.0f);  // stopping puts the starting speed back
    ring.SetParam(3.0f);
    ring.Reset();
    ring.Update();
    EXPECT_EQ(ring.GetRadius(), 3.0f);
}

TEST_F(Effects, RenderDrawsAnAdditiveStripAndPutsTheStatesBack)
{
    CRecordingDevice dev;
    dev.m_States[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_SRCALPHA;
    dev.m_States[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_INVSRCALPHA;
    D3DMATRIX saved;
    RVMMatScale(&saved, 2.0f, 2.0f, 1.0f);
    dev.m_World = saved;
    CRVMParticleEffect ring;
    AddEffect(&ring);
    EXPECT_EQ(RenderAllEffects(&dev), 1);
    EXPECT_EQ(dev.m_nDrawCount, 0u);  // stopped: nothing drawn
    ring.SetPosition(100.0f, -50.0f);
    ring.Reset();
    ring.Update();
    EXPECT_EQ(RenderAllEffects(&dev), 1);
    EXPECT_EQ(dev.m_nDrawType, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(dev.m_dwDrawFvf, 0x1C2u);
    EXPECT_EQ(dev.m_nDrawCount, 64u);
    EXPECT_TRUE(dev.m_bBlendAtDraw);
    EXPECT_EQ(dev.m_lpTexture, nullptr);
    // World = effect x translation x saved: the centre lands at twice the position.
    EXPECT_EQ(dev.m_WorldAtDraw._41, 200.0f);
    EXPECT_EQ(dev.m_WorldAtDraw._42, -100.0f);
    EXPECT_EQ(dev.m_World._41, 0.0f);
    EXPECT_EQ(dev.m_World._11, 2.0f);
    EXPECT_EQ(dev.m_States[D3DRENDERSTATE_SRCBLEND], (DWORD)D3DBLEND_SRCALPHA);
    EXPECT_EQ(dev.m_States[D3DRENDERSTATE_DESTBLEND], (DWORD)D3DBLEND_INVSRCALPHA);
    EXPECT_EQ(dev.m_States[D3DRENDERSTATE_ZWRITEENABLE], (DWORD)TRUE);
    EXPECT_EQ(dev.m_States[D3DRENDERSTATE_LIGHTING], (DWORD)TRUE);
    EXPECT_EQ(dev.m_States[D3DRENDERSTATE_CULLMODE], (DWORD)D3DCULL_CCW);
    EXPECT_EQ(dev.m_States[D3DRENDERSTATE_ALPHABLENDENABLE], (DWORD)TRUE);
    dev.m_hrDraw = E_FAIL;
    EXPECT_EQ(RenderAllEffects(&dev), 0);
    EXPECT_EQ(dev.m_States[D3DRENDERSTATE_SRCBLEND], (DWORD)D3DBLEND_SRCALPHA);
}

TEST_F(Effects, WrappersRefuseToWorkWithoutADevice)
{
    DWORD dw = 0;
    EXPECT_EQ(SetRenderState(D3DRENDERSTATE_LIGHTING, 0), E_FAIL);
    EXPECT_EQ(GetRenderState(D3DRENDERSTATE_LIGHTING, &dw), E_FAIL);
    EXPECT_EQ(SetTexture(0, nullptr), E_FAIL);
    CRecordingDevice dev;
    m_lpDevice = &dev;
    EXPECT_EQ(SetTexture(0, ""), D3D_OK);
    EXPECT_EQ(dev.m_nTextureCalls, 1);
    EXPECT_EQ(SetRenderState(D3DRENDERSTATE_LIGHTING, 1), D3D_OK);
    EXPECT_EQ(dev.m_States[D3DRENDERSTATE_LIGHTING], 1u);
}

TEST(EffectMatrices, RotationsTurnAxesTheRowVectorWay)
{
    D3DMATRIX m;
    RVMMatRotationZ(&m, 1.5707963f);
    // (1, 0, 0) x Rz(90) = (0, 1, 0).
    EXPECT_NEAR(m._11, 0.0f, 1e-6f);
    EXPECT_NEAR(m._12, 1.0f, 1e-6f);
    D3DMATRIX axis;
    RVMMatRotationAxis(&axis, D3DVECTOR{{0.0f}, {0.0f}, {2.0f}}, 1.5707963f);
    for (int i = 0; i < 4; i++) {
        for (int j = 0; j < 4; j++) {
            EXPECT_NEAR(axis.m[i][j], m.m[i][j], 1e-6f);
        }
    }
    D3DMATRIX t, s, ts;
    RVMMatTranslation(&t, 1.0f, 2.0f, 3.0f);
    RVMMatScale(&s, 2.0f, 2.0f, 2.0f);
    RVMMatMultiply(&ts, t, s);
    EXPECT_EQ(ts._41, 2.0f);
    EXPECT_EQ(ts._43, 6.0f);
    EXPECT_EQ(RVMVecLength(D3DVECTOR{{3.0f}, {4.0f}, {0.0f}}), 5.0f);
}
