#include "scene/Start.h"

#include "engine/Param.h"
#include "stage/StagePlayer.h"

namespace {

// Until the menu offers the choice, Param.txt names the sub-weapon; anything else is the shield.
int InitialSubWeapon()
{
    const int n = GetParamInt("INIT_SUB_WEAPON", 0, SUBWEAPON_ION_SHIELD);
    return n >= SUBWEAPON_ION_SHIELD && n <= SUBWEAPON_GROUND_WIPER ? n : SUBWEAPON_ION_SHIELD;
}

} // namespace

int CStart::Load(IDirect3DDevice7*)
{
    m_nSubWeapon = InitialSubWeapon();
    return 1;
}

void CStart::Release()
{
}

void CStart::Enter()
{
    m_nSubWeapon = InitialSubWeapon();
    m_nResult = RESULT_START;
}

void CStart::Update()
{
}

void CStart::Draw(IDirectDrawSurface7*)
{
}

void CStart::Stop()
{
}
