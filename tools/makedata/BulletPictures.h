// The enemy shots' and the explosions' pictures: the two keyed shot regions of the system sheet,
// and the additive pictures on black (big bullet, the bomb's 12 frames, the colour balls, the
// rotating stars, the flash light).
#pragma once
#include <cstdint>

#include "DataSet.h"
#include "ArtKit.h"
#include "IndexSheetsCanvas.h"

// Heat 0..1 as fire: black, deep red, orange, yellow, white.
RGBF FireColour(float fHeat);
// Adds a glow to what is there (the additive pictures): the colour at the centre, whiter within the
// core fraction of the radius, falling to nothing at radius r.
void AddGlow(CCanvas& canvas, float cx, float cy, float r, const RGBF& colour, float fCore, float fExponent,
             float fGain = 1.0f);

// A round shot of the colour filling the w x h cell at (x, y) of a keyed sheet.
void DrawEnemyShot(CCanvas& canvas, int x, int y, int w, int h, uint32_t dwColor);
// The enemy missile filling the w x h cell at (x, y) of a keyed sheet, nose to the right, flame at
// the tail.
void DrawEnemyMissile(CCanvas& canvas, int x, int y, int w, int h);
// The boss's attendant craft facing left (keyed), and its ring shot (a glow on black).
void DrawFamiliar(CCanvas& canvas, int x, int y, int w, int h);
void DrawForceShot(CCanvas& canvas, int x, int y, int w, int h);
// System/EnemyShot3.bmp, EnemyBomb.bmp, ColorBall.bmp, RotateStar.bmp, FlashLightR.bmp, the three
// laser colours EnemyLaserB128.bmp, EnemyLaserG128.bmp and EnemyLaserR128.bmp, the homing missile
// MSZ006Missile.bmp and the puff smoke2.bmp, which the charge and the bike's landing
// smoke share.
void WriteBulletPictures(CDataSet& data);

// The colours of the eight colour balls and of the ten star kinds.
extern const uint32_t g_dwBallColors[8];
extern const uint32_t g_dwStarColors[10];
