// The heroine's hit and miss effects as a recorder of what she asks of them.
#pragma once
#include "player/PlayerEffects.h"

class CFakeEffects : public IPlayerEffects {
public:
    int LoadMiss(IDirect3DDevice7*) override { return ++m_nLoads, 1; }
    void ReleaseMiss() override { m_nReleases++; }
    void PlaceDamage(float x, float y, float z) override
    {
        m_vDamage = D3DVECTOR{x, y, z};
        m_nPlaced++;
    }
    void PlaceDamageFlash(float fAngle, float x, float y, float z) override
    {
        m_fFlashAngle = fAngle;
        m_vFlash = D3DVECTOR{x, y, z};
    }
    void StartDamage() override { m_nDamageStarts++; }
    void UpdateDamage() override { m_nDamageUpdates++; }
    void StopDamage() override { m_nDamageStops++; }
    int RenderDamage(IDirect3DDevice7*) override { return ++m_nDamageRenders, 1; }
    void StartMiss(float x, float y) override
    {
        m_nMissStarts++;
        m_fMissX = x;
        m_fMissY = y;
    }
    void UpdateMiss() override { m_nMissUpdates++; }
    void StopMiss() override { m_nMissStops++; }
    int RenderMiss(IDirect3DDevice7*) override { return ++m_nMissRenders, 1; }

    int m_nLoads = 0, m_nReleases = 0, m_nPlaced = 0;
    int m_nDamageStarts = 0, m_nDamageUpdates = 0, m_nDamageStops = 0, m_nDamageRenders = 0;
    int m_nMissStarts = 0, m_nMissUpdates = 0, m_nMissStops = 0, m_nMissRenders = 0;
    D3DVECTOR m_vDamage{}, m_vFlash{};
    float m_fFlashAngle = 0.0f;
    float m_fMissX = 0.0f, m_fMissY = 0.0f;
};
