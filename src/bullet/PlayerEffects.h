// The heroine's hit and miss effects as she drives them: the stars and the flash fountain of a hit,
// the miss sequence. The scene owns one and hands it to her.
#pragma once
#include "bullet/ExpDamage.h"
#include "bullet/ExpPlayer.h"
#include "player/PlayerEffects.h"

class CPlayerEffects : public IPlayerEffects {
public:
    int LoadMiss(IDirect3DDevice7* lpDevice) override { return m_Miss.Load(lpDevice); }
    void ReleaseMiss() override { m_Miss.Release(); }

    void PlaceDamage(float x, float y, float z) override { m_Damage.SetOrigin(x, y, z); }
    void PlaceDamageFlash(float fAngle, float x, float y, float z) override
    {
        m_DamageFlash.SetAngle(fAngle);
        m_DamageFlash.SetPoint(x, y, z);
    }
    void StartDamage() override
    {
        m_Damage.Start();
        m_DamageFlash.Start();
    }
    void UpdateDamage() override { m_Damage.Update(); }
    void StopDamage() override
    {
        m_Damage.Stop();
        m_DamageFlash.Stop();
    }
    int RenderDamage(IDirect3DDevice7* lpDevice) override
    {
        const int bStars = m_Damage.Render(lpDevice);
        const int bFlash = m_DamageFlash.Render(lpDevice);
        return bStars && bFlash ? 1 : 0;
    }

    void StartMiss(float x, float y) override { m_Miss.Start(x, y); }
    void UpdateMiss() override { m_Miss.Update(); }
    void StopMiss() override { m_Miss.Stop(); }
    int RenderMiss(IDirect3DDevice7* lpDevice) override { return m_Miss.Render(lpDevice); }

    CExpDamage m_Damage;
    CExpDamageEx m_DamageFlash;
    CExpPlayer m_Miss;
};
