// System/TestEnding.bmp: the stand-by ending after the last stage: the heroine riding into the
// dawn, "THE END" and a thank-you.
#include "CutSceneArt.h"
#include "FrontPictures.h"

namespace {

// おしまい, つづきはまたこんど
const char kEndJa[] = "\x82\xA8\x82\xB5\x82\xDC\x82\xA2";
const char kLaterJa[] = "\x82\xC2\x82\xC3\x82\xAB\x82\xCD\x82\xDC\x82\xBD\x82\xB1\x82\xF1\x82\xC7";

} // namespace

void WriteEndingPicture(CDataSet& data)
{
    CCanvas c(640, 480, 0);
    CArtKit kit(c);
    DrawDawn(kit);
    DrawBike(kit, FIGURE{470.0f, 400.0f, 0.8f, 1.0f});
    DrawRider(kit, FIGURE{470.0f, 400.0f, 0.8f, 1.0f});
    const RGBF ink = Rgb(0x181020);
    FrontTextCentred(kit, 320.0f, 60.0f, "THE END", 64, VerticalGradient(60.0f, Rgb(0xFFF8D8), 124.0f, Rgb(0xF0A040)),
                     ink, 3.0f);
    FrontTextCentred(kit, 320.0f, 138.0f, kEndJa, 28, Flat(Rgb(0xFFFFFF)), ink, 2.0f);
    FrontTextCentred(kit, 320.0f, 180.0f, "THANK YOU FOR PLAYING", 22, Flat(Rgb(0xFFF0D0)), ink, 2.0f);
    FrontTextCentred(kit, 320.0f, 212.0f, kLaterJa, 16, Flat(Rgb(0xFFF0D0)), ink, 1.5f);
    data.Write("System/TestEnding.bmp", c.ToBmp24());
}
