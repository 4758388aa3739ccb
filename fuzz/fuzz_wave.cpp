// The wave readers on arbitrary bytes: the whole-file reader through a memory name, the
// streaming reader over the same bytes as a file (for some inputs), and the mmio chunk walk over
// the image. A wave the game takes is played as an effect is: into its sound buffer and through
// the mixer, once and looping, at its own rate and at one the input chooses.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "FuzzDevice.h"
#include "ScratchFolder.h"
#include "engine/PCMManagerTask.h"
#include "engine/Sound.h"
#include "engine/StreamWaveRead.h"
#include "pack/teskFile.h"

namespace {

void StreamFromFile(const uint8_t* pData, size_t nSize) {
    FILE* fp = fopen("w.wav", "wb");
    if (!fp) return;
    size_t nWritten = fwrite(pData, 1, nSize, fp);
    fclose(fp);
    if (nWritten != nSize) return;
    CStreamWaveRead reader;
    if (!reader.Open(".\\NoPack.dat", ".\\w.wav")) return;
    std::vector<BYTE> buf(4096);
    DWORD dwRead = 1;
    while (reader.Read(static_cast<DWORD>(buf.size()), buf.data(), &dwRead) && dwRead > 0) {
    }
    reader.Rewind();
    reader.Read(100, nullptr, &dwRead);
    reader.Read(4, buf.data(), &dwRead);
}

// Output frames mixed per play: enough for the short waves most inputs are to run to their end
// and, looping, round again. An output frame costs as much as a byte through the readers, so a
// long wave is mixed only this far.
const uint32_t kMixFrames = 256;

void PlayThroughMixer(const char* pszName, const uint8_t* pData, size_t nSize) {
    StartFuzzSound();
    LPDIRECTSOUNDBUFFER lpBuffer = LoadWaveSoundBuffer(pszName);
    if (!lpBuffer) return;
    static int16_t s_Out[2 * kMixFrames];
    lpBuffer->Play(0, 0, 0);
    MixDirectSound(s_Out, kMixFrames);
    // The last bytes choose a rate and a volume across (and past) their ranges.
    const uint32_t nTail = nSize >= 4 ? (uint32_t)pData[nSize - 1] << 8 | pData[nSize - 2] : 0;
    lpBuffer->SetFrequency(nTail * 2);
    lpBuffer->SetVolume(-(LONG)(nSize >= 4 ? (uint32_t)pData[nSize - 3] << 8 | pData[nSize - 4] : 0) / 6);
    lpBuffer->Play(0, 0, DSBPLAY_LOOPING);
    MixDirectSound(s_Out, kMixFrames);
    lpBuffer->Stop();
    lpBuffer->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    if (nSize > 1 << 20) return 0;
    const FuzzInputScope scope;
    static const bool s_bEntered = [] {
        // The streaming reader opens files by game path: it works in a scratch folder of its own,
        // which the file layer takes as its base.
        EnterScratchFolder("fuzz_wave");
        CFile reset(1);
        return true;
    }();
    // The streaming reader opens files by path: some inputs go through it.
    if (s_bEntered && ThroughFile(pData, nSize)) StreamFromFile(pData, nSize);
    char name[64];
    uint32_t nToken = RegisterMemoryName(pData, static_cast<uint32_t>(nSize), name, sizeof name);
    if (nToken == 0) return 0;
    {
        CWaveReader reader;
        if (SUCCEEDED(reader.Open(name))) {
            std::vector<BYTE> buf(4096);
            DWORD dwRead = 0;
            while (reader.GetSize() > 0 && SUCCEEDED(reader.Read(static_cast<DWORD>(buf.size()), buf.data(), &dwRead))) {
            }
            reader.Reset();
            reader.Read(100, nullptr, &dwRead);
        }
    }
    PlayThroughMixer(name, pData, nSize);
    UnregisterMemoryName(nToken);

    std::vector<uint8_t> image(pData, pData + nSize);
    MMIOINFO info{};
    info.fccIOProc = FOURCC_MEM;
    info.pchBuffer = reinterpret_cast<HPSTR>(image.data());
    info.cchBuffer = static_cast<LONG>(image.size());
    HMMIO h = mmioOpenA(nullptr, &info, MMIO_READ);
    if (!h) return 0;
    MMCKINFO riff{};
    WAVEFORMATEX* pwfx = nullptr;
    if (SUCCEEDED(ReadWaveFormat(h, &riff, &pwfx))) delete[] reinterpret_cast<uint8_t*>(pwfx);
    mmioSeek(h, 0, SEEK_SET);
    MMCKINFO ck{};
    for (int i = 0; i < 64 && mmioDescend(h, &ck, nullptr, 0) == 0; ++i) mmioAscend(h, &ck, 0);
    mmioClose(h, 0);
    return 0;
}
