#include "player/PlayerFixture.h"

#include <filesystem>
#include <fstream>

#include "engine/AppTimer.h"
#include "engine/BmpIndex.h"
#include "engine/Param.h"
#include "engine/PCMManagerTask.h"
#include "engine/ShowableSet.h"
#include "engine/Sound.h"
#include "engine/WinMain.h"
#include "pack/teskFile.h"
#include "platform/win/Win.h"
#include "stage/CrushableSet.h"
#include "support/GeneratedData.h"

void CPlayerFixture::SetUp()
{
    CDeviceFixture::SetUp();
    LinkGeneratedData();
    CFile reset(1);
    ClearParams();
    CKeyRecorder::InitKeyMap();
    CKeyRecorder::GetInstance()->Reset();
    CAppTimer::SetClock(CAppTimer::CLOCK_FRAME);
    CAppTimer::ResetFrameClock();
    CAppTimer::ResetAll();
    for (int& flag : g_nOptionFlags)
        flag = 0;
    if (InitSound(nullptr) == 1) {
        g_PCMManagerTask.Init();
        m_bSound = true;
    }
    ASSERT_EQ(LoadSystemIndexes(g_lpD3DDevice), 1);
    ASSERT_EQ(CPBullet::LoadImages(g_lpD3DDevice), 1);
    m_pPlayer = std::make_unique<CPlayer>();
    ASSERT_EQ(m_pPlayer->Load(g_lpD3DDevice), 1);
}

void CPlayerFixture::TearDown()
{
    m_pPlayer.reset();
    CPBullet::ReleaseImages();
    ReleaseSystemIndexes();
    CCrushableSet::Clear();
    CScrollableSet::Clear();
    if (m_bSound) {
        g_PCMManagerTask.Release();
        ReleaseSound();
    }
    CKeyRecorder::DeleteInstance();
    CKeyRecorder::ClearKeyMap();
    ClearParams();
    CDeviceFixture::TearDown();
}

void CPlayerFixture::UseParams(const std::vector<std::string>& lines)
{
    {
        std::ofstream f("Param.txt", std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines)
            f << line << "\r\n";
    }
    ClearParams();
    ASSERT_EQ(LoadParamFile("Param.txt"), 1);
    m_pPlayer = std::make_unique<CPlayer>();
    m_pPlayer->Load(g_lpD3DDevice);
}

void CPlayerFixture::Terrain()
{
    CPlayer& p = *m_pPlayer;
    D3DVECTOR pos;
    p.GetPosition(&pos);
    const D3DVECTOR a = p.GetVectorA(), b = p.GetVectorB();
    D3DVECTOR c{a.x + b.x, a.y + b.y, 0.0f};
    DWORD st = p.GetState();
    if (pos.y + c.y >= kGroundY) {
        c.y = 0.0f;
        p.Land(kGroundY);
        st = p.GetState();
        st = (st & ~(DWORD)PLAYER_STATE_SLOPES) | PLAYER_STATE_FLAT;
    } else {
        st = (st | PLAYER_STATE_JUMP) & ~(DWORD)PLAYER_STATE_SLOPES;
    }
    p.SetState(st);
    p.SetVectorA(D3DVECTOR{});
    p.SetVectorB(D3DVECTOR{});
    p.SetVectorC(c);
}

void CPlayerFixture::Tick()
{
    CAppTimer::FrameTick();
    m_pPlayer->Update();
    m_pPlayer->Move();
    Terrain();
    m_pPlayer->UpdateKeyRecord();
}

void CPlayerFixture::Ticks(int n)
{
    for (int i = 0; i < n; i++)
        Tick();
}

void CPlayerFixture::ReleaseAll()
{
    for (int vk : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, (int)'Z', (int)'X', (int)'C', VK_SHIFT})
        Release(vk);
}

void CPlayerFixture::StartStanding(float x, int bPlayback)
{
    m_pPlayer->Start(bPlayback, 1);
    for (int i = 0; i < 200 && (m_pPlayer->GetState() & PLAYER_STATE_ENTERING); i++)
        Tick();
    Tick();
    D3DVECTOR pos = Pos();
    pos.x = x;
    m_pPlayer->SetPosition(pos);
    m_pPlayer->SetVectorC(D3DVECTOR{});
}

D3DVECTOR CPlayerFixture::Pos()
{
    D3DVECTOR v;
    m_pPlayer->GetPosition(&v);
    return v;
}

int CPlayerFixture::SoundState(const char* pszPath)
{
    const int nSlot = g_PCMManagerTask.FindSystemSlot(pszPath);
    return nSlot < 0 ? -1 : g_PCMManagerTask.GetState(PCM_BANK_SYSTEM, nSlot);
}

void CPlayerFixture::ClearSoundRequests()
{
    g_PCMManagerTask.Update();
}
