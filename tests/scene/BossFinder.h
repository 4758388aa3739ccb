// The boss of a run's stage, found among the enemy layer's labels by the kind of its enemy.
#pragma once
#include "enemy/EnemyLabel.h"
#include "stage/Stage.h"

// The label whose enemy is a TEnemy, once it is in play.
template <class TEnemy>
CEnemyLabel* FindBossLabel(CStage& stage)
{
    for (CObjectLabel* pObject : stage.GetLayerList(STAGE_ENEMY_LAYER)) {
        auto* pLabel = dynamic_cast<CEnemyLabel*>(pObject);
        if (pLabel && dynamic_cast<TEnemy*>(pLabel->m_pEnemy))
            return pLabel;
    }
    return nullptr;
}

// That label's parts of one family.
template <class TEnemy, class TPart>
TPart* FindBossParts(CStage& stage, int nFamily)
{
    CEnemyLabel* pLabel = FindBossLabel<TEnemy>(stage);
    return pLabel ? pLabel->GetParts<TPart>(nFamily) : nullptr;
}
