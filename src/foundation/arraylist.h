// The block list: elements live in fixed-size blocks and never move once added, so owners keep
// plain pointers into it for as long as the list is not cleared.
#pragma once

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

template <typename T>
class ArrayList : public CNamedObject {
public:
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
    // negative index reports and answers null, since there is nothing safe to hand out.
    T* Get(int i)
    {
        if (i >= 0 && i < nCount) {
            TArrayListBlock<T>* block = pFirstBlock;
            while (i >= nBlockSize) {
                block = block->pNext;
                i -= nBlockSize;
            }
            return block->At(i);
        }
        Error("ArrayList Index Out Of Bounds");
        if (i < 0 || nCount == 0)
            return nullptr;
        return pFirstBlock->At(0);
    }

    int Count() const { return nCount; }

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
    }

private:
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
            ++nBlockCount;
        }
        ++nCount;
        nLastBlockUsed = nCount - (nBlockCount - 1) * nBlockSize;
        return pLastBlock;
    }

    void CopyItemsFrom(const ArrayList& other)
    {
        for (const TArrayListBlock<T>* block = other.pFirstBlock; block; block = block->pNext)
            for (int i = 0; i < block->nUsed; ++i)
                Add(block->pItems[i]);
    }
};
