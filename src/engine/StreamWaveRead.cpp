#include "engine/StreamWaveRead.h"

#include <cstdio>
#include <cstring>

#include "engine/Sound.h"
#include "pack/teskFile.h"
#include "rvm/rvm_stl.h"

namespace {

const FOURCC kWave = mmioFOURCC('W', 'A', 'V', 'E');
const FOURCC kFmt = mmioFOURCC('f', 'm', 't', ' ');
const FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');
// A "fmt " chunk of any real format is a few dozen bytes; a larger one is a lie.
const DWORD kMaxFmtSize = 4096;

void CopyPath(char* pDst, const char* pszSrc) {
    snprintf(pDst, STREAM_PATH_SIZE, "%s", pszSrc);
}

}  // namespace

CStreamWaveRead::CStreamWaveRead() : m_hmmio(nullptr), m_ckData{}, m_wfx{}, m_dwRead(0), m_szPackPath{}, m_szWavePath{} {}

CStreamWaveRead::~CStreamWaveRead() { Close(); }

void CStreamWaveRead::Close() {
    if (m_hmmio) mmioClose(m_hmmio, 0);
    m_hmmio = nullptr;
}

int CStreamWaveRead::Fail() {
    Close();
    return 0;
}

int CStreamWaveRead::Open(const char* pszPackPath, const char* pszWavePath) {
    if (!pszPackPath || !pszWavePath) return 0;
    Close();
    m_ckData = MMCKINFO{};
    m_wfx = WAVEFORMATEX{};
    m_dwRead = 0;
    CopyPath(m_szPackPath, pszPackPath);
    CopyPath(m_szWavePath, pszWavePath);

    CFile file(1);
    TESKPACKRECORD rec{};
    if (file.LocateFile(m_szWavePath, &rec) != 0) return 0;
    // The data is read as it lies in the file: an LZSS or scrambled entry cannot be streamed.
    if (file.IsScrambled() || (file.IsFromPack() && rec.nStoredSize != rec.nSize)) {
        ReportBadWave(m_szWavePath, "stored compressed");
        return 0;
    }
    int64_t nStart = file.IsFromPack() ? rec.nOffset : 0;
    rvm::string where = file.GetLocatedPath();
    MMIOINFO info{};
    m_hmmio = mmioOpenA(where.data(), &info, MMIO_READ | MMIO_ALLOCBUF);
    if (!m_hmmio) return 0;
    if (mmioSeek(m_hmmio, static_cast<LONG>(nStart), SEEK_SET) != nStart) return Fail();

    MMCKINFO ckRiff{};
    if (mmioDescend(m_hmmio, &ckRiff, nullptr, 0) != 0 || ckRiff.ckid != FOURCC_RIFF || ckRiff.fccType != kWave)
        return Fail();
    // In a pack the wave must stay inside its entry.
    int64_t nLimit = file.IsFromPack() ? nStart + rec.nSize : mmioSeek(m_hmmio, 0, SEEK_END);
    if (mmioSeek(m_hmmio, static_cast<LONG>(ckRiff.dwDataOffset + 4), SEEK_SET) == -1) return Fail();

    MMCKINFO ck{};
    ck.ckid = kFmt;
    if (mmioDescend(m_hmmio, &ck, &ckRiff, MMIO_FINDCHUNK) != 0 || ck.cksize < 16 || ck.cksize > kMaxFmtSize)
        return Fail();
    rvm::vector<char> fmt(ck.cksize);
    if (mmioRead(m_hmmio, fmt.data(), static_cast<LONG>(ck.cksize)) != static_cast<LONG>(ck.cksize)) return Fail();
    memcpy(&m_wfx, fmt.data(), 16);
    if (ck.cksize >= 18) memcpy(&m_wfx.cbSize, fmt.data() + 16, 2);
    if (mmioAscend(m_hmmio, &ck, 0) != 0) return Fail();
    if (const char* pszProblem = GetWaveFormatProblem(&m_wfx)) {
        ReportBadWave(m_szWavePath, pszProblem);
        return Fail();
    }

    m_ckData.ckid = kData;
    if (mmioDescend(m_hmmio, &m_ckData, &ckRiff, MMIO_FINDCHUNK) != 0) return Fail();
    if (static_cast<int64_t>(m_ckData.dwDataOffset) + m_ckData.cksize > nLimit) {
        ReportBadWave(m_szWavePath, "\"data\" runs past the end of the file");
        return Fail();
    }
    return 1;
}

int CStreamWaveRead::Read(DWORD n, BYTE* pBuffer, DWORD* pdwRead) {
    if (!m_hmmio || n == 0) return 0;
    DWORD dwLeft = m_ckData.cksize - m_dwRead;
    DWORD dwWant = n < dwLeft ? n : dwLeft;
    LONG nGot;
    if (pBuffer) {
        nGot = mmioRead(m_hmmio, reinterpret_cast<HPSTR>(pBuffer), static_cast<LONG>(dwWant));
    } else {
        nGot = mmioSeek(m_hmmio, static_cast<LONG>(dwWant), SEEK_CUR) == -1 ? -1 : static_cast<LONG>(dwWant);
    }
    if (nGot < 0) nGot = 0;
    m_dwRead += static_cast<DWORD>(nGot);
    if (pdwRead) *pdwRead = static_cast<DWORD>(nGot);
    return 1;
}

int CStreamWaveRead::Rewind() {
    if (!m_hmmio) return 0;
    if (m_dwRead == 0) return 1;
    if (mmioSeek(m_hmmio, -static_cast<LONG>(m_dwRead), SEEK_CUR) == -1) return 0;
    m_dwRead = 0;
    return 1;
}
