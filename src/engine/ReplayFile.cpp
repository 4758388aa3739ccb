// The bytes of a replay file: magic, a header that grew with the formats, then five tracks, each
// a count and packed little-endian records. Written field by field, never as a memory image.
#include <cstring>

#include "engine/KeyRecorder.h"
#include "rvm/rvm_stl.h"

namespace {

class CByteWriter {
public:
    explicit CByteWriter(rvm::vector<uint8_t>& out) : m_Out(out) {}
    void Put32(int32_t v) {
        uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) m_Out.push_back(static_cast<uint8_t>(u >> (8 * i)));
    }
    void Put16(int32_t v) {
        m_Out.push_back(static_cast<uint8_t>(v));
        m_Out.push_back(static_cast<uint8_t>(v >> 8));
    }
    void PutBytes(const void* p, size_t n) {
        const uint8_t* pb = static_cast<const uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) m_Out.push_back(pb[i]);
    }

private:
    rvm::vector<uint8_t>& m_Out;
};

// Reads within the given bytes only; a read past the end fails and leaves the value alone.
class CByteReader {
public:
    CByteReader(const uint8_t* p, size_t n) : m_p(p), m_nSize(n) {}
    bool Get32(int32_t* pValue) {
        if (Left() < 4) return false;
        uint32_t u = 0;
        for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(m_p[m_nPos + i]) << (8 * i);
        m_nPos += 4;
        *pValue = static_cast<int32_t>(u);
        return true;
    }
    bool Get16(int32_t* pValue) {
        if (Left() < 2) return false;
        *pValue = m_p[m_nPos] | (m_p[m_nPos + 1] << 8);
        m_nPos += 2;
        return true;
    }
    size_t Left() const { return m_nSize - m_nPos; }
    size_t Used() const { return m_nPos; }

private:
    const uint8_t* m_p;
    size_t m_nSize;
    size_t m_nPos = 0;
};

bool HasDate(int nFormat) { return nFormat >= 5; }
bool HasPairs(int nFormat) { return nFormat >= 4; }
bool HasOptions(int nFormat) { return nFormat >= 2; }
bool HasExtra(int nFormat) { return nFormat >= 3; }
bool HasPoint(int nFormat) { return nFormat >= 6; }

void PutHeader(CByteWriter& w, const REPLAYHEADER& h) {
    char magic[REPLAY_MAGIC_SIZE] = {};
    memcpy(magic, REPLAY_MAGIC_TEXT, REPLAY_MAGIC_TEXT_SIZE);
    magic[REPLAY_MAGIC_TEXT_SIZE] = static_cast<char>('0' + h.nFormat);
    w.PutBytes(magic, sizeof(magic));
    if (HasDate(h.nFormat)) {
        w.Put32(h.nYear);
        w.Put32(h.nMonth);
        w.Put32(h.nDay);
        w.Put32(h.nScore);
    }
    if (HasPairs(h.nFormat)) {
        for (const auto& pair : h.nPairs) {
            w.Put32(pair[0]);
            w.Put32(pair[1]);
        }
        w.Put32(h.nPlayerValue);
    }
    if (HasOptions(h.nFormat))
        for (int32_t v : h.nOptions) w.Put32(v);
}

void PutRecord(CByteWriter& w, int nFormat, const KEYRECINFO& r) {
    w.Put32(r.frame);
    w.Put16(r.code & 0xFFFF);
    w.Put32(r.shot);
    w.Put32(r.step);
    w.Put32(r.bonus);
    if (HasExtra(nFormat)) w.Put32(r.extra);
    if (HasPoint(nFormat)) w.Put32(r.point);
}

// The magic's text as read, up to its NUL, with anything unprintable shown as '?'.
rvm::string MagicText(const uint8_t* p, size_t n) {
    rvm::string text;
    for (size_t i = 0; i < n && i < REPLAY_MAGIC_SIZE && p[i]; ++i) text += (p[i] >= 0x20 && p[i] < 0x7F) ? char(p[i]) : '?';
    return text;
}

// The format the magic names, or -1.
int MagicFormat(const uint8_t* p, size_t n) {
    if (n < REPLAY_MAGIC_SIZE || memcmp(p, REPLAY_MAGIC_TEXT, REPLAY_MAGIC_TEXT_SIZE) != 0) return -1;
    int nDigit = p[REPLAY_MAGIC_TEXT_SIZE] - '0';
    return (nDigit >= REPLAY_FORMAT_FIRST && nDigit <= REPLAY_FORMAT_LATEST) ? nDigit : -1;
}

bool GetAll(CByteReader& r, int32_t* pValues, int n) {
    for (int i = 0; i < n; ++i)
        if (!r.Get32(&pValues[i])) return false;
    return true;
}

bool GetRecord(CByteReader& r, int nFormat, KEYRECINFO* pRec) {
    KEYRECINFO rec{};
    if (!r.Get32(&rec.frame) || !r.Get16(&rec.code) || !r.Get32(&rec.shot) || !r.Get32(&rec.step) ||
        !r.Get32(&rec.bonus))
        return false;
    if (HasExtra(nFormat) && !r.Get32(&rec.extra)) return false;
    if (HasPoint(nFormat) && !r.Get32(&rec.point)) return false;
    *pRec = rec;
    return true;
}

