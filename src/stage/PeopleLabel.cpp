#include "stage/PeopleLabel.h"

#include <cmath>

#include "engine/Geometry.h"
#include "engine/PCMManagerTask.h"
#include "platform/d3d/D3DX.h"
#include "stage/Stage.h"
#include "rvm/rvm_stl.h"

namespace {

const float kThrowSpeed = 13.0f;
const float kThrowFirst = -0.5233334f;
const float kThrowArc = 1.0466666f;
const float kFlySpeed = 12.0f;
const float kTextLineStep = 22.0f;

} // namespace

CPeopleLabel::~CPeopleLabel()
{
    FreeItems();
    delete m_pStarCir;
}

void CPeopleLabel::FreeItems()
{
    for (IStageItem*& pItem : m_pItems) {
        delete pItem;
        pItem = nullptr;
    }
    m_nItemCount = 0;
}

rvm::string CPeopleLabel::GetVoicePath() const
{
    return m_strFolder + "People" + (m_pPeople ? m_pPeople->GetCode() : "") + ".wav";
}

int CPeopleLabel::Setup(IDirect3DDevice7* lpDevice, const char* pszFolder)
{
    if (!m_pPeople)
        return 0;
    m_strFolder = pszFolder ? pszFolder : "";
    if (m_strFolder.size() > 255)
        m_strFolder.resize(255);
    FreeItems();
    int nKinds[PEOPLE_ITEM_MAX];
    rvm::string segments[PEOPLE_TEXT_MAX];
    int nSegments = 0;
    ParsePeopleLine(m_pPeople->GetLine(), nKinds, &m_nItemCount, segments, &nSegments);
    IStageItem* (*pfnCreate)() = CStage::GetHooks().CreateItem;
    for (int i = 0; i < m_nItemCount; i++) {
        m_pItems[i] = pfnCreate ? pfnCreate() : nullptr;
        if (m_pItems[i])
            m_pItems[i]->SetKind(nKinds[i]);
    }
    const size_t nColon = m_pPeople->GetLine().find(':');
    m_strSpeech = nColon == rvm::string::npos ? rvm::string() : m_pPeople->GetLine().substr(nColon + 1);
    for (CTextSurface& text : m_Texts)
        text.Release();
    m_nTextCount = 0;
    for (int i = 0; i < nSegments; i++) {
        if (m_Texts[m_nTextCount].Create(lpDevice, segments[i].c_str(), 1))
            m_nTextCount++;
    }
    g_PCMManagerTask.QueueStageSound(GetVoicePath().c_str());
    if (!m_pStarCir && CStage::GetHooks().CreateStarCircle)
        m_pStarCir = CStage::GetHooks().CreateStarCircle();
    return 1;
}

void CPeopleLabel::Spawn()
{
    m_bHit = 0;
    m_fSpinAngle = 0.0f;
    m_Spin.Set(1.0f, -0.02f, 0.02f, 1.0f, 1);
    m_vTextPos = D3DVECTOR{};
    m_Rise = ACCINFO{};
    m_Rise.nClamp = 1;
    m_bFinished = 0;
    CCrushableSet::Register(this);
}

RECT CPeopleLabel::GetPictureRect()
{
    HITQUAD q;
    GetDamageQuad(&q);
    RECT rc;
    GetQuadRect(&rc, q.v);
    return rc;
}

HITQUAD* CPeopleLabel::GetDamageQuad(HITQUAD* pOut)
{
    int w = 0, h = 0;
    if (m_pPeople)
        m_pPeople->GetSize(&w, &h);
    const float x = m_vPos.x + (float)(32 - w / 2);
    const float y = m_vPos.y + m_fOffsetY + (float)(64 - h);
    pOut->v[0] = D3DVECTOR{{x}, {y}, {0.0f}};
    pOut->v[1] = D3DVECTOR{{x + (float)w}, {y}, {0.0f}};
    pOut->v[2] = D3DVECTOR{{x + (float)w}, {y + (float)h}, {0.0f}};
    pOut->v[3] = D3DVECTOR{{x}, {y + (float)h}, {0.0f}};
    return pOut;
}

HITQUAD* CPeopleLabel::GetHitQuad(HITQUAD* pOut)
{
    pOut->Clear();
    return pOut;
}

