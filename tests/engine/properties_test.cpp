#include "engine/core/properties.h"

#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "engine/core/exception.h"

using namespace orvel;

namespace {

const PropertyKey keyA("propertiesTestA");
const PropertyKey keyB("propertiesTestB");
const PropertyKey missing("propertiesTestMissing");

template <typename F>
std::string ThrownText(F f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.What();
    }
    return "nothing thrown";
}

TEST(PropertiesTest, TypedSetAndGet) {
    Properties set;
    auto child = std::make_shared<Properties>();
    auto list = std::make_shared<AnyVector>();
    const struct {
        std::function<void()> store;
        PropertyType type;
        std::function<void()> check;
    } cases[] = {
        {[&] { set.SetStruct(keyA, child); }, PROPERTY_STRUCT,
         [&] { EXPECT_EQ(set.GetStruct(keyA), child); }},
        {[&] { set.SetList(keyA, list); }, PROPERTY_LIST,
         [&] { EXPECT_EQ(set.GetList(keyA), list); }},
        {[&] { set.SetString(keyA, "text"); }, PROPERTY_STRING,
         [&] { EXPECT_EQ(set.GetString(keyA), "text"); }},
        {[&] { set.SetInt(keyA, -3); }, PROPERTY_INT, [&] { EXPECT_EQ(set.GetInt(keyA), -3); }},
        {[&] { set.SetFloat(keyA, 2.5f); }, PROPERTY_FLOAT,
         [&] { EXPECT_EQ(set.GetFloat(keyA), 2.5f); }},
        {[&] { set.SetColour(keyA, 0x11223344); }, PROPERTY_COLOUR,
         [&] { EXPECT_EQ(set.GetColour(keyA), 0x11223344); }},
        {[&] { set.SetBool(keyA, true); }, PROPERTY_BOOL,
         [&] {
             EXPECT_TRUE(set.GetBool(keyA));
             EXPECT_EQ(boost::any_cast<int32_t>(set.Get(keyA, PROPERTY_BOOL)), 1);
         }},
        {[&] { set.SetPoint(keyA, PointI(4, -5)); }, PROPERTY_POINT,
         [&] { EXPECT_EQ(set.GetPoint(keyA), PointI(4, -5)); }},
        {[&] { set.SetPointF(keyA, PointF(0.5f, 1.5f)); }, PROPERTY_POINTF,
         [&] {
             EXPECT_EQ(set.GetPointF(keyA), PointF(0.5f, 1.5f));
             EXPECT_EQ(boost::any_cast<PointF>(set.Get(keyA, PROPERTY_POINTF)), PointF(0.5f, 1.5f));
         }},
    };
    // Each setter replaces the value and type that the one before stored.
    for (const auto& c : cases) {
        c.store();
        EXPECT_EQ(set.GetType(keyA), c.type);
        EXPECT_EQ(set.Size(), 1u);
        c.check();
        for (uint32_t other = PROPERTY_STRUCT; other <= PROPERTY_POINTF; ++other) {
            if (other != c.type) {
                EXPECT_EQ(ThrownText([&] { set.Get(keyA, static_cast<PropertyType>(other)); }),
                          "Incorrect type for: propertiesTestA");
            }
        }
    }
}

TEST(PropertiesTest, MissingAndWrongTypeThrowTheirExceptions) {
    Properties set;
    set.SetBool(keyA, false);
    EXPECT_FALSE(set.HasProperty(missing));
    EXPECT_TRUE(set.HasProperty(keyA));
    EXPECT_THROW(set.GetInt(missing), ExceptionPropertyNotFound);
    EXPECT_EQ(ThrownText([&] { set.GetString(missing); }),
              "Property Not Found: propertiesTestMissing");
    // A bool is held as an int but typed bool: no conversion between types.
    try {
        set.GetInt(keyA);
        ADD_FAILURE() << "a bool read as an int";
    } catch (const ExceptionPropertyIncorrectType& e) {
        EXPECT_EQ(e.GetKey(), keyA);
        EXPECT_EQ(e.GetStoredType(), PROPERTY_BOOL);
    }
    set.SetInt(keyB, 1);
    EXPECT_THROW(set.GetFloat(keyB), ExceptionPropertyIncorrectType);
}

TEST(PropertiesTest, RepeatedLookupsSearchOnce) {
    Properties set;
    set.SetInt(keyA, 1);
    set.SetInt(keyB, 2);
    const size_t before = set.GetSearchCount();
    set.GetInt(keyA);
    set.GetInt(keyA);
    set.HasProperty(keyA);
    EXPECT_EQ(set.GetSearchCount(), before + 1);
    set.GetInt(keyB);
    EXPECT_EQ(set.GetSearchCount(), before + 2);
    EXPECT_FALSE(set.HasProperty(missing));
    EXPECT_FALSE(set.HasProperty(missing));
    EXPECT_EQ(set.GetSearchCount(), before + 4);
}

