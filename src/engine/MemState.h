// Heap checkpoints taken at start and end of the run. The C runtime here keeps no debug heap, so
// the calls do nothing; leaks still get reported at exit, by LeakSanitizer in the sanitizer build.
#pragma once

class CMemState {
public:
    CMemState();
    virtual ~CMemState() = default;

    void Checkpoint();
    // True when the two checkpoints differ; without a debug heap they never do.
    bool Difference(const CMemState& older, const CMemState& newer);
    void DumpStatistics() const;
    void DumpAllObjectsSince() const;

    static void SetBreakAlloc(long nSerial);
    static int DumpMemoryLeaks();

    // True until the first checkpoint object of the process was constructed.
    static bool IsFirstConstruction() { return s_bFirst; }

private:
    static bool s_bFirst;
};
