#include "engine/core/attributes.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "engine/core/exception.h"

namespace {

// One stored type against every getter: the getter of the stored type returns
// the value; every other getter fails with bad_any_cast.
struct StoredValue {
    const char* name;
    std::function<void(boost::any&)> store;
};

struct Getter {
    const char* name;
    std::function<void(orvel::Attributes&, PropertyKey)> read;
};

int fontStandIn;

const StoredValue STORED[] = {
    {"int", [](boost::any& v) { v = 7; }},
    {"float", [](boost::any& v) { v = 2.5f; }},
    {"bool", [](boost::any& v) { v = true; }},
    {"string", [](boost::any& v) { v = std::string("text"); }},
    {"properties", [](boost::any& v) { v = std::make_shared<orvel::Properties>(); }},
    {"font", [](boost::any& v) { v = reinterpret_cast<FONT*>(&fontStandIn); }},
};

const Getter GETTERS[] = {
    {"int", [](orvel::Attributes& a, PropertyKey k) { EXPECT_EQ(a.GetInt(k), 7); }},
    {"float", [](orvel::Attributes& a, PropertyKey k) { EXPECT_EQ(a.GetFloat(k), 2.5f); }},
    {"bool", [](orvel::Attributes& a, PropertyKey k) { EXPECT_TRUE(a.GetBool(k)); }},
    {"string", [](orvel::Attributes& a, PropertyKey k) { EXPECT_EQ(a.GetString(k), "text"); }},
    {"properties",
     [](orvel::Attributes& a, PropertyKey k) { EXPECT_TRUE(a.GetProperties(k) != nullptr); }},
    {"font", [](orvel::Attributes& a,
                PropertyKey k) { EXPECT_EQ(a.GetFont(k), reinterpret_cast<FONT*>(&fontStandIn)); }},
};

}  // namespace

TEST(AttributesTest, EveryStoredTypeAgainstEveryGetter) {
    const PropertyKey key("attributesTestValue");
    for (const StoredValue& stored : STORED) {
        for (const Getter& getter : GETTERS) {
            SCOPED_TRACE(std::string(stored.name) + " read as " + getter.name);
            orvel::Attributes attributes;
            stored.store(attributes[key]);
            if (std::string(stored.name) == getter.name) {
                getter.read(attributes, key);
            } else {
                EXPECT_THROW(getter.read(attributes, key), boost::bad_any_cast);
            }
        }
    }
}

TEST(AttributesTest, EveryGetterOfAMissingKeyThrowsAttributeNotFound) {
    const PropertyKey key("attributesTestNeverStored");
    const std::function<void(orvel::Attributes&)> getters[] = {
        [&](orvel::Attributes& a) { a.GetInt(key); },
        [&](orvel::Attributes& a) { a.GetFloat(key); },
        [&](orvel::Attributes& a) { a.GetBool(key); },
        [&](orvel::Attributes& a) { a.GetString(key); },
        [&](orvel::Attributes& a) { a.GetProperties(key); },
        [&](orvel::Attributes& a) { a.GetSoundManager(key); },
        [&](orvel::Attributes& a) { a.GetOggPlayer(key); },
        [&](orvel::Attributes& a) { a.GetUnitStats(key); },
        [&](orvel::Attributes& a) { a.GetFont(key); },
        [&](orvel::Attributes& a) { a.GetTutorialDialog(key); },
    };
    for (const auto& get : getters) {
        orvel::Attributes attributes;
        try {
            get(attributes);
            ADD_FAILURE() << "no exception";
        } catch (const orvel::ExceptionAttributeNotFound& exception) {
            EXPECT_EQ(exception.What(), "Attribute Not Found: attributesTestNeverStored");
        }
    }
}

TEST(AttributesTest, IndexingAMissingKeyInsertsAnEmptyValue) {
    orvel::Attributes attributes;
    const PropertyKey key("attributesTestEmpty");
    EXPECT_THROW(attributes.GetInt(key), orvel::ExceptionAttributeNotFound);
    attributes[key];
    EXPECT_TRUE(attributes.Contains(key));
    EXPECT_THROW(attributes.GetInt(key), boost::bad_any_cast);
}

TEST(AttributesTest, ContainsOfAnAbsentKeyThenGetterThrowsNotFound) {
    orvel::Attributes attributes;
    const PropertyKey key("attributesTestAbsent");
    attributes.SetInt("attributesTestOther", 1);
    EXPECT_FALSE(attributes.Contains(key));
    EXPECT_EQ(attributes.FindCached(key), attributes.End());
    EXPECT_THROW(attributes.GetBool(key), orvel::ExceptionAttributeNotFound);
}

TEST(AttributesTest, SettersReplaceTheValueAndItsType) {
    orvel::Attributes attributes;
    const PropertyKey key("difficulty");
    attributes.SetInt(key, 2);
    EXPECT_EQ(attributes.GetInt(key), 2);
    EXPECT_THROW(attributes.GetFloat(key), boost::bad_any_cast);
    attributes.SetBool(key, false);
    EXPECT_FALSE(attributes.GetBool(key));
    attributes.SetString(key, "hard");
    EXPECT_EQ(attributes.GetString(key), "hard");
    EXPECT_EQ(attributes.Size(), 1u);
}

// The cache must never point at an erased node: erasing the key that was
// looked up last and storing it again gives the new value, not freed memory.
TEST(AttributesTest, EraseResetsTheCache) {
    orvel::Attributes attributes;
    const PropertyKey key("Resume");
    attributes.SetBool(key, true);
    ASSERT_TRUE(attributes.Contains(key));
    EXPECT_TRUE(attributes.GetBool(key));
    attributes.Erase(key);
    EXPECT_FALSE(attributes.Contains(key));
    EXPECT_THROW(attributes.GetBool(key), orvel::ExceptionAttributeNotFound);
    attributes.SetInt(key, 3);
    EXPECT_EQ(attributes.GetInt(key), 3);
    attributes.Erase("attributesTestNeverStored");
    EXPECT_EQ(attributes.GetInt(key), 3);
}

TEST(AttributesTest, CopiesDoNotShareTheCache) {
    orvel::Attributes original;
    const PropertyKey key("attributesTestCopied");
    original.SetInt(key, 5);
    EXPECT_EQ(original.GetInt(key), 5);  // the cache now points into original
    orvel::Attributes copy(original);
    orvel::Attributes assigned;
    assigned = original;
    original.Erase(key);
    EXPECT_EQ(copy.GetInt(key), 5);
    EXPECT_EQ(assigned.GetInt(key), 5);
    copy.SetInt(key, 6);
    EXPECT_EQ(copy.GetInt(key), 6);
    EXPECT_EQ(assigned.GetInt(key), 5);
}

TEST(AttributesTest, GlobalPropertiesIsOneRegistry) {
    orvel::GlobalProperties().SetInt("attributesTestGlobal", 11);
    EXPECT_EQ(&orvel::GlobalProperties(), &orvel::GlobalProperties());
    EXPECT_EQ(orvel::GlobalProperties().GetInt("attributesTestGlobal"), 11);
}