TEST(PropertiesTest, CopiesDoNotShareTheCachedLookup) {
    auto original = std::make_unique<Properties>();
    original->SetInt(keyA, 1);
    original->GetInt(keyA);  // caches keyA's node in the original's map

    Properties copy(*original);
    Properties assigned;
    assigned.SetInt(keyB, 5);
    assigned.GetInt(keyB);
    assigned = *original;
    original.reset();  // a cache carried over would now dangle

    EXPECT_EQ(copy.GetInt(keyA), 1);
    EXPECT_EQ(assigned.GetInt(keyA), 1);
    EXPECT_FALSE(assigned.HasProperty(keyB));
    copy.SetInt(keyA, 2);
    EXPECT_EQ(copy.GetInt(keyA), 2);
    EXPECT_EQ(assigned.GetInt(keyA), 1);

    Properties& self = assigned;
    assigned = self;
    EXPECT_EQ(assigned.GetInt(keyA), 1);
}

TEST(PropertiesTest, AnyVectorReadsAndGrows) {
    AnyVector list;
    list.SetInt(3, 7);
    ASSERT_EQ(list.Size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(list.At(i).type, PROPERTY_UNSET);
    }
    EXPECT_EQ(list.At(3).type, PROPERTY_INT);
    EXPECT_EQ(list.GetInt(3), 7);
    list.SetInt(1, 9);
    EXPECT_EQ(list.Size(), 4u);
    EXPECT_EQ(list.GetInt(1), 9);

    auto child = std::make_shared<Properties>();
    auto inner = std::make_shared<AnyVector>();
    list.Append(Property(child, PROPERTY_STRUCT));
    list.Append(Property(inner, PROPERTY_LIST));
    list.Append(Property(std::string("s"), PROPERTY_STRING));
    list.Append(Property(1.5f, PROPERTY_FLOAT));
    EXPECT_EQ(list.GetStruct(4), child);
    EXPECT_EQ(list.GetList(5), inner);
    EXPECT_EQ(list.GetString(6), "s");
    EXPECT_EQ(list.GetFloat(7), 1.5f);

    // Colours and bools are held as ints and read as such.
    list.Append(Property(int32_t(0x01020304), PROPERTY_COLOUR));
    list.Append(Property(int32_t(1), PROPERTY_BOOL));
    EXPECT_EQ(list.GetInt(8), 0x01020304);
    EXPECT_EQ(list.GetInt(9), 1);
}

// Loaders walk lists of mixed entries and take the structs among them.
TEST(PropertiesTest, AnyVectorGetStructIsEmptyForOtherElements) {
    AnyVector list;
    list.SetInt(1, 7);
    auto child = std::make_shared<Properties>();
    list.Append(Property(child, PROPERTY_STRUCT));
    list.Append(Property(std::make_shared<AnyVector>(), PROPERTY_LIST));
    EXPECT_EQ(list.GetStruct(0), nullptr);
    EXPECT_EQ(list.GetStruct(1), nullptr);
    EXPECT_EQ(list.GetStruct(2), child);
    EXPECT_EQ(list.GetStruct(3), nullptr);
    EXPECT_THROW(list.GetStruct(4), ExceptionGeneral);
}

TEST(PropertiesTest, EraseRemovesAKeyAndForgetsTheCachedLookup) {
    Properties set;
    const PropertyKey gone("eraseTestGone");
    const PropertyKey kept("eraseTestKept");
    set.SetInt(gone, 1);
    set.SetInt(kept, 2);
    EXPECT_TRUE(set.HasProperty(gone));
    set.Erase(gone);
    EXPECT_FALSE(set.HasProperty(gone));
    EXPECT_THROW(set.GetInt(gone), ExceptionPropertyNotFound);
    set.Erase(gone);
    EXPECT_EQ(set.Size(), 1u);
    EXPECT_EQ(set.GetInt(kept), 2);
}

TEST(PropertiesTest, AnyVectorBadReadsThrowEngineExceptions) {
    AnyVector list;
    list.SetInt(1, 7);
    list.Append(Property(std::string("s"), PROPERTY_STRING));
    // Past the end, an unset element, held values of other types, and a held
    // value that disagrees with its tag.
    list.Append(Property(1.5f, PROPERTY_INT));
    const std::function<void()> bad[] = {
        [&] { list.At(4); },        [&] { list.GetInt(4); },   [&] { list.GetInt(0); },
        [&] { list.GetString(1); }, [&] { list.GetFloat(1); }, [&] { list.GetStruct(4); },
        [&] { list.GetList(2); },   [&] { list.GetInt(3); },
    };
    for (const auto& read : bad) {
        EXPECT_THROW(read(), ExceptionGeneral);
    }
    EXPECT_EQ(ThrownText([&] { list.GetInt(9); }),
              "Error: List index 9 is past the end of a list of 4 elements.");
}

}  // namespace
