// Heap checkpoints taken at start and end of the run. The C runtime here has no debug heap with
// per-block records, so a checkpoint holds the heap's totals: the bytes the program holds and the
// bytes the heap took from the system. Leaks are listed block by block at exit by LeakSanitizer in
// the sanitizer build.
#pragma once

class CMemState {
public:
    CMemState();
    virtual ~CMemState() = default;

    void Checkpoint();
    // This state becomes newer − older; true when the two checkpoints differ.
    bool Difference(const CMemState& older, const CMemState& newer);
    // One line of the totals to the debug output.
    void DumpStatistics() const;
    // Without block records the statistics are all there is to show.
    void DumpAllObjectsSince() const;

    // Signed: a difference may be negative.
    long long GetBytesInUse() const { return m_nInUse; }
    long long GetBytesFromSystem() const { return m_nFromSystem; }
    // False until a checkpoint found the runtime's statistics (or a difference of two such).
    bool IsValid() const { return m_bValid; }

    // No allocation serials exist to break on.
    static void SetBreakAlloc(long nSerial);
    // No block records exist to list: reports nothing and answers 0.
    static int DumpMemoryLeaks();

    // True until the first checkpoint object of the process was constructed.
    static bool IsFirstConstruction() { return s_bFirst; }

private:
    long long m_nInUse = 0;
    long long m_nFromSystem = 0;
    bool m_bValid = false;

    static bool s_bFirst;
};
