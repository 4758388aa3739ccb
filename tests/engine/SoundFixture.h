// A scratch GameData folder as the current directory, the headless host on its fake clock, and
// the sound layer started on it.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/Sound.h"
#include "pack/teskFile.h"
#include "platform/host/HostHeadless.h"
#include "platform/sound/WaveImage.h"
#include "support/TempFolder.h"

class SoundFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::string strTemplate = TempTemplate("zorva-sound");
        ASSERT_NE(nullptr, mkdtemp(strTemplate.data()));
        m_Dir = strTemplate;
        char cwd[4096];
        ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
        m_OldDir = cwd;
        ASSERT_EQ(0, chdir(m_Dir.c_str()));
        for (const char* d : {"GameData", "GameData/System", "GameData/First", "GameData/Music"}) mkdir(d, 0755);
        CFile reset(1);  // the file layer takes the new current directory as its base
        m_Host.SetQuiet(true);
        SetHost(&m_Host);
        if (m_bStartSound) {
            ASSERT_EQ(1, InitSound(nullptr));
        }
    }

    void TearDown() override {
        ReleaseSound();
        SetHost(nullptr);
        ASSERT_EQ(0, chdir(m_OldDir.c_str()));
        std::string cmd = "rm -rf '" + m_Dir + "'";
        ASSERT_EQ(0, system(cmd.c_str()));
        CFile reset(1);
    }

    template <class Bytes>
    static void WriteFile(const std::string& rel, const Bytes& bytes) {
        FILE* fp = fopen(rel.c_str(), "wb");
        ASSERT_NE(nullptr, fp);
        ASSERT_EQ(bytes.size(), fwrite(bytes.data(), 1, bytes.size(), fp));
        fclose(fp);
    }

    static std::vector<uint8_t> StereoWave(uint32_t nFrames) {
        WAVEIMAGE w;
        w.data = RampStereo16(nFrames);
        return BuildWave(w);
    }

    bool HasDebugLine(const std::string& part) const {
        for (const std::string& line : m_Host.GetDebugLines())
            if (line.find(part) != std::string::npos) return true;
        return false;
    }

    bool m_bStartSound = true;
    CHostHeadless m_Host;
    std::string m_Dir, m_OldDir;
};
