// The Windows multimedia pieces the game's wave readers use: the wave format record and buffered
// RIFF file I/O (mmio), reading only. A handle reads either a file (through the Win32 file calls,
// so game paths work) or a memory image that the caller keeps alive until mmioClose.
#pragma once
#include <cstdint>
#include <cstdio>

#include "platform/win/Win.h"

// ---- Wave formats -------------------------------------------------------------------------------
#define WAVE_FORMAT_PCM 1
#define WAVE_FORMAT_ADPCM 2

#pragma pack(push, 1)
// 18 bytes, laid out as in a "fmt " chunk followed by the size of the extra bytes.
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is 18 bytes");
typedef WAVEFORMATEX* LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;

// ---- mmio ---------------------------------------------------------------------------------------
typedef DWORD FOURCC;
typedef char* HPSTR;
typedef struct HMMIO__* HMMIO;
typedef LONG (*LPMMIOPROC)(LPSTR lpmmioinfo, UINT uMsg, LPARAM lParam1, LPARAM lParam2);

#define mmioFOURCC(c0, c1, c2, c3) \
    ((FOURCC)(BYTE)(c0) | ((FOURCC)(BYTE)(c1) << 8) | ((FOURCC)(BYTE)(c2) << 16) | ((FOURCC)(BYTE)(c3) << 24))
#define FOURCC_RIFF mmioFOURCC('R', 'I', 'F', 'F')
#define FOURCC_LIST mmioFOURCC('L', 'I', 'S', 'T')
#define FOURCC_DOS mmioFOURCC('D', 'O', 'S', ' ')
#define FOURCC_MEM mmioFOURCC('M', 'E', 'M', ' ')

#define MMSYSERR_NOERROR 0
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_INVALFLAG 10
#define MMSYSERR_INVALPARAM 11
#define MMIOERR_BASE 256
#define MMIOERR_FILENOTFOUND (MMIOERR_BASE + 1)
#define MMIOERR_OUTOFMEMORY (MMIOERR_BASE + 2)
#define MMIOERR_CANNOTOPEN (MMIOERR_BASE + 3)
#define MMIOERR_CANNOTCLOSE (MMIOERR_BASE + 4)
#define MMIOERR_CANNOTREAD (MMIOERR_BASE + 5)
#define MMIOERR_CANNOTWRITE (MMIOERR_BASE + 6)
#define MMIOERR_CANNOTSEEK (MMIOERR_BASE + 7)
#define MMIOERR_CANNOTEXPAND (MMIOERR_BASE + 8)
#define MMIOERR_CHUNKNOTFOUND (MMIOERR_BASE + 9)
#define MMIOERR_UNBUFFERED (MMIOERR_BASE + 10)

#define MMIO_READ 0x00000000
#define MMIO_WRITE 0x00000001
#define MMIO_READWRITE 0x00000002
#define MMIO_CREATE 0x00001000
#define MMIO_ALLOCBUF 0x00010000
#define MMIO_DIRTY 0x10000000
#define MMIO_FINDCHUNK 0x0010
#define MMIO_FINDRIFF 0x0020
#define MMIO_FINDLIST 0x0040
#define MMIO_DEFAULTBUFFER 8192

struct MMIOINFO {
    DWORD dwFlags;
    FOURCC fccIOProc;
    LPMMIOPROC pIOProc;
    UINT wErrorRet;
    void* htask;
    LONG cchBuffer;
    HPSTR pchBuffer;
    HPSTR pchNext;
    HPSTR pchEndRead;
    HPSTR pchEndWrite;
    LONG lBufOffset;   // file offset of the buffer's first byte
    LONG lDiskOffset;  // file offset of the next byte the disk would give
    DWORD adwInfo[3];
    DWORD dwReserved1;
    DWORD dwReserved2;
    HMMIO hmmio;
};
typedef MMIOINFO* LPMMIOINFO;
typedef const MMIOINFO* LPCMMIOINFO;

struct MMCKINFO {
    FOURCC ckid;
    DWORD cksize;
    FOURCC fccType;       // form or list type of a "RIFF" or "LIST" chunk
    DWORD dwDataOffset;   // file offset of the chunk's data (after the size field)
    DWORD dwFlags;
};
typedef MMCKINFO* LPMMCKINFO;
typedef const MMCKINFO* LPCMMCKINFO;

// A memory image: lpmmioinfo->fccIOProc = FOURCC_MEM, pchBuffer and cchBuffer give the image and
// the name is ignored. Otherwise the name is a file, opened for reading (writing is refused with
// MMIOERR_CANNOTWRITE). Failures return null with the reason in lpmmioinfo->wErrorRet.
HMMIO mmioOpenA(LPSTR pszFileName, LPMMIOINFO lpmmioinfo, DWORD dwOpenFlags);
MMRESULT mmioClose(HMMIO hmmio, UINT wFlags);
// Bytes read (0 at the end), -1 on a read error.
LONG mmioRead(HMMIO hmmio, HPSTR pch, LONG cch);
// The new offset, -1 when it would fall before the start or after the end.
LONG mmioSeek(HMMIO hmmio, LONG lOffset, int iOrigin);
// Without a search flag: the chunk at the read position. MMIO_FINDCHUNK / FINDRIFF / FINDLIST look
// for lpck->ckid (or the form / list type in lpck->fccType) among the chunks from the read
// position to the end of the parent (or of the file). On success the read position is the chunk's
// data (after the form type for "RIFF" and "LIST").
MMRESULT mmioDescend(HMMIO hmmio, LPMMCKINFO lpck, LPCMMCKINFO lpckParent, UINT wFlags);
// To the end of the chunk, past its pad byte when its size is odd.
MMRESULT mmioAscend(HMMIO hmmio, LPMMCKINFO lpck, UINT wFlags);
// Direct access to the I/O buffer: read from pchNext up to pchEndRead, mmioAdvance (MMIO_READ)
// for more (a memory image cannot be advanced: it is all in the buffer from the start), and
// mmioSetInfo to hand the position back.
MMRESULT mmioGetInfo(HMMIO hmmio, LPMMIOINFO lpmmioinfo, UINT wFlags);
MMRESULT mmioSetInfo(HMMIO hmmio, LPCMMIOINFO lpmmioinfo, UINT wFlags);
MMRESULT mmioAdvance(HMMIO hmmio, LPMMIOINFO lpmmioinfo, UINT wFlags);
