#include "engine/core/property_key.h"

#include <map>
#include <string>

#include <gtest/gtest.h>

namespace {

// Built by a static initialiser, before main and before any test runs: the
// name table must come into being on this first use.
const PropertyKey staticKey("propertyKeyStaticName");

}  // namespace

TEST(PropertyKeyTest, EmptyNameIsIdZeroAndNamesRoundTrip) {
    EXPECT_EQ(PropertyKey("").GetId(), 0u);
    EXPECT_EQ(PropertyKey().GetId(), 0u);
    const PropertyKey a("propertyKeyTestName");
    EXPECT_EQ(a, PropertyKey::Intern("propertyKeyTestName"));
    EXPECT_NE(a, PropertyKey("PropertyKeyTestName"));
    EXPECT_EQ(a.GetName(), "propertyKeyTestName");
    EXPECT_EQ(PropertyKey().GetName(), "");
}

TEST(PropertyKeyTest, StaticKeysWorkBeforeMain) {
    EXPECT_NE(staticKey.GetId(), 0u);
    EXPECT_EQ(staticKey.GetName(), "propertyKeyStaticName");
    EXPECT_EQ(staticKey, PropertyKey("propertyKeyStaticName"));
}

TEST(PropertyKeyTest, NewNamesTakeTheNextIdAndEqualTextsShareIt) {
    const PropertyKey first("propertyKeyFreshOne");
    const PropertyKey second(std::string("propertyKeyFreshTwo"));
    const PropertyKey third = PropertyKey::Intern("propertyKeyFreshThree");
    EXPECT_EQ(second.GetId(), first.GetId() + 1);
    EXPECT_EQ(third.GetId(), first.GetId() + 2);
    EXPECT_EQ(PropertyKey("propertyKeyFreshOne").GetId(), first.GetId());
    EXPECT_EQ(PropertyKey::Intern("propertyKeyFreshTwo"), second);
    EXPECT_EQ(PropertyKey("PROPERTYKEYFRESHONE").GetId(), first.GetId() + 3);
}

TEST(PropertyKeyTest, KeysOrderByIdNotByText) {
    const PropertyKey zebra("propertyKeyOrderZebra");
    const PropertyKey apple("propertyKeyOrderApple");
    EXPECT_TRUE(zebra < apple);
    EXPECT_FALSE(apple < zebra);
    EXPECT_FALSE(zebra < zebra);
    std::map<PropertyKey, int> map = {{apple, 2}, {zebra, 1}};
    EXPECT_EQ(map.begin()->first.GetName(), "propertyKeyOrderZebra");
}

TEST(PropertyKeyTest, NamesAreKeptByteForByte) {
    const std::string texts[] = {" spaced name ", std::string("nul\0inside", 10),
                                 "\xC3\xA9t\xC3\xA9"};
    for (const std::string& text : texts) {
        const PropertyKey key(text);
        EXPECT_EQ(key.GetName(), text);
        EXPECT_NE(key, PropertyKey(text + "x"));
    }
}
