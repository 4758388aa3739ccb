// A passer-by placed on the enemy layer: it stands on its ground spot while the stage scrolls;
// when the heroine rides into it, it is knocked away spinning, shouts, shows its speech rising,
// bursts a star circle and throws what it carries. Player bullets pass through it.
#pragma once
#include "rvm/rvm_stl.h"
#include "engine/AccAdjust.h"
#include "engine/TextSurface.h"
#include "stage/ObjectLabel.h"
#include "stage/People.h"
#include "stage/StageItem.h"

class CPeopleLabel : public CObjectLabel {
public:
    CPeopleLabel() = default;
    ~CPeopleLabel() override;

    // Never a target of the sub-weapons.
    CObjectLabel* GetObjectLabel() override { return nullptr; }
    int HitByPlayerBullet(CStage*, CCrushable*) override { return 0; }
    // 1 when the heroine knocks it away.
    int HitByPlayer(CStage* pStage, CCrushable* pPlayer) override;
    // The standing picture's box.
    HITQUAD* GetDamageQuad(HITQUAD* pOut) override;
    HITQUAD* GetHitQuad(HITQUAD* pOut) override;
    // Makes the items and the speech of its kind and queues its voice; 0 without a kind.
    int Setup(IDirect3DDevice7* lpDevice, const char* pszFolder) override;
    void Spawn() override;
    void Update() override;
    void Stop() override;
    int Draw2D(IDirectDrawSurface7* lpTarget) override;
    int Draw3D(IDirect3DDevice7* lpDevice) override;
    virtual RECT GetPictureRect();

    void SetPeople(CPeople* pPeople) { m_pPeople = pPeople; }
    CPeople* GetPeople() const { return m_pPeople; }
    rvm::string GetVoicePath() const;

    CPeople* m_pPeople = nullptr;
    BOOL m_bHit = 0;
    // Made through STAGEHOOKS::CreateItem; null where none could be made.
    IStageItem* m_pItems[PEOPLE_ITEM_MAX] = {};
    int m_nItemCount = 0;
    ACCINFO m_Spin{};
    float m_fSpinAngle = 0.0f;
    rvm::string m_strFolder;
    // Made by Setup (null without the factory hook).
    IStarCircle* m_pStarCir = nullptr;
    rvm::string m_strSpeech;
    CTextSurface m_Texts[PEOPLE_TEXT_MAX];
    int m_nTextCount = 0;
    ACCINFO m_Rise{};
    D3DVECTOR m_vTextPos{};

private:
    void FreeItems();
    void LayoutTexts();
};
