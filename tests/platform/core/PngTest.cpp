#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "platform/host/Png565.h"
#include "support/TempFolder.h"

namespace {

TEST(PngTest, RoundTripExpandsByBitReplication) {
    // Every 5-bit red and blue level and every 6-bit green level, one pixel each.
    const int w = 64, h = 3;
    std::vector<uint16_t> pixels(w * h, 0);
    for (int i = 0; i < 32; ++i) pixels[i] = static_cast<uint16_t>(i << 11);
    for (int i = 0; i < 64; ++i) pixels[w + i] = static_cast<uint16_t>(i << 5);
    for (int i = 0; i < 32; ++i) pixels[2 * w + i] = static_cast<uint16_t>(i);
    std::string strPath = TempTemplate("zorva-png");
    const int fd = mkstemp(strPath.data());
    const char* path = strPath.c_str();
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_TRUE(WritePng565(path, pixels.data(), w * 2, w, h));
    std::vector<uint8_t> rgb;
    int rw = 0, rh = 0;
    std::string error;
    ASSERT_TRUE(ReadPngRgbFile(path, &rgb, &rw, &rh, &error)) << error;
    remove(path);
    ASSERT_EQ(rw, w);
    ASSERT_EQ(rh, h);
    for (int i = 0; i < 32; ++i) {
        uint8_t v = static_cast<uint8_t>((i << 3) | (i >> 2));
        EXPECT_EQ(rgb[i * 3 + 0], v);
        EXPECT_EQ(rgb[(2 * w + i) * 3 + 2], v);
    }
    for (int i = 0; i < 64; ++i) EXPECT_EQ(rgb[(w + i) * 3 + 1], static_cast<uint8_t>((i << 2) | (i >> 4)));
    EXPECT_EQ(rgb[31 * 3], 255);
    EXPECT_EQ(rgb[(w + 63) * 3 + 1], 255);
    EXPECT_EQ(rgb[(w + 32) * 3 + 1], 130);
}

TEST(PngTest, WriterRefusesBadArgumentsAndLeavesNoFile) {
    uint16_t px[4] = {};
    const std::string strNever = (std::filesystem::temp_directory_path() / "zorva-never.png").string();
    const char* pszNever = strNever.c_str();
    EXPECT_FALSE(WritePng565(pszNever, px, 2, 2, 2));  // pitch below a row
    EXPECT_FALSE(WritePng565(pszNever, px, 4, 0, 2));
    EXPECT_FALSE(WritePng565("/nonexistent-dir/x.png", px, 4, 2, 2));
    EXPECT_NE(access(pszNever, F_OK), 0);
    EXPECT_NE(access("/nonexistent-dir/x.png.tmp", F_OK), 0);
}

TEST(PngTest, ReaderRejectsGarbageAndTruncation) {
    std::vector<uint8_t> rgb;
    int w, h;
    std::string error;
    const uint8_t junk[] = {1, 2, 3, 4, 5};
    EXPECT_FALSE(ReadPngRgb(junk, sizeof junk, &rgb, &w, &h, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ReadPngRgb(nullptr, 0, &rgb, &w, &h, &error));

    std::string strPath = TempTemplate("zorva-png");
    const int fd = mkstemp(strPath.data());
    const char* path = strPath.c_str();
    ASSERT_GE(fd, 0);
    close(fd);
    uint16_t px[16] = {0x1234};
    ASSERT_TRUE(WritePng565(path, px, 8, 4, 4));
    FILE* f = fopen(path, "rb");
    std::vector<uint8_t> data(4096);
    data.resize(fread(data.data(), 1, data.size(), f));
    fclose(f);
    remove(path);
    for (size_t cut : {size_t(8), size_t(33), data.size() - 13}) {
        error.clear();
        EXPECT_FALSE(ReadPngRgb(data.data(), cut, &rgb, &w, &h, &error)) << cut;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_TRUE(ReadPngRgb(data.data(), data.size(), &rgb, &w, &h, &error));
}

TEST(PngTest, ReaderRefusesAChunkLongerThanTheDataAtOnce) {
    // A valid header, then a text chunk that claims 0x54089963 bytes: libpng alone spends seconds
    // and a gigabyte before giving up.
    const uint8_t png[] = {0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44,
                           0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x90,
                           0x77, 0x53, 0xde, 0x54, 0x08, 0x99, 0x63, 0x74, 0x45, 0x58, 0x74, 0x49, 0x44, 0x41, 0x54,
                           0x08, 0x99, 0x63, 0x60, 0x60, 0x60, 0x00, 0x00, 0x00, 0x04, 0x00, 0x01, 0xa3, 0x0a, 0x15,
                           0xe3};
    std::vector<uint8_t> rgb;
    int w = 0, h = 0;
    std::string error;
    EXPECT_FALSE(ReadPngRgb(png, sizeof png, &rgb, &w, &h, &error));
    EXPECT_NE(error.find("chunk"), std::string::npos) << error;
    EXPECT_TRUE(rgb.empty());
}

}  // namespace
