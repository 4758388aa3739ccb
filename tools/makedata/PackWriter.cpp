// Sample packs, one of each kind, standing in for folders below GameData/PackSample. Each holds a
// text entry that compresses, a noise entry that does not (stored) and an entry in a sub-folder.
#include "DataSet.h"
#include "pack/PackBuilder.h"
#include "pack/teskFile.h"
#include "rvm/rvm_stl.h"

namespace {

rvm::vector<uint8_t> SampleText(const char* pszMagic)
{
    rvm::string text;
    for (int i = 0; i < 64; i++)
        text += "#SAMPLE_" + std::to_string(i) + " pack " + pszMagic + ", line " + std::to_string(i) + "\r\n";
    return rvm::vector<uint8_t>(text.begin(), text.end());
}

// The game's own random step, so the bytes never depend on the host.
rvm::vector<uint8_t> SampleNoise(uint32_t nSeed, size_t n)
{
    rvm::vector<uint8_t> v(n);
    uint32_t x = nSeed;
    for (size_t i = 0; i < n; i++) {
        x = x * 214013u + 2531011u;
        v[i] = (uint8_t)(x >> 16);
    }
    return v;
}

void WriteSamplePack(CDataSet& data, const char* pszMagic, const char* pszFolder, uint32_t nSeed)
{
    CPackBuilder pack(pszMagic);
    pack.AddFile("Sample.txt", SampleText(pszMagic), true);
    pack.AddFile("Noise.bin", SampleNoise(nSeed, 1024), true);
    rvm::string note = rvm::string("stored entry of ") + pszFolder + ".dat\r\n";
    pack.AddFile("Sub\\Note.txt", rvm::vector<uint8_t>(note.begin(), note.end()), false);
    data.Write(std::string("PackSample/") + pszFolder + ".dat", pack.Build());
}

} // namespace

void WritePackSamples(CDataSet& data)
{
    WriteSamplePack(data, PACK_MAGIC_VOSTIL, "Vostil", 1);
    WriteSamplePack(data, PACK_MAGIC_DX, "Dx", 2);
    WriteSamplePack(data, PACK_MAGIC_STORED, "Stored", 3);
    WriteSamplePack(data, PACK_MAGIC_EX, "Listed", 4);
}
