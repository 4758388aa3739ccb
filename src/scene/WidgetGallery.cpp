#include "scene/WidgetGallery.h"

#include "engine/ShowableSet.h"

namespace {

// "ゾルバ、発進します！\sソロで行きます、\s表示ソフトも\n問題なし。" in code page 932: three segments,
// the last on two lines, with characters whose second byte is a backslash.
const char kMessage[] = "\x83\x5d\x83\x8b\x83\x6f\x81\x41\x94\xad\x90\x69\x82\xb5\x82\xdc\x82\xb7\x81\x49"
                        "\\s"
                        "\x83\x5c\x83\x8d\x82\xc5\x8d\x73\x82\xab\x82\xdc\x82\xb7\x81\x41"
                        "\\s"
                        "\x95\x5c\x8e\xa6\x83\x5c\x83\x74\x83\x67\x82\xe0"
                        "\\n"
                        "\x96\xe2\x91\xe8\x82\xc8\x82\xb5\x81\x42";

const WORD kBackground = (3 << 11) | (7 << 5) | 6;

} // namespace

// ---- CRollingCounter ------------------------------------------------------------------------------

void CRollingCounter::SetNumber(int nNumber)
{
    CNumberBase::SetNumber(nNumber);
    for (int i = 0; i < DIGITS; i++) {
        const char c = m_szText[i];
        if (c >= '0' && c <= '9') {
            m_Digit[i].SlideTo(c - '0', 0);
        }
    }
}

void CRollingCounter::Start()
{
    for (CSlideSurfBase& d : m_Digit) {
        d.Setup(m_lpStrip, m_nDigitWidth, m_nDigitHeight, 10);
        d.SetFrame(0);
    }
    CNumberBase::SetNumber(0);
    Show();
}

void CRollingCounter::Update()
{
    for (CSlideSurfBase& d : m_Digit) {
        d.Move();
    }
}

BOOL CRollingCounter::Draw(IDirectDrawSurface7* lpSurface)
{
    if (m_bHidden || !m_lpStrip) {
        return 1;
    }
    BOOL bOk = 1;
    for (int i = 0; i < DIGITS; i++) {
        bOk = m_Digit[i].Draw(lpSurface, m_lpStrip, m_fX + (float)(i * m_nDigitWidth), m_fY) && bOk;
    }
    return bOk;
}

// ---- CWidgetGallery -------------------------------------------------------------------------------

void CWidgetGallery::Load(IDirect3DDevice7* lpDevice)
{
    Release();
    m_Counter.Load(lpDevice, IMGKEY{"CockpitIndex.txt", "ScoreNumbers.bmp"}, 20, 34);
    CPointNumber::LoadImage(lpDevice);
    m_Gauge.LoadFromIndex(lpDevice, IMGKEY{"CockpitIndex.txt", "MaxLVGauge.bmp"}, 1);
    m_SlantGauge.LoadFromIndex(lpDevice, IMGKEY{"CockpitIndex.txt", "mode_easy"}, 0);
    m_Item[0].LoadImages(lpDevice, IMGKEY{"SystemIndex.txt", "ReturnToGame1.bmp"},
                         IMGKEY{"SystemIndex.txt", "ReturnToGame2.bmp"});
    m_Item[1].LoadImages(lpDevice, IMGKEY{"SystemIndex.txt", "ReturnToTitle1.bmp"},
                         IMGKEY{"SystemIndex.txt", "ReturnToTitle2.bmp"});
    m_Beacon.LoadImages(lpDevice, IMGKEY{"SystemIndex.txt", "DangerBeacon1.bmp"},
                        IMGKEY{"SystemIndex.txt", "DangerBeacon2.bmp"});
    m_Plate.LoadFromIndex(lpDevice, IMGKEY{"CockpitIndex.txt", "StageName.bmp"}, 218, 38, 5, nullptr);
    MSGINFO msg;
    msg.strText = kMessage;
    m_MsgWin.CreateFromFile(lpDevice, ".\\GameData\\System\\MsgWindow.bmp", msg);
    m_Text.Create(lpDevice, "WIDGET GALLERY", 1);
    m_bLoaded = true;
}

void CWidgetGallery::Release()
{
    if (!m_bLoaded) {
        return;
    }
    m_Counter.Release();
    for (CPointNumber& s : m_Score) {
        s.Stop();
    }
    CPointNumber::ReleaseImage();
    m_Gauge.Release();
    m_SlantGauge.Release();
    m_Item[0].Release();
    m_Item[1].Release();
    m_Beacon.Release();
    m_Plate.Release();
    m_MsgWin.Release();
    m_Text.Release();
    for (CRVMParticleEffect& r : m_Ring) {
        r.Stop();
        RemoveEffect(&r);
    }
    m_bLoaded = false;
}

