// Stage 1 of the generated data laid out short for runs about its boss, in the run's own copy of
// the data (the current folder's GameData): a bare road, the warning, the boss and its arena. The
// first boss's tests and its fight in the stage benchmark share it.
#pragma once
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

// The stage's own map with the crates, safe, spikes, steps and enemies taken out, and the warning,
// the boss and the arena's loop moved to screens 1, 2 and 4; false when the boss is not where the
// generated map had it.
inline bool ShortenStageOne()
{
    const char* pszPath = "GameData/Stage01/Stage.txt";
    std::ifstream in(pszPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str(), out;
    size_t nAt = 0;
    while (nAt < text.size()) {
        size_t nEnd = text.find("\r\n", nAt);
        nEnd = nEnd == std::string::npos ? text.size() : nEnd + 2;
        std::string line = text.substr(nAt, nEnd - nAt);
        nAt = nEnd;
        if (std::regex_search(line, std::regex("^#(000C0[234]|000E0|0\\d\\dC00)")) ||
            std::regex_search(line, std::regex("^#00[3-6]XXX")))
            continue;
        line = std::regex_replace(line, std::regex("^#007XXX:"), "#001XXX:");
        line = std::regex_replace(line, std::regex("^#008XXX:"), "#002XXX:");
        line = std::regex_replace(line, std::regex("^#010XXX:LOOP=8:Boss"), "#004XXX:LOOP=2:Boss");
        out += line;
    }
    in.close();
    std::ofstream(pszPath, std::ios::binary | std::ios::trunc) << out;
    return out.find("#002XXX:BOSS=M.Zorva") != std::string::npos;
}
