// Measures of sound for the tests that listen: a PCM wave read back, loudness as broadcast meters
// weigh it (BS.1770's K-weighting at 44.1 kHz, ungated), and a power spectrum.
#pragma once
#include <cmath>
#include <complex>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// A 16-bit PCM wave: its rate and its channels as floats, full scale 1.
struct PCMWAVE {
    uint32_t nRate = 0;
    std::vector<std::vector<float>> channels;
    size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

inline uint32_t ReadLe(const std::string& s, size_t nAt, int nBytes)
{
    uint32_t v = 0;
    for (int i = 0; i < nBytes; i++)
        v |= static_cast<uint32_t>(static_cast<uint8_t>(s[nAt + i])) << (8 * i);
    return v;
}

inline std::string ReadWholeFile(const std::string& strPath)
{
    std::ifstream f(strPath, std::ios::binary | std::ios::ate);
    std::string s(f ? static_cast<size_t>(f.tellg()) : 0, '\0');
    f.seekg(0);
    f.read(&s[0], static_cast<std::streamsize>(s.size()));
    return s;
}

// The body of a top-level chunk of a RIFF file ("fmt ", "data"): where it starts and its size.
inline bool FindChunk(const std::string& s, const char* pszId, size_t* pnAt, uint32_t* pnSize)
{
    for (size_t p = 12; p + 8 <= s.size();) {
        const uint32_t nSize = ReadLe(s, p + 4, 4);
        if (s.compare(p, 4, pszId) == 0 && p + 8 + nSize <= s.size()) {
            *pnAt = p + 8;
            *pnSize = nSize;
            return true;
        }
        p += 8 + static_cast<size_t>(nSize) + (nSize & 1);
    }
    return false;
}

// Empty when the file is no 16-bit PCM wave.
inline PCMWAVE ReadPcmWave(const std::string& strPath)
{
    const std::string s = ReadWholeFile(strPath);
    PCMWAVE w;
    size_t nFmt = 0, nData = 0;
    uint32_t nFmtSize = 0, nBytes = 0;
    if (!FindChunk(s, "fmt ", &nFmt, &nFmtSize) || nFmtSize < 16 || !FindChunk(s, "data", &nData, &nBytes))
        return w;
    const uint32_t nChannels = ReadLe(s, nFmt + 2, 2);
    if (ReadLe(s, nFmt + 14, 2) != 16 || nChannels == 0)
        return w;
    w.nRate = ReadLe(s, nFmt + 4, 4);
    const size_t nFrames = nBytes / (2 * nChannels);
    w.channels.resize(nChannels);
    for (uint32_t c = 0; c < nChannels; c++) {
        w.channels[c].resize(nFrames);
        const uint8_t* pIn = reinterpret_cast<const uint8_t*>(s.data()) + nData + 2 * c;
        for (size_t i = 0; i < nFrames; i++, pIn += 2 * nChannels)
            w.channels[c][i] = static_cast<int16_t>(pIn[0] | pIn[1] << 8) / 32768.0f;
    }
    return w;
}

// The loudness weighting (a shelf up above 1.7 kHz, a cut below 38 Hz) as two biquads at 44.1 kHz.
class CLoudnessFilter {
public:
    CLoudnessFilter()
    {
        const double pi = 3.14159265358979323846;
        double k = std::tan(pi * 1681.974450955533 / 44100.0);
        const double q = 0.7071752369554196, vh = std::pow(10.0, 3.999843853973347 / 20.0);
        const double vb = std::pow(vh, 0.4996667741545416);
        double a0 = 1.0 + k / q + k * k;
        m_Shelf = {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
                   2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
        k = std::tan(pi * 38.13547087602444 / 44100.0);
        const double q2 = 0.5003270373238773;
        a0 = 1.0 + k / q2 + k * k;
        m_Cut = {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q2 + k * k) / a0};
    }
    double Run(double x) { return m_Cut.Run(m_Shelf.Run(x)); }

private:
    struct BIQUAD {
        double b0, b1, b2, a1, a2;
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        double Run(double x)
        {
            const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
            return y;
        }
    };
    BIQUAD m_Shelf, m_Cut;
};

// LUFS from the sum over the channels of their weighted mean squares (a mono sound played on both
// sides counts twice).
inline double LufsOf(double fMeanSquaresSummed)
{
    return fMeanSquaresSummed > 0 ? -0.691 + 10.0 * std::log10(fMeanSquaresSummed) : -200.0;
}

inline double Lufs(const PCMWAVE& w)
{
    double fSum = 0;
    for (size_t c = 0; c < 2; c++) {
        CLoudnessFilter filter;
        double fSquares = 0;
        for (float v : w.channels[c < w.channels.size() ? c : 0]) {
            const double y = filter.Run(v);
            fSquares += y * y;
        }
        fSum += w.Frames() ? fSquares / w.Frames() : 0.0;
    }
    return LufsOf(fSum);
}

// In place, a power-of-two size.
inline void Fft(std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; i++) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    std::vector<std::complex<double>> roots(n / 2);
    for (size_t k = 0; k < n / 2; k++)
        roots[k] = std::polar(1.0, -2.0 * 3.14159265358979323846 * static_cast<double>(k) / static_cast<double>(n));
    for (size_t len = 2; len <= n; len <<= 1) {
        const size_t nStride = n / len;
        for (size_t i = 0; i < n; i += len) {
            for (size_t j = 0; j < len / 2; j++) {
                const std::complex<double> u = a[i + j], v = a[i + j + len / 2] * roots[j * nStride];
                a[i + j] = u + v;
                a[i + j + len / 2] = u - v;
            }
        }
    }
}

// The power of each bin (0 to n/2) of a Hann-windowed stretch of n samples from nFirst (zeros past
// the end).
inline std::vector<double> PowerSpectrum(const std::vector<float>& samples, size_t nFirst, size_t n)
{
    std::vector<std::complex<double>> x(n);
    for (size_t i = 0; i < n && nFirst + i < samples.size(); i++)
        x[i] = samples[nFirst + i] * (0.5 - 0.5 * std::cos(2.0 * 3.14159265358979323846 * i / n));
    Fft(x);
    std::vector<double> power(n / 2 + 1);
    for (size_t k = 0; k <= n / 2; k++)
        power[k] = std::norm(x[k]);
    return power;
}
