// Runs one of the tools as a program in the current folder and keeps what it printed.
#pragma once
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

struct PROGRAMRUN {
    int nExit;  // -1 when it did not end by itself
    std::string strOut;
    std::string strErr;
};

inline std::string ReadAndRemove(const std::string& path)
{
    std::string text;
    {
        std::ifstream in(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::error_code ec;
    std::filesystem::remove(path, ec);
    return text;
}

// commandLine is handed to the shell as it stands; the output goes through files beside it.
inline PROGRAMRUN RunProgram(const std::string& commandLine, const std::string& tag = "run")
{
    const std::string out = ".out-" + tag, err = ".err-" + tag;
    const int nStatus = std::system((commandLine + " >" + out + " 2>" + err).c_str());
    PROGRAMRUN run;
    run.nExit = nStatus != -1 && WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    run.strOut = ReadAndRemove(out);
    run.strErr = ReadAndRemove(err);
    return run;
}
