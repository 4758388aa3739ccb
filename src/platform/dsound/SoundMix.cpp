#include "platform/dsound/SoundMix.h"

#include <emmintrin.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace {

std::atomic<bool> g_bMixRuns{true};

// A sample of 8 bits (unsigned) or 16 bits (signed) on the 16-bit scale.
inline int32_t SampleOf(const uint8_t* p, int nBits) {
    if (nBits == 8) return (static_cast<int32_t>(p[0]) - 128) * 256;
    int16_t s;
    memcpy(&s, p, 2);
    return s;
}

inline int32_t SampleAt(const MIXVOICE& v, uint32_t nFrame, uint32_t nChannel) {
    return SampleOf(v.pData + static_cast<size_t>(nFrame) * v.nBlockAlign + nChannel * (v.nBits / 8u), v.nBits);
}

inline int32_t Lerp(int32_t a, int32_t b, uint32_t nFrac16) {
    return a + static_cast<int32_t>((static_cast<int64_t>(b - a) * nFrac16) >> 16);
}

inline int32_t Scale(int32_t s, int32_t nGain) { return static_cast<int32_t>((static_cast<int64_t>(s) * nGain) >> 16); }

}  // namespace

HRESULT CheckMixFormat(const WAVEFORMATEX* p) {
    if (p->wFormatTag != WAVE_FORMAT_PCM) return DSERR_BADFORMAT;
    if (p->nChannels < 1 || p->nChannels > 2) return DSERR_BADFORMAT;
    if (p->wBitsPerSample != 8 && p->wBitsPerSample != 16) return DSERR_BADFORMAT;
    if (p->nSamplesPerSec < DSBFREQUENCY_MIN || p->nSamplesPerSec > DSBFREQUENCY_MAX) return DSERR_BADFORMAT;
    uint32_t nAlign = p->nChannels * p->wBitsPerSample / 8u;
    if (p->nBlockAlign != nAlign || p->nAvgBytesPerSec != p->nSamplesPerSec * nAlign) return DSERR_BADFORMAT;
    return DS_OK;
}

void SetupVoice(MIXVOICE* pVoice, const WAVEFORMATEX* pFormat, const uint8_t* pData, uint32_t nBytes) {
    *pVoice = MIXVOICE{};
    pVoice->pData = pData;
    pVoice->nBlockAlign = pFormat->nBlockAlign;
    pVoice->nChannels = pFormat->nChannels;
    pVoice->nBits = pFormat->wBitsPerSample;
    pVoice->nFrames = nBytes / pFormat->nBlockAlign;
    pVoice->nGain = MIX_UNITY_GAIN;
    SetVoiceFrequency(pVoice, pFormat->nSamplesPerSec);
}

void SetVoiceFrequency(MIXVOICE* pVoice, uint32_t dwFrequency) {
    pVoice->dwFrequency = dwFrequency;
    pVoice->nStep = (static_cast<uint64_t>(dwFrequency) << 32) / DSOUND_MIX_RATE;
}

int32_t GainOfVolume(LONG lVolume) {
    if (lVolume <= DSBVOLUME_MIN) return 0;
    if (lVolume >= DSBVOLUME_MAX) return MIX_UNITY_GAIN;
    return static_cast<int32_t>(std::lround(MIX_UNITY_GAIN * std::pow(10.0, lVolume / 2000.0)));
}

uint32_t WriteAheadBytes(const MIXVOICE& voice) {
    uint32_t nFrames = (voice.dwFrequency * DSOUND_WRITE_AHEAD_MS + 999u) / 1000u;
    return nFrames * voice.nBlockAlign;
}

