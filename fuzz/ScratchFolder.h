// A scratch folder for the targets whose readers open files by path: made once under the
// temporary folder (TMPDIR when set), made the current folder, and removed when the fuzzer exits.
#pragma once
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace fuzzscratch {

inline std::string& Folder()
{
    static std::string s_strFolder;
    return s_strFolder;
}

inline void Remove()
{
    std::error_code ec;
    std::filesystem::current_path(std::filesystem::temp_directory_path(ec), ec);
    std::filesystem::remove_all(Folder(), ec);
}

} // namespace fuzzscratch

// True once the folder is the current one; aborts when it cannot be made.
inline bool EnterScratchFolder(const char* pszStem)
{
    std::string& strFolder = fuzzscratch::Folder();
    if (!strFolder.empty())
        return true;
    std::string strTemplate = (std::filesystem::temp_directory_path() / (std::string(pszStem) + "-XXXXXX")).string();
    if (!mkdtemp(strTemplate.data()) || chdir(strTemplate.c_str()) != 0)
        abort();
    strFolder = strTemplate;
    atexit(fuzzscratch::Remove);
    return true;
}
