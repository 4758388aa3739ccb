// The Windows bitmap file format: every kind of file the system's own loader read (1, 4 and 8 bits
// with a colour table, run-length 4 and 8 bits, 16 and 32 bits with or without colour masks, 24
// bits; the old core header and the info headers of every later version), decoded to plain 8-bit
// colours. Anything else is refused with a reason, never half read.
#pragma once
#include <cstddef>
#include <cstdint>

#include "rvm/rvm_stl.h"

#define BMP_FILEHEADER_SIZE 14
#define BMP_COREHEADER_SIZE 12
#define BMP_INFOHEADER_SIZE 40
// No surface is made wider or higher than this.
#define BMP_MAX_SIDE 16384
// Over fifty full screens, far beyond any sheet the game cuts; without it a run-length file of a
// few bytes could make the loader ask for gigabytes.
#define BMP_MAX_PIXELS (1u << 24)

// Results of DecodeBitmap.
enum {
    BMP_OK = 0,
    BMP_ERR_TRUNCATED,    // the file ends inside a header, the colour masks or the colour table
    BMP_ERR_SIGNATURE,    // not "BM"
    BMP_ERR_HEADER,       // an info header size no version of the format has
    BMP_ERR_BITCOUNT,     // not 1, 4, 8, 16, 24 or 32 bits a pixel (core header: 1, 4, 8 or 24)
    BMP_ERR_SIZE,         // width or height zero, negative width, a side beyond BMP_MAX_SIDE or
                          // more than BMP_MAX_PIXELS pixels
    BMP_ERR_PALETTE,      // colour count beyond what the bit count can address
    BMP_ERR_OFFSET,       // pixel data starting inside the headers or beyond the file
    BMP_ERR_PLANES,       // a plane count other than 1
    BMP_ERR_COMPRESSION,  // a compression value the format does not define
    BMP_ERR_JPEG,         // a JPEG picture carried inside the bitmap
    BMP_ERR_PNG,          // a PNG picture carried inside the bitmap
    BMP_ERR_COMPRESSION_BITS,  // run-length or colour masks on a bit count they do not apply to
    BMP_ERR_MASKS,        // colour masks that overlap, are not one run of bits or pass the pixel
    BMP_ERR_RLE_TOPDOWN,  // a run-length picture stored top-down
    BMP_ERR_DATA,         // the pixel data (rows, or the run-length stream) cut short
};

// A decoded picture: 0x00RRGGBB values, top row first.
struct BMPIMAGE {
    int nWidth = 0;
    int nHeight = 0;
    rvm::vector<uint32_t> pixels;
};

// Decodes a memory image of the whole file. Nothing outside [pData, pData + nSize) is read.
// Indexes past the end of the colour table read as black; pixels a run-length picture never
// writes take colour 0 of its table.
int DecodeBitmap(const uint8_t* pData, size_t nSize, BMPIMAGE* pImage);
// Width and height from the headers only (every check that needs no pixel decoding applies).
int ReadBitmapHeaderSize(const uint8_t* pData, size_t nSize, int* pnWidth, int* pnHeight);
// The English reason for a DecodeBitmap result.
const char* GetBitmapErrorText(int nResult);