namespace {

// One output frame of the voice at its position, with the frame after it (the start again past
// the end of a looping voice, the same frame past the end of one that stops).
void MixFrame(const MIXVOICE& v, int32_t* pAccum) {
    uint32_t nFrame = static_cast<uint32_t>(v.nPos >> 32);
    uint32_t nFrac = static_cast<uint32_t>(v.nPos >> 16) & 0xFFFFu;
    uint32_t nNext = nFrame + 1;
    if (nNext >= v.nFrames) nNext = v.bLooping ? 0 : nFrame;
    int32_t l = Lerp(SampleAt(v, nFrame, 0), SampleAt(v, nNext, 0), nFrac);
    int32_t r = v.nChannels == 2 ? Lerp(SampleAt(v, nFrame, 1), SampleAt(v, nNext, 1), nFrac) : l;
    pAccum[0] += Scale(l, v.nGain);
    pAccum[1] += Scale(r, v.nGain);
}

// MixFrame for frames [i, nEnd) while the position stays below nSafe, where the next frame is
// always the one after: the same sums, with the format fixed at compile time and no test for the
// end in the loop. Returns the frame it stopped at.
template <int kBits, int kChannels>
uint32_t MixRun(MIXVOICE& v, int32_t* pAccum, uint32_t i, uint32_t nEnd, uint64_t nSafe) {
    constexpr uint32_t kAlign = kBits / 8 * kChannels;
    constexpr uint32_t kRight = kChannels == 2 ? kBits / 8 : 0;
    const uint8_t* pData = v.pData;
    const uint64_t nStep = v.nStep;
    const int32_t nGain = v.nGain;
    uint64_t nPos = v.nPos;
    for (; i < nEnd && nPos < nSafe; ++i, nPos += nStep) {
        const uint8_t* p = pData + static_cast<size_t>(nPos >> 32) * kAlign;
        const uint32_t nFrac = static_cast<uint32_t>(nPos >> 16) & 0xFFFFu;
        const int32_t l = Lerp(SampleOf(p, kBits), SampleOf(p + kAlign, kBits), nFrac);
        const int32_t r = kChannels == 2 ? Lerp(SampleOf(p + kRight, kBits), SampleOf(p + kAlign + kRight, kBits), nFrac) : l;
        pAccum[2 * i] += Scale(l, nGain);
        pAccum[2 * i + 1] += Scale(r, nGain);
    }
    v.nPos = nPos;
    return i;
}

// (s * nGain) >> 16 of eight 16-bit samples for a gain of at most unity: the unsigned high product
// less the gain where s is negative, which is the signed product's floor; at unity, s itself.
inline __m128i ScaleEight(__m128i s, int32_t nGain) {
    if (nGain == MIX_UNITY_GAIN) return s;
    const __m128i g = _mm_set1_epi16(static_cast<int16_t>(nGain));
    return _mm_sub_epi16(_mm_mulhi_epu16(s, g), _mm_and_si128(_mm_srai_epi16(s, 15), g));
}

// Adds eight scaled samples, widened to 32 bits, to the sums at pOut.
inline void AddEight(int32_t* pOut, __m128i h) {
    const __m128i lo = _mm_srai_epi32(_mm_unpacklo_epi16(h, h), 16);
    const __m128i hi = _mm_srai_epi32(_mm_unpackhi_epi16(h, h), 16);
    __m128i* pLo = reinterpret_cast<__m128i*>(pOut);
    _mm_storeu_si128(pLo, _mm_add_epi32(_mm_loadu_si128(pLo), lo));
    _mm_storeu_si128(pLo + 1, _mm_add_epi32(_mm_loadu_si128(pLo + 1), hi));
}

// The frames of a 16-bit voice at the output rate four at a time (the music and most effects);
// returns how many it mixed, a multiple of four.
uint32_t MixWhole16(const uint8_t* p, uint32_t nChannels, int32_t nGain, int32_t* pOut, uint32_t nFrames) {
    uint32_t k = 0;
    for (; k + 4 <= nFrames; k += 4) {
        if (nChannels == 2) {
            AddEight(pOut + 2 * k, ScaleEight(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * k)), nGain));
        } else {
            // Each sample reaches both channels.
            const __m128i h = ScaleEight(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 2 * k)), nGain);
            AddEight(pOut + 2 * k, _mm_unpacklo_epi16(h, h));
        }
    }
    return k;
}

