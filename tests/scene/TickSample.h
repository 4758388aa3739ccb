// A stage tick as a sample, for comparing a recorded run with its playback tick by tick.
#pragma once
#include <cstdint>

#include "bullet/EBLaserEx.h"
#include "bullet/ExpBombScroll.h"
#include "enemy/EnemyLabel.h"
#include "player/Item.h"
#include "scene/Game.h"
#include "stage/PeopleLabel.h"
#include "stage/Stage.h"

// What one stage tick leaves: her place, state word and standing (life, experience, level, score
// and the cockpit's counter), the stage's state, every listed label's place, the flying shots, the
// explosions, the items and the stage's screens, for comparing runs tick by tick. The explosions'
// looks (where sparks fly, their colours) are left out: only how long they last counts.
struct TICKSAMPLE {
    float x, y;
    DWORD dwState;
    int nLife, nExp, nLevel, nScore, nCounter;
    int nStageState;
    uint64_t nLabelHash;
    uint64_t nShotHash;
    uint64_t nExplosionHash;
    uint64_t nItemHash;
    uint64_t nEnemyHash;
    uint64_t nScreenHash;
    uint64_t nWeaponHash;

    bool operator==(const TICKSAMPLE& o) const
    {
        return x == o.x && y == o.y && dwState == o.dwState && nLife == o.nLife && nExp == o.nExp &&
               nLevel == o.nLevel && nScore == o.nScore && nCounter == o.nCounter && nStageState == o.nStageState &&
               nLabelHash == o.nLabelHash && nShotHash == o.nShotHash && nExplosionHash == o.nExplosionHash &&
               nItemHash == o.nItemHash && nEnemyHash == o.nEnemyHash && nScreenHash == o.nScreenHash &&
               nWeaponHash == o.nWeaponHash;
    }
};

class CHash {
public:
    void Mix(const void* p, size_t n)
    {
        const auto* b = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; i++)
            m_h = (m_h ^ b[i]) * 1099511628211ULL;
    }
    template <typename T> void Mix(const T& v) { Mix(&v, sizeof(v)); }
    uint64_t Get() const { return m_h; }

private:
    uint64_t m_h = 1469598103934665603ULL;
};

inline uint64_t HashLabels(CStage& stage)
{
    CHash h;
    for (int nLayer = 0; nLayer < 7; nLayer++) {
        for (CObjectLabel* pLabel : stage.GetLayerList(nLayer)) {
            h.Mix(pLabel->m_vPos);
            h.Mix(pLabel->m_nDurability);
        }
    }
    return h.Get();
}

// What the stage's screens show: the banner, the beacons, the chat, the game-over screen. A "Go"
// or a beacon that is not shown keeps where the last one was left, which an earlier stage decides.
inline uint64_t HashScreens(CGame& game)
{
    CHash h;
    const CGameStart& banner = game.GetGameStart();
    h.Mix(banner.IsHidden());
    h.Mix(banner.GetState());
    h.Mix(banner.GetScale());
    h.Mix(banner.GetGo().IsFinished());
    if (!banner.GetGo().IsFinished()) {
        h.Mix(banner.GetGo().GetX());
        h.Mix(banner.GetGo().GetStretch());
    }
    for (int i = 0; i < STAGE_BEACON_NUM; i++) {
        h.Mix(game.GetBeacon(i).IsFinished());
        if (!game.GetBeacon(i).IsFinished())
            h.Mix(game.GetBeacon(i).GetDrawY());
    }
    h.Mix(game.GetChat().GetCount());
    CGameOver& over = game.GetGameOver();
    h.Mix(over.IsHidden());
    h.Mix(over.GetState());
    h.Mix(over.GetShutter());
    h.Mix(over.GetFade().GetAlpha());
    return h.Get();
}

inline uint64_t HashShots()
{
    CHash h;
    for (IEBulletRender::REGISTRY::rvmarray_iterator it = IEBulletRender::GetRegistry().begin();
         it != IEBulletRender::GetRegistry().end(); ++it) {
        const CEBulletPart* pShot = static_cast<CEBulletPart*>(*it);
        h.Mix(it.GetSlot());
        h.Mix(pShot->m_vPos);
        h.Mix(pShot->m_bIdle);
        // A laser's reach and width are its own.
        if (const auto* pLaser = dynamic_cast<const CEBLaserEx*>(pShot)) {
            h.Mix(pLaser->m_fEndX);
            h.Mix(pLaser->m_fScale);
        }
    }
    return h.Get();
}

// Sparks mean something only while the burst runs: a waiting or burnt-out explosion keeps those
// of its last burst. Where a burst of the pool goes off follows from what set it off (a part, a
// shot, or a boss's destruction, whose chain takes its angles from the looks' generator): only a
// label's own explosions are placed by the run alone.
inline void MixExplosion(CHash& h, const IScrollExplosion* pInterface, bool bPlaced)
{
    const auto* e = dynamic_cast<const CExpBombScroll*>(pInterface);
    if (!e || (e->m_bIdle && e->m_bFinished))
        return;
    h.Mix(e->m_bIdle);
    h.Mix(e->m_bFinished);
    if (bPlaced) {
        h.Mix(e->m_fX);
        h.Mix(e->m_fY);
    }
    if (e->m_bIdle)
        return;
    h.Mix(e->m_nFrame);
    for (const EXPSPARK& spark : e->m_Sparks) {
        h.Mix(spark.nLife);
        h.Mix(spark.Motion.fValue);
    }
}

