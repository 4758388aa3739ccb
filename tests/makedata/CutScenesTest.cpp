// The cut-scenes as the generator writes them: scripts in code page 932 with CR LF whose every
// named file exists, backgrounds that fill the screen, keyed pictures with the key at their edges
// and no green fringe, two-byte text drawn as one glyph a character, and voices and music in the
// formats the game plays.
#include <gtest/gtest.h>
#include <iconv.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ArtKit.h"
#include "CutScenes.h"
#include "DataSet.h"
#include "support/BmpPixels.h"

namespace {

namespace fs = std::filesystem;

const uint32_t kKey = 0x00FF00;

class CutScenes : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_Root = fs::temp_directory_path() / ("zorva-cutscenes-test-" + std::to_string(::getpid()));
        fs::remove_all(s_Root);
        CDataSet data(s_Root.string());
        WriteCutScenes(data);
        ASSERT_FALSE(data.Failed());
    }
    static void TearDownTestSuite() { fs::remove_all(s_Root); }

    static fs::path PathOf(const std::string& rel) { return s_Root / "GameData" / rel; }
    static std::string Read(const std::string& rel)
    {
        std::ifstream f(PathOf(rel), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    }

    // The #CMD lines of a script as fields (time, name, parameters).
    static std::vector<std::vector<std::string>> Commands(const std::string& text)
    {
        std::vector<std::vector<std::string>> cmds;
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("#CMD ", 0) != 0) {
                continue;
            }
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            std::vector<std::string> fields;
            std::istringstream parts(line.substr(5));
            std::string field;
            while (std::getline(parts, field, ',')) {
                fields.push_back(field);
            }
            cmds.push_back(fields);
        }
        return cmds;
    }

    static fs::path s_Root;
};

fs::path CutScenes::s_Root;

const char* const kFolders[] = {"Opening/", "Ending/"};

bool ConvertsFromCp932(const std::string& text)
{
    iconv_t cd = iconv_open("UTF-8", "CP932");
    std::string out(text.size() * 3 + 4, '\0');
    char* pIn = const_cast<char*>(text.data());
    size_t nIn = text.size();
    char* pOut = out.data();
    size_t nOut = out.size();
    const size_t n = iconv(cd, &pIn, &nIn, &pOut, &nOut);
    iconv_close(cd);
    return n != (size_t)-1 && nIn == 0;
}

uint32_t Le(const std::string& s, size_t at, int n)
{
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; i--) {
        v = v << 8 | (uint8_t)s[at + (size_t)i];
    }
    return v;
}

} // namespace

TEST_F(CutScenes, ScriptsAreCodePage932WithCrLfAndEveryFileTheyNameExists)
{
    for (const char* pszFolder : kFolders) {
        const std::string text = Read(std::string(pszFolder) + "Script.txt");
        ASSERT_FALSE(text.empty()) << pszFolder;
        EXPECT_TRUE(ConvertsFromCp932(text)) << pszFolder;
        for (size_t i = 0; i < text.size(); i++) {
            if (text[i] == '\n') {
                ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << pszFolder << " byte " << i;
            }
        }
        std::set<std::string> names;
        for (const std::vector<std::string>& f : Commands(text)) {
            ASSERT_GE(f.size(), 2u);
            const std::string& cmd = f[1];
            if (cmd == "VOICE" || cmd == "BGM_PLAY" || cmd.rfind("IMAGE_", 0) == 0 || cmd == "BLACK_IN" || cmd == "WHITE_IN") {
                names.insert(f.at(2));
            }
            for (const std::string& p : f) {
                if (cmd == "SPECIAL" && p.size() > 4 && p.substr(p.size() - 4) == ".bmp") {
                    names.insert(p);
                }
            }
        }
        EXPECT_GT(names.size(), 10u) << pszFolder;
        for (const std::string& name : names) {
            EXPECT_TRUE(fs::is_regular_file(PathOf(pszFolder + name))) << pszFolder << name;
        }
        EXPECT_TRUE(fs::is_regular_file(PathOf(std::string(pszFolder) + "Prompt.bmp"))) << pszFolder;
    }
}

