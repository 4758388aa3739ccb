// Builds pack files: the data generator writes the shipped packs with it and the tests their
// fixtures. Entries are laid out after the directory in the order they were added.
#pragma once
#include <cstdint>

#include "rvm/rvm_stl.h"
class CPackBuilder {
public:
    // The magic is one of "teskpack", "44vostil", "teskpkDx" (268-byte records) or "teskpkEx".
    explicit CPackBuilder(const char* pszMagic);

    // The name is relative to the folder the pack stands for, with backslashes. bCompress asks
    // for LZSS (268-byte records only); the entry is stored as it is when compression does not pay.
    void AddFile(const rvm::string& name, const rvm::vector<uint8_t>& data, bool bCompress);
    // Whether the last added entry ended up compressed.
    bool LastCompressed() const { return !m_Entries.empty() && m_Entries.back().bCompressed; }
    rvm::vector<uint8_t> Build() const;
    bool HasLongRecords() const { return m_bLong; }

private:
    struct ENTRY {
        rvm::string name;
        rvm::vector<uint8_t> stored;
        uint32_t nSize;
        bool bCompressed;
    };
    rvm::string m_Magic;
    bool m_bLong;
    rvm::vector<ENTRY> m_Entries;
};
