#include "scene/MenuEdge.h"

#include "engine/Input.h"
#include "engine/KeyRecorder.h"
#include "engine/Sound.h"

int MenuInput()
{
    return CInputState::GetInput(0);
}

int IsMenuKeyDown(int nInput, int nVirtKey)
{
    return CKeyRecorder::IsKeyDown(nInput, nVirtKey) ? 1 : 0;
}

void PlayMenuMove()
{
    PlaySoundFile(".\\GameData\\System\\Pi.wav");
}

void PlayMenuDecide()
{
    PlaySoundFile(".\\GameData\\System\\Pirori.wav");
}

void PlayMenuPowerUp()
{
    PlaySoundFile(".\\GameData\\System\\PowerUp.wav");
}
