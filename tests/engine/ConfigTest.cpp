// The settings: Config.dat read and written, what the values mean to the engine, and the settings
// screen driven by scripted keys and joystick buttons on a headless device.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "engine/Config.h"
#include "engine/Input.h"
#include "engine/KeyRecorder.h"
#include "engine/WinMain.h"
#include "platform/host/Png565.h"
#include "support/DeviceFixture.h"
#include "support/TempFolder.h"

namespace {

// Where the run started: screenshots go there, not into the throw-away test folders.
const std::filesystem::path g_StartDir = std::filesystem::current_path();

class ConfigFileTest : public ::testing::Test {
protected:
    void TearDown() override {
        g_Config.SetDefaults();
        g_bFrameSkip = 0;
    }
    void Read(const std::string& text) {
        CTempFolder::Put("GameData/Config.dat", text);
        ASSERT_EQ(g_Config.ReadFile(), 1);
    }

    CTempFolder m_Folder;
};

TEST_F(ConfigFileTest, MissingFileGivesTheDefaults) {
    g_Config.SetFps(1);
    g_Config.SetButtonMask(0, 8);
    EXPECT_EQ(g_Config.ReadFile(), 0);
    EXPECT_EQ(g_Config.GetFps(), 60);
    EXPECT_EQ(g_Config.GetVolume(), 100);
    EXPECT_EQ(g_Config.GetButtonMask(0), 1u);
    EXPECT_EQ(g_Config.GetButtonMask(1), 2u);
    EXPECT_EQ(g_Config.GetButtonMask(2), 4u);
    EXPECT_EQ(g_bFrameSkip, 0);
}

TEST_F(ConfigFileTest, ValuesAreReadAsTheRulesSay) {
    Read("#CFG_FPS 30\r\n#CFG_VOL 55\r\n#CFG_BTN_SHOT 10\r\n#CFG_BTN_JUMP 3\r\n#CFG_BTN_SUB 32\r\n");
    EXPECT_EQ(g_Config.GetFps(), 30);
    EXPECT_EQ(g_Config.GetFpsIndex(), 1);
    EXPECT_EQ(g_bFrameSkip, 1);
    EXPECT_EQ(g_Config.GetVolumeLevel(), 5);
    EXPECT_EQ(g_Config.GetVolume(), 50);
    EXPECT_EQ(g_Config.GetButtonMask(0), 512u);
    EXPECT_EQ(g_Config.GetButtonMask(1), 4u);
    EXPECT_EQ(g_Config.GetButtonMask(2), 0x80000000u);

    Read("#CFG_FPS 45\n#CFG_VOL 250\n");
    EXPECT_EQ(g_Config.GetFps(), 60);
    EXPECT_EQ(g_Config.GetVolume(), 100);
    EXPECT_EQ(g_bFrameSkip, 0);
    Read("#CFG_VOL -30\n");
    EXPECT_EQ(g_Config.GetVolume(), 0);
}

TEST_F(ConfigFileTest, GrammarOfTheLines) {
    // Prefix keys, comments, blank lines, leading blanks and full-width spaces, extra values.
    Read("\r\n// settings\r\n  \t#CFG_FPSX 30 , 60\r\n\x81\x40#CFG_VOL 70 ## note\r\n#CFG_UNKNOWN 5\r\n"
         "CFG_BTN_SHOT 4\r\n#CFG_BTN_JUMP\t6\r\n");
    EXPECT_EQ(g_Config.GetFps(), 30);
    EXPECT_EQ(g_Config.GetVolume(), 70);
    EXPECT_EQ(g_Config.GetButtonMask(0), 1u);  // no '#': not a key line
    EXPECT_EQ(g_Config.GetButtonMask(1), 32u);
}

TEST_F(ConfigFileTest, OutOfRangeButtonNumbersKeepTheDefault) {
    Read("#CFG_BTN_SHOT 0\n#CFG_BTN_JUMP 33\n#CFG_BTN_SUB -1\n");
    EXPECT_EQ(g_Config.GetButtonMask(0), 1u);
    EXPECT_EQ(g_Config.GetButtonMask(1), 2u);
    EXPECT_EQ(g_Config.GetButtonMask(2), 4u);
    Read("#CFG_BTN_SHOT\n#CFG_BTN_JUMP 99999999999999\n");
    EXPECT_EQ(g_Config.GetButtonMask(0), 1u);
    EXPECT_EQ(g_Config.GetButtonMask(1), 2u);
}

TEST_F(ConfigFileTest, WrittenAsFiveCrLfLines) {
    g_Config.SetDefaults();
    ASSERT_EQ(g_Config.WriteFile(), 0) << "no GameData folder: nothing written";
    std::filesystem::create_directories("GameData");
    ASSERT_EQ(g_Config.WriteFile(), 1);
    std::vector<uint8_t> b = CTempFolder::Get("GameData/Config.dat");
    EXPECT_EQ(std::string(b.begin(), b.end()),
              "#CFG_FPS 60\r\n#CFG_VOL 100\r\n#CFG_BTN_SHOT 1\r\n#CFG_BTN_JUMP 2\r\n#CFG_BTN_SUB 3\r\n");
    g_Config.SetButtonMask(0, 8);
    g_Config.SetButtonMask(1, 0);
    g_Config.SetButtonMask(2, 0x300);
    g_Config.SetFps(1);
    // A read-only file is replaced and keeps exactly the permissions it had.
    chmod("GameData/Config.dat", 0440);
    ASSERT_EQ(g_Config.WriteFile(), 1);
    b = CTempFolder::Get("GameData/Config.dat");
    EXPECT_EQ(std::string(b.begin(), b.end()),
              "#CFG_FPS 30\r\n#CFG_VOL 100\r\n#CFG_BTN_SHOT 4\r\n#CFG_BTN_JUMP 0\r\n#CFG_BTN_SUB 9\r\n");
    struct stat st;
    ASSERT_EQ(stat("GameData/Config.dat", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0440u);
    chmod("GameData/Config.dat", 0600);
    ASSERT_EQ(g_Config.WriteFile(), 1);
    ASSERT_EQ(stat("GameData/Config.dat", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    // Read back: the empty mask was written as 0 and comes back as the default.
    ASSERT_EQ(g_Config.ReadFile(), 1);
    EXPECT_EQ(g_Config.GetFps(), 30);
    EXPECT_EQ(g_Config.GetButtonMask(0), 8u);
    EXPECT_EQ(g_Config.GetButtonMask(1), 2u);
    EXPECT_EQ(g_Config.GetButtonMask(2), 256u);
}

TEST(ConfigValueTest, VolumeScaleAndButtonMapping) {
    CConfig config;
    EXPECT_EQ(config.ScaleVolume(0), 0);
    EXPECT_EQ(config.ScaleVolume(-1234), -1234);
    EXPECT_DOUBLE_EQ(config.VolumeFactor(), 1.0);
    config.ParseLine("CFG_VOL", {"0"});
    EXPECT_DOUBLE_EQ(config.VolumeFactor(), 0.5);
    EXPECT_EQ(config.ScaleVolume(0), -5000);
    EXPECT_EQ(config.ScaleVolume(-10000), -10000);
    EXPECT_EQ(config.ScaleVolume(-2000), -6000);
    config.ParseLine("CFG_VOL", {"50"});
    EXPECT_EQ(config.ScaleVolume(0), -2500);
    config.SetButtonMask(1, 1);
    EXPECT_EQ(config.MapButtons(0), 0);
    EXPECT_EQ(config.MapButtons(1), 3);
    EXPECT_EQ(config.MapButtons(4 | 8), 4);
    EXPECT_EQ(CConfig::ButtonNumber(0), 0);
    EXPECT_EQ(CConfig::ButtonNumber(8), 4);
    EXPECT_EQ(CConfig::ButtonNumber(0x80000000u), 32);
    EXPECT_EQ(CConfig::ButtonNumber(6), 2);
    config.SetFps(-3);
    EXPECT_EQ(config.GetFps(), 60);
    config.SetFps(7);
    EXPECT_EQ(config.GetFps(), 30);
    EXPECT_EQ(config.IsFrameSkip(), 1);
    config.SetFps(0);
    g_bFrameSkip = 0;
}

// ---- The screen ---------------------------------------------------------------------------------

// 24-bit bottom-up bitmap of one colour per rectangle over a background.
struct FILLRECT {
    int l, t, r, b;
    uint32_t rgb;
};

std::vector<uint8_t> MakeBmp(int w, int h, uint32_t background, const std::vector<FILLRECT>& rects) {
    const int nStride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> b(54 + static_cast<size_t>(nStride) * h, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    b[26] = 1;
    b[28] = 24;
    put32(34, static_cast<uint32_t>(nStride * h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t c = background;
            for (const FILLRECT& r : rects)
                if (x >= r.l && x < r.r && y >= r.t && y < r.b) c = r.rgb;
            uint8_t* p = &b[54 + static_cast<size_t>(h - 1 - y) * nStride + x * 3];
            p[0] = static_cast<uint8_t>(c);
            p[1] = static_cast<uint8_t>(c >> 8);
            p[2] = static_cast<uint8_t>(c >> 16);
        }
    }
    return b;
}

WORD To565(uint32_t rgb) {
    return static_cast<WORD>(((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) | ((rgb >> 3) & 0x1F));
}

// The sheet: each region a 20 x 10 block of its own colour (keyed border of 2 pixels) in a
// column; the regions the screen may draw.
std::vector<std::string> RegionNames() {
    std::vector<std::string> names = {"skip_60", "skip_30", "skip_60_info", "skip_30_info", "vol_info",
                                      "btn_info", "exit_info", "cursor0", "cursor1"};
    for (int v = 1; v <= 10; ++v) names.push_back("vol_" + std::to_string(v * 10));
    for (const char* p : {"btn_shot", "btn_jump", "btn_sub"})
        for (int n = 1; n <= 10; ++n) names.push_back(p + std::to_string(n));
    return names;
}

uint32_t RegionColour(size_t i) { return 0x102030u + static_cast<uint32_t>(i) * 0x0B0705u; }

class ConfigScreenTest : public CDeviceFixture {
protected:
    void SetUp() override {
        CDeviceFixture::SetUp();
        g_Config.SetDefaults();
        CKeyRecorder::InitKeyMap();
        CInputState::Reset();
        std::vector<std::string> names = RegionNames();
        std::vector<FILLRECT> rects;
        std::string index = "#INDEX_FOR ConfigSheet.bmp\r\n";
        for (size_t i = 0; i < names.size(); ++i) {
            int t = static_cast<int>(i) * 12;
            rects.push_back({2, t + 2, 18, t + 10, RegionColour(i)});
            index += "#IMG_RGN " + names[i] + " = 0:" + std::to_string(t) + ":19:" + std::to_string(t + 11) + "\r\n";
        }
        std::filesystem::create_directories("GameData/Title");
        CTempFolder::Put("GameData/Title/ConfigSheet.bmp", MakeBmp(20, static_cast<int>(names.size()) * 12, 0x00FF00, rects));
        CTempFolder::Put("GameData/Title/ConfigIndex.txt", index);
        CTempFolder::Put("GameData/Title/Config.bmp", MakeBmp(640, 480, 0x203040, {{0, 0, 640, 60, 0x808080}}));
        ASSERT_EQ(g_Config.Load(g_lpD3DDevice), 1);
    }
    void TearDown() override {
        g_Config.Release();
        g_Config.SetDefaults();
        g_bFrameSkip = 0;
        CKeyRecorder::ClearKeyMap();
        CInputState::Reset();
        std::filesystem::remove_all("GameData");
        CDeviceFixture::TearDown();
    }
    // One frame of the screen with the keys and buttons of this frame.
    void Frame() {
        m_Host.FrameTick();
        g_Config.Update();
    }
    void Tap(int nKey) {
        m_Host.PressKey(nKey);
        Frame();
        m_Host.ReleaseKey(nKey);
        Frame();
    }
    void Button(uint32_t dwButtons) {
        m_Host.SetJoystick(0, HOSTJOYSTATE{32768, 32768, dwButtons});
        Frame();
        m_Host.SetJoystick(0, HOSTJOYSTATE{32768, 32768, 0});
        Frame();
    }
    // The colour of a region where the screen drew it (its inner block starts 2 pixels in).
    WORD RegionAt(const char* pszName) {
        std::vector<std::string> names = RegionNames();
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == pszName) return To565(RegionColour(i));
        return 0;
    }
};

TEST_F(ConfigScreenTest, DrawsEveryPartWhereItBelongs) {
    g_Config.Start();
    FillBack(0);
    g_Config.Draw(g_lpDDSBack);
    EXPECT_EQ(BackPixel(0, 0), To565(0x808080));
    EXPECT_EQ(BackPixel(305 + 2, 80 + 2), RegionAt("skip_60"));
    EXPECT_EQ(BackPixel(305, 80), To565(0x203040));  // keyed border: background shows
    EXPECT_EQ(BackPixel(472 + 2, 80 + 2), To565(0x203040));
    EXPECT_EQ(BackPixel(302 + 2, 136 + 2), RegionAt("vol_100"));
    EXPECT_EQ(BackPixel(307 + 2, 237 + 2), RegionAt("btn_shot1"));
    EXPECT_EQ(BackPixel(307 + 2, 271 + 2), RegionAt("btn_jump2"));
    EXPECT_EQ(BackPixel(307 + 2, 305 + 2), RegionAt("btn_sub3"));
    EXPECT_EQ(BackPixel(24 + 2, 410 + 2), RegionAt("skip_60_info"));
    // The row cursor (20 x 12) centred on (50, 114) and lifted by 16.
    EXPECT_EQ(BackPixel(40 + 2, 114 - 6 - 16 + 2), RegionAt("cursor1"));
    EXPECT_FALSE(g_Config.GetColumnCursor().IsShown());
    EXPECT_EQ(g_Config.IsDone(), 0);
}

TEST_F(ConfigScreenTest, KeysHeldOnEntryWaitForARelease) {
    m_Host.PressKey(VK_RIGHT);
    g_Config.Start();
    Frame();
    Frame();
    EXPECT_EQ(g_Config.GetFps(), 60);
    m_Host.ReleaseKey(VK_RIGHT);
    Frame();
    Tap(VK_RIGHT);
    EXPECT_EQ(g_Config.GetFps(), 30);
    EXPECT_EQ(g_bFrameSkip, 1);
    Tap(VK_LEFT);
    EXPECT_EQ(g_Config.GetFps(), 60);
    EXPECT_EQ(g_bFrameSkip, 0);
}

TEST_F(ConfigScreenTest, RowsWrapAndTheButtonRowHasColumns) {
    g_Config.Start();
    Tap(VK_UP);
    EXPECT_EQ(g_Config.GetRow(), CONFIG_ROW_EXIT);
    Tap(VK_UP);
    EXPECT_EQ(g_Config.GetRow(), CONFIG_ROW_BUTTONS);
    EXPECT_EQ(g_Config.GetColumn(), 2);  // from below
    EXPECT_FLOAT_EQ(g_Config.GetColumnCursor().GetY(), 335.0f);
    Tap(VK_UP);
    Tap(VK_UP);
    EXPECT_EQ(g_Config.GetColumn(), 0);
    EXPECT_FLOAT_EQ(g_Config.GetColumnCursor().GetX(), 85.0f);
    EXPECT_FLOAT_EQ(g_Config.GetColumnCursor().GetY(), 265.0f);
    Tap(VK_UP);
    EXPECT_EQ(g_Config.GetRow(), CONFIG_ROW_VOLUME);
    EXPECT_EQ(g_Config.GetColumn(), -1);
    EXPECT_FALSE(g_Config.GetColumnCursor().IsShown());
    EXPECT_FLOAT_EQ(g_Config.GetRowCursor().GetY(), 174.0f);
    Tap(VK_DOWN);
    EXPECT_EQ(g_Config.GetColumn(), 0);  // from above
    Tap(VK_DOWN);
    Tap(VK_DOWN);
    Tap(VK_DOWN);
    EXPECT_EQ(g_Config.GetRow(), CONFIG_ROW_EXIT);
    EXPECT_FLOAT_EQ(g_Config.GetRowCursor().GetY(), 391.0f);
    Tap(VK_DOWN);
    EXPECT_EQ(g_Config.GetRow(), CONFIG_ROW_FPS);
}

TEST_F(ConfigScreenTest, VolumeStepsAndStopsAtTheEnds) {
    g_Config.Start();
    Tap(VK_DOWN);
    Tap(VK_RIGHT);
    EXPECT_EQ(g_Config.GetVolumeLevel(), 10);
    for (int i = 0; i < 12; ++i) Tap(VK_LEFT);
    EXPECT_EQ(g_Config.GetVolumeLevel(), 0);
    EXPECT_EQ(g_Config.ScaleVolume(0), -5000);
    Tap(VK_RIGHT);
    Tap(VK_RIGHT);
    EXPECT_EQ(g_Config.GetVolume(), 20);
}

TEST_F(ConfigScreenTest, JoystickButtonsAreAssignedSwappedAndSavedOnExit) {
    m_Host.SetJoystick(0, HOSTJOYSTATE{32768, 32768, 0});
    ASSERT_EQ(CInputState::Init(), 1);
    CInputState::SetMode(INPUT_MODE_MERGED);
    g_Config.Start();
    Tap(VK_DOWN);
    Tap(VK_DOWN);
    ASSERT_EQ(g_Config.GetRow(), CONFIG_ROW_BUTTONS);
    // Shot takes the button jump already has: the two swap.
    Button(2);
    EXPECT_EQ(g_Config.GetButtonMask(0), 2u);
    EXPECT_EQ(g_Config.GetButtonMask(1), 1u);
    EXPECT_EQ(g_Config.GetColumn(), 1);
    // Two buttons at once assign nothing.
    Button(8 | 16);
    EXPECT_EQ(g_Config.GetColumn(), 1);
    Button(16);
    EXPECT_EQ(g_Config.GetButtonMask(1), 16u);
    // A held button acts once.
    m_Host.SetJoystick(0, HOSTJOYSTATE{32768, 32768, 512});
    Frame();
    EXPECT_EQ(g_Config.GetButtonMask(2), 512u);
    EXPECT_EQ(g_Config.GetRow(), CONFIG_ROW_EXIT);  // the last column moves on to exit
    Frame();
    Frame();
    EXPECT_EQ(g_Config.IsDone(), 0);  // still the same press
    m_Host.SetJoystick(0, HOSTJOYSTATE{32768, 32768, 0});
    Frame();
    Tap(VK_LEFT);  // no meaning in the exit row
    EXPECT_EQ(g_Config.IsDone(), 0);
    Tap(VK_RETURN);
    EXPECT_EQ(g_Config.IsDone(), 1);
    std::string text = ReadFile("GameData/Config.dat");
    EXPECT_EQ(text, "#CFG_FPS 60\r\n#CFG_VOL 100\r\n#CFG_BTN_SHOT 2\r\n#CFG_BTN_JUMP 5\r\n#CFG_BTN_SUB 10\r\n");
    // Read back by the next visit.
    g_Config.SetDefaults();
    g_Config.Start();
    EXPECT_EQ(g_Config.GetButtonMask(0), 2u);
    EXPECT_EQ(g_Config.GetButtonMask(1), 16u);
    EXPECT_EQ(g_Config.GetButtonMask(2), 512u);
}

TEST_F(ConfigScreenTest, ChangedSettingsSurviveALeaveAndShowOnScreen) {
    // A file cut short by a crash: what it holds is kept, the rest is the default, and the player is
    // told once; the file written on leaving holds all five again and is read without a word.
    CTempFolder::Put("GameData/Config.dat", std::string("#CFG_FPS 60\r\n#CFG_VO"));
    g_Config.Start();
    const std::vector<std::string> cut = {
        "GameData/Config.dat: damaged: 4 of the 5 settings are not in it, so they are the defaults"};
    EXPECT_EQ(m_Host.GetErrorLines(), cut);
    Tap(VK_RIGHT);  // 30 frames per second
    Tap(VK_DOWN);
    Tap(VK_LEFT);
    Tap(VK_LEFT);
    Tap(VK_LEFT);  // volume 70
    Tap(VK_UP);
    Tap(VK_UP);  // exit row
    m_Host.PressKey('Z');
    Frame();
    m_Host.ReleaseKey('Z');
    ASSERT_EQ(g_Config.IsDone(), 1);
    g_Config.SetDefaults();
    g_Config.Start();
    EXPECT_EQ(g_Config.GetFps(), 30);
    EXPECT_EQ(g_Config.GetVolume(), 70);
    EXPECT_EQ(m_Host.GetErrorLines(), cut);
    FillBack(0);
    g_Config.Draw(g_lpDDSBack);
    EXPECT_EQ(BackPixel(472 + 2, 80 + 2), RegionAt("skip_30"));
    EXPECT_EQ(BackPixel(302 + 2, 136 + 2), RegionAt("vol_70"));
    EXPECT_EQ(BackPixel(24 + 2, 410 + 2), RegionAt("skip_30_info"));
}

// A picture of the screen after a few changes, for looking at: settings-screen.png where the run
// started. With ZORVA_GAMEDATA naming a generated GameData folder its pictures are shown instead.
TEST_F(ConfigScreenTest, ScreenshotOfTheScreen) {
    if (const char* pszData = getenv("ZORVA_GAMEDATA")) {
        for (const char* pszName : {"Config.bmp", "ConfigIndex.txt", "ConfigSheet.bmp"})
            std::filesystem::copy_file(std::filesystem::path(pszData) / "Title" / pszName,
                                       std::filesystem::path("GameData/Title") / pszName,
                                       std::filesystem::copy_options::overwrite_existing);
        ASSERT_EQ(g_Config.Load(g_lpD3DDevice), 1);
    }
    g_Config.Start();
    Tap(VK_RIGHT);
    Tap(VK_DOWN);
    Tap(VK_LEFT);
    Tap(VK_LEFT);
    Tap(VK_DOWN);
    Tap(VK_DOWN);
    FillBack(0);
    g_Config.Draw(g_lpDDSBack);
    DDSURFACEDESC2 ddsd = {};
    ddsd.dwSize = sizeof(ddsd);
    ASSERT_TRUE(SUCCEEDED(g_lpDDSBack->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr)));
    std::string path = (g_StartDir / "settings-screen.png").string();
    bool bWritten = WritePng565(path.c_str(), static_cast<const uint16_t*>(ddsd.lpSurface), ddsd.lPitch, 640, 480);
    g_lpDDSBack->Unlock(nullptr);
    EXPECT_TRUE(bWritten) << path;
    EXPECT_EQ(g_Config.GetColumn(), 1);
}

}  // namespace
