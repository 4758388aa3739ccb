#include "BenchPictures.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace {

// The generated data set, written on first use and removed when the run ends.
class CDataFolder {
public:
    CDataFolder()
    {
        char szTemplate[] = "/tmp/zorva-bench-pictures-XXXXXX";
        if (!mkdtemp(szTemplate)) {
            return;
        }
        m_strDir = szTemplate;
        const std::string strCommand = std::string(ZORVA_MAKEDATA) + " " + m_strDir + " > /dev/null";
        m_bOk = std::system(strCommand.c_str()) == 0;
    }
    ~CDataFolder()
    {
        if (!m_strDir.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(m_strDir, ec);
        }
    }
    CDataFolder(const CDataFolder&) = delete;
    CDataFolder& operator=(const CDataFolder&) = delete;

    std::string PathOf(const char* pszPath) const { return m_bOk ? m_strDir + "/GameData/" + pszPath : std::string(); }

private:
    std::string m_strDir;
    bool m_bOk = false;
};

} // namespace

SDL_Surface* LoadDataPicture565(const char* pszPath, const SDL_Rect& rcCell)
{
    static CDataFolder s_data;
    const std::string strPath = s_data.PathOf(pszPath);
    SDL_Surface* pFile = strPath.empty() ? nullptr : SDL_LoadBMP(strPath.c_str());
    if (!pFile) {
        return nullptr;
    }
    SDL_Surface* pAll = SDL_ConvertSurfaceFormat(pFile, SDL_PIXELFORMAT_RGB565, 0);
    SDL_FreeSurface(pFile);
    if (!pAll || rcCell.w <= 0 || rcCell.h <= 0) {
        return pAll;
    }
    SDL_Surface* pCell = SDL_CreateRGBSurfaceWithFormat(0, rcCell.w, rcCell.h, 16, SDL_PIXELFORMAT_RGB565);
    if (pCell) {
        for (int y = 0; y < rcCell.h; y++) {
            std::memcpy(static_cast<uint8_t*>(pCell->pixels) + y * pCell->pitch,
                        static_cast<const uint8_t*>(pAll->pixels) + (rcCell.y + y) * pAll->pitch + rcCell.x * 2,
                        (size_t)rcCell.w * 2);
        }
    }
    SDL_FreeSurface(pAll);
    return pCell;
}

IDirectDraw7* NewDirectDraw()
{
    void* pv = nullptr;
    DirectDrawCreateEx(nullptr, &pv, IID_IDirectDraw7, nullptr);
    return static_cast<IDirectDraw7*>(pv);
}

IDirectDrawSurface7* NewSurfaceFrom(IDirectDraw7* pDD, const SDL_Surface* pPicture, DWORD dwCaps)
{
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = dwCaps ? dwCaps : DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = (DWORD)pPicture->w;
    desc.dwHeight = (DWORD)pPicture->h;
    IDirectDrawSurface7* p = nullptr;
    if (FAILED(pDD->CreateSurface(&desc, &p, nullptr)) || FAILED(p->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) {
        return p;
    }
    for (int y = 0; y < pPicture->h; y++) {
        std::memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch,
                    static_cast<const uint8_t*>(pPicture->pixels) + y * pPicture->pitch, (size_t)pPicture->w * 2);
    }
    p->Unlock(nullptr);
    return p;
}
