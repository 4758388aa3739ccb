// Dialog/: the screen-mode dialog. Back.bmp shows the question and both buttons at rest;
// FullScreen1/Window1 are a button under the mouse, FullScreen2/Window2 a button held down. The
// buttons' pictures stand at (140, 90) and (140, 158) of the background.
#include "FrontPictures.h"

namespace {

const int kBackW = 440, kBackH = 280;
const int kButtonW = 160, kButtonH = 60;
const int kButtonX = 140, kButton0Y = 90, kButton1Y = 158;

enum BUTTONLOOK { LOOK_REST, LOOK_HOVER, LOOK_PRESSED };

// "フルスクリーン", "ウィンドウ", "画面モードを選んでください" in code page 932.
const char kFullJa[] = "\x83\x74\x83\x8B\x83\x58\x83\x4E\x83\x8A\x81\x5B\x83\x93";
const char kWindowJa[] = "\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45";
const char kQuestionJa[] = "\x89\xE6\x96\xCA\x83\x82\x81\x5B\x83\x68\x82\xF0\x91\x49\x82\xF1\x82\xC5\x82\xAD\x82\xBE\x82\xB3\x82\xA2";

// A button drawn with its top-left at (x, y) of the kit's canvas.
void DrawButton(CArtKit& kit, float x, float y, const char* pszLabel, const char* pszLabelJa, BUTTONLOOK look)
{
    const RGBF ink = Rgb(0x101828);
    RGBF top = Rgb(0x5A6C98), bottom = Rgb(0x2A3458), rim = Rgb(0x9AA8D0), text = Rgb(0xE8ECF8);
    float dy = 0.0f;
    if (look == LOOK_HOVER) {
        top = Rgb(0x80A0F0);
        bottom = Rgb(0x3850A0);
        rim = Rgb(0xFFE060);
        text = Rgb(0xFFF4C0);
    } else if (look == LOOK_PRESSED) {
        top = Rgb(0x283258);
        bottom = Rgb(0x3C4C80);
        rim = Rgb(0xF0A030);
        text = Rgb(0xFFD080);
        dy = 2.0f;
    }
    kit.RoundBox(x, y, (float)kButtonW, (float)kButtonH, 10.0f, Flat(ink));
    FrontPlate(kit, x + 2.0f, y + 2.0f, (float)kButtonW - 4.0f, (float)kButtonH - 4.0f, top, bottom, rim);
    FrontTextCentred(kit, x + kButtonW / 2.0f, y + 9.0f + dy, pszLabel, 20, Flat(text), ink, 2.0f);
    FrontTextCentred(kit, x + kButtonW / 2.0f, y + 34.0f + dy, pszLabelJa, 14, Flat(text), ink, 1.5f);
}

void WriteButton(CDataSet& data, const char* pszFile, const char* pszLabel, const char* pszLabelJa, BUTTONLOOK look)
{
    CCanvas c(kButtonW, kButtonH, 0);
    CArtKit kit(c);
    // The button's corners show the background behind it.
    kit.Fill(0, 0, kButtonW, kButtonH, Flat(Rgb(0x1C2440)));
    DrawButton(kit, 0.0f, 0.0f, pszLabel, pszLabelJa, look);
    data.Write(std::string("Dialog/") + pszFile, c.ToBmp24());
}

} // namespace

void WriteDialogPictures(CDataSet& data)
{
    CCanvas c(kBackW, kBackH, 0);
    CArtKit kit(c);
    kit.Fill(0, 0, kBackW, kBackH, VerticalGradient(0.0f, Rgb(0x30406C), (float)kBackH, Rgb(0x10162C)));
    kit.Fill(0, 80, kBackW, kBackH - 80, Flat(Rgb(0x1C2440)));
    kit.RoundBoxOutline(4.0f, 4.0f, kBackW - 8.0f, kBackH - 8.0f, 8.0f, 2.0f, Flat(Rgb(0x8090C0)));
    const RGBF ink = Rgb(0x080C18);
    FrontTextCentred(kit, kBackW / 2.0f, 16.0f, "ZORVA", 30, VerticalGradient(16.0f, Rgb(0xFFF4C0), 46.0f, Rgb(0xF08030)),
                     ink, 2.0f);
    FrontTextCentred(kit, kBackW / 2.0f, 54.0f, kQuestionJa, 16, Flat(Rgb(0xE8ECF8)), ink, 1.5f);
    DrawButton(kit, (float)kButtonX, (float)kButton0Y, "FULL SCREEN", kFullJa, LOOK_REST);
    DrawButton(kit, (float)kButtonX, (float)kButton1Y, "WINDOW", kWindowJa, LOOK_REST);
    // The keys as the dialog answers them, for a player without a mouse.
    FrontTextCentred(kit, kBackW / 2.0f, 238.0f, "Up/Down: choose   Enter: decide   Esc: quit", 14,
                     Flat(Rgb(0x8090C0)), ink, 1.0f);
    data.Write("Dialog/Back.bmp", c.ToBmp24());

    WriteButton(data, "FullScreen1.bmp", "FULL SCREEN", kFullJa, LOOK_HOVER);
    WriteButton(data, "FullScreen2.bmp", "FULL SCREEN", kFullJa, LOOK_PRESSED);
    WriteButton(data, "Window1.bmp", "WINDOW", kWindowJa, LOOK_HOVER);
    WriteButton(data, "Window2.bmp", "WINDOW", kWindowJa, LOOK_PRESSED);
}
