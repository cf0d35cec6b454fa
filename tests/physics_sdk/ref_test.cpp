#include "core/ref.h"

#include "core/class_ids.h"
#include "core/list.h"
#include "core/name_dictionary.h"
#include "counting_allocator.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct CountedObject : phRef {
    explicit CountedObject(int* deaths) : deaths_(deaths) {}
    ~CountedObject() override { ++*deaths_; }
    float payload[4] = {};
    int* deaths_;
};

TEST(RefTest, CountsInTheUpperBitsAndDiesAtZero) {
    int deaths = 0;
    CountedObject* object = new CountedObject(&deaths);
    EXPECT_EQ(object->GetRefWord(), 0x101u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(object) & 15, 0u);
    object->AddRef();
    EXPECT_EQ(object->GetRefWord(), 0x201u);
    object->ClearRefFlag();
    EXPECT_EQ(object->GetRefWord(), 0x200u);
    object->SetRefFlag();
    object->Release();
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(object->GetRefCount(), 1u);
    object->Release();
    EXPECT_EQ(deaths, 1);
}

TEST(RefTest, NamesAndClassIds) {
    int deaths = 0;
    CountedObject* object = new CountedObject(&deaths);
    EXPECT_EQ(object->GetNameId(), 0u);
    object->SetName("crate");
    EXPECT_EQ(object->GetNameId(), phTextHash("crate"));
    EXPECT_STREQ(phFindName(object->GetNameId()), "crate");
    object->SetName(nullptr);
    EXPECT_EQ(object->GetNameId(), 0u);
    EXPECT_EQ(object->GetClassId(), kClassIdRef);
    EXPECT_TRUE(object->IsClass(kClassIdRef));
    EXPECT_FALSE(object->IsClass(kClassIdCollision));
    EXPECT_EQ(object->ReservedQuery(), 0u);
    object->Release();
}

TEST(ListTest, AppendPrependAndRemoveKeepTheLinks) {
    ScopedCountingAllocator scope;
    {
        phList<int> list;
        list.Append(2);
        list.Append(3);
        list.Prepend(1);
        ASSERT_EQ(list.GetCount(), 3u);
        int expected = 1;
        for (auto* node = list.GetFirst(); node != nullptr; node = node->next) {
            EXPECT_EQ(node->info, expected++);
        }
        list.Remove(list.GetFirst()->next);
        EXPECT_EQ(list.GetFirst()->next, list.GetLast());
        EXPECT_EQ(list.GetLast()->prev, list.GetFirst());
        list.Remove(list.GetLast());
        list.Remove(list.GetFirst());
        EXPECT_EQ(list.GetCount(), 0u);
        EXPECT_EQ(list.GetFirst(), nullptr);
        EXPECT_EQ(list.GetLast(), nullptr);
        list.Append(4);
    }
    phReleaseMemoryCaches();
    EXPECT_TRUE(CountingAllocator::Blocks().empty());
}

}  // namespace
