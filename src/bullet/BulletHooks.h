// What the scene hands the stage of this library at start-up: the registry passes, the explosion
// pool's clearing and restart, and the factories of the labels' explosions and star circles.
#pragma once
#include "stage/Stage.h"

// Fills the bullet library's members of the hooks; the others are left as they are.
void FillBulletHooks(STAGEHOOKS* pHooks);
// The class-wide pictures of the enemy shots and the effects, once per run, and their release.
void LoadBulletImages(IDirect3DDevice7* lpDevice);
void ReleaseBulletImages();
