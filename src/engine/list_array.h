// A singly linked list whose nodes live in a fixed array, linked by index, with a stack of free
// node indices. Two nodes serve as the list's ends, so LIST_BUF_NUM - 2 entries fit. Running out
// of nodes is a failed check (reported, and the insert does nothing): callers respect the limit.
#pragma once
#include "engine/Log.h"

#define LIST_BUF_NUM 1026

template <class T>
class list_array {
public:
    class iterator {
    public:
        iterator(list_array* pList, int nIndex) : m_pList(pList), m_nIndex(nIndex) {}
        T& operator*() const { return m_pList->m_Nodes[m_nIndex].value; }
        T* operator->() const { return &m_pList->m_Nodes[m_nIndex].value; }
        iterator& operator++() {
            if (end()) {
                RaiseRuntimeAssert("!end()", "list_array", __LINE__);
                return *this;
            }
            m_nIndex = m_pList->m_Nodes[m_nIndex].next;
            return *this;
        }
        bool end() const { return m_nIndex == kTail; }
        bool operator==(const iterator& other) const { return m_nIndex == other.m_nIndex; }
        bool operator!=(const iterator& other) const { return m_nIndex != other.m_nIndex; }

    private:
        list_array* m_pList;
        int m_nIndex;
    };

    list_array() { clear(); }

    iterator begin() { return iterator(this, m_Nodes[kHead].next); }
    iterator end() { return iterator(this, kTail); }
    bool empty() const { return m_nCount == 0; }
    int size() const { return m_nCount; }

    void push_back(const T& value) {
        if (m_free_top <= 0) {
            RaiseRuntimeAssert("m_free_top > 0", "list_array", __LINE__);
            return;
        }
        int x = m_free[--m_free_top];
        if (x < 0 || x >= LIST_BUF_NUM) {
            RaiseRuntimeAssert("x < LIST_BUF_NUM", "list_array", __LINE__);
            return;
        }
        m_Nodes[x].value = value;
        m_Nodes[x].next = kTail;
        m_Nodes[m_nLast].next = x;
        m_nLast = x;
        ++m_nCount;
    }

    void clear() {
        m_free_top = 0;
        for (int i = LIST_BUF_NUM - 1; i >= kFirstFree; --i) {
            m_Nodes[i].value = T();
            m_free[m_free_top++] = i;
        }
        m_Nodes[kHead].next = kTail;
        m_Nodes[kTail].next = kTail;
        m_nLast = kHead;
        m_nCount = 0;
    }

private:
    enum { kHead = 0, kTail = 1, kFirstFree = 2 };
    struct NODE {
        T value;
        int next;
    };

    NODE m_Nodes[LIST_BUF_NUM];
    int m_free[LIST_BUF_NUM];
    int m_free_top;
    int m_nLast;
    int m_nCount;
};
