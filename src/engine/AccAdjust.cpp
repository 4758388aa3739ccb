#include "engine/AccAdjust.h"

#include <cmath>

void ACCINFO::Set(float fValue0, float fStep0, float fMin0, float fMax0, int nClamp0, int nBounceMax0, int nBounceMin0)
{
    fValue = fValue0;
    fStart = fValue0;
    fStep = fStep0;
    fMin = fMin0;
    fMax = fMax0;
    nReached = 0;
    nClamp = nClamp0;
    nBounceMax = nBounceMax0;
    nBounceMin = nBounceMin0;
}

void ACCINFO::Step()
{
    fValue += fStep;
    if (nClamp && fValue > fMax) {
        fValue = fMax;
        if (nBounceMax) {
            fStep = -fStep;
        } else {
            nReached = 1;
        }
    }
    if (nClamp && fValue < fMin) {
        fValue = fMin;
        if (nBounceMin) {
            fStep = -fStep;
        } else {
            nReached = 1;
        }
    }
}

CAccAdjust::CAccAdjust() : m_nState(STATE_FREE)
{
    Set(0.0f, 0.0f, 0.0f, 0.0f, 1);
}

namespace {

float SignOf(float f)
{
    return f > 0.0f ? 1.0f : (f < 0.0f ? -1.0f : 0.0f);
}

} // namespace

void CAccAdjust::SetTarget(float d)
{
    // Below a quarter pixel a value counts as rest.
    const float v = std::fabs(fValue) < 0.25f ? 0.0f : fValue;
    if (m_nState == STATE_BRAKING) {
        if (v > -0.01f && v < 0.01f) {
            m_nState = STATE_FREE;
        }
        return;
    }
    if (m_nState != STATE_FREE) {
        return;
    }
    const float p = v * d;
    const float fLow = v >= 0.0f ? 0.0f : v;
    const float fHigh = v >= 0.0f ? v : 0.0f;
    if (p > 0.0f) {
        // Towards the target: brake to rest exactly over the distance.
        Set(v, -SignOf(v) * v * v / (2.0f * std::fabs(d)), fLow, fHigh, 1);
    } else if (p < 0.0f) {
        // Away from it: brake hard, and only then turn round.
        Set(v, -SignOf(v) * 0.05f * v * v, fLow, fHigh, 1);
        m_nState = STATE_BRAKING;
    } else if (std::fabs(d) > 0.5f) {
        Set(0.0f, SignOf(d) * 0.5f, 0.0f, 0.0f, 0);
    }
}
