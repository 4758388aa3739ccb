// The detector of one hidden key sequence: it watches seven keys, keeps the presses that may still
// begin the target sequence, and is done once the last n presses are the n keys of its target.
#pragma once

#define STATESWITCH_MAX 10
#define STATESWITCH_KEYS 7

class CStateSwitch {
public:
    CStateSwitch();
    virtual ~CStateSwitch() = default;

    // Reset, and the target emptied.
    void Clear();
    // Not done, nothing matched, no presses kept; the keys' latches cleared.
    void Reset();
    void AddTarget(int nVirtKey);
    // Feeds every watched key that went down since the last call (through the key map, so the
    // joystick counts).
    void Update();
    void Input(int nVirtKey);
    // As if the target had been typed.
    void ForceDone();
    int IsDone() const { return m_bDone; }
    int GetMatched() const { return m_nMatched; }
    int GetTargetLength() const { return m_nTargetLen; }
    int GetHistoryLength() const { return m_nInpSeqLen; }

private:
    struct WATCHKEY {
        int nVirtKey;
        int bLatch;
    };
    // The entries to drop from the front so that the newest press may stand where it is in the target.
    int DropCount() const;
    void Drop(int nCount);

    WATCHKEY m_Keys[STATESWITCH_KEYS];
    int m_nTarget[STATESWITCH_MAX];
    int m_nTargetLen = 0;
    int m_nInpSeq[STATESWITCH_MAX];
    int m_nInpSeqLen = 0;
    int m_nMatched = -1;
    int m_bDone = 0;
};
