// The catalogue of passer-by kinds of the current stage, read from its People.txt.
#pragma once
#include "platform/d3d/D3D.h"
#include "platform/win/WinTypes.h"

class CPeople;

class CPeopleSet {
public:
    virtual ~CPeopleSet() = default;
    // Empties the catalogue, then reads folder + "People.txt": 0 when it does not open, else 1.
    // Kinds whose pictures are not in the passer-by index are left out (ERROR 21).
    static int Load(IDirect3DDevice7* lpDevice, const char* pszFolder);
    // The same reading from any path the file layer opens (memory names too).
    static int LoadFile(IDirect3DDevice7* lpDevice, const char* pszPath);
    static BOOL Exists(const char* pszCode);
    static CPeople* Find(const char* pszCode);
    static void Clear();
    static int Count();
};
