// Writes the seeds of the targets whose inputs the sample data set does not hold: PNG pictures
// from our own screenshot writer, LZSS streams from our own encoder and settings files from the
// settings writer. Usage: fuzz-seeds <folder>; each target's seeds go to <folder>/<target>/.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/Config.h"
#include "pack/teskFile.h"
#include "pack/teskLZSS.h"
#include "platform/host/Png565.h"
#include "rvm/rvm_stl.h"

namespace {

bool WriteBytes(const std::string& strPath, const std::vector<uint8_t>& bytes)
{
    FILE* fp = fopen(strPath.c_str(), "wb");
    if (!fp)
        return false;
    const bool bOk = fwrite(bytes.data(), 1, bytes.size(), fp) == bytes.size();
    return fclose(fp) == 0 && bOk;
}

std::string MakeFolder(const std::string& strRoot, const char* pszTarget)
{
    const std::string strDir = strRoot + "/" + pszTarget;
    mkdir(strDir.c_str(), 0755);
    return strDir;
}

// Pictures of a few shapes and sizes, so the reader's rows, filters and palettes-free paths run.
bool WritePngSeeds(const std::string& strDir)
{
    const int sizes[][2] = {{1, 1}, {3, 2}, {16, 16}, {64, 5}};
    int nIndex = 0;
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        std::vector<uint16_t> pixels((size_t)w * h);
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++)
                pixels[(size_t)y * w + x] = (uint16_t)(((x * 31 / w) << 11) | ((y * 63 / h) << 5) | ((x + y) & 31));
        }
        const std::string strPath = strDir + "/picture" + std::to_string(nIndex++) + ".png";
        if (!WritePng565(strPath.c_str(), pixels.data(), w * 2, w, h))
            return false;
    }
    return true;
}

// The target reads the output size (in units of 4 bytes) from the first two bytes. Every text packs
// smaller than itself, or the encoder would refuse it.
bool WriteLzssSeeds(const std::string& strDir)
{
    const std::string texts[] = {
        "#GRAVITY 0.5\r\n#JUMP 9.0\r\n#SPEED 3.0\r\n#GRAVITY 0.5\r\n",
        std::string(300, 'A') + "ABABABABAB" + std::string(40, '\0'),
        "0123456789abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz-0123456789",
    };
    CTeskLZSS codec;
    int nIndex = 0;
    for (const std::string& text : texts) {
        rvm::vector<uint8_t> packed;
        uint32_t nPacked = 0;
        if (codec.Encode(reinterpret_cast<const uint8_t*>(text.data()), (uint32_t)text.size(), &packed, &nPacked) != 0)
            return false;
        const uint32_t nUnits = ((uint32_t)text.size() + 3) / 4;
        std::vector<uint8_t> seed = {(uint8_t)nUnits, (uint8_t)(nUnits >> 8)};
        seed.insert(seed.end(), packed.begin(), packed.begin() + nPacked);
        if (!WriteBytes(strDir + "/stream" + std::to_string(nIndex++) + ".bin", seed))
            return false;
    }
    return true;
}

bool WriteConfigSeeds(const std::string& strDir)
{
    CConfig config;
    int nIndex = 0;
    for (int nFps : {0, 1}) {
        config.SetDefaults();
        config.SetFps(nFps);
        config.SetVolume(nFps ? 3 : 10);
        std::string text;
        for (const rvm::string& line : config.MakeLines())
            text += ToCrLf(line.c_str());
        if (!WriteBytes(strDir + "/config" + std::to_string(nIndex++) + ".dat", std::vector<uint8_t>(text.begin(), text.end())))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: fuzz-seeds <folder>\n");
        return 2;
    }
    const std::string strRoot = argv[1];
    mkdir(strRoot.c_str(), 0755);
    if (!WritePngSeeds(MakeFolder(strRoot, "fuzz_png_reader")) || !WriteLzssSeeds(MakeFolder(strRoot, "fuzz_lzss")) ||
        !WriteConfigSeeds(MakeFolder(strRoot, "fuzz_config"))) {
        fprintf(stderr, "fuzz-seeds: cannot write the seeds in %s\n", strRoot.c_str());
        return 1;
    }
    return 0;
}
