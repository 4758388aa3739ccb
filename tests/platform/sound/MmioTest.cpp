#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/mmio/MMSystem.h"
#include "platform/sound/WaveImage.h"
#include "support/TempFolder.h"

namespace {

HMMIO OpenMemory(std::vector<uint8_t>& image) {
    MMIOINFO info{};
    info.fccIOProc = FOURCC_MEM;
    info.pchBuffer = reinterpret_cast<HPSTR>(image.data());
    info.cchBuffer = static_cast<LONG>(image.size());
    return mmioOpenA(nullptr, &info, MMIO_READ);
}

WAVEIMAGE TenFrames() {
    WAVEIMAGE w;
    w.data = RampStereo16(10);
    w.bJunkBeforeFmt = true;
    return w;
}

TEST(Mmio, DescendsIntoRiffAndSkipsOddChunksWithTheirPad) {
    std::vector<uint8_t> image = BuildWave(TenFrames());
    HMMIO h = OpenMemory(image);
    ASSERT_NE(nullptr, h);
    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    ASSERT_EQ(0u, mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF));
    EXPECT_EQ(FOURCC_RIFF, riff.ckid);
    EXPECT_EQ(8u, riff.dwDataOffset);
    EXPECT_EQ(image.size() - 8, riff.cksize);

    MMCKINFO fmt{};
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    ASSERT_EQ(0u, mmioDescend(h, &fmt, &riff, MMIO_FINDCHUNK));
    EXPECT_EQ(16u, fmt.cksize);
    EXPECT_EQ(12u + 12u + 8u, fmt.dwDataOffset);  // after "junk" (3 bytes and its pad)
    WORD wTag = 0;
    ASSERT_EQ(2, mmioRead(h, reinterpret_cast<HPSTR>(&wTag), 2));
    EXPECT_EQ(1, wTag);
    ASSERT_EQ(0u, mmioAscend(h, &fmt, 0));
    EXPECT_EQ(static_cast<LONG>(fmt.dwDataOffset + 16), mmioSeek(h, 0, SEEK_CUR));

    MMCKINFO data{};
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    ASSERT_EQ(0u, mmioDescend(h, &data, &riff, MMIO_FINDCHUNK));
    EXPECT_EQ(40u, data.cksize);
    MMCKINFO list{};
    list.ckid = mmioFOURCC('L', 'I', 'S', 'T');
    ASSERT_EQ(12, mmioSeek(h, 12, SEEK_SET));
    EXPECT_EQ(MMIOERR_CHUNKNOTFOUND, mmioDescend(h, &list, &riff, MMIO_FINDCHUNK));
    EXPECT_EQ(0u, mmioClose(h, 0));
}

TEST(Mmio, ASizeThatRunsPastTheParentEndsTheSearch) {
    std::vector<uint8_t> image = BuildWave(TenFrames());
    image[12 + 4] = 0xF0;  // "junk" claims far more than the file
    HMMIO h = OpenMemory(image);
    MMCKINFO riff{};
    ASSERT_EQ(0u, mmioDescend(h, &riff, nullptr, 0));
    MMCKINFO fmt{};
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    EXPECT_EQ(MMIOERR_CHUNKNOTFOUND, mmioDescend(h, &fmt, &riff, MMIO_FINDCHUNK));
    mmioClose(h, 0);
}

TEST(Mmio, SeeksStayInsideTheImage) {
    std::vector<uint8_t> image(100, 7);
    HMMIO h = OpenMemory(image);
    EXPECT_EQ(100, mmioSeek(h, 0, SEEK_END));
    EXPECT_EQ(-1, mmioSeek(h, 1, SEEK_CUR));
    EXPECT_EQ(-1, mmioSeek(h, -1, SEEK_SET));
    EXPECT_EQ(90, mmioSeek(h, -10, SEEK_END));
    char buf[20];
    EXPECT_EQ(10, mmioRead(h, buf, 20));
    EXPECT_EQ(0, mmioRead(h, buf, 20));
    mmioClose(h, 0);
}

TEST(Mmio, MemoryBufferIsTheWholeImageAndCannotAdvance) {
    std::vector<uint8_t> image = {1, 2, 3, 4, 5};
    HMMIO h = OpenMemory(image);
    MMIOINFO info{};
    ASSERT_EQ(0u, mmioGetInfo(h, &info, 0));
    EXPECT_EQ(5, info.pchEndRead - info.pchNext);
    info.pchNext += 5;
    ASSERT_EQ(0u, mmioSetInfo(h, &info, 0));
    EXPECT_EQ(5, mmioSeek(h, 0, SEEK_CUR));
    ASSERT_EQ(0u, mmioAdvance(h, &info, MMIO_READ));
    EXPECT_EQ(info.pchNext, info.pchEndRead);
    info.pchNext = info.pchEndRead + 1;
    EXPECT_EQ(MMSYSERR_INVALPARAM, mmioSetInfo(h, &info, 0));
    mmioClose(h, 0);
}

TEST(Mmio, FileReadsCrossSmallBuffers) {
    std::string strPath = TempTemplate("zorva-mmio");
    const int fd = mkstemp(strPath.data());
    char* path = strPath.data();
    ASSERT_GE(fd, 0);
    std::vector<uint8_t> bytes(1000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    ASSERT_EQ(1000, write(fd, bytes.data(), bytes.size()));
    close(fd);

    MMIOINFO open{};
    open.cchBuffer = 16;
    HMMIO h = mmioOpenA(path, &open, MMIO_READ | MMIO_ALLOCBUF);
    ASSERT_NE(nullptr, h);
    ASSERT_EQ(500, mmioSeek(h, 500, SEEK_SET));
    std::vector<uint8_t> got(100);
    ASSERT_EQ(100, mmioRead(h, reinterpret_cast<HPSTR>(got.data()), 100));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 500, bytes.begin() + 600), got);
    ASSERT_EQ(590, mmioSeek(h, -10, SEEK_CUR));
    MMIOINFO info{};
    mmioGetInfo(h, &info, 0);
    ASSERT_EQ(0u, mmioAdvance(h, &info, MMIO_READ));
    EXPECT_EQ(16, info.pchEndRead - info.pchNext);
    EXPECT_EQ(bytes[590], static_cast<uint8_t>(*info.pchNext));
    mmioClose(h, 0);
    unlink(path);

    MMIOINFO missing{};
    EXPECT_EQ(nullptr, mmioOpenA(path, &missing, MMIO_READ));
    EXPECT_EQ(static_cast<UINT>(MMIOERR_FILENOTFOUND), missing.wErrorRet);
    EXPECT_EQ(nullptr, mmioOpenA(path, &missing, MMIO_WRITE));
}

}  // namespace