int CPeopleLabel::HitByPlayer(CStage*, CCrushable* pOther)
{
    if (m_bFinished || !m_pPeople || m_bHit)
        return 0;
    if (!pOther || pOther->m_nCategory != CRUSH_PLAYER)
        return 0;
    IStagePlayer* pPlayer = static_cast<IStagePlayer*>(pOther);
    RECT rcPlayer;
    pPlayer->GetDamageRect(&rcPlayer);
    CELLMASK maskPlayer, maskSelf;
    GetRectCellMask(&maskPlayer, rcPlayer);
    GetRectCellMask(&maskSelf, GetPictureRect());
    if (!IsCellMaskOverlap(maskPlayer, maskSelf))
        return 0;
    D3DVECTOR quadPlayer[4];
    pPlayer->GetDamageQuad(quadPlayer);
    HITQUAD quadSelf;
    GetDamageQuad(&quadSelf);
    if (!IsQuadOverlap(quadPlayer, quadSelf.v))
        return 0;

    m_bHit = 1;
    for (int i = 0; i < m_nItemCount; i++) {
        if (!m_pItems[i])
            continue;
        m_pItems[i]->SetPosition(m_vPos);
        m_pItems[i]->SetScroll(m_fSpeed);
        m_pItems[i]->Launch(kThrowSpeed, kThrowFirst - (float)(i + 1) * kThrowArc / (float)(m_nItemCount + 1));
    }
    g_PCMManagerTask.Play(GetVoicePath().c_str());
    D3DVECTOR vPlayer;
    pPlayer->GetPosition(&vPlayer);
    m_vTextPos = D3DVECTOR{{vPlayer.x}, {m_vPos.y}, {m_vPos.z}};
    // Laid out first: a text starts from its start position, which would otherwise be stale.
    LayoutTexts();
    for (int i = 0; i < m_nTextCount; i++)
        m_Texts[i].Start();
    m_Rise.Set(4.0f, -0.0533333f, 0.0f, 4.0f, 1);
    if (m_pStarCir) {
        m_pStarCir->SetPoint(m_vPos.x, -m_vPos.y, 0.0f);
        m_pStarCir->Start();
    }
    return 1;
}

void CPeopleLabel::LayoutTexts()
{
    const float fTop = m_vTextPos.y - (float)(11 * m_nTextCount) - 8.0f;
    for (int i = 0; i < m_nTextCount; i++) {
        const int w = m_Texts[i].GetWidth();
        const float x = m_vTextPos.x + 48.0f + (float)(w / 2);
        const float y = fTop + kTextLineStep * (float)i;
        m_Texts[i].SetStartPos(x, y, 0.0f);
        // A running text flies from where it started; the layout moves it along with the rise,
        // or the speech would stay where it was first placed.
        m_Texts[i].m_fX = x;
        m_Texts[i].m_fY = y;
    }
}

void CPeopleLabel::Update()
{
    if (m_bFinished)
        return;
    if (!m_bHit) {
        m_vPos.x -= m_fSpeed;
    } else {
        m_fSpinAngle -= m_Spin.fValue;
        m_Spin.Step();
        m_vPos.x += kFlySpeed;
        m_vPos.y -= kFlySpeed;
        LayoutTexts();
        m_vTextPos.y -= m_Rise.fValue;
        m_Rise.Step();
    }
    int w = 0, h = 0;
    if (m_pPeople)
        m_pPeople->GetSize(&w, &h);
    const bool bGone = m_vPos.x + (float)w < 0.0f || m_vPos.y + (float)h < 0.0f;
    // A passer-by nobody touched has no speech to wait for: it leaves as any label does.
    const bool bPassed = !m_bHit && m_vPos.x < -64.0f - (float)w;
    if ((bGone && m_Rise.nReached) || bPassed)
        Stop();
}

void CPeopleLabel::Stop()
{
    for (CTextSurface& text : m_Texts)
        text.Stop();
    CCrushableSet::Unregister(this);
    m_bFinished = 1;
}

int CPeopleLabel::Draw2D(IDirectDrawSurface7* lpTarget)
{
    if (m_bFinished || m_bHit || !m_pPeople)
        return 1;
    HITQUAD q;
    GetDamageQuad(&q);
    return m_pPeople->Draw2D(lpTarget, &q.v[0]);
}

int CPeopleLabel::Draw3D(IDirect3DDevice7* lpDevice)
{
    if (m_bFinished || !m_bHit || !m_pPeople || !lpDevice)
        return 1;
    D3DMATRIX mWorld;
    lpDevice->GetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    D3DXMATRIX mSpin, mMove, mLocal, mCombined;
    D3DXMatrixRotationZ(&mSpin, m_fSpinAngle);
    D3DXMatrixTranslation(&mMove, m_vPos.x, 16.0f - m_vPos.y, 0.0f);
    D3DXMatrixMultiply(&mLocal, &mSpin, &mMove);
    D3DXMatrixMultiply(&mCombined, &mLocal, &mWorld);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mCombined);
    m_pPeople->Draw3D(lpDevice);
    lpDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, &mWorld);
    return 1;
}
