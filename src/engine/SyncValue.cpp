#include "engine/SyncValue.h"

#include "engine/KeyRecorder.h"

void SyncReplayValue(int* pnValue) {
    CKeyRecorder* pRecorder = CKeyRecorder::GetInstance();
    if (pRecorder->GetMode() != KEYREC_MODE_PLAY) {
        pRecorder->RecordStep(*pnValue);
        return;
    }
    KEYRECINFO rec;
    *pnValue = (pRecorder->GetPlayRecord(&rec) && rec.frame != 0) ? rec.step : 1;
}
