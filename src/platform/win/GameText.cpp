// The game's text on its way to the user's terminal.
#include <iconv.h>

#include <cstring>
#include <mutex>
#include <string>

#include "platform/host/Host.h"
#include "platform/win/Win.h"

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";

bool IsContinuation(uint8_t c) { return c >= 0x80 && c <= 0xBF; }

// The length of the valid UTF-8 sequence of two or more bytes at p (n bytes left), 0 when there is
// none: no overlong forms, no surrogates, nothing past U+10FFFF.
size_t Utf8Length(const uint8_t* p, size_t n) {
    const uint8_t c = p[0];
    size_t nLen = 0;
    uint8_t lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        nLen = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        nLen = 3;
        lo = c == 0xE0 ? 0xA0 : 0x80;
        hi = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        nLen = 4;
        lo = c == 0xF0 ? 0x90 : 0x80;
        hi = c == 0xF4 ? 0x8F : 0xBF;
    }
    if (nLen == 0 || n < nLen || p[1] < lo || p[1] > hi) return 0;
    for (size_t i = 2; i < nLen; i++)
        if (!IsContinuation(p[i])) return 0;
    return nLen;
}

bool IsCp932Lead(uint8_t c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsCp932Trail(uint8_t c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// One code-page-932 character at p (1 or 2 bytes) as UTF-8; false when the code page has none.
bool Cp932CharToUtf8(const uint8_t* p, size_t nLen, std::string* pOut) {
    static std::mutex s_lock;
    static iconv_t s_cd = iconv_open("UTF-8", "CP932");
    if (s_cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::lock_guard<std::mutex> guard(s_lock);
    char in[2] = {static_cast<char>(p[0]), nLen > 1 ? static_cast<char>(p[1]) : '\0'};
    char out[8];
    char* pIn = in;
    char* pOutPos = out;
    size_t nIn = nLen, nOut = sizeof(out);
    iconv(s_cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(s_cd, &pIn, &nIn, &pOutPos, &nOut) == static_cast<size_t>(-1) || nIn != 0) return false;
    pOut->append(out, static_cast<size_t>(pOutPos - out));
    return true;
}

} // namespace

std::string GameTextToUtf8(const char* pszText) {
    std::string out;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(pszText ? pszText : "");
    const size_t n = std::strlen(reinterpret_cast<const char*>(p));
    out.reserve(n);
    for (size_t i = 0; i < n;) {
        if (p[i] < 0x80) {
            // Messages are mostly ASCII: a run of it goes across in one piece.
            size_t nEnd = i + 1;
            while (nEnd < n && p[nEnd] < 0x80) nEnd++;
            out.append(reinterpret_cast<const char*>(p + i), nEnd - i);
            i = nEnd;
            continue;
        }
        if (const size_t nUtf8 = Utf8Length(p + i, n - i)) {
            out.append(reinterpret_cast<const char*>(p + i), nUtf8);
            i += nUtf8;
            continue;
        }
        const size_t nLen = IsCp932Lead(p[i]) && i + 1 < n && IsCp932Trail(p[i + 1]) ? 2 : 1;
        if (!Cp932CharToUtf8(p + i, nLen, &out)) out += kReplacement;
        i += nLen;
    }
    return out;
}

void ReportToUser(const char* pszText) {
    IHost* pHost = GetHost();
    // A line the host would drop is not worth converting.
    if (!pHost || !pHost->TakesErrors()) return;
    std::string line = GameTextToUtf8(pszText);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    // Damaged files put any byte into a message: none may steer the terminal. C0 controls, DEL
    // and the C1 controls (U+0080 to U+009F, two bytes each) become '?', in place.
    size_t nOut = 0;
    for (size_t i = 0; i < line.size(); i++) {
        const uint8_t c = static_cast<uint8_t>(line[i]);
        const bool bC1 = c == 0xC2 && i + 1 < line.size() && static_cast<uint8_t>(line[i + 1]) <= 0x9F;
        if ((c < 0x20 && c != '\t') || c == 0x7F || bC1) {
            line[nOut++] = '?';
            i += bC1 ? 1 : 0;
        } else {
            line[nOut++] = line[i];
        }
    }
    line.resize(nOut);
    pHost->ReportError(line.c_str());
}
