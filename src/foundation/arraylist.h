// The block list: elements live in fixed-size blocks and never move once added, so owners keep
// plain pointers into it for as long as the list is not cleared.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <type_traits>
#include <vector>

#include "foundation/objectbase.h"

template <typename T>
struct TArrayListBlock {
    T* pItems = nullptr;
    int nCapacity = 0;
    int nUsed = 0;
    TArrayListBlock* pNext = nullptr;

    explicit TArrayListBlock(int n) : pItems(n > 0 ? new T[n] : nullptr), nCapacity(n) {}
    ~TArrayListBlock() { delete[] pItems; }
    TArrayListBlock(const TArrayListBlock&) = delete;
    TArrayListBlock& operator=(const TArrayListBlock&) = delete;

    T* At(int i) { return &pItems[i]; }
    // The next place, as its block built it; the list never hands out a place twice.
    T* Take() { return &pItems[nUsed++]; }
    T* Append(const T& x)
    {
        T* place = Take();
        *place = x;
        return place;
    }
};

// A walk over a list in order, block by block. Elements never move, so a walk stays valid while
// the list grows: it goes on to what was added behind it, as a loop up to Count would.
template <typename T, typename Element = T>
class TArrayListWalk {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::remove_const_t<Element>;
    using difference_type = std::ptrdiff_t;
    using pointer = Element*;
    using reference = Element&;

    TArrayListWalk() = default;
    explicit TArrayListWalk(TArrayListBlock<T>* block) : pBlock(block) {}

    Element& operator*() const { return pBlock->pItems[nPlace]; }
    Element* operator->() const { return &pBlock->pItems[nPlace]; }
    TArrayListWalk& operator++()
    {
        if (++nPlace >= pBlock->nUsed) {
            pBlock = pBlock->pNext;
            nPlace = 0;
        }
        return *this;
    }
    TArrayListWalk operator++(int)
    {
        TArrayListWalk before = *this;
        ++*this;
        return before;
    }
    bool operator==(const TArrayListWalk& other) const { return pBlock == other.pBlock && nPlace == other.nPlace; }

private:
    TArrayListBlock<T>* pBlock = nullptr;  // null at the end
    int nPlace = 0;
};

template <typename T>
class ArrayList : public CNamedObject {
public:
    using iterator = TArrayListWalk<T>;
    using const_iterator = TArrayListWalk<T, const T>;

    TArrayListBlock<T>* pFirstBlock = nullptr;
    TArrayListBlock<T>* pLastBlock = nullptr;
    int nCount = 0;
    int nBlockSize;
    int nLastBlockUsed = 0;
    int nBlockCount = 0;

    explicit ArrayList(int blockSize = 20) : nBlockSize(blockSize) {}
    ~ArrayList() { Clear(); }

    ArrayList(const ArrayList& other) : CNamedObject(other), nBlockSize(other.nBlockSize) { CopyItemsFrom(other); }

    // A deep copy: two lists never share blocks.
    ArrayList& operator=(const ArrayList& other)
    {
        if (this == &other)
            return *this;
        CNamedObject::operator=(other);
        Clear();
        nBlockSize = other.nBlockSize;
        CopyItemsFrom(other);
        return *this;
    }

    // Copies x into the next place: for element types that are plain values.
    T* Add(const T& x) { return Grow()->Append(x); }

    // The next place itself, default-built with its block and never copied into, for elements
    // that own resources and are filled in place.
    T* AddNew() { return Grow()->Take(); }

    // An index at or past Count reports and answers with the first element; an empty list or a
    // negative index reports and answers null, since there is nothing safe to hand out. The
    // blocks are also kept in a table, so that any element is one step away: lists are walked
    // backwards and jumped about in by index.
    T* Get(int i)
    {
        if (i >= 0 && i < nCount)
            return m_Blocks[static_cast<std::size_t>(i / nBlockSize)]->At(i % nBlockSize);
        Error("ArrayList Index Out Of Bounds");
        if (i < 0 || nCount == 0)
            return nullptr;
        return pFirstBlock->At(0);
    }

    int Count() const { return nCount; }

    iterator begin() { return iterator(pFirstBlock); }
    iterator end() { return iterator(); }
    const_iterator begin() const { return const_iterator(pFirstBlock); }
    const_iterator end() const { return const_iterator(); }

    // Differs for every list made and after every Clear: what indexes a list by its elements
    // tells from it that the elements it saw are gone.
    std::uint64_t Stamp() const { return m_nStamp; }

    void Clear()
    {
        TArrayListBlock<T>* block = pFirstBlock;
        while (block) {
            TArrayListBlock<T>* next = block->pNext;
            delete block;
            block = next;
        }
        pFirstBlock = nullptr;
        pLastBlock = nullptr;
        nCount = 0;
        nLastBlockUsed = 0;
        nBlockCount = 0;
        m_Blocks.clear();
        m_nStamp = NewStamp();
    }

private:
    std::vector<TArrayListBlock<T>*> m_Blocks;
    std::uint64_t m_nStamp = NewStamp();

    static std::uint64_t NewStamp()
    {
        static std::atomic<std::uint64_t> stamps{0};
        return ++stamps;
    }

    // Counts one more element and returns the block it goes into, adding a block when the last
    // one is full.
    TArrayListBlock<T>* Grow()
    {
        if (nCount >= nBlockCount * nBlockSize) {
            auto* block = new TArrayListBlock<T>(nBlockSize);
            if (pLastBlock)
                pLastBlock->pNext = block;
            if (!pFirstBlock)
                pFirstBlock = block;
            block->pNext = nullptr;
            pLastBlock = block;
            m_Blocks.push_back(block);
            ++nBlockCount;
        }
        ++nCount;
        nLastBlockUsed = nCount - (nBlockCount - 1) * nBlockSize;
        return pLastBlock;
    }

    void CopyItemsFrom(const ArrayList& other)
    {
        for (const T& item : other)
            Add(item);
    }
};