void CWidgetGallery::Start()
{
    m_nTick = 0;
    m_Counter.m_fX = 40.0f;
    m_Counter.m_fY = 40.0f;
    m_Counter.Start();
    m_Gauge.m_fX = 40.0f;
    m_Gauge.m_fY = 200.0f;
    m_Gauge.SetMax(100.0f);
    m_Gauge.Show();
    m_SlantGauge.m_fX = 40.0f;
    m_SlantGauge.m_fY = 230.0f;
    m_SlantGauge.m_bSlant = 1;
    m_SlantGauge.SetMax(100.0f);
    m_SlantGauge.Show();
    m_Item[0].m_fX = 500.0f;
    m_Item[0].m_fY = 40.0f;
    m_Item[1].m_fX = 500.0f;
    m_Item[1].m_fY = 80.0f;
    m_Beacon.m_fX = 560.0f;
    m_Beacon.m_fY = 300.0f;
    m_Plate.m_fX = 300.0f;
    m_Plate.m_fY = 150.0f;
    m_Plate.Show();
    m_MsgWin.m_fTargetX = 320.0f;
    m_MsgWin.m_fTargetY = 420.0f;
    m_Text.SetStartPos(400.0f, 320.0f, 0.0f);
    m_Text.m_fAngle = -1.5707964f;
    m_Text.m_Speed.Set(1.5f, -0.01f, 0.3f, 1.5f, 1);
    m_Text.m_nLifetime = 100;
    m_Ring[0].SetPosition(560.0f, -300.0f);
    m_Ring[1].SetPosition(560.0f, -300.0f);
    m_Ring[1].SetOuterColor(1.0f, 0.6f, 0.1f);
    m_Ring[1].SetInnerColor(0.4f, 0.1f, 0.0f);
    m_Ring[0].SetParam(2.0f);
    m_Ring[1].SetParam(1.5f);
    for (CRVMParticleEffect& r : m_Ring) {
        AddEffect(&r);
    }
}

// What happens on which tick of the page; everything repeats every 300 ticks, starting once the
// page has faded in.
void CWidgetGallery::RunSchedule()
{
    const int t = m_nTick % 300;
    if (m_nTick % 20 == 0) {
        m_Counter.SetNumber(m_Counter.GetNumber() + 1234);
    }
    if (m_nTick % 60 == 0) {
        const int i = (m_nTick / 60) % 2;
        m_Plate.SlideTo((m_nTick / 60) % 5, 0);
        m_Score[i].m_fX = 130.0f + (float)i * 90.0f;
        m_Score[i].m_fY = 330.0f;
        m_Score[i].SetNumber(500 * (1 + i));
        m_Score[i].Start(6.0f, 50.0f, 500);
    }
    switch (t) {
    case 100:
        m_Gauge.MoveTo(100.0f);
        m_SlantGauge.MoveTo(80.0f);
        m_Item[0].StartPopIn();
        m_Item[0].Select();
        m_Item[1].Deselect();
        m_Beacon.Start();
        m_Ring[0].Reset();
        m_Text.Start();
        break;
    case 105:
        if (m_MsgWin.IsClosed()) {
            m_MsgWin.Open();
        }
        break;
    case 110:
        m_Item[1].StartPopIn();
        break;
    case 130:
        m_Ring[1].Reset();
        break;
    case 160:
        m_Gauge.StartBlink();
        break;
    case 190:
        m_Item[0].Deselect();
        m_Item[1].Select();
        break;
    case 220:
        m_Gauge.StopBlink();
        m_Gauge.MoveTo(20.0f);
        m_SlantGauge.MoveTo(10.0f);
        m_Beacon.StartPopOut();
        break;
    case 280:
        m_Item[0].StartPopOut();
        m_Item[1].StartPopOut();
        break;
    default:
        break;
    }
}

void CWidgetGallery::Update()
{
    RunSchedule();
    m_Counter.Update();
    m_Gauge.Update();
    m_SlantGauge.Update();
    m_Item[0].Update();
    m_Item[1].Update();
    m_Beacon.Update();
    m_Plate.Update();
    m_MsgWin.Update();
    CShowableSet::UpdateAll();
    UpdateAllEffects();
    m_nTick++;
}

void CWidgetGallery::Draw(IDirectDrawSurface7* lpBackBuffer, IDirect3DDevice7* lpDevice)
{
    if (!lpBackBuffer || !lpDevice) {
        return;
    }
    DDBLTFX fx = {};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = kBackground;
    lpBackBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    m_Counter.Draw(lpBackBuffer);
    m_Gauge.Draw(lpBackBuffer);
    m_SlantGauge.Draw(lpBackBuffer);
    m_Plate.Draw(lpBackBuffer);
    if (SUCCEEDED(lpDevice->BeginScene())) {
        RenderAllEffects(lpDevice);
        lpDevice->EndScene();
    }
    m_Beacon.Draw(lpBackBuffer);
    // The floating scores and the flying text are drawables of the show registry.
    CShowableSet::DrawAll(lpBackBuffer, lpDevice);
    m_Item[0].Draw(lpBackBuffer);
    m_Item[1].Draw(lpBackBuffer);
    m_MsgWin.Draw(lpBackBuffer);
}
