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

void PlayMenuPowerUp()
{
    PlaySoundFile(".\\GameData\\System\\PowerUp.wav");
}
