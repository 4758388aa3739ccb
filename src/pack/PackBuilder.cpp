#include "pack/PackBuilder.h"

#include <cstring>
#include <memory>

#include "pack/teskFile.h"
#include "pack/teskLZSS.h"
#include "rvm/rvm_stl.h"

namespace {

void PutLE32(rvm::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        out.push_back((uint8_t)(v >> (8 * i)));
}

void PutName(rvm::vector<uint8_t>& out, const rvm::string& name, size_t nField)
{
    size_t n = name.size() < nField - 1 ? name.size() : nField - 1;
    out.insert(out.end(), name.begin(), name.begin() + (long)n);
    out.insert(out.end(), nField - n, 0);
}

} // namespace

CPackBuilder::CPackBuilder(const char* pszMagic) : m_Magic(pszMagic, PACK_MAGIC_SIZE)
{
    m_bLong = m_Magic == PACK_MAGIC_VOSTIL || m_Magic == PACK_MAGIC_DX;
}

void CPackBuilder::AddFile(const rvm::string& name, const rvm::vector<uint8_t>& data, bool bCompress)
{
    ENTRY e;
    e.name = name;
    e.nSize = (uint32_t)data.size();
    e.bCompressed = false;
    if (bCompress && m_bLong) {
        auto pCodec = std::make_unique<CTeskLZSS>();
        rvm::vector<uint8_t> packed;
        uint32_t nPacked = 0;
        if (pCodec->Encode(data.data(), (uint32_t)data.size(), &packed, &nPacked) == 0) {
            e.stored = std::move(packed);
            e.bCompressed = true;
        }
    }
    if (!e.bCompressed)
        e.stored = data;
    m_Entries.push_back(std::move(e));
}

rvm::vector<uint8_t> CPackBuilder::Build() const
{
    const uint32_t nRecSize = m_bLong ? PACK_RECORD_LONG : PACK_RECORD_SHORT;
    const size_t nNameSize = m_bLong ? PACK_NAME_LONG : PACK_NAME_SHORT;
    rvm::vector<uint8_t> out(m_Magic.begin(), m_Magic.end());
    PutLE32(out, (uint32_t)m_Entries.size());
    uint32_t nOffset = PACK_HEADER_SIZE + nRecSize * (uint32_t)m_Entries.size();
    for (const ENTRY& e : m_Entries) {
        PutName(out, e.name, nNameSize);
        PutLE32(out, nOffset);
        PutLE32(out, e.nSize);
        if (m_bLong)
            PutLE32(out, (uint32_t)e.stored.size());
        nOffset += (uint32_t)e.stored.size();
    }
    for (const ENTRY& e : m_Entries)
        out.insert(out.end(), e.stored.begin(), e.stored.end());
    return out;
}
