#include "player/MenuKeys.h"

#include "engine/Input.h"
#include "engine/KeyRecorder.h"
#include "engine/Sound.h"

int IsMenuKeyDown(int nVirtKey)
{
    return CKeyRecorder::IsKeyDown(CKeyRecorder::GetMappedInput(), nVirtKey);
}

int IsMenuJumpDown()
{
    return (CKeyRecorder::GetMappedInput() & INPUT_JUMP) != 0;
}

void PlayMenuMove()
{
    PlaySoundFile(".\\GameData\\System\\Pi.wav");
}

void PlayMenuDecide()
{
    PlaySoundFile(".\\GameData\\System\\Pirori.wav");
}
