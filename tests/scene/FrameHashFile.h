// The recorded frame-hash files of the frame tests: one line per recorded frame, '#' starts a
// comment line (the file's first line says where the hashes come from).
#pragma once
#include <fstream>
#include <string>
#include <vector>

// The file's lines without its comments; none when it is missing.
inline std::vector<std::string> ReadHashLines(const char* pszPath)
{
    std::ifstream in(pszPath);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] != '#')
            lines.push_back(line);
    }
    return lines;
}

// The file written afresh: the comment line pszHeader, then the lines; false when it failed.
inline bool WriteHashLines(const char* pszPath, const char* pszHeader, const std::vector<std::string>& lines)
{
    std::ofstream out(pszPath, std::ios::trunc);
    out << "# " << pszHeader << "\n";
    for (const std::string& line : lines)
        out << line << "\n";
    return static_cast<bool>(out);
}
