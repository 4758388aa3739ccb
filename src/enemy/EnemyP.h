// Kind P: a crawler that creeps across the screen carrying a power item, which it drops when it is
// destroyed. It never fires.
#pragma once
#include "enemy/Enemy.h"

class CEnemyPartP : public CEnemyPart {
public:
    // The power item, never the gun item.
    void DropItem() override;

    ACCINFO m_X{};
    CItemPower m_Power;
};

class CEnemyP : public CEnemy {
public:
    explicit CEnemyP(int nVariant);
    int Load(IDirect3DDevice7* lpDevice, const char* pszFolder) override;
    int CreateParts(int nValue, CEnemyLabel* pLabel) override;
    int SetupWeapons(IDirect3DDevice7* lpDevice, CEnemyLabel* pLabel, const char* pszValue) override;
    void Spawn(CEnemyLabel* pLabel) override;
    void Update(CEnemyLabel* pLabel) override;
    CEnemyPartP* GetUnit(CEnemyLabel* pLabel);
};
