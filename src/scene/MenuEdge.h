// The front screens' menus read their keys from player 0's input mask (keyboard and joysticks);
// keys outside the key map (Enter, digits) are read live. Each key acts when it goes down
// (CKeyEdge), its state taken on entering the menu.
#pragma once
#include "player/MenuKeys.h"

// Player 0's input mask (keyboard and joysticks) and whether a key is down in it.
int MenuInput();
int IsMenuKeyDown(int nInput, int nVirtKey);
// An unlock or a debug choice.
void PlayMenuPowerUp();