// MixRun for a voice at the output rate that sits on a whole frame: every frame is read as it is
// (the interpolation's weight on the next frame is 0), one frame after the other.
template <int kBits, int kChannels>
uint32_t MixWholeRun(MIXVOICE& v, int32_t* pAccum, uint32_t i, uint32_t nEnd, uint64_t nSafe) {
    constexpr uint32_t kAlign = kBits / 8 * kChannels;
    constexpr uint32_t kRight = kChannels == 2 ? kBits / 8 : 0;
    const uint32_t nFrame = static_cast<uint32_t>(v.nPos >> 32);
    const uint32_t nLast = std::min<uint64_t>(nEnd - i, static_cast<uint32_t>(nSafe >> 32) - nFrame);
    const uint8_t* p = v.pData + static_cast<size_t>(nFrame) * kAlign;
    const int32_t nGain = v.nGain;
    int32_t* pOut = pAccum + 2 * i;
    uint32_t k = 0;
    if (kBits == 16 && nGain >= 0 && nGain <= MIX_UNITY_GAIN) {
        k = MixWhole16(p, kChannels, nGain, pOut, nLast);
        p += k * kAlign;
    }
    for (; k < nLast; ++k, p += kAlign) {
        const int32_t l = SampleOf(p, kBits);
        const int32_t r = kChannels == 2 ? SampleOf(p + kRight, kBits) : l;
        pOut[2 * k] += Scale(l, nGain);
        pOut[2 * k + 1] += Scale(r, nGain);
    }
    v.nPos += static_cast<uint64_t>(nLast) << 32;
    return i + nLast;
}

uint32_t MixRunOf(MIXVOICE& v, int32_t* pAccum, uint32_t i, uint32_t nEnd, uint64_t nSafe) {
    const bool bWhole = v.nStep == (1ull << 32) && (v.nPos & 0xFFFF0000u) == 0;
    if (v.nBits == 16 && v.nChannels == 2)
        return bWhole ? MixWholeRun<16, 2>(v, pAccum, i, nEnd, nSafe) : MixRun<16, 2>(v, pAccum, i, nEnd, nSafe);
    if (v.nBits == 16)
        return bWhole ? MixWholeRun<16, 1>(v, pAccum, i, nEnd, nSafe) : MixRun<16, 1>(v, pAccum, i, nEnd, nSafe);
    return v.nChannels == 2 ? MixRun<8, 2>(v, pAccum, i, nEnd, nSafe) : MixRun<8, 1>(v, pAccum, i, nEnd, nSafe);
}

}  // namespace

void EnableMixRuns(bool bEnable) { g_bMixRuns = bEnable; }

void MixVoice(MIXVOICE* pVoice, int32_t* pAccum, uint32_t nFrames) {
    MIXVOICE& v = *pVoice;
    if (v.nFrames == 0) {
        v.bPlaying = false;
        return;
    }
    const uint64_t nLength = static_cast<uint64_t>(v.nFrames) << 32;
    // Below this position the next frame is the one after, whether the voice loops or not.
    const uint64_t nSafe = static_cast<uint64_t>(v.nFrames - 1) << 32;
    uint32_t i = 0;
    while (i < nFrames) {
        if (v.nPos >= nLength) {
            if (!v.bLooping) {
                v.bPlaying = false;
                v.nPos = 0;
                return;
            }
            v.nPos %= nLength;
        }
        if (v.nPos < nSafe && g_bMixRuns.load(std::memory_order_relaxed)) {
            i = MixRunOf(v, pAccum, i, nFrames, nSafe);
            continue;
        }
        MixFrame(v, pAccum + 2 * i);
        v.nPos += v.nStep;
        ++i;
    }
    if (v.nPos >= nLength) {
        if (v.bLooping) {
            v.nPos %= nLength;
        } else {
            v.bPlaying = false;
            v.nPos = 0;
        }
    }
}

void ClampMix(const int32_t* pAccum, int32_t nMasterGain, int16_t* pOut, uint32_t nFrames) {
    // At unity (the usual case) the clamp is the saturating pack of eight sums at a time.
    if (nMasterGain == MIX_UNITY_GAIN) {
        uint32_t i = 0;
        for (; i + 8 <= 2 * nFrames; i += 8) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pAccum + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pAccum + i + 4));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pOut + i), _mm_packs_epi32(a, b));
        }
        for (; i < 2 * nFrames; ++i) pOut[i] = static_cast<int16_t>(std::clamp(pAccum[i], -32768, 32767));
        return;
    }
    for (uint32_t i = 0; i < 2 * nFrames; ++i) {
        int32_t s = Scale(pAccum[i], nMasterGain);
        pOut[i] = static_cast<int16_t>(s > 32767 ? 32767 : (s < -32768 ? -32768 : s));
    }
}
