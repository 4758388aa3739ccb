#include "bullet/BulletHooks.h"

#include "bullet/EBBigBullet.h"
#include "bullet/EBCharge.h"
#include "bullet/EBHoming.h"
#include "bullet/EBLaserEx.h"
#include "bullet/EBMissile.h"
#include "bullet/EBNormal.h"
#include "bullet/ExpBombScroll.h"
#include "bullet/ExpDamage.h"
#include "bullet/ExpStarCir.h"

namespace {

IScrollExplosion* CreateLabelExplosion()
{
    return new CExpBombScroll;
}

IStarCircle* CreateStarCircle()
{
    return new CExpStarCir;
}

} // namespace

void FillBulletHooks(STAGEHOOKS* pHooks)
{
    pHooks->MoveEnemyBullets = MoveEnemyBullets;
    pHooks->DrawEnemyBullets2D = DrawEnemyBullets2D;
    pHooks->DrawEnemyBullets3D = DrawEnemyBullets3D;
    pHooks->ClearExpBombScrollPool = ClearExpBombScrollPool;
    pHooks->ResetExplosions = ResetExplosions;
    pHooks->CreateExplosion = CreateLabelExplosion;
    pHooks->CreateStarCircle = CreateStarCircle;
}

void LoadBulletImages(IDirect3DDevice7* lpDevice)
{
    CEBNormal::LoadShared(lpDevice);
    CEBBigBullet::LoadShared(lpDevice);
    CEBHoming::LoadShared(lpDevice);
    CEBLaserEx::LoadShared(lpDevice);
    CEBMissile::LoadShared(lpDevice);
    CEBCharge::LoadShared(lpDevice);
    CExpBomb4::LoadShared(lpDevice);
    CExpDamage::LoadShared(lpDevice);
    CExpDamageEx::LoadShared(lpDevice);
}

void ReleaseBulletImages()
{
    CEBNormal::ReleaseShared();
    CEBBigBullet::ReleaseShared();
    CEBHoming::ReleaseShared();
    CEBLaserEx::ReleaseShared();
    CEBMissile::ReleaseShared();
    CEBCharge::ReleaseShared();
    CExpBomb4::ReleaseShared();
    CExpDamage::ReleaseShared();
    CExpDamageEx::ReleaseShared();
}
