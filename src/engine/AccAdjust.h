// One-dimensional eased motion: a value that changes by a fixed step each update between two
// limits, stopping, bouncing or running on at a limit. Speeds, offsets, scales and spin rates of
// the widgets, passers-by and bosses all move this way.
#pragma once

struct ACCINFO {
    float fValue;      // applied by the owner each update (added to a position, used as a scale)
    float fStart;      // what the motion started from, kept for restarts
    float fStep;       // added to the value each update
    float fMin;
    float fMax;
    int nReached;      // 1 once a limit stopped the value
    int nClamp;        // the limits hold only while this is non-zero
    int nBounceMax;    // at the upper limit: reverse the step instead of stopping
    int nBounceMin;    // at the lower limit: likewise

    // All nine fields at once; value and start become the same number and the motion is live.
    void Set(float fValue0, float fStep0, float fMin0, float fMax0, int nClamp0, int nBounceMax0 = 0,
             int nBounceMin0 = 0);
    // A constant value: no step, no limits, no flags.
    void SetConstant(float fValue0) { Set(fValue0, 0.0f, 0.0f, 0.0f, 0); }
    // Value back to its start, the motion live again.
    void Restart()
    {
        fValue = fStart;
        nReached = 0;
    }
    // One update: the step, then the upper limit, then the lower one. A value exactly on a limit
    // is neither moved nor stopped.
    void Step();
};

// Steers a value to rest over a given distance: the owner keeps handing it the distance left, and
// it brakes so that the value reaches 0 where the distance does.
class CAccAdjust : public ACCINFO {
public:
    enum { STATE_FREE = 0, STATE_BRAKING = 1 };

    CAccAdjust();
    virtual ~CAccAdjust() = default;

    // d: the signed distance still to travel.
    void SetTarget(float d);
    int GetState() const { return m_nState; }

private:
    int m_nState;
};
