// LZSS over a 4096-byte ring (look-ahead 18, matches of 3 to 18 bytes), the compression of the
// 268-byte-record pack entries. The encoder is the binary-tree kind; the game itself only decodes.
#pragma once
#include <cstdint>

#include "rvm/rvm_stl.h"
#define LZSS_RING_SIZE 4096
#define LZSS_LOOKAHEAD 18
#define LZSS_THRESHOLD 2              // matches of this length or shorter go out as literals
#define LZSS_NIL LZSS_RING_SIZE       // "no node" in the trees

// Decode results.
#define LZSS_OK 0
#define LZSS_EMPTY 1                  // expanded size 0: nothing done
#define LZSS_TRUNCATED 2              // the compressed bytes ran out before the expanded size

class CTeskLZSS {
public:
    CTeskLZSS();

    // Expands pIn (nInSize bytes) into exactly nOutSize bytes at pOut. The output never grows past
    // nOutSize and the input is never read past nInSize.
    int Decode(const uint8_t* pIn, uint32_t nInSize, uint8_t* pOut, uint32_t nOutSize);
    // The same into a container sized to nOutSize first (cleared on failure).
    int Decode(const uint8_t* pIn, uint32_t nInSize, rvm::vector<uint8_t>& out, uint32_t nOutSize);

    // Compresses nInSize bytes. pOut null: only the size is computed. Returns 0 with the compressed
    // size when it stays below nInSize - 8; 1 for inputs under 17 bytes or when compression does not
    // pay (pOut is then cleared).
    int Encode(const uint8_t* pIn, uint32_t nInSize, rvm::vector<uint8_t>* pOut, uint32_t* pnCompSize);

private:
    void InitTree();
    void InsertNode(int r);
    void DeleteNode(int p);

    uint8_t m_Ring[LZSS_RING_SIZE + LZSS_LOOKAHEAD - 1];
    int m_nLeft[LZSS_RING_SIZE + 1];
    int m_nRight[LZSS_RING_SIZE + 1 + 256];
    int m_nParent[LZSS_RING_SIZE + 1];
    int m_nMatchPos;
    int m_nMatchLen;
};
