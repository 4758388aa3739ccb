// Fonts of the GDI stand-in: every face name resolves to the Japanese Gothic font that fontconfig
// finds for the language "ja" (the game asks for "MS UI Gothic" and "ＭＳ ゴシック"). One FreeType
// face per file is shared; each font has its own FreeType size. Rendering modes and the TrueType
// interpreter are fixed, so the same text gives the same pixels on every run and machine that has
// the same font file.
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include "platform/gdi/GdiInternal.h"

struct FONTFACE {
    std::string path;
    FT_Face face = nullptr;
};

namespace {

// Glyphs for TextOut: hinted for one-bit output. Glyph outlines (grey levels): unhinted.
constexpr FT_Int32 kMonoLoad = FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO;
constexpr FT_Int32 kGreyLoad = FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING;
constexpr int kDefaultEm = 16;
constexpr int kMaxPpem = 512;

struct FONTENGINE {
    FT_Library lib = nullptr;
    bool bLibTried = false;
    std::string overridePath;
    std::string lookedUpPath;  // fontconfig's answer, asked once
    std::vector<std::unique_ptr<FONTFACE>> faces;
    std::string lastError;
    CGdiFont* pDefault = nullptr;
};

FONTENGINE& Engine()
{
    static FONTENGINE s_engine;
    return s_engine;
}

FT_Library Library()
{
    FONTENGINE& e = Engine();
    if (!e.bLibTried) {
        e.bLibTried = true;
        if (FT_Init_FreeType(&e.lib) != 0) {
            e.lib = nullptr;
        } else {
            // Fixed whatever FREETYPE_PROPERTIES says.
            FT_UInt nVersion = TT_INTERPRETER_VERSION_40;
            FT_Property_Set(e.lib, "truetype", "interpreter-version", &nVersion);
        }
    }
    if (!e.lib) {
        e.lastError = "FreeType could not be initialised";
    }
    return e.lib;
}

// The file of the Japanese font, through fontconfig; empty (with the reason) when there is none.
std::string LookUpJapaneseFont()
{
    FONTENGINE& e = Engine();
    if (!e.lookedUpPath.empty()) {
        return e.lookedUpPath;
    }
    // A configuration of our own, dropped after the one question, so nothing of fontconfig stays.
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) {
        e.lastError = "fontconfig could not be initialised";
        return std::string();
    }
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pat, &result);
    FcPatternDestroy(pat);
    std::string path;
    if (match) {
        FcLangSet* langs = nullptr;
        FcChar8* file = nullptr;
        const bool bJapanese = FcPatternGetLangSet(match, FC_LANG, 0, &langs) == FcResultMatch &&
                               FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual;
        if (bJapanese && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            path = reinterpret_cast<const char*>(file);
        }
        FcPatternDestroy(match);
    }
    FcConfigDestroy(config);
    if (path.empty()) {
        e.lastError = "no Japanese font found by fontconfig (install fonts-ipafont-gothic)";
    }
    e.lookedUpPath = path;
    return path;
}

FONTFACE* OpenFace(const std::string& path)
{
    FONTENGINE& e = Engine();
    for (const auto& p : e.faces) {
        if (p->path == path) {
            return p.get();
        }
    }
    FT_Library lib = Library();
    if (!lib) {
        return nullptr;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(lib, path.c_str(), 0, &face) != 0) {
        e.lastError = "cannot open the font file " + path;
        return nullptr;
    }
    if (!FT_IS_SCALABLE(face)) {
        FT_Done_Face(face);
        e.lastError = "the font file " + path + " has no outlines";
        return nullptr;
    }
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    auto p = std::make_unique<FONTFACE>();
    p->path = path;
    p->face = face;
    e.faces.push_back(std::move(p));
    return e.faces.back().get();
}

FONTFACE* CurrentFace()
{
    FONTENGINE& e = Engine();
    const std::string path = e.overridePath.empty() ? LookUpJapaneseFont() : e.overridePath;
    return path.empty() ? nullptr : OpenFace(path);
}

