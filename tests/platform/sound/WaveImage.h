// Wave file images for the sound tests, built byte by byte.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct WAVEIMAGE {
    uint16_t wTag = 1;
    uint16_t nChannels = 2;
    uint32_t nRate = 44100;
    uint16_t wBits = 16;
    std::vector<uint8_t> extra;      // appended after cbSize for a non-PCM tag
    std::vector<uint8_t> data;
    int nFmtSize = -1;               // -1: the natural size (16, or 18 + extra)
    int nDataSizeDelta = 0;          // added to the "data" size field (a lie when non-zero)
    bool bJunkBeforeFmt = false;     // an odd-sized chunk before "fmt " (tests the pad byte)
};

inline void PutLe(std::vector<uint8_t>& v, uint32_t x, int n) {
    for (int i = 0; i < n; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

inline void PutTag(std::vector<uint8_t>& v, const char* tag) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(tag[i]));
}

inline std::vector<uint8_t> BuildWave(const WAVEIMAGE& w) {
    std::vector<uint8_t> fmt;
    uint16_t nAlign = static_cast<uint16_t>(w.nChannels * w.wBits / 8);
    PutLe(fmt, w.wTag, 2);
    PutLe(fmt, w.nChannels, 2);
    PutLe(fmt, w.nRate, 4);
    PutLe(fmt, w.nRate * nAlign, 4);
    PutLe(fmt, nAlign, 2);
    PutLe(fmt, w.wBits, 2);
    if (w.wTag != 1) {
        PutLe(fmt, static_cast<uint32_t>(w.extra.size()), 2);
        fmt.insert(fmt.end(), w.extra.begin(), w.extra.end());
    }
    if (w.nFmtSize >= 0) fmt.resize(static_cast<size_t>(w.nFmtSize), 0);
    std::vector<uint8_t> body;
    PutTag(body, "WAVE");
    if (w.bJunkBeforeFmt) {
        PutTag(body, "junk");
        PutLe(body, 3, 4);
        for (uint8_t b : {1, 2, 3, 0}) body.push_back(b);
    }
    PutTag(body, "fmt ");
    PutLe(body, static_cast<uint32_t>(fmt.size()), 4);
    body.insert(body.end(), fmt.begin(), fmt.end());
    if (fmt.size() & 1) body.push_back(0);
    PutTag(body, "data");
    PutLe(body, static_cast<uint32_t>(static_cast<int64_t>(w.data.size()) + w.nDataSizeDelta), 4);
    body.insert(body.end(), w.data.begin(), w.data.end());
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    PutLe(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// 16-bit samples as little-endian bytes.
inline std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out;
    for (int16_t s : samples) PutLe(out, static_cast<uint16_t>(s), 2);
    return out;
}

// A stereo 16-bit ramp whose frame i holds (i & 0x7FFF, -(i & 0x7FFF)): every frame is
// recognisable by its value.
inline std::vector<uint8_t> RampStereo16(uint32_t nFrames) {
    std::vector<int16_t> s;
    for (uint32_t i = 0; i < nFrames; ++i) {
        s.push_back(static_cast<int16_t>(i & 0x7FFF));
        s.push_back(static_cast<int16_t>(-static_cast<int32_t>(i & 0x7FFF)));
    }
    return Pcm16(s);
}
