// An owning array with checked element access. Copies share the array: they form a ring, and the
// last member of the ring to go frees it.
#pragma once
#include <cstdio>
#include <new>

#include "platform/win/Win.h"

class smart_aobj {
public:
    virtual ~smart_aobj() {}
};

// Shows the out-of-range warning; the access itself never takes place.
void SmartArrayWarning(const char* pszSource, int nLine);

template <class T>
class smart_array : public smart_aobj {
public:
    smart_array() : m_pData(nullptr), m_bOwns(0), m_nCount(0), m_pNext(this), m_pPrev(this), m_Dummy() {}
    explicit smart_array(int nCount) : smart_array() { alloc(nCount); }
    smart_array(const smart_array& other) : smart_array() { share(other); }
    smart_array& operator=(const smart_array& other)
    {
        if (this != &other) {
            reset();
            share(other);
        }
        return *this;
    }
    ~smart_array() override { reset(); }

    // A negative count is refused with the warning and leaves the array empty.
    bool alloc(int nCount)
    {
        reset();
        if (nCount < 0) {
            SmartArrayWarning("smart_array", __LINE__);
            return false;
        }
        m_pData = new (std::nothrow) T[nCount > 0 ? nCount : 1]();
        if (!m_pData)
            return false;
        m_bOwns = 1;
        m_nCount = nCount;
        return true;
    }

    void reset()
    {
        if (m_pNext != this) {
            m_pNext->m_pPrev = m_pPrev;
            m_pPrev->m_pNext = m_pNext;
        } else if (m_bOwns) {
            delete[] m_pData;
        }
        m_pNext = m_pPrev = this;
        m_pData = nullptr;
        m_bOwns = 0;
        m_nCount = 0;
    }

    T& operator[](int i)
    {
        if (i < 0 || i >= m_nCount || !m_pData) {
            SmartArrayWarning("smart_array", __LINE__);
            m_Dummy = T();
            return m_Dummy;
        }
        return m_pData[i];
    }

    T* get() const { return m_pData; }
    int size() const { return m_nCount; }

private:
    void share(const smart_array& other)
    {
        smart_array& o = const_cast<smart_array&>(other);
        m_pData = o.m_pData;
        m_bOwns = o.m_bOwns;
        m_nCount = o.m_nCount;
        m_pNext = o.m_pNext;
        m_pPrev = &o;
        o.m_pNext->m_pPrev = this;
        o.m_pNext = this;
    }

    T* m_pData;
    int m_bOwns;
    int m_nCount;
    smart_array* m_pNext;
    smart_array* m_pPrev;
    T m_Dummy;   // what an out-of-range access gets instead of memory it must not touch
};
