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
        Node** link = FindLink(key, parent);
        if (existed != nullptr) {
            *existed = *link != nullptr;
        }
        if (*link != nullptr) {
            return *link;
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
        Node** link = FindLink(key, parent);
        if (*link != nullptr) {
            return false;
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

    // The link where key hangs, or would hang, and the node it hangs from.
    // The link is empty when the key is not in the tree.
    Node** FindLink(const Key& key, Node*& parent) {
        parent = nullptr;
        Node** link = &m_root;
        while (*link != nullptr) {
            Node* node = *link;
            if (key < node->key) {
                link = &node->left;
            } else if (node->key < key) {
                link = &node->right;
            } else {
                break;
            }
            parent = node;
        }
        return link;
    }

    // The balancing steps come in mirrored pairs; each is written once for a
    // side and run with `right` naming the side it works on.
    static Node*& Child(Node* node, bool right) { return right ? node->right : node->left; }

    // Turns x down to the side `right` names; its child on the other side
    // takes its place.
    void Rotate(Node* x, bool right) {
        Node* y = Child(x, !right);
        Child(x, !right) = Child(y, right);
        if (Child(y, right) != nullptr) {
            Child(y, right)->parent = x;
        }
        Replace(x, y);
        Child(y, right) = x;
        x->parent = y;
    }

    // The link that holds node: the root, or a child link of its parent.
    Node*& LinkOf(Node* node) {
        if (node->parent == nullptr) {
            return m_root;
        }
        return Child(node->parent, node != node->parent->left);
    }

    // Puts y where x hangs in the tree.
    void Replace(Node* x, Node* y) {
        LinkOf(x) = y;
        y->parent = x->parent;
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
            // The parent hangs on the side `right` names, the uncle on the other.
            const bool right = parent == grand->right;
            Node* uncle = Child(grand, !right);
            if (IsRed(uncle)) {
                parent->red = false;
                uncle->red = false;
                grand->red = true;
                z = grand;
            } else {
                if (z == Child(parent, !right)) {
                    z = parent;
                    Rotate(z, right);
                    parent = z->parent;
                }
                parent->red = false;
                grand->red = true;
                Rotate(grand, !right);
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
            LinkOf(z) = x;
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
            // x (perhaps empty) hangs on the side `right` names, its sibling w
            // on the other.
            const bool right = x != parent->left;
            Node* w = Child(parent, !right);
            if (IsRed(w)) {
                w->red = false;
                parent->red = true;
                Rotate(parent, right);
                w = Child(parent, !right);
            }
            if (!IsRed(w->left) && !IsRed(w->right)) {
                w->red = true;
                x = parent;
                parent = x->parent;
            } else {
                if (!IsRed(Child(w, !right))) {
                    Child(w, right)->red = false;
                    w->red = true;
                    Rotate(w, !right);
                    w = Child(parent, !right);
                }
                w->red = parent->red;
                parent->red = false;
                Child(w, !right)->red = false;
                Rotate(parent, right);
                x = m_root;
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
