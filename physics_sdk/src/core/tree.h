// Red-black tree with unique keys: the SDK's ordered map. Nodes are
// allocated from a pool when one is given (so that many small trees share
// pages) and from the class allocator otherwise. A node can be detached and
// inserted again under another key without moving, so pointers to its payload
// stay valid across a re-key.
#ifndef PHYSICS_SDK_CORE_TREE_H
#define PHYSICS_SDK_CORE_TREE_H

#include "core/memory.h"
#include "core/pool.h"

#include <cstddef>
#include <new>
#include <type_traits>

template <class Key, class T>
class phTree {
public:
    struct Node {
        Node* left;
        Node* right;
        Node* parent;
        bool red;
        Key key;
        T info;

        // The node that holds a payload (payloads live inside their nodes).
        static Node* FromInfo(T* info) {
            return reinterpret_cast<Node*>(reinterpret_cast<char*>(info) - offsetof(Node, info));
        }
    };

    explicit phTree(phPool* pool = nullptr) : m_pool(pool) {}
    ~phTree() { Clear(); }

    phTree(const phTree&) = delete;
    phTree& operator=(const phTree&) = delete;

    size_t GetCount() const { return m_count; }
    Node* GetRoot() const { return m_root; }

    // Inserts key with a copy of info. When the key exists already, its node is
    // returned unchanged and *existed is set.
    Node* Insert(const Key& key, const T& info, bool* existed = nullptr) {
        Node* parent = nullptr;
        Node** link = &m_root;
        while (*link != nullptr) {
            parent = *link;
            if (key < parent->key) {
                link = &parent->left;
            } else if (parent->key < key) {
                link = &parent->right;
            } else {
                if (existed != nullptr) {
                    *existed = true;
                }
                return parent;
            }
        }
        if (existed != nullptr) {
            *existed = false;
        }
        Node* node = AllocateNode();
        node->key = key;
        new (&node->info) T(info);
        Link(node, parent, link);
        return node;
    }

    Node* Find(const Key& key) const {
        Node* node = m_root;
        while (node != nullptr) {
            if (key < node->key) {
                node = node->left;
            } else if (node->key < key) {
                node = node->right;
            } else {
                return node;
            }
        }
        return nullptr;
    }

    // Removes the node and frees it.
    void Erase(Node* node) {
        Detach(node);
        FreeNode(node);
    }

    // Unlinks the node from the tree without freeing it.
    void Detach(Node* node) {
        Unlink(node);
        node->left = node->right = node->parent = nullptr;
    }

    // Links a detached node back under key. Returns false, leaving the node
    // detached, when the key is taken.
    bool Attach(Node* node, const Key& key) {
        Node* parent = nullptr;
        Node** link = &m_root;
        while (*link != nullptr) {
            parent = *link;
            if (key < parent->key) {
                link = &parent->left;
            } else if (parent->key < key) {
                link = &parent->right;
            } else {
                return false;
            }
        }
        node->key = key;
        Link(node, parent, link);
        return true;
    }

    // Frees a node that was detached and will not be attached again.
    void FreeDetached(Node* node) { FreeNode(node); }

    Node* First() const { return m_root == nullptr ? nullptr : Leftmost(m_root); }

    static Node* Next(Node* node) {
        if (node->right != nullptr) {
            return Leftmost(node->right);
        }
        Node* parent = node->parent;
        while (parent != nullptr && node == parent->right) {
            node = parent;
            parent = parent->parent;
        }
        return parent;
    }

    void Clear() {
        FreeSubtree(m_root);
        m_root = nullptr;
        m_count = 0;
    }

private:
    static Node* Leftmost(Node* node) {
        while (node->left != nullptr) {
            node = node->left;
        }
        return node;
    }

    static bool IsRed(const Node* node) { return node != nullptr && node->red; }

    Node* AllocateNode() {
        void* memory = (m_pool != nullptr) ? m_pool->Allocate() : phClassAlloc(sizeof(Node));
        if (memory == nullptr) {
            throw std::bad_alloc();
        }
        return static_cast<Node*>(memory);
    }

    void FreeNode(Node* node) {
        node->info.~T();
        if (m_pool != nullptr) {
            m_pool->Free(node);
        } else {
            phClassFree(node);
        }
    }

    void FreeSubtree(Node* node) {
        while (node != nullptr) {
            FreeSubtree(node->right);
            Node* left = node->left;
            FreeNode(node);
            node = left;
        }
    }

    void RotateLeft(Node* x) {
        Node* y = x->right;
        x->right = y->left;
        if (y->left != nullptr) {
            y->left->parent = x;
        }
        Replace(x, y);
        y->left = x;
        x->parent = y;
    }

