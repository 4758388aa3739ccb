// A 24-bit drawing canvas for the generated pictures: fills, frames, discs, bars and text in a
// built-in 5 x 7 pixel font (the game's text renderer is not available to the generator), written
// as an uncompressed bottom-up 24-bit bitmap, byte for byte the same on every run.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Colours as 0xRRGGBB. Pure green is the transparent key of every keyed picture.
constexpr uint32_t kKeyGreen = 0x00FF00;

class CCanvas {
public:
    CCanvas(int nWidth, int nHeight, uint32_t dwFill = kKeyGreen);

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    uint32_t At(int x, int y) const;
    void Set(int x, int y, uint32_t dwColor);
    void Fill(int x, int y, int w, int h, uint32_t dwColor);
    void Frame(int x, int y, int w, int h, uint32_t dwColor);
    void Disc(int cx, int cy, int r, uint32_t dwColor);
    // One glyph of the pixel font scaled by sx x sy; unknown characters draw a box.
    void Glyph(int x, int y, char c, uint32_t dwColor, int sx, int sy);
    // Text of glyphs 6 * sx apart.
    void Text(int x, int y, const std::string& text, uint32_t dwColor, int sx, int sy);
    // The text centred in the rectangle, as large as fits (at least scale 1).
    void TextCentred(int x, int y, int w, int h, const std::string& text, uint32_t dwColor);
    void Blit(const CCanvas& src, int x, int y);

    std::vector<uint8_t> ToBmp24() const;

private:
    int m_nWidth;
    int m_nHeight;
    std::vector<uint32_t> m_Pixels;
};

// Width in pixels of a text at scale sx.
int TextWidth(const std::string& text, int sx);