TEST_F(CutScenes, BackgroundsFillTheScreenAndEveryOtherPictureIsKeyedWithoutAGreenFringe)
{
    int nBacks = 0, nKeyed = 0;
    for (const char* pszFolder : kFolders) {
        for (const auto& e : fs::directory_iterator(PathOf(pszFolder))) {
            if (e.path().extension() != ".bmp") {
                continue;
            }
            const CBmpPixels pic(e.path().string());
            ASSERT_GT(pic.Width(), 0) << e.path();
            const int w = pic.Width(), h = pic.Height();
            int nKey = 0, nNearKey = 0;
            for (int y = 0; y < h; y++) {
                for (int x = 0; x < w; x++) {
                    const uint32_t c = pic.Rgb(x, y);
                    nKey += c == kKey;
                    nNearKey += c != kKey && ((c >> 16) & 0xFF) < 24 && (c & 0xFF) < 24 && ((c >> 8) & 0xFF) >= 232;
                }
            }
            EXPECT_EQ(nNearKey, 0) << e.path();
            if (w == 640 && h == 480 && nKey == 0) {
                nBacks++;
                continue;
            }
            nKeyed++;
            // The key all round the edge: nothing is cut off by the picture's frame.
            for (const auto& corner : {std::pair{0, 0}, std::pair{w - 1, 0}, std::pair{0, h - 1}, std::pair{w - 1, h - 1}}) {
                EXPECT_EQ(pic.Rgb(corner.first, corner.second), kKey) << e.path();
            }
            EXPECT_LT(nKey, w * h) << e.path();
        }
    }
    EXPECT_EQ(nBacks, 9);
    EXPECT_GE(nKeyed, 20);
}

TEST_F(CutScenes, TwoByteTextIsDrawnAsOneGlyphACharacter)
{
    const std::string a = ToCp932("あ"), aa = ToCp932("ああ");
    ASSERT_EQ(a, "\x82\xA0");
    const int w = CArtKit::TextWidth(a, 20);
    EXPECT_GE(w, 16);
    EXPECT_LE(w, 24);
    EXPECT_EQ(CArtKit::TextWidth(aa, 20), 2 * w);
    EXPECT_EQ(CArtKit::TextWidth("AB", 20), 2 * CArtKit::TextWidth("A", 20));
}

TEST_F(CutScenes, VoicesAreShortMonoLinesAndTheMusicIsStereo)
{
    int nVoices = 0, nMusic = 0;
    for (const char* pszFolder : kFolders) {
        for (const auto& e : fs::directory_iterator(PathOf(pszFolder))) {
            const std::string name = e.path().filename().string();
            if (e.path().extension() != ".wav") {
                continue;
            }
            const std::string w = Read(pszFolder + name);
            ASSERT_GT(w.size(), 44u) << name;
            ASSERT_EQ(w.substr(0, 4), "RIFF");
            ASSERT_EQ(w.substr(8, 8), "WAVEfmt ");
            const uint32_t nChannels = Le(w, 22, 2), nRate = Le(w, 24, 4);
            const size_t nData = w.find("data");
            ASSERT_NE(nData, std::string::npos) << name;
            const uint32_t nBytes = Le(w, nData + 4, 4);
            const double fSeconds = (double)nBytes / (2.0 * nChannels * nRate);
            if (name.rfind("Vo", 0) == 0) {
                nVoices++;
                EXPECT_EQ(nChannels, 1u) << name;
                EXPECT_EQ(nRate, 22050u) << name;
                EXPECT_GT(fSeconds, 0.3) << name;
                EXPECT_LT(fSeconds, 4.0) << name;
                int nPeak = 0;
                for (size_t i = nData + 8; i + 1 < nData + 8 + nBytes; i += 2) {
                    const int v = (int16_t)Le(w, i, 2);
                    nPeak = std::max(nPeak, v < 0 ? -v : v);
                }
                EXPECT_GT(nPeak, 16000) << name;
                EXPECT_LT(nPeak, 27000) << name;
            } else if (name != "Opening.wav" && name != "Ending.wav") {
                nMusic++;
                EXPECT_EQ(nChannels, 2u) << name;
                EXPECT_EQ(nRate, 44100u) << name;
                EXPECT_GT(fSeconds, 10.0) << name;
            }
        }
    }
    EXPECT_EQ(nVoices, 7);
    EXPECT_EQ(nMusic, 2);
}