inline uint64_t HashExplosions(CStage& stage)
{
    CHash h;
    for (int i = 0; i < EXPBOMB_POOL_SIZE; i++) {
        MixExplosion(h, &GetExpBombScrollPool()[i], false);
        h.Mix(IsExpBombScrollBusy(i));
    }
    for (int nLayer = 0; nLayer < 7; nLayer++) {
        for (CObjectLabel* pLabel : stage.GetLayerList(nLayer)) {
            MixExplosion(h, pLabel->m_pExplosion, true);
            for (IScrollExplosion* p : pLabel->m_pExplosions)
                MixExplosion(h, p, true);
        }
    }
    return h.Get();
}

// Only items in play: a finished one keeps whatever it was left with.
inline void MixItem(CHash& h, CItemGun* pItem)
{
    if (!pItem || pItem->IsFinished())
        return;
    D3DVECTOR v;
    pItem->GetPosition(&v);
    h.Mix(v);
    h.Mix(pItem->IsCollected());
    h.Mix(pItem->IsAttracted());
}

// The pool's items and those the passers-by carry.
inline uint64_t HashItems(CStage& stage)
{
    CHash h;
    for (int i = 0; i < ITEM_POOL_SIZE; i++)
        MixItem(h, CItemGun::GetPoolItem(i));
    for (CObjectLabel* pLabel : stage.GetLayerList(STAGE_ENEMY_LAYER)) {
        if (CPeopleLabel* pPeople = dynamic_cast<CPeopleLabel*>(pLabel)) {
            for (int i = 0; i < pPeople->m_nItemCount; i++)
                MixItem(h, dynamic_cast<CItemGun*>(pPeople->m_pItems[i]));
        }
    }
    return h.Get();
}

// Every part of every enemy label in play: where it is, its life and flash, whether it is alive or
// dying.
inline uint64_t HashEnemies(CStage& stage)
{
    CHash h;
    for (int nLayer = 0; nLayer < 7; nLayer++) {
        for (CObjectLabel* pObject : stage.GetLayerList(nLayer)) {
            auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
            if (!pLabel)
                continue;
            h.Mix(pLabel->m_bFinished);
            for (const ENEMYPARTS& parts : pLabel->m_Parts) {
                for (int i = 0; i < parts.nCount; i++) {
                    CEnemyPart* pPart = parts.At(i);
                    D3DVECTOR v;
                    pPart->GetPos(&v);
                    h.Mix(v);
                    h.Mix(pPart->m_nLife);
                    h.Mix(pPart->m_bDead);
                    h.Mix(pPart->IsDying());
                    h.Mix(pPart->m_Flash.IsFlashing());
                }
            }
        }
    }
    return h.Get();
}

// The sub-weapons: the shield's frame, the missiles, the fire ball, cloud and drops, the columns.
inline uint64_t HashWeapons(CPlayer& player)
{
    CHash h;
    CSWeapon1b& shield = player.GetIonShield();
    h.Mix(shield.IsFinished());
    h.Mix(shield.GetFrame());
    CSWeapon2& hawk = player.GetHawkWind();
    h.Mix(hawk.IsFinished());
    for (int i = 0; i < HAWK_MISSILES && !hawk.IsFinished(); i++) {
        h.Mix(hawk.GetMissile(i).Trail[0].vPos);
        h.Mix(hawk.GetMissile(i).bHit);
    }
    CSWeapon3& storm = player.GetFireStorm();
    h.Mix(storm.IsFinished());
    if (!storm.IsFinished()) {
        h.Mix(storm.GetState());
        h.Mix(storm.GetBallPosition());
        for (int i = 0; i < FIRE_FLAMES; i++)
            h.Mix(storm.GetFlame(i).vPos);
        for (int r = 0; r < FIRE_ROWS; r++) {
            h.Mix(storm.GetRow(r).bFinished);
            for (const CSWeapon3::FIRERAINPART& drop : storm.GetRow(r).Drops) {
                h.Mix(drop.vPos);
                h.Mix(drop.bHit);
            }
        }
    }
    CSWeapon4& wiper = player.GetGroundWiper();
    h.Mix(wiper.IsFinished());
    if (!wiper.IsFinished()) {
        h.Mix(wiper.GetState());
        h.Mix(wiper.GetCallIn().GetX());
        h.Mix(wiper.GetShotPosition());
        for (int i = 0; i < WIPER_SWEEPS; i++) {
            h.Mix(wiper.GetSweep(i).bFinished);
            h.Mix(wiper.CountStarted(wiper.GetSweep(i)));
        }
    }
    return h.Get();
}

// The playback bit is left out: it is all that tells a played run from the recorded one.
inline TICKSAMPLE Sample(CGame& game)
{
    CPlayer& player = game.GetPlayer();
    D3DVECTOR p;
    player.GetPosition(&p);
    const DWORD dwState = player.GetState() & ~(DWORD)PLAYER_STATE_PLAYBACK;
    return TICKSAMPLE{p.x,
                      p.y,
                      dwState,
                      player.GetLife(),
                      player.GetExp(),
                      player.GetCockpit().GetPendingLevel(),
                      player.GetPoint(),
                      player.GetCockpit().GetScore(),
                      game.GetStage().GetState(),
                      HashLabels(game.GetStage()),
                      HashShots(),
                      HashExplosions(game.GetStage()),
                      HashItems(game.GetStage()),
                      HashEnemies(game.GetStage()),
                      HashScreens(game),
                      HashWeapons(player)};
}
