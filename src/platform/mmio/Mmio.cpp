// Buffered RIFF reading. The handle's MMIOINFO is the single record of where reading stands: the
// position is always lBufOffset + (pchNext - pchBuffer), and the buffer holds the file bytes from
// lBufOffset up to pchEndRead.
#include <cstring>
#include <new>
#include <vector>

#include "platform/mmio/MMSystem.h"
#include "platform/win/File.h"

struct HMMIO__ {
    MMIOINFO info;
    bool bMemory;
    HANDLE hFile;
    LONG nFileSize;
    std::vector<char> buffer;  // files only; a memory image is read in place
};

namespace {

LONG Position(const HMMIO__* p) { return p->info.lBufOffset + static_cast<LONG>(p->info.pchNext - p->info.pchBuffer); }

LONG Buffered(const HMMIO__* p) { return static_cast<LONG>(p->info.pchEndRead - p->info.pchBuffer); }

// Loads the buffer from the file at nOffset; false on a read error.
bool FillBuffer(HMMIO__* p, LONG nOffset) {
    MMIOINFO& info = p->info;
    info.lBufOffset = nOffset;
    info.pchNext = info.pchEndRead = info.pchBuffer;
    if (SetFilePointer(p->hFile, nOffset, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
    DWORD dwGot = 0;
    if (!ReadFile(p->hFile, info.pchBuffer, static_cast<DWORD>(info.cchBuffer), &dwGot, nullptr)) return false;
    info.pchEndRead = info.pchBuffer + dwGot;
    info.lDiskOffset = nOffset + static_cast<LONG>(dwGot);
    return true;
}

// Puts the read position at nOffset (0 <= nOffset <= size), keeping the buffer when it covers it.
void MoveTo(HMMIO__* p, LONG nOffset) {
    MMIOINFO& info = p->info;
    if (p->bMemory || (nOffset >= info.lBufOffset && nOffset <= info.lBufOffset + Buffered(p))) {
        info.pchNext = info.pchBuffer + (nOffset - info.lBufOffset);
        return;
    }
    info.lBufOffset = nOffset;
    info.pchNext = info.pchEndRead = info.pchBuffer;
}

bool ReadExact(HMMIO__* p, void* pOut, LONG n) { return mmioRead(p, static_cast<HPSTR>(pOut), n) == n; }

DWORD Le32(const uint8_t* b) { return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<DWORD>(b[3]) << 24); }

// The chunk header at the read position; the position moves to the chunk's data.
bool ReadChunkHeader(HMMIO__* p, LPMMCKINFO lpck) {
    uint8_t header[8];
    DWORD dwStart = static_cast<DWORD>(Position(p));
    if (!ReadExact(p, header, 8)) return false;
    lpck->ckid = Le32(header);
    lpck->cksize = Le32(header + 4);
    lpck->fccType = 0;
    lpck->dwFlags = 0;
    lpck->dwDataOffset = dwStart + 8;
    if (lpck->ckid == FOURCC_RIFF || lpck->ckid == FOURCC_LIST) {
        uint8_t type[4];
        if (!ReadExact(p, type, 4)) return false;
        lpck->fccType = Le32(type);
    }
    return true;
}

bool Matches(const MMCKINFO& found, const MMCKINFO& wanted, UINT wFlags) {
    if (wFlags & MMIO_FINDRIFF) return found.ckid == FOURCC_RIFF && found.fccType == wanted.fccType;
    if (wFlags & MMIO_FINDLIST) return found.ckid == FOURCC_LIST && found.fccType == wanted.fccType;
    if (wFlags & MMIO_FINDCHUNK) return found.ckid == wanted.ckid;
    return true;
}

// The offset just past a chunk and its pad byte (64-bit: a lying size must not wrap).
int64_t ChunkEnd(const MMCKINFO& ck) {
    return static_cast<int64_t>(ck.dwDataOffset) + ck.cksize + (ck.cksize & 1);
}

HMMIO OpenFailed(LPMMIOINFO lpmmioinfo, UINT wError) {
    if (lpmmioinfo) lpmmioinfo->wErrorRet = wError;
    return nullptr;
}

}  // namespace

HMMIO mmioOpenA(LPSTR pszFileName, LPMMIOINFO lpmmioinfo, DWORD dwOpenFlags) {
    if (dwOpenFlags & (MMIO_WRITE | MMIO_READWRITE | MMIO_CREATE)) return OpenFailed(lpmmioinfo, MMIOERR_CANNOTWRITE);
    bool bMemory = lpmmioinfo && lpmmioinfo->fccIOProc == FOURCC_MEM;
    if (bMemory && (lpmmioinfo->cchBuffer < 0 || (!lpmmioinfo->pchBuffer && lpmmioinfo->cchBuffer > 0)))
        return OpenFailed(lpmmioinfo, MMSYSERR_INVALPARAM);
    HANDLE hFile = INVALID_HANDLE_VALUE;
    DWORD dwSize = 0;
    if (!bMemory) {
        if (!pszFileName) return OpenFailed(lpmmioinfo, MMIOERR_FILENOTFOUND);
        hFile = CreateFileA(pszFileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (hFile == INVALID_HANDLE_VALUE) return OpenFailed(lpmmioinfo, MMIOERR_FILENOTFOUND);
        dwSize = GetFileSize(hFile, nullptr);
        if (dwSize == INVALID_FILE_SIZE || dwSize > 0x7FFFFFFFu) {
            CloseHandle(hFile);
            return OpenFailed(lpmmioinfo, MMIOERR_CANNOTOPEN);
        }
    }
    auto* p = new (std::nothrow) HMMIO__{};
    if (!p) {
        if (hFile != INVALID_HANDLE_VALUE) CloseHandle(hFile);
        return OpenFailed(lpmmioinfo, MMIOERR_OUTOFMEMORY);
    }
    p->bMemory = bMemory;
    p->hFile = hFile;
    MMIOINFO& info = p->info;
    info.dwFlags = dwOpenFlags;
    info.hmmio = p;
    if (bMemory) {
        info.fccIOProc = FOURCC_MEM;
        info.cchBuffer = lpmmioinfo->cchBuffer;
        info.pchBuffer = lpmmioinfo->pchBuffer;
        info.pchEndRead = info.pchBuffer + info.cchBuffer;
        p->nFileSize = info.cchBuffer;
        info.lDiskOffset = info.cchBuffer;
    } else {
        info.fccIOProc = FOURCC_DOS;
        LONG cch = (lpmmioinfo && lpmmioinfo->cchBuffer > 0) ? lpmmioinfo->cchBuffer : MMIO_DEFAULTBUFFER;
        p->buffer.assign(static_cast<size_t>(cch), 0);
        info.cchBuffer = cch;
        info.pchBuffer = p->buffer.data();
        info.pchEndRead = info.pchBuffer;
        p->nFileSize = static_cast<LONG>(dwSize);
    }
    info.pchNext = info.pchBuffer;
    if (lpmmioinfo) lpmmioinfo->wErrorRet = MMSYSERR_NOERROR;
    return p;
}

MMRESULT mmioClose(HMMIO hmmio, UINT) {
    if (!hmmio) return MMSYSERR_INVALHANDLE;
    if (hmmio->hFile != INVALID_HANDLE_VALUE) CloseHandle(hmmio->hFile);
    delete hmmio;
    return MMSYSERR_NOERROR;
}

LONG mmioRead(HMMIO hmmio, HPSTR pch, LONG cch) {
    if (!hmmio || cch < 0 || (!pch && cch > 0)) return -1;
    MMIOINFO& info = hmmio->info;
    LONG nDone = 0;
    while (nDone < cch) {
        LONG nHave = static_cast<LONG>(info.pchEndRead - info.pchNext);
        if (nHave == 0) {
            if (hmmio->bMemory) break;
            if (!FillBuffer(hmmio, Position(hmmio))) return -1;
            nHave = Buffered(hmmio);
            if (nHave == 0) break;
        }
        LONG n = cch - nDone < nHave ? cch - nDone : nHave;
        memcpy(pch + nDone, info.pchNext, static_cast<size_t>(n));
        info.pchNext += n;
        nDone += n;
    }
    return nDone;
}

LONG mmioSeek(HMMIO hmmio, LONG lOffset, int iOrigin) {
    if (!hmmio) return -1;
    int64_t nBase = 0;
    if (iOrigin == SEEK_CUR) nBase = Position(hmmio);
    else if (iOrigin == SEEK_END) nBase = hmmio->nFileSize;
    else if (iOrigin != SEEK_SET) return -1;
    int64_t nTarget = nBase + lOffset;
    if (nTarget < 0 || nTarget > hmmio->nFileSize) return -1;
    MoveTo(hmmio, static_cast<LONG>(nTarget));
    return static_cast<LONG>(nTarget);
}

MMRESULT mmioDescend(HMMIO hmmio, LPMMCKINFO lpck, LPCMMCKINFO lpckParent, UINT wFlags) {
    if (!hmmio || !lpck) return MMSYSERR_INVALPARAM;
    int64_t nLimit = lpckParent ? ChunkEnd(*lpckParent) : hmmio->nFileSize;
    if (nLimit > hmmio->nFileSize) nLimit = hmmio->nFileSize;
    MMCKINFO wanted = *lpck;
    for (;;) {
        LONG nStart = Position(hmmio);
        if (nStart + 8 > nLimit) return MMIOERR_CHUNKNOTFOUND;
        MMCKINFO found;
        if (!ReadChunkHeader(hmmio, &found)) return MMIOERR_CHUNKNOTFOUND;
        if (Matches(found, wanted, wFlags)) {
            *lpck = found;
            return MMSYSERR_NOERROR;
        }
        int64_t nNext = ChunkEnd(found);
        if (nNext > nLimit) return MMIOERR_CHUNKNOTFOUND;
        MoveTo(hmmio, static_cast<LONG>(nNext));
    }
}

MMRESULT mmioAscend(HMMIO hmmio, LPMMCKINFO lpck, UINT) {
    if (!hmmio || !lpck) return MMSYSERR_INVALPARAM;
    int64_t nEnd = ChunkEnd(*lpck);
    // A file may end without the last chunk's pad byte.
    if (nEnd == static_cast<int64_t>(hmmio->nFileSize) + 1 && (lpck->cksize & 1)) nEnd = hmmio->nFileSize;
    if (nEnd > hmmio->nFileSize) return MMIOERR_CANNOTSEEK;
    MoveTo(hmmio, static_cast<LONG>(nEnd));
    return MMSYSERR_NOERROR;
}

MMRESULT mmioGetInfo(HMMIO hmmio, LPMMIOINFO lpmmioinfo, UINT) {
    if (!hmmio || !lpmmioinfo) return MMSYSERR_INVALPARAM;
    *lpmmioinfo = hmmio->info;
    return MMSYSERR_NOERROR;
}

MMRESULT mmioSetInfo(HMMIO hmmio, LPCMMIOINFO lpmmioinfo, UINT) {
    if (!hmmio || !lpmmioinfo) return MMSYSERR_INVALPARAM;
    MMIOINFO& info = hmmio->info;
    if (lpmmioinfo->pchNext < info.pchBuffer || lpmmioinfo->pchNext > info.pchEndRead) return MMSYSERR_INVALPARAM;
    info.pchNext = lpmmioinfo->pchNext;
    return MMSYSERR_NOERROR;
}

MMRESULT mmioAdvance(HMMIO hmmio, LPMMIOINFO lpmmioinfo, UINT wFlags) {
    if (!hmmio || (wFlags & MMIO_WRITE)) return MMSYSERR_INVALPARAM;
    if (lpmmioinfo) {
        MMRESULT mr = mmioSetInfo(hmmio, lpmmioinfo, 0);
        if (mr != MMSYSERR_NOERROR) return mr;
    }
    if (!hmmio->bMemory && !FillBuffer(hmmio, Position(hmmio))) return MMIOERR_CANNOTREAD;
    if (lpmmioinfo) *lpmmioinfo = hmmio->info;
    return MMSYSERR_NOERROR;
}
