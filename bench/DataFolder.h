// A fresh folder of generated data set up for a ride, for the benchmarks that run the program.
#pragma once
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "scene/BusyRide.h"

// A fresh folder with the generated data, current while it lives; with nStage, set up to start
// straight into that stage, else as generated.
class CDataFolder {
public:
    explicit CDataFolder(int nStage) : m_OldDir(std::filesystem::current_path())
    {
        char szTemplate[] = "/tmp/zorva-bench-XXXXXX";
        if (!mkdtemp(szTemplate))
            return;
        m_Dir = szTemplate;
        std::filesystem::current_path(m_Dir);
        const std::string strCommand = std::string(ZORVA_MAKEDATA) + " . > /dev/null";
        // The sample data starts at the logo; the benchmarks start straight into the load of the
        // stage, and she cannot fall, so every ride is as long as asked.
        m_bReady = std::system(strCommand.c_str()) == 0 && (nStage == 0 || StartRideOn(nStage));
    }
    ~CDataFolder()
    {
        std::error_code ec;
        std::filesystem::current_path(m_OldDir, ec);
        if (!m_Dir.empty())
            std::filesystem::remove_all(m_Dir, ec);
    }
    CDataFolder(const CDataFolder&) = delete;
    CDataFolder& operator=(const CDataFolder&) = delete;
    bool IsReady() const { return m_bReady; }

private:
    std::filesystem::path m_OldDir;
    std::filesystem::path m_Dir;
    bool m_bReady = false;
};
