// A knocked-over passer-by's speech on a software device: the lines start where the layout puts
// them, beside the heroine, and rise with the text position.
#include <gtest/gtest.h>

#include "engine/SurfaceUtil.h"
#include "engine/WinMain.h"
#include "stage/CrushableSet.h"
#include "stage/People.h"
#include "stage/PeopleLabel.h"
#include "StubPlayer.h"
#include "support/DeviceFixture.h"

namespace {

class PeopleSpeech : public CDeviceFixture {};

struct Talker : public CPeople {
    Talker() : CPeople("Q1")
    {
        SetLine("0 : Hey!\\sWatch out");
        m_lpPicture = CreatePlaneSurface(g_lpDD, 32, 48, MEM_SYSTEM);
    }
};

} // namespace

TEST_F(PeopleSpeech, TheLinesStartBesideTheHeroineAndRiseWithTheTextPosition)
{
    CCrushableSet::Clear();
    Talker kind;
    CPeopleLabel label;
    label.SetPeople(&kind);
    D3DVECTOR p{{300.0f}, {384.0f}, {0.0f}};
    label.SetPos(&p);
    label.SetSpeed(4.0f);
    ASSERT_EQ(label.Setup(g_lpD3DDevice, ".\\GameData\\Stage01\\"), 1);
    ASSERT_EQ(label.m_nTextCount, 2);
    label.Spawn();
    CStubPlayer heroine(300.0f, 390.0f);
    heroine.m_vPos.x = 250.0f;
    ASSERT_EQ(label.HitByPlayer(nullptr, &heroine), 1);

    // Two lines 22 px apart around the label's height, their left edges 48 px right of her x.
    for (int i = 0; i < 2; i++) {
        const CTextSurface& text = label.m_Texts[i];
        ASSERT_GT(text.GetWidth(), 0);
        EXPECT_EQ(text.m_fX, 250.0f + 48.0f + (float)(text.GetWidth() / 2)) << i;
        EXPECT_EQ(text.m_fY, 384.0f - 22.0f - 8.0f + 22.0f * (float)i) << i;
        EXPECT_FALSE(text.IsStopped());
    }
    // The first update lays them out at the old height, then the position rises by 4.
    label.Update();
    EXPECT_EQ(label.m_Texts[0].m_fY, 354.0f);
    label.Update();
    EXPECT_EQ(label.m_Texts[0].m_fY, 350.0f);
    CCrushableSet::Clear();
}
