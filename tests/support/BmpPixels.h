// The pixels of an uncompressed 24-bit bitmap file (as the generator writes them), as the game's
// RGB565 surfaces hold them: for comparing what is drawn with the picture it came from.
#pragma once
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class CBmpPixels {
public:
    // Empty (Width() 0) when the file is missing or not a bottom-up 24-bit bitmap.
    explicit CBmpPixels(const std::string& path)
    {
        std::ifstream f(path, std::ios::binary);
        m_Bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
        if (m_Bytes.size() < 54 || m_Bytes[0] != 'B' || m_Bytes[1] != 'M' || U16(28) != 24)
            return;
        const int w = (int)U32(18), h = (int)U32(22);
        m_nOffset = U32(10);
        m_nRow = ((uint32_t)w * 3 + 3) & ~3u;
        if (w <= 0 || h <= 0 || m_nOffset + (size_t)m_nRow * (size_t)h > m_Bytes.size())
            return;
        m_nWidth = w;
        m_nHeight = h;
    }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    // 0xRRGGBB of the pixel (x, y), y from the top.
    uint32_t Rgb(int x, int y) const
    {
        const size_t p = m_nOffset + (size_t)(m_nHeight - 1 - y) * m_nRow + (size_t)x * 3;
        return ((uint32_t)m_Bytes[p + 2] << 16) | ((uint32_t)m_Bytes[p + 1] << 8) | m_Bytes[p];
    }
    // The pixel as the game holds it: each channel truncated to 5, 6 and 5 bits.
    uint16_t Rgb565(int x, int y) const
    {
        const uint32_t c = Rgb(x, y);
        return (uint16_t)((((c >> 19) & 0x1F) << 11) | (((c >> 10) & 0x3F) << 5) | ((c >> 3) & 0x1F));
    }

private:
    uint32_t U16(size_t p) const { return (uint32_t)m_Bytes[p] | ((uint32_t)m_Bytes[p + 1] << 8); }
    uint32_t U32(size_t p) const { return U16(p) | (U16(p + 2) << 16); }

    std::vector<uint8_t> m_Bytes;
    size_t m_nOffset = 0;
    uint32_t m_nRow = 0;
    int m_nWidth = 0, m_nHeight = 0;
};
