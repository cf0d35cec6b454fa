#include "core/tree.h"

#include "core/pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>

namespace {

using Tree = phTree<uint32_t, int>;

// Checks links, key order, colours and black heights; returns the black
// height of the subtree.
int CheckSubtree(const Tree::Node* node, const Tree::Node* parent, size_t* count) {
    if (node == nullptr) {
        return 1;
    }
    ++*count;
    EXPECT_EQ(node->parent, parent);
    if (node->red) {
        EXPECT_FALSE(node->left != nullptr && node->left->red) << "red node with red child";
        EXPECT_FALSE(node->right != nullptr && node->right->red) << "red node with red child";
    }
    if (node->left != nullptr) {
        EXPECT_LT(node->left->key, node->key);
    }
    if (node->right != nullptr) {
        EXPECT_LT(node->key, node->right->key);
    }
    const int left = CheckSubtree(node->left, node, count);
    const int right = CheckSubtree(node->right, node, count);
    EXPECT_EQ(left, right) << "black heights differ";
    return left + (node->red ? 0 : 1);
}

void CheckTree(const Tree& tree, const std::map<uint32_t, int>& reference) {
    if (tree.GetRoot() != nullptr) {
        EXPECT_FALSE(tree.GetRoot()->red);
    }
    size_t count = 0;
    CheckSubtree(tree.GetRoot(), nullptr, &count);
    ASSERT_EQ(count, tree.GetCount());
    ASSERT_EQ(tree.GetCount(), reference.size());
    auto expected = reference.begin();
    for (Tree::Node* node = tree.First(); node != nullptr; node = Tree::Next(node), ++expected) {
        ASSERT_EQ(node->key, expected->first);
        ASSERT_EQ(node->info, expected->second);
    }
}

class TreeTest : public ::testing::TestWithParam<bool> {};

TEST_P(TreeTest, MatchesStdMapOverRandomInsertsAndErases) {
    phPool pool(sizeof(Tree::Node), phPool::ElementsPerPage(sizeof(Tree::Node), 4));
    Tree tree(GetParam() ? &pool : nullptr);
    std::map<uint32_t, int> reference;
    std::mt19937 random(1234);
    std::uniform_int_distribution<uint32_t> keys(0, 3000);
    for (int i = 0; i < 6000; ++i) {
        const uint32_t key = keys(random);
        if (random() % 3 != 0) {
            bool existed = false;
            Tree::Node* node = tree.Insert(key, i, &existed);
            const bool inserted = reference.emplace(key, i).second;
            ASSERT_EQ(existed, !inserted);
            ASSERT_EQ(node->key, key);
            ASSERT_EQ(node->info, reference[key]);
        } else {
            Tree::Node* node = tree.Find(key);
            ASSERT_EQ(node != nullptr, reference.count(key) == 1);
            if (node != nullptr) {
                tree.Erase(node);
                reference.erase(key);
            }
        }
        if (i % 500 == 0) {
            CheckTree(tree, reference);
        }
    }
    CheckTree(tree, reference);
    tree.Clear();
    EXPECT_EQ(tree.GetCount(), 0u);
    EXPECT_EQ(tree.First(), nullptr);
    EXPECT_EQ(pool.GetLiveCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(NodesFromPoolOrClassAllocator, TreeTest, ::testing::Bool());

TEST(TreeRekeyTest, DetachAndAttachKeepTheNodeAndRefuseATakenKey) {
    Tree tree;
    Tree::Node* a = tree.Insert(10, 1);
    tree.Insert(20, 2);
    tree.Detach(a);
    EXPECT_EQ(tree.GetCount(), 1u);
    EXPECT_FALSE(tree.Attach(a, 20));
    EXPECT_TRUE(tree.Attach(a, 30));
    EXPECT_EQ(tree.Find(30), a);
    EXPECT_EQ(a->info, 1);
    EXPECT_EQ(tree.Find(10), nullptr);
    EXPECT_EQ(Tree::Node::FromInfo(&a->info), a);
}

TEST(TreeTest64, TakesSixtyFourBitKeys) {
    phTree<int64_t, int> tree;
    const int64_t high = (int64_t(7) << 32) + 3;
    tree.Insert(high, 1);
    tree.Insert(3, 2);
    EXPECT_EQ(tree.Find(high)->info, 1);
    EXPECT_EQ(tree.First()->key, 3);
}

}  // namespace