int RoundDiv(int64_t a, int64_t b) { return static_cast<int>((a + b / 2) / b); }

// Windows sizes a font by its OS/2 "win" ascent and descent; FreeType's values stand in when the
// table is missing.
void ComputeMetrics(FT_Face face, LONG lfHeight, FONTMETRICS* m)
{
    int64_t nAsc = face->ascender;
    int64_t nDesc = -face->descender;
    int64_t nAvg = 0;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        nAsc = os2->usWinAscent;
        nDesc = os2->usWinDescent;
        nAvg = os2->xAvgCharWidth;
    }
    if (nAsc + nDesc <= 0) {
        nAsc = face->units_per_EM;
        nDesc = 0;
    }
    const int64_t nUpem = face->units_per_EM > 0 ? face->units_per_EM : 1000;
    if (lfHeight > 0) {
        const int64_t h = std::min<int64_t>(lfHeight, kMaxPpem * 2);
        m->nPpem = std::max(1, RoundDiv(h * nUpem, nAsc + nDesc));
        m->nAscent = RoundDiv(h * nAsc, nAsc + nDesc);
        m->nDescent = static_cast<int>(h) - m->nAscent;
    } else {
        m->nPpem = lfHeight == 0 ? kDefaultEm : static_cast<int>(std::min<int64_t>(-static_cast<int64_t>(lfHeight), kMaxPpem));
        m->nAscent = RoundDiv(nAsc * m->nPpem, nUpem);
        m->nDescent = RoundDiv(nDesc * m->nPpem, nUpem);
    }
    m->nPpem = std::min(m->nPpem, kMaxPpem);
    m->nAveWidth = nAvg > 0 ? RoundDiv(nAvg * m->nPpem, nUpem) : m->nPpem / 2;
    m->nMaxWidth = RoundDiv(static_cast<int64_t>(face->max_advance_width) * m->nPpem, nUpem);
}

bool Activate(CGdiFont* pFont)
{
    FT_Size size = static_cast<FT_Size>(pFont->m_pSize);
    return size && FT_Activate_Size(size) == 0;
}

// Loads and renders a glyph into the face's slot; the slot, or null.
FT_GlyphSlot RenderGlyph(CGdiFont* pFont, uint32_t nCodePoint, FT_Int32 nLoad, FT_Render_Mode eMode)
{
    if (!Activate(pFont)) {
        return nullptr;
    }
    FT_Face face = pFont->m_pFace->face;
    const FT_UInt nIndex = nCodePoint ? FT_Get_Char_Index(face, nCodePoint) : 0;
    if (FT_Load_Glyph(face, nIndex, nLoad) != 0 || FT_Render_Glyph(face->glyph, eMode) != 0) {
        return nullptr;
    }
    return face->glyph;
}

void CopyBitmap(const FT_GlyphSlot slot, int nBytesPerRow, GLYPHIMAGE* pOut)
{
    const FT_Bitmap& bm = slot->bitmap;
    pOut->nLeft = slot->bitmap_left;
    pOut->nTop = slot->bitmap_top;
    pOut->nWidth = static_cast<int>(bm.width);
    pOut->nRows = static_cast<int>(bm.rows);
    pOut->nPitch = nBytesPerRow;
    pOut->nAdvance = static_cast<int>((slot->advance.x + 32) >> 6);
    pOut->bits.assign(static_cast<size_t>(nBytesPerRow) * bm.rows, 0);
    for (unsigned y = 0; y < bm.rows; y++) {
        const unsigned char* pSrc = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
        if (bm.pitch < 0) {
            pSrc = bm.buffer + static_cast<ptrdiff_t>(bm.rows - 1 - y) * -bm.pitch;
        }
        std::memcpy(&pOut->bits[static_cast<size_t>(y) * nBytesPerRow], pSrc, static_cast<size_t>(nBytesPerRow));
    }
}

}  // namespace

CGdiFont::~CGdiFont()
{
    if (m_pSize) {
        FT_Done_Size(static_cast<FT_Size>(m_pSize));
    }
}

