// The second page of the test screen: every display widget at work at once, fed from the data
// set's index sheets. A rolling counter, floating scores, gliding and blinking gauges, menu items
// popping in and out, a pop-in beacon, a rolling name plate, a message window typing Japanese,
// a flying text and expanding rings.
#pragma once
#include "effect/RVMEffect.h"
#include "engine/Gauge.h"
#include "engine/MenuItem.h"
#include "engine/MsgWin.h"
#include "engine/NumberBase.h"
#include "engine/PopSurface.h"
#include "engine/SlideSurface.h"
#include "engine/TextSurface.h"

// A counter whose digits roll through windows onto the digit strip.
class CRollingCounter : public CSlideNumber {
public:
    enum { DIGITS = 6 };
    int GetDigitCount() override { return DIGITS; }
    void SetNumber(int nNumber) override;
    BOOL Draw(IDirectDrawSurface7* lpSurface) override;
    void Update() override;
    void Start();

    float m_fX = 0.0f;
    float m_fY = 0.0f;

private:
    CSlideSurfBase m_Digit[DIGITS];
};

class CWidgetGallery {
public:
    CWidgetGallery() = default;
    ~CWidgetGallery() { Release(); }
    CWidgetGallery(const CWidgetGallery&) = delete;
    CWidgetGallery& operator=(const CWidgetGallery&) = delete;

    // Pictures missing from the data set leave their widget out.
    void Load(IDirect3DDevice7* lpDevice);
    void Release();
    void Start();
    void Update();
    void Draw(IDirectDrawSurface7* lpBackBuffer, IDirect3DDevice7* lpDevice);

    int GetTick() const { return m_nTick; }
    const CRollingCounter& GetCounter() const { return m_Counter; }
    const CGauge& GetGauge() const { return m_Gauge; }
    const CMenuItem& GetMenuItem() const { return m_Item[0]; }
    const CMsgWin& GetMsgWin() const { return m_MsgWin; }
    const CRVMParticleEffect& GetRing() const { return m_Ring[0]; }

private:
    void RunSchedule();

    int m_nTick = 0;
    bool m_bLoaded = false;
    CRollingCounter m_Counter;
    CPointNumber m_Score[2];
    CGauge m_Gauge;
    CGauge m_SlantGauge;
    CMenuItem m_Item[2];
    CPopSurface m_Beacon;
    CSlideSurface m_Plate;
    CMsgWin m_MsgWin;
    CTextSurface m_Text;
    CRVMParticleEffect m_Ring[2];
};
