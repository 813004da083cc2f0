// CListVur: the locked, doubly linked table of found devices, in list order.
// Records go in and out only as whole copies, by position; every operation
// takes the table's lock for itself alone and calls nothing that could come
// back into the program while it holds it.
#pragma once

#include <cstdint>
#include <new>

#include "critical_section.h"

template <class T>
class CListVur {
public:
    CListVur() { InitializeCriticalSection(&lock); }
    virtual ~CListVur()
    {
        RemoveAll();
        DeleteCriticalSection(&lock);
    }
    CListVur(const CListVur&) = delete;
    CListVur& operator=(const CListVur&) = delete;

    // Appends a copy as the new last record. False, with the table as it
    // was, when no storage can be had for it: a caller that shows the
    // record beside the table must then not show it either.
    bool AddTail(T record);
    // Copies the record at `position` into `out`; a position past the end
    // reads the last record. False, with `out` untouched, only when the
    // table is empty.
    bool GetAt(std::uint32_t position, T* out);
    // Overwrites the record at `position`; false past the end.
    bool SetAt(std::uint32_t position, T record);
    void RemoveAll();

private:
    struct Node {
        Node* next;
        Node* prev;
        T data;
    };

    // The node at `position` (< count). Walks from the node last reached
    // when that is nearer than the head, so that reading the rows in order
    // costs one step each; the result is the same node either way.
    Node* NodeAt(std::uint32_t position);

    CRITICAL_SECTION lock;
    Node* head = nullptr;
    Node* tail = nullptr;
    std::uint32_t count = 0;
    Node* cursor = nullptr;
    std::uint32_t cursorPosition = 0;
};

template <class T>
bool CListVur<T>::AddTail(T record)
{
    // The storage is had first, so a failure leaves the table untouched.
    Node* node = new (std::nothrow) Node{nullptr, nullptr, record};
    if (!node)
        return false;
    EnterCriticalSection(&lock);
    if (!tail) {
        head = node;
    } else {
        tail->next = node;
        node->prev = tail;
    }
    tail = node;
    ++count;
    LeaveCriticalSection(&lock);
    return true;
}

template <class T>
bool CListVur<T>::GetAt(std::uint32_t position, T* out)
{
    EnterCriticalSection(&lock);
    const bool found = count != 0;
    if (found)
        *out = NodeAt(position < count ? position : count - 1)->data;
    LeaveCriticalSection(&lock);
    return found;
}

template <class T>
bool CListVur<T>::SetAt(std::uint32_t position, T record)
{
    EnterCriticalSection(&lock);
    const bool inRange = position < count;
    if (inRange)
        NodeAt(position)->data = record;
    LeaveCriticalSection(&lock);
    return inRange;
}

template <class T>
void CListVur<T>::RemoveAll()
{
    EnterCriticalSection(&lock);
    for (Node* node = tail; node;) {
        Node* previous = node->prev;
        delete node;
        node = previous;
    }
    head = tail = cursor = nullptr;
    count = cursorPosition = 0;
    LeaveCriticalSection(&lock);
}

template <class T>
typename CListVur<T>::Node* CListVur<T>::NodeAt(std::uint32_t position)
{
    Node* node = head;
    std::uint32_t at = 0;
    if (cursor && cursorPosition <= position) {
        node = cursor;
        at = cursorPosition;
    }
    for (; at < position; ++at)
        node = node->next;
    cursor = node;
    cursorPosition = position;
    return node;
}
