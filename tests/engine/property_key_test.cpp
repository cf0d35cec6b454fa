#include "engine/core/property_key.h"

#include <gtest/gtest.h>

TEST(PropertyKeyTest, EmptyNameIsIdZeroAndNamesRoundTrip) {
    EXPECT_EQ(PropertyKey("").GetId(), 0u);
    EXPECT_EQ(PropertyKey().GetId(), 0u);
    const PropertyKey a("propertyKeyTestName");
    EXPECT_EQ(a, PropertyKey::Intern("propertyKeyTestName"));
    EXPECT_NE(a, PropertyKey("PropertyKeyTestName"));
    EXPECT_EQ(a.GetName(), "propertyKeyTestName");
    EXPECT_EQ(PropertyKey().GetName(), "");
}
