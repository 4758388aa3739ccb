// The replay reader on arbitrary bytes: the image decoder, the header reader on an open file and
// the recorder's load from a memory name. Whatever loads must save to the same bytes' meaning and
// play back to its end without reading outside the tracks.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/KeyRecorder.h"
#include "pack/teskFile.h"
#include "rvm/rvm_stl.h"

namespace {

void CheckRoundTrip(const REPLAYIMAGE& image) {
    rvm::vector<uint8_t> again = EncodeReplay(image);
    REPLAYIMAGE reread;
    if (!DecodeReplay(again.data(), again.size(), &reread, nullptr)) abort();
    for (int k = 0; k < KEYREC_TRACKS; ++k) {
        if (reread.tracks[k].size() != image.tracks[k].size()) abort();
        for (size_t i = 0; i < image.tracks[k].size(); ++i)
            if (memcmp(&reread.tracks[k][i], &image.tracks[k][i], sizeof(KEYRECINFO)) != 0) abort();
    }
}

void PlayEveryTrack(CKeyRecorder* pRec) {
    for (int nStage = 1; nStage <= KEYREC_TRACKS; ++nStage) {
        pRec->SetStartStage(nStage);
        pRec->StartPlay();
        for (int n = 0; n < 64 && pRec->HasMorePlayData(); ++n) {
            pRec->GetPlayKeyCode();
            KEYRECINFO rec;
            pRec->GetPlayRecord(&rec);
            pRec->NextFrame();
        }
        pRec->StopPlay();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    REPLAYIMAGE image;
    if (DecodeReplay(pData, nSize, &image, nullptr)) CheckRoundTrip(image);

    rvm::vector<uint8_t> copy(pData, pData + nSize);
    copy.push_back(0);
    char szName[64] = "";
    uint32_t nToken = RegisterMemoryName(copy.data(), static_cast<uint32_t>(nSize), szName, sizeof(szName));
    if (nToken == 0) return 0;
    CFile* pFile = nullptr;
    if (FileOpen(&pFile, szName) == FILE_OK) {
        int pairs[10], nValue, options[3], y, m, d, score;
        CKeyRecorder::ReadReplayHeader(pFile, "fuzz", pairs, &nValue, options, &y, &m, &d, &score);
        FileClose(pFile);
    }
    CKeyRecorder* pRec = CKeyRecorder::GetInstance();
    pRec->Reset();
    if (pRec->LoadReplay("", szName)) PlayEveryTrack(pRec);
    CKeyRecorder::DeleteInstance();
    UnregisterMemoryName(nToken);
    return 0;
}
