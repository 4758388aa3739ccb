// A keyed singly linked list that never allocates: nodes are numbers into fixed arrays, linked in
// a ring through the head sentinel, with a stack of free node numbers. Entries keep insertion
// order; keys are found by a linear walk. Node n carries slot n - 2.
#pragma once
#include <array>
#include <cstring>

#include "rvm/rvm_mem.h"

#define LIST_IDX_NODE_NUM 1026
#define LIST_IDX_ENTRY_NUM (LIST_IDX_NODE_NUM - 2)

// The free stack of an empty list: node numbers 1025 down to 2, so that the first node taken is 2.
// Made once and copied in: a loop over the nodes on every clear cost the sanitizer builds more
// than reading a short stage file.
inline const std::array<int, LIST_IDX_ENTRY_NUM>& ListIdxFreeStack() {
    static const std::array<int, LIST_IDX_ENTRY_NUM> s_Stack = [] {
        std::array<int, LIST_IDX_ENTRY_NUM> stack{};
        for (int i = 0; i < LIST_IDX_ENTRY_NUM; ++i)
            stack[i] = LIST_IDX_NODE_NUM - 1 - i;
        return stack;
    }();
    return s_Stack;
}

template <class T>
class list_idx {
public:
    list_idx() { Clear(); }

    // Forgets every entry; values are not freed (their owners free them first).
    void Clear() {
        Init();
        Init();
    }

    // The slot of the key, made at the end of the list when the key is new. -1 when every node
    // is in use: the caller then stores nothing.
    int Slot(int nKey) {
        int nPrev = kHead;
        for (m_nIter = m_next[kHead]; !IsEnd(); m_nIter = m_next[m_nIter]) {
            if (m_keys[m_nIter - 2] == nKey)
                return m_nIter - 2;
            nPrev = m_nIter;
        }
        if (m_free_top <= 0) {
            rvm_debug_out("list_idx: no room for another key\n");
            return -1;
        }
        m_x = PopFree();
        m_next[nPrev] = m_x;
        m_next[m_x] = kHead;
        m_keys[m_x - 2] = nKey;  // a slot asked for and never set still finds its key again
        ++m_nCount;
        return m_x - 2;
    }

    int PopFree() { return m_free[--m_free_top]; }

    // Stores the value under the key; an existing entry keeps its place. 0 when there is no room.
    int Set(int nKey, const T& value) {
        int nSlot = Slot(nKey);
        if (nSlot < 0)
            return 0;
        m_keys[nSlot] = nKey;
        m_values[nSlot] = value;
        return 1;
    }

    // The value stored under the key, or null; adds nothing.
    T* Find(int nKey) {
        for (int n = m_next[kHead]; n != kHead; n = m_next[n]) {
            if (m_keys[n - 2] == nKey)
                return &m_values[n - 2];
        }
        return nullptr;
    }

    // Iteration: Begin(); while (!IsEnd()) { Key(), Value(); Next(); }
    void Begin() { m_nIter = m_next[m_next[kEndLink]]; }
    bool IsEnd() const { return m_nIter == kHead; }
    void Next() {
        if (IsEnd()) {
            rvm_debug_out("list_idx: !end()\n");
            return;
        }
        m_nIter = m_next[m_nIter];
    }
    int Key() const { return m_keys[m_nIter - 2]; }
    T& Value() { return m_values[m_nIter - 2]; }

    int Count() const { return m_nCount; }
    int GetKey(int nSlot) const { return m_keys[nSlot]; }
    T& GetValue(int nSlot) { return m_values[nSlot]; }

private:
    enum { kEndLink = 0, kHead = 1 };

    void Init() {
        m_next[kEndLink] = kHead;
        m_next[kHead] = kHead;
        m_nCount = 0;
        m_x = 2;
        m_nIter = kHead;
        std::memcpy(m_free, ListIdxFreeStack().data(), sizeof(m_free));
        m_free_top = LIST_IDX_ENTRY_NUM;
    }

    int m_next[LIST_IDX_NODE_NUM];
    int m_nCount;
    int m_x;
    int m_nIter;
    int m_free[LIST_IDX_ENTRY_NUM];
    int m_free_top;
    int m_keys[LIST_IDX_ENTRY_NUM] = {};
    T m_values[LIST_IDX_ENTRY_NUM] = {};
};