CGdiFont* FontCreate(const LOGFONTA& lf)
{
    FONTFACE* pFace = CurrentFace();
    if (!pFace) {
        return nullptr;
    }
    FT_Size size = nullptr;
    if (FT_New_Size(pFace->face, &size) != 0) {
        Engine().lastError = "FreeType could not make a font size";
        return nullptr;
    }
    auto pFont = std::make_unique<CGdiFont>();
    pFont->m_lf = lf;
    pFont->m_pFace = pFace;
    pFont->m_pSize = size;
    ComputeMetrics(pFace->face, lf.lfHeight, &pFont->m_metrics);
    if (FT_Activate_Size(size) != 0 ||
        FT_Set_Pixel_Sizes(pFace->face, 0, static_cast<FT_UInt>(pFont->m_metrics.nPpem)) != 0) {
        Engine().lastError = "FreeType could not size the font";
        return nullptr;
    }
    Engine().lastError.clear();
    return pFont.release();
}

CGdiFont* FontDefault()
{
    FONTENGINE& e = Engine();
    if (!e.pDefault) {
        LOGFONTA lf = {};
        lf.lfHeight = -kDefaultEm;
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = SHIFTJIS_CHARSET;
        e.pDefault = FontCreate(lf);
    }
    return e.pDefault;
}

CGdiFont* FontOfState(const DCSTATE& state) { return state.pFont ? state.pFont : FontDefault(); }

const GLYPHIMAGE* FontMonoGlyph(CGdiFont* pFont, uint32_t nCodePoint)
{
    auto it = pFont->m_mono.find(nCodePoint);
    if (it != pFont->m_mono.end()) {
        return &it->second;
    }
    FT_GlyphSlot slot = RenderGlyph(pFont, nCodePoint, kMonoLoad, FT_RENDER_MODE_MONO);
    if (!slot && nCodePoint) {
        slot = RenderGlyph(pFont, 0, kMonoLoad, FT_RENDER_MODE_MONO);
    }
    GLYPHIMAGE img;
    if (slot) {
        CopyBitmap(slot, (static_cast<int>(slot->bitmap.width) + 7) / 8, &img);
    }
    return &pFont->m_mono.emplace(nCodePoint, std::move(img)).first->second;
}

bool FontGreyGlyph(CGdiFont* pFont, uint32_t nCodePoint, GLYPHIMAGE* pOut)
{
    FT_GlyphSlot slot = RenderGlyph(pFont, nCodePoint, kGreyLoad, FT_RENDER_MODE_NORMAL);
    if (!slot) {
        return false;
    }
    CopyBitmap(slot, static_cast<int>(slot->bitmap.width), pOut);
    return true;
}

HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                  DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName)
{
    LOGFONTA lf = {};
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = static_cast<BYTE>(bItalic);
    lf.lfUnderline = static_cast<BYTE>(bUnderline);
    lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
    lf.lfCharSet = static_cast<BYTE>(iCharSet);
    lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    lf.lfQuality = static_cast<BYTE>(iQuality);
    lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName) {
        std::strncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    }
    return CreateFontIndirectA(&lf);
}

HFONT CreateFontIndirectA(const LOGFONTA* lplf)
{
    if (!lplf) {
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(GdiLock());
    CGdiFont* pFont = FontCreate(*lplf);
    if (!pFont) {
        return nullptr;
    }
    GdiRegister(pFont);
    return reinterpret_cast<HFONT>(static_cast<CGdiObject*>(pFont));
}

BOOL GdiSetFontFile(const char* pszPath)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    FONTENGINE& e = Engine();
    if (!pszPath) {
        e.overridePath.clear();
        return TRUE;
    }
    e.overridePath = pszPath;
    return OpenFace(e.overridePath) ? TRUE : FALSE;
}

const char* GdiGetLastFontError()
{
    std::lock_guard<std::mutex> guard(GdiLock());
    return Engine().lastError.c_str();
}