    void RotateRight(Node* x) {
        Node* y = x->left;
        x->left = y->right;
        if (y->right != nullptr) {
            y->right->parent = x;
        }
        Replace(x, y);
        y->right = x;
        x->parent = y;
    }

    // Puts y where x hangs in the tree.
    void Replace(Node* x, Node* y) {
        y->parent = x->parent;
        if (x->parent == nullptr) {
            m_root = y;
        } else if (x == x->parent->left) {
            x->parent->left = y;
        } else {
            x->parent->right = y;
        }
    }

    void Link(Node* node, Node* parent, Node** link) {
        node->left = node->right = nullptr;
        node->parent = parent;
        node->red = true;
        *link = node;
        ++m_count;
        InsertFixup(node);
    }

    void InsertFixup(Node* z) {
        while (IsRed(z->parent)) {
            Node* parent = z->parent;
            Node* grand = parent->parent;
            if (parent == grand->left) {
                Node* uncle = grand->right;
                if (IsRed(uncle)) {
                    parent->red = false;
                    uncle->red = false;
                    grand->red = true;
                    z = grand;
                } else {
                    if (z == parent->right) {
                        z = parent;
                        RotateLeft(z);
                        parent = z->parent;
                    }
                    parent->red = false;
                    grand->red = true;
                    RotateRight(grand);
                }
            } else {
                Node* uncle = grand->left;
                if (IsRed(uncle)) {
                    parent->red = false;
                    uncle->red = false;
                    grand->red = true;
                    z = grand;
                } else {
                    if (z == parent->left) {
                        z = parent;
                        RotateRight(z);
                        parent = z->parent;
                    }
                    parent->red = false;
                    grand->red = true;
                    RotateLeft(grand);
                }
            }
        }
        m_root->red = false;
    }

    void Unlink(Node* z) {
        Node* x;
        Node* xParent;
        bool removedRed;
        if (z->left == nullptr || z->right == nullptr) {
            x = (z->left != nullptr) ? z->left : z->right;
            xParent = z->parent;
            removedRed = z->red;
            if (x != nullptr) {
                x->parent = z->parent;
            }
            if (z->parent == nullptr) {
                m_root = x;
            } else if (z == z->parent->left) {
                z->parent->left = x;
            } else {
                z->parent->right = x;
            }
        } else {
            // Swap in the successor y, which has no left child.
            Node* y = Leftmost(z->right);
            removedRed = y->red;
            x = y->right;
            if (y->parent == z) {
                xParent = y;
            } else {
                xParent = y->parent;
                xParent->left = x;
                if (x != nullptr) {
                    x->parent = xParent;
                }
                y->right = z->right;
                z->right->parent = y;
            }
            Replace(z, y);
            y->left = z->left;
            z->left->parent = y;
            y->red = z->red;
        }
        --m_count;
        if (!removedRed) {
            EraseFixup(x, xParent);
        }
    }

    void EraseFixup(Node* x, Node* parent) {
        while (x != m_root && !IsRed(x)) {
            if (x == parent->left) {
                Node* w = parent->right;
                if (IsRed(w)) {
                    w->red = false;
                    parent->red = true;
                    RotateLeft(parent);
                    w = parent->right;
                }
                if (!IsRed(w->left) && !IsRed(w->right)) {
                    w->red = true;
                    x = parent;
                    parent = x->parent;
                } else {
                    if (!IsRed(w->right)) {
                        w->left->red = false;
                        w->red = true;
                        RotateRight(w);
                        w = parent->right;
                    }
                    w->red = parent->red;
                    parent->red = false;
                    w->right->red = false;
                    RotateLeft(parent);
                    x = m_root;
                }
            } else {
                Node* w = parent->left;
                if (IsRed(w)) {
                    w->red = false;
                    parent->red = true;
                    RotateRight(parent);
                    w = parent->left;
                }
                if (!IsRed(w->left) && !IsRed(w->right)) {
                    w->red = true;
                    x = parent;
                    parent = x->parent;
                } else {
                    if (!IsRed(w->left)) {
                        w->right->red = false;
                        w->red = true;
                        RotateLeft(w);
                        w = parent->left;
                    }
                    w->red = parent->red;
                    parent->red = false;
                    w->left->red = false;
                    RotateRight(parent);
                    x = m_root;
                }
            }
        }
        if (x != nullptr) {
            x->red = false;
        }
    }

    phPool* m_pool;
    Node* m_root = nullptr;
    size_t m_count = 0;
};

#endif
