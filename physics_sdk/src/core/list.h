// Doubly linked list with a count, head and tail; each node carries a
// payload. Nodes come from a pool when one is given, otherwise from the class
// allocator.
#ifndef PHYSICS_SDK_CORE_LIST_H
#define PHYSICS_SDK_CORE_LIST_H

#include "core/memory.h"
#include "core/pool.h"

#include <cstddef>
#include <new>

template <class T>
class phList {
public:
    struct Node {
        Node* prev;
        Node* next;
        T info;
    };

    explicit phList(phPool* pool = nullptr) : m_pool(pool) {}
    ~phList() { Clear(); }

    phList(const phList&) = delete;
    phList& operator=(const phList&) = delete;

    size_t GetCount() const { return m_count; }
    Node* GetFirst() const { return m_first; }
    Node* GetLast() const { return m_last; }

    Node* Append(const T& info) {
        Node* node = NewNode(info);
        node->prev = m_last;
        node->next = nullptr;
        if (m_last != nullptr) {
            m_last->next = node;
        } else {
            m_first = node;
        }
        m_last = node;
        ++m_count;
        return node;
    }

    Node* Prepend(const T& info) {
        Node* node = NewNode(info);
        node->prev = nullptr;
        node->next = m_first;
        if (m_first != nullptr) {
            m_first->prev = node;
        } else {
            m_last = node;
        }
        m_first = node;
        ++m_count;
        return node;
    }

    void Remove(Node* node) {
        if (node->prev != nullptr) {
            node->prev->next = node->next;
        } else {
            m_first = node->next;
        }
        if (node->next != nullptr) {
            node->next->prev = node->prev;
        } else {
            m_last = node->prev;
        }
        --m_count;
        FreeNode(node);
    }

    void Clear() {
        while (m_first != nullptr) {
            Remove(m_first);
        }
    }

private:
    Node* NewNode(const T& info) {
        void* memory = (m_pool != nullptr) ? m_pool->Allocate() : phClassAlloc(sizeof(Node));
        if (memory == nullptr) {
            throw std::bad_alloc();
        }
        Node* node = static_cast<Node*>(memory);
        new (&node->info) T(info);
        return node;
    }

    void FreeNode(Node* node) {
        node->info.~T();
        if (m_pool != nullptr) {
            m_pool->Free(node);
        } else {
            phClassFree(node);
        }
    }

    phPool* m_pool;
    Node* m_first = nullptr;
    Node* m_last = nullptr;
    size_t m_count = 0;
};

#endif
