// A fixed-capacity array of pointers with an occupancy bitmap: an add takes the lowest free slot,
// a removal is by slot, and the iterator walks the occupied slots in ascending order, reading
// every slot afresh, so that objects may add and remove themselves while a walk is under way.
#pragma once
#include <cstdint>

template <typename T, int NWORDS, int NCAPACITY = 256> class CRVMArray {
public:
    enum { WORD_BITS = 32, MAX_WORDS = NWORDS, CAPACITY = NCAPACITY };

    class rvmarray_iterator {
    public:
        rvmarray_iterator(const CRVMArray* pArray, int nSlot) : m_pArray(pArray), m_nSlot(nSlot) {}
        T operator*() const { return m_pArray->Get(m_nSlot); }
        rvmarray_iterator& operator++()
        {
            m_nSlot = m_pArray->NextUsed(m_nSlot + 1);
            return *this;
        }
        bool operator!=(const rvmarray_iterator& o) const { return m_nSlot != o.m_nSlot; }
        int GetSlot() const { return m_nSlot; }

    private:
        const CRVMArray* m_pArray;
        int m_nSlot;
    };

    CRVMArray() { Clear(); }
    virtual ~CRVMArray() = default;
    CRVMArray(const CRVMArray&) = delete;
    CRVMArray& operator=(const CRVMArray&) = delete;

    // The slot taken, or -1 when the array is full.
    int Add(T p)
    {
        if (m_nCount >= m_nCapacity)
            return -1;
        for (int nWord = 0; nWord < m_nWords; nWord++) {
            const uint32_t dwBits = m_dwBits[nWord];
            if (dwBits == 0xFFFFFFFFu)
                continue;
            const int nSlot = nWord * WORD_BITS + __builtin_ctz(~dwBits);
            if (nSlot >= m_nCapacity)
                return -1;
            m_pSlots[nSlot] = p;
            m_dwBits[nWord] = dwBits | (1u << (nSlot % WORD_BITS));
            m_nCount++;
            return nSlot;
        }
        return -1;
    }

    // Empties the slot when it holds p; 1 then.
    int Remove(int nSlot, T p)
    {
        if (Get(nSlot) != p || !p)
            return 0;
        m_pSlots[nSlot] = m_pNull;
        m_dwBits[nSlot / WORD_BITS] &= ~(1u << (nSlot % WORD_BITS));
        m_nCount--;
        return 1;
    }

    // Exchanges the contents of two occupied slots; 0 (nothing changed) unless both are occupied.
    int Swap(int nSlotA, int nSlotB)
    {
        if (!IsUsed(nSlotA) || !IsUsed(nSlotB))
            return 0;
        T p = m_pSlots[nSlotA];
        m_pSlots[nSlotA] = m_pSlots[nSlotB];
        m_pSlots[nSlotB] = p;
        return 1;
    }
    int IsUsed(int nSlot) const
    {
        return nSlot >= 0 && nSlot < m_nCapacity && ((m_dwBits[nSlot / WORD_BITS] >> (nSlot % WORD_BITS)) & 1u);
    }

    // The null value for an empty or out-of-range slot.
    T Get(int nSlot) const { return nSlot >= 0 && nSlot < NCAPACITY ? m_pSlots[nSlot] : m_pNull; }
    int GetCount() const { return m_nCount; }
    int GetCapacity() const { return m_nCapacity; }

    void Clear()
    {
        for (uint32_t& w : m_dwBits)
            w = 0;
        for (T& p : m_pSlots)
            p = m_pNull;
        m_nCount = 0;
    }

    // The lowest occupied slot at or above nSlot; the capacity when there is none.
    int NextUsed(int nSlot) const
    {
        for (; nSlot < m_nCapacity; nSlot++) {
            const uint32_t dwRest = m_dwBits[nSlot / WORD_BITS] >> (nSlot % WORD_BITS);
            if (dwRest)
                return nSlot + __builtin_ctz(dwRest);
            nSlot |= WORD_BITS - 1;
        }
        return m_nCapacity;
    }

    // Nothing is visited while the array is empty.
    rvmarray_iterator begin() const { return rvmarray_iterator(this, m_nCount < 1 ? m_nCapacity : NextUsed(0)); }
    rvmarray_iterator end() const { return rvmarray_iterator(this, m_nCapacity); }

private:
    uint32_t m_dwBits[NWORDS];
    T m_pSlots[NCAPACITY];
    T m_pNull = T();
    int m_nCount = 0;
    const int m_nWords = NWORDS;
    const int m_nCapacity = NCAPACITY;
};
