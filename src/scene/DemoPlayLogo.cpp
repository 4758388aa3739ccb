#include "scene/DemoPlayLogo.h"

int CDemoPlayLogo::Load(IDirect3DDevice7*)
{
    return 1;
}

void CDemoPlayLogo::Release()
{
}

void CDemoPlayLogo::Update()
{
}

void CDemoPlayLogo::Draw(IDirectDrawSurface7*)
{
}
