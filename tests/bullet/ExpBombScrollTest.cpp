#include <vector>

#include "BulletFixture.h"
#include "bullet/ExpBombScroll.h"
#include "platform/win/Win.h"

namespace {

class ExpBombPool : public CBulletTest {
protected:
    static int CountBusy()
    {
        int n = 0;
        for (int i = 0; i < EXPBOMB_POOL_SIZE; i++)
            n += IsExpBombScrollBusy(i);
        return n;
    }
    static int LiveSparks(const CExpBomb4& e)
    {
        int n = 0;
        for (const EXPSPARK& s : e.m_Sparks)
            n += s.nLife > 0;
        return n;
    }
};

TEST(SubtractiveRandom, KnownSequencesFromThreeSeeds)
{
    const uint32_t kSeeds[3] = {0, 1, 12345};
    const uint32_t kExpected[3][5] = {
        {3281294417u, 3041044128u, 3051784257u, 2444609466u, 1702316927u},
        {3385913652u, 992066647u, 686977204u, 2905063264u, 2255837991u},
        {2020594396u, 1476447327u, 2401425884u, 210045872u, 1626884071u},
    };
    for (int s = 0; s < 3; s++) {
        CSubtractiveRandom r;
        EXPECT_FALSE(r.IsSeeded());
        r.Seed(kSeeds[s]);
        for (int i = 0; i < 5; i++)
            EXPECT_EQ(r.Next(), kExpected[s][i]) << "seed " << kSeeds[s] << " draw " << i;
    }
}

TEST(EffectRandom, EachGeneratorKeepsItsOwnSequenceApartFromTheGames)
{
    CrtSrand(7);
    const int nGame = CrtRand();
    CrtSrand(7);
    GetLookRandom().Srand(12345);
    GetLookRandom().Rand();
    GetExplosionRandom().Srand(1);
    const int nFirst = GetExplosionRandom().Rand();
    EXPECT_EQ(CrtRand(), nGame);
    // The runtime's step: x = x * 214013 + 2531011, (x >> 16) & 0x7FFF.
    CEffectRandom r(1);
    EXPECT_EQ(r.Rand(), 41);
    EXPECT_EQ(nFirst, 41);
}

TEST_F(ExpBombPool, AHandleTakesAnElementOnlyToExplodeAndLetsGoWhenTheBurstBegins)
{
    CExpBombScrollRef ref;
    ref.m_nStyle = 2;
    EXPECT_EQ(ref.m_pElement, nullptr);
    ref.Explode(100.0f, -50.0f, 0);
    CExpBombScroll* p = ref.m_pElement;
    ASSERT_EQ(p, GetExpBombScrollPool());
    EXPECT_TRUE(IsExpBombScrollBusy(0));
    EXPECT_EQ(p->m_pOwner, &ref);
    EXPECT_EQ(p->m_fY, 50.0f);  // kept as screen y
    EXPECT_EQ(p->m_nLongestLife, 40);
    EXPECT_EQ(p->m_nShortestLife, 30);
    // Started, not begun: the sound, sparks and scroll registration wait for the first update.
    EXPECT_TRUE(p->m_bIdle);
    EXPECT_FALSE(p->m_bFinished);
    EXPECT_EQ(p->CScrollable::m_nIndex, -1);
    EXPECT_GE(p->CShowable::m_nIndex, 0);
    EXPECT_FALSE(ref.IsFinished());

    Step();
    // Begin stopped the element first, which went back through its handle: the handle forgot it,
    // stopped it again, cleared the link and freed it; the burst still runs.
    EXPECT_EQ(ref.m_pElement, nullptr);
    EXPECT_EQ(p->m_pOwner, nullptr);
    EXPECT_FALSE(IsExpBombScrollBusy(0));
    EXPECT_FALSE(p->m_bIdle);
    EXPECT_FALSE(p->m_bFinished);
    EXPECT_GE(p->CScrollable::m_nIndex, 0);
    // The holder hears "finished" at once (it parks a fresh element), though the burst plays on.
    EXPECT_TRUE(ref.IsFinished());
    EXPECT_EQ(ref.m_pElement, GetExpBombScrollPool() + 1);
    EXPECT_EQ(CountBusy(), 1);

    // A second explosion on the same handle uses the parked element.
    ref.Explode(0.0f, 0.0f, 100);
    EXPECT_EQ(ref.m_pElement, GetExpBombScrollPool() + 1);
    Step(5);  // 99 ms on the frame clock: fewer than the delay
    EXPECT_TRUE(ref.m_pElement && ref.m_pElement->m_bIdle);
    Step();   // 100 ms
    EXPECT_EQ(ref.m_pElement, nullptr);
}

TEST_F(ExpBombPool, ReleaseStopsAWaitingExplosionButTheHoldersEndLetsItGoOff)
{
    CExpBombScrollRef a;
    a.m_nStyle = 1;
    a.Explode(10.0f, -10.0f, 0);
    CExpBombScroll* p = a.m_pElement;
    a.Release();
    EXPECT_EQ(a.m_pElement, nullptr);
    EXPECT_TRUE(p->m_bFinished);
    EXPECT_EQ(p->m_pOwner, nullptr);
    EXPECT_EQ(CountBusy(), 0);
    Step();
    EXPECT_TRUE(p->m_bIdle);
    EXPECT_EQ(p->CShowable::m_nIndex, -1);

    CExpBombScroll* q;
    {
        CExpBombScrollRef b;
        b.m_nStyle = 1;
        b.Explode(10.0f, -10.0f, 0);
        q = b.m_pElement;
    }
    EXPECT_EQ(CountBusy(), 0);
    EXPECT_EQ(q->m_pOwner, nullptr);
    // A waiting element, freed by its holder's end, is not handed out again before it has run.
    CExpBombScrollRef c;
    EXPECT_NE(c.Get(), q);
    c.Release();
    Step();
    EXPECT_FALSE(q->m_bIdle);
    // Not a pool element: nothing.
    CExpBombScroll own;
    FreeExpBombScroll(&own);
    EXPECT_EQ(CountBusy(), 0);
}

TEST_F(ExpBombPool, OneHundredAndTwentyEightRunAtOnceAndAnEmptyPoolSkipsTheExplosion)
{
    std::vector<CExpBombScrollRef> refs(129);
    for (int i = 0; i < 128; i++) {
        refs[i].m_nStyle = 3;
        refs[i].Explode((float)i, 0.0f, 0);
        ASSERT_NE(refs[i].m_pElement, nullptr);
    }
    EXPECT_EQ(CountBusy(), 128);
    Step();  // all begin: the pool is empty of free elements while they run
    EXPECT_EQ(CountBusy(), 0);
    refs[128].m_nStyle = 3;
    refs[128].Explode(1.0f, 1.0f, 0);
    EXPECT_EQ(refs[128].m_pElement, nullptr);
    EXPECT_TRUE(refs[128].IsFinished());
    EXPECT_EQ(AllocExpBombScroll(), nullptr);
    // Clearing the marks stops nothing.
    ClearExpBombScrollPool();
    EXPECT_FALSE(GetExpBombScrollPool()[5].m_bIdle);
    Step(60);
    EXPECT_TRUE(GetExpBombScrollPool()[127].m_bIdle);
    EXPECT_NE(AllocExpBombScroll(), nullptr);
}

TEST_F(ExpBombPool, AnotherHandleMayTakeAParkedElementAndItsHolderGetsAFreshOne)
{
    std::vector<CExpBombScrollRef> refs(128);
    for (CExpBombScrollRef& r : refs)
        ASSERT_TRUE(r.IsFinished());  // each parks an element
    EXPECT_EQ(CountBusy(), 128);
    CExpBombScrollRef late;
    late.m_nStyle = 1;
    late.Explode(5.0f, 5.0f, 0);
    ASSERT_EQ(late.m_pElement, GetExpBombScrollPool());
    EXPECT_EQ(refs[0].m_pElement, nullptr);  // the first parked one went to the new holder
    // The old holder gets another when it asks, and never shares the waiting one.
    EXPECT_TRUE(refs[0].IsFinished());
    EXPECT_EQ(refs[0].m_pElement, GetExpBombScrollPool() + 1);
    EXPECT_EQ(refs[1].m_pElement, nullptr);
    EXPECT_NE(refs[0].m_pElement, late.m_pElement);
}

TEST_F(ExpBombPool, TheBurstStepsTwicePerFrameTheFrameOnceAndTheSparksDriftWithTheScroll)
{
    CExpBombScroll e;
    SetExpBombStyle1(&e);
    e.SetPosition(320.0f, -240.0f);
    e.Start(0);
    m_fScroll = 6.0f;
    Step();
    ASSERT_FALSE(e.m_bIdle);
    EXPECT_EQ(e.m_fScrollSpeed, 6.0f);
    EXPECT_EQ(e.m_vDrift.x, -36.0f / 60.0f);
    // One step (from the tick) has run: every spark's life is one down.
    for (const EXPSPARK& s : e.m_Sparks) {
        EXPECT_EQ(s.nLife, s.nStartLife - 1);
        EXPECT_GE(s.nStartLife, 20);
        EXPECT_LT(s.nStartLife, 40);
        EXPECT_GE(s.Motion.fStart, 4.0f);
        EXPECT_LT(s.Motion.fStart, 8.0f);
        EXPECT_GE(s.nColor, 0);
        EXPECT_LT(s.nColor, 8);
    }
    EXPECT_EQ(e.m_nFrame, 0);
    Step();
    for (const EXPSPARK& s : e.m_Sparks)
        EXPECT_EQ(s.nLife, std::max(0, s.nStartLife - 3));
    EXPECT_EQ(e.m_nFrame, 1);  // 16 ms: one frame, and not a second in the same update
    int nFrames = 1;
    while (!e.m_bFinished && nFrames < 100) {
        Step();
        nFrames++;
    }
    // Lives of 20 to 39 steps at two steps a frame: done within 20 frames of the start.
    EXPECT_LE(nFrames, 21);
    EXPECT_GE(nFrames, 10);
    EXPECT_EQ(LiveSparks(e), 0);
    EXPECT_EQ(e.CShowable::m_nIndex, -1);
    EXPECT_EQ(e.CScrollable::m_nIndex, -1);
}

TEST_F(ExpBombPool, TheBombPictureShowsTwelveFramesAndAStyleFourBurstHasNone)
{
    CExpBombScroll e;
    SetExpBombStyle4(&e);
    EXPECT_EQ(e.m_bPicture, 0);
    SetExpBombStyle2(&e);
    EXPECT_EQ(e.m_bPicture, 1);
    EXPECT_STREQ(e.m_pszSound, EXPBOMB_BREAK2_WAVE);
    // Long-lived sparks keep the burst going: the picture frame counts up once per update.
    e.m_nLongestLife = e.m_nShortestLife = 200;
    e.Start(0);
    Step();
    std::vector<int> frames;
    for (int i = 0; i < 14; i++) {
        frames.push_back(e.m_nFrame);
        Step();
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    e.Stop();
}

TEST_F(ExpBombPool, ARestartEndsWaitingAndRunningExplosionsAndStartsTheLooksOver)
{
    CExpBomb4::GetRandom().Seed(3);
    CExpBombScrollRef a, b;
    a.m_nStyle = b.m_nStyle = 1;
    a.Explode(0.0f, 0.0f, 0);
    b.Explode(0.0f, 0.0f, 500);
    CExpBombScroll* pRunning = a.m_pElement;
    CExpBombScroll* pWaiting = b.m_pElement;
    Step();
    ASSERT_FALSE(pRunning->m_bIdle);
    const int nFirstLife = pRunning->m_Sparks[0].nStartLife;
    ResetExplosions();
    EXPECT_TRUE(pRunning->m_bIdle);
    EXPECT_TRUE(pRunning->m_bFinished);
    EXPECT_TRUE(pWaiting->m_bFinished);
    EXPECT_EQ(b.m_pElement, nullptr);
    Step();
    EXPECT_EQ(CShowableSet::Count(0), 0);
    // The same burst after the restart draws the same lives.
    a.Explode(0.0f, 0.0f, 0);
    ResetExplosions();
    a.Explode(0.0f, 0.0f, 0);
    pRunning = a.m_pElement;
    Step();
    EXPECT_EQ(pRunning->m_Sparks[0].nStartLife, nFirstLife);
}

} // namespace