// One track: its count and records. False with the reason. Frames, steps and every other field are
// taken as they stand: a track the game wrote after a long stall holds large steps, and playback
// copes with frames in any order.
bool GetTrack(CByteReader& r, int nFormat, rvm::vector<KEYRECINFO>& track, rvm::string* pReason) {
    int32_t nCount = 0;
    if (!r.Get32(&nCount)) {
        *pReason = "track count past the end of the file";
        return false;
    }
    if (nCount < 0 || static_cast<uint64_t>(nCount) * ReplayRecordSize(nFormat) > r.Left()) {
        *pReason = "track of " + std::to_string(nCount) + " records does not fit the file";
        return false;
    }
    track.resize(static_cast<size_t>(nCount));
    for (KEYRECINFO& rec : track) GetRecord(r, nFormat, &rec);
    return true;
}

}  // namespace

size_t ReplayRecordSize(int nFormat) {
    if (nFormat < REPLAY_FORMAT_FIRST || nFormat > REPLAY_FORMAT_LATEST) return 0;
    return 18 + (HasExtra(nFormat) ? 4 : 0) + (HasPoint(nFormat) ? 4 : 0);
}

size_t ReplayHeaderSize(int nFormat) {
    if (nFormat < REPLAY_FORMAT_FIRST || nFormat > REPLAY_FORMAT_LATEST) return 0;
    return REPLAY_MAGIC_SIZE + (HasDate(nFormat) ? 16 : 0) + (HasPairs(nFormat) ? 44 : 0) +
           (HasOptions(nFormat) ? 4 * REPLAY_OPTION_COUNT : 0);
}

rvm::vector<uint8_t> EncodeReplay(const REPLAYIMAGE& image) {
    rvm::vector<uint8_t> out;
    int nFormat = image.header.nFormat;
    if (ReplayRecordSize(nFormat) == 0) return out;
    size_t nBytes = ReplayHeaderSize(nFormat);
    for (const auto& track : image.tracks) nBytes += 4 + track.size() * ReplayRecordSize(nFormat);
    out.reserve(nBytes);
    CByteWriter w(out);
    PutHeader(w, image.header);
    for (const auto& track : image.tracks) {
        w.Put32(static_cast<int32_t>(track.size()));
        for (const KEYRECINFO& rec : track) PutRecord(w, nFormat, rec);
    }
    return out;
}

int DecodeReplayHeader(const uint8_t* pData, size_t nSize, REPLAYHEADER* pHeader, size_t* pnUsed,
                       rvm::string* pMagic, rvm::string* pReason) {
    int nFormat = MagicFormat(pData, nSize);
    if (pMagic) *pMagic = MagicText(pData, nSize);
    if (nFormat < 0) return -1;
    REPLAYHEADER h = *pHeader;
    h.nFormat = nFormat;
    CByteReader r(pData + REPLAY_MAGIC_SIZE, nSize - REPLAY_MAGIC_SIZE);
    int32_t date[4];
    int32_t pairs[2 * KEYREC_TRACKS + 1];
    bool bOk = true;
    if (HasDate(nFormat) && (bOk = GetAll(r, date, 4))) {
        h.nYear = date[0];
        h.nMonth = date[1];
        h.nDay = date[2];
        h.nScore = date[3];
    }
    if (bOk && HasPairs(nFormat) && (bOk = GetAll(r, pairs, 2 * KEYREC_TRACKS + 1))) {
        memcpy(h.nPairs, pairs, sizeof(h.nPairs));
        h.nPlayerValue = pairs[2 * KEYREC_TRACKS];
    }
    if (bOk && HasOptions(nFormat)) bOk = GetAll(r, h.nOptions, REPLAY_OPTION_COUNT);
    if (!bOk) {
        if (pReason) *pReason = "header past the end of the file";
        return -2;
    }
    *pHeader = h;
    if (pnUsed) *pnUsed = REPLAY_MAGIC_SIZE + r.Used();
    return nFormat;
}

int DecodeReplay(const uint8_t* pData, size_t nSize, REPLAYIMAGE* pImage, rvm::string* pReason) {
    rvm::string reason, magic;
    REPLAYIMAGE image;
    image.header = pImage->header;
    size_t nUsed = 0;
    int nFormat = DecodeReplayHeader(pData, nSize, &image.header, &nUsed, &magic, &reason);
    if (nFormat == -1) reason = "unknown magic \"" + magic + "\"";
    if (nFormat > 0) {
        CByteReader r(pData + nUsed, nSize - nUsed);
        for (auto& track : image.tracks)
            if (!GetTrack(r, nFormat, track, &reason)) {
                nFormat = -2;
                break;
            }
    }
    if (nFormat < 0) {
        if (pReason) *pReason = reason;
        return 0;
    }
    *pImage = std::move(image);
    return 1;
}
