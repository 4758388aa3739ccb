// One pixel of a surface row, 2 or 4 bytes wide, read or written without alignment assumptions.
#pragma once
#include <cstdint>
#include <cstring>

inline uint32_t ReadRowPixel(const uint8_t* pRow, int x, int nBytes)
{
    if (nBytes == 2) {
        uint16_t w;
        std::memcpy(&w, pRow + x * 2, 2);
        return w;
    }
    uint32_t dw;
    std::memcpy(&dw, pRow + x * 4, 4);
    return dw;
}

inline void WriteRowPixel(uint8_t* pRow, int x, int nBytes, uint32_t dwValue)
{
    if (nBytes == 2) {
        const uint16_t w = static_cast<uint16_t>(dwValue);
        std::memcpy(pRow + x * 2, &w, 2);
    } else {
        std::memcpy(pRow + x * 4, &dwValue, 4);
    }
}
