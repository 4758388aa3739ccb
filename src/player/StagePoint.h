// The money counters of the HUD: ten digits that roll like a mechanical counter with a Yen sign in
// front (CStagePoint), and the cockpit's and the tally's kind with comma groups, blank leading
// zeros, a short white flash when a roll ends and a delayed set (CStagePointEx).
#pragma once
#include "engine/DSurface.h"
#include "engine/NumberBase.h"
#include "engine/SlideSurface.h"

#define STAGEPOINT_DIGITS 10
#define STAGEPOINT_DIGIT_WIDTH 20
#define STAGEPOINT_DIGIT_HEIGHT 34
#define STAGEPOINT_INDEX "CockpitIndex.txt"

class CStagePoint : public CSlideNumber {
public:
    CStagePoint();
    ~CStagePoint() override;

    int GetDigitCount() override { return STAGEPOINT_DIGITS; }
    // The value (held to 0..2147483647) and every roller jumps to its digit.
    void SetNumber(int nNumber) override;
    BOOL Draw(IDirectDrawSurface7* lpSurface) override;
    void Init() override;
    void Release() override;
    // Rollers to 0, value 0, shown.
    virtual void Reset();
    // Unless hidden, every roller moves.
    void Update() override;
    void SetYenShown(int bShown) { m_bYenShown = bShown; }
    void SetZerosShown(int bShown) { m_bZerosShown = bShown; }
    // 1 when every roller stands still.
    int IsFinished() const;
    using CSlideNumber::Load;
    // The digits (ScoreNumbers.bmp, 20 x 34) and the Yen sign; 0 on the first failure.
    virtual BOOL Load(IDirect3DDevice7* lpDevice);
    // Adds to the value (saturating); each digit whose character changed rolls forwards to it.
    void Add(int nPoints);

    const CSlideSurfBase& GetRoller(int i) const { return m_Rollers[i]; }
    int GetYenWidth() const { return m_nYenWidth; }

    float m_fX = 0.0f;
    float m_fY = 0.0f;

protected:
    // One pass of the rollers; a roller that has arrived is brought to rest.
    void MoveRollers();
    BOOL DrawDigit(IDirectDrawSurface7* lpSurface, IDirectDrawSurface7* lpStrip, int i, float x);
    BOOL DrawYen(IDirectDrawSurface7* lpSurface, float x);

    CDSurface m_Yen;
    int m_nYenWidth = 0;
    int m_nYenHeight = 0;
    int m_bYenShown = 1;
    int m_bZerosShown = 1;
    CSlideSurfBase m_Rollers[STAGEPOINT_DIGITS];
};

class CStagePointEx : public CStagePoint {
public:
    enum { FLASH_MS = 40 };

    CStagePointEx() = default;
    ~CStagePointEx() override;

    int GetDigitCount() override { return STAGEPOINT_DIGITS; }
    BOOL Draw(IDirectDrawSurface7* lpSurface) override;
    void Release() override;
    void Update() override;
    // Also the comma and the white digits.
    BOOL Load(IDirect3DDevice7* lpDevice) override;
    // Add, then the white flash once the rollers stop.
    void AddAndFlash(int nPoints);
    // Add, then the counter jumps to nValue on the next update.
    void AddThenSet(int nPoints, int nValue);

    int IsWhite() const { return m_bWhite; }
    int GetCommaWidth() const { return m_nCommaWidth; }
    // The width a full ten-digit value with its Yen sign and commas takes.
    int GetFullWidth() const;

private:
    CDSurface m_Comma;
    int m_nCommaWidth = 0;
    IDirectDrawSurface7* m_lpWhite = nullptr;
    DWORD m_dwFlashStart = 0;
    int m_bFinished = 1;
    int m_bWhite = 0;
    int m_bFlashPending = 0;
    int m_nPending = -1;
};
