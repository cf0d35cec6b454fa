#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "engine/core/property_file.h"
#include "engine/fuzzy/fuzzy_context.h"
#include "engine/fuzzy/fuzzy_set_linear.h"
#include "engine/fuzzy/fuzzy_set_multi_linear.h"

using orvel::AnyVector;
using orvel::AnyVectorPtr;
using orvel::FuzzyContext;
using orvel::PointF;
using orvel::Properties;
using orvel::PropertiesPtr;

namespace {

PropertiesPtr LinearSet(float trueValue, float falseValue) {
    PropertiesPtr set = std::make_shared<Properties>();
    set->SetString("type", "FUZZY_SET_Linear");
    set->SetFloat("trueValue", trueValue);
    set->SetFloat("falseValue", falseValue);
    return set;
}

AnyVectorPtr PointList(const std::vector<PointF>& points) {
    AnyVectorPtr list = std::make_shared<AnyVector>();
    for (const PointF& point : points) {
        list->Append(orvel::Property(point, orvel::PROPERTY_POINTF));
    }
    return list;
}

PropertiesPtr MultiLinearSet(const std::vector<PointF>& points) {
    PropertiesPtr set = std::make_shared<Properties>();
    set->SetString("type", "FUZZY_SET_MultiLinear");
    set->SetList("points", PointList(points));
    return set;
}

PropertiesPtr ContextOf(const PropertiesPtr& sets) {
    PropertiesPtr context = std::make_shared<Properties>();
    context->SetString("type", "FUZZY_CONTEXT");
    context->SetStruct("sets", sets);
    return context;
}

// A context as the opponent's tuning file would hold one: a rising, a falling
// and a multi-linear set.
PropertiesPtr SampleContext() {
    PropertiesPtr sets = std::make_shared<Properties>();
    sets->SetStruct("distantX", LinearSet(40.0f, 10.0f));
    sets->SetStruct("absSlow", LinearSet(0.0f, 5.0f));
    sets->SetStruct("approachVelocity",
                    MultiLinearSet({PointF(-20, -1), PointF(-2, 0), PointF(2, 0), PointF(20, 1)}));
    return ContextOf(sets);
}

const char* const SAMPLE_NAMES[] = {"distantX", "absSlow", "approachVelocity"};

std::string WhatOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const orvel::Exception& e) {
        return e.What();
    }
    return "(nothing thrown)";
}

// Loads a context whose one entry "broken" is the set that `fill` writes.
std::string LoadError(const std::function<void(Properties&)>& fill) {
    PropertiesPtr set = std::make_shared<Properties>();
    fill(*set);
    PropertiesPtr sets = std::make_shared<Properties>();
    sets->SetStruct("broken", set);
    FuzzyContext context;
    return WhatOf([&] { context.Load(*ContextOf(sets)); });
}

}  // namespace

TEST(FuzzyContextTest, LoadsEachSetUnderItsName) {
    FuzzyContext context;
    context.Load(*SampleContext());
    EXPECT_FLOAT_EQ(context.GetFuzzySet("distantX")->Evaluate(25.0f), 0.5f);
    EXPECT_FLOAT_EQ(context.GetFuzzySet("distantX")->Evaluate(50.0f), 1.0f);
    EXPECT_FLOAT_EQ(context.GetFuzzySet("absSlow")->Evaluate(1.0f), 0.8f);
    EXPECT_FLOAT_EQ(context.GetFuzzySet("approachVelocity")->Evaluate(-11.0f), -0.5f);
    EXPECT_FLOAT_EQ(context.GetFuzzySet("approachVelocity")->Evaluate(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(context.GetFuzzySet("approachVelocity")->Evaluate(30.0f), 1.0f);
}

TEST(FuzzyContextTest, SaveWritesTheHeaderAndEverySet) {
    FuzzyContext context;
    context.Load(*SampleContext());
    const PropertiesPtr saved = context.Save();
    EXPECT_EQ(saved->GetString("type"), "FUZZY_CONTEXT");
    const PropertiesPtr sets = saved->GetStruct("sets");
    ASSERT_EQ(sets->Size(), 3u);

    const PropertiesPtr distant = sets->GetStruct("distantX");
    EXPECT_EQ(distant->GetString("type"), "FUZZY_SET_Linear");
    EXPECT_FLOAT_EQ(distant->GetFloat("trueValue"), 40.0f);
    EXPECT_FLOAT_EQ(distant->GetFloat("falseValue"), 10.0f);

    const PropertiesPtr approach = sets->GetStruct("approachVelocity");
    EXPECT_EQ(approach->GetString("type"), "FUZZY_SET_MultiLinear");
    const AnyVectorPtr points = approach->GetList("points");
    ASSERT_EQ(points->Size(), 4u);
    EXPECT_EQ(points->At(0).type, orvel::PROPERTY_POINTF);
    EXPECT_EQ(boost::any_cast<PointF>(points->At(1).value), PointF(-2, 0));
    EXPECT_EQ(boost::any_cast<PointF>(points->At(3).value), PointF(20, 1));
}

TEST(FuzzyContextTest, SavedContextLoadsBackToTheSameValues) {
    FuzzyContext original;
    original.Load(*SampleContext());
    FuzzyContext reloaded;
    reloaded.Load(*original.Save());
    for (const char* name : SAMPLE_NAMES) {
        for (float x = -30.0f; x <= 60.0f; x += 0.25f) {
            EXPECT_NEAR(reloaded.GetFuzzySet(name)->Evaluate(x),
                        original.GetFuzzySet(name)->Evaluate(x), 1e-6f)
                << name << " at x = " << x;
        }
    }
}

TEST(FuzzyContextTest, SavedContextReadsBackThroughThePropertyFileWriterAndReader) {
    FuzzyContext original;
    original.Load(*SampleContext());
    original.SetFuzzySet("thirds", std::make_shared<orvel::FuzzySetLinear>(1.0f / 3.0f, -2.0f));
    std::ostringstream text;
    orvel::PrintProperties(*original.Save(), text, 0);

    FuzzyContext reloaded;
    reloaded.Load(*orvel::ParsePropertyString(text.str(), "fuzzy context"));
    for (const char* name : {"distantX", "absSlow", "approachVelocity", "thirds"}) {
        for (float x = -30.0f; x <= 60.0f; x += 0.25f) {
            // The writer keeps six significant digits.
            EXPECT_NEAR(reloaded.GetFuzzySet(name)->Evaluate(x),
                        original.GetFuzzySet(name)->Evaluate(x), 1e-5f)
                << name << " at x = " << x << "\n"
                << text.str();
        }
    }
}

TEST(FuzzyContextTest, LoadsAContextWrittenByHand) {
    const char* const text =
        "string type: \"FUZZY_CONTEXT\"\n"
        "struct sets\n"
        "{\n"
        "\tstruct absCloseY {\n"
        "\t\tstring type: \"FUZZY_SET_Linear\"\n"
        "\t\tfloat trueValue: 2\n"
        "\t\tfloat falseValue: 6.5\n"
        "\t}\n"
        "\tstruct veryCloseX\n"
        "\t{\n"
        "\t\tstring type: \"FUZZY_SET_MultiLinear\"\n"
        "\t\tlist pointf points\n"
        "\t\t{\n"
        "\t\t\t(-4, 0)\n"
        "\t\t\t(0, 1)\n"
        "\t\t\t4, 0\n"
        "\t\t}\n"
        "\t}\n"
        "}\n";
    FuzzyContext context;
    context.Load(*orvel::ParsePropertyString(text, "hand-written"));
    const orvel::FuzzySet* close = context.GetFuzzySet("absCloseY");
    EXPECT_FLOAT_EQ(close->Evaluate(2.0f), 1.0f);
    EXPECT_FLOAT_EQ(close->Evaluate(4.25f), 0.5f);
    EXPECT_FLOAT_EQ(close->Evaluate(7.0f), 0.0f);
    const orvel::FuzzySet* veryClose = context.GetFuzzySet("veryCloseX");
    EXPECT_FLOAT_EQ(veryClose->Evaluate(-2.0f), 0.5f);
    EXPECT_FLOAT_EQ(veryClose->Evaluate(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(veryClose->Evaluate(3.0f), 0.25f);
    EXPECT_FLOAT_EQ(veryClose->Evaluate(9.0f), 0.0f);
}

TEST(FuzzyContextTest, UnknownSetNameIsRefusedByName) {
    FuzzyContext context;
    context.Load(*SampleContext());
    EXPECT_EQ(WhatOf([&] { context.GetFuzzySet("absCloseX"); }),
              "Error: Fuzzy set not found: absCloseX");
    // A name that sorts between two held ones must not find a neighbour.
    EXPECT_EQ(WhatOf([&] { FuzzyContext().GetFuzzySet("distantX"); }),
              "Error: Fuzzy set not found: distantX");
}

TEST(FuzzyContextTest, MissingAndWronglyTypedKeysGiveThePropertyStoreErrors) {
    const struct {
        std::function<void(Properties&)> fill;
        const char* expected;
    } cases[] = {
        {[](Properties& set) {
             set.SetFloat("trueValue", 1.0f);
             set.SetFloat("falseValue", 0.0f);
         },
         "Property Not Found: type"},
        {[](Properties& set) {
             set.SetString("type", "FUZZY_SET_Linear");
             set.SetFloat("falseValue", 0.0f);
         },
         "Property Not Found: trueValue"},
        {[](Properties& set) {
             set.SetString("type", "FUZZY_SET_Linear");
             set.SetFloat("trueValue", 1.0f);
         },
         "Property Not Found: falseValue"},
        {[](Properties& set) { set.SetString("type", "FUZZY_SET_MultiLinear"); },
         "Property Not Found: points"},
        {[](Properties& set) { set.SetInt("type", 1); }, "Incorrect type for: type"},
        {[](Properties& set) {
             set.SetString("type", "FUZZY_SET_Linear");
             set.SetInt("trueValue", 1);
             set.SetFloat("falseValue", 0.0f);
         },
         "Incorrect type for: trueValue"},
        {[](Properties& set) {
             set.SetString("type", "FUZZY_SET_Linear");
             set.SetFloat("trueValue", 1.0f);
             set.SetString("falseValue", "0");
         },
         "Incorrect type for: falseValue"},
        {[](Properties& set) {
             set.SetString("type", "FUZZY_SET_MultiLinear");
             set.SetPointF("points", PointF(0, 0));
         },
         "Incorrect type for: points"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LoadError(c.fill), c.expected);
    }

    PropertiesPtr notAStruct = std::make_shared<Properties>();
    notAStruct->SetFloat("broken", 1.0f);
    EXPECT_EQ(WhatOf([&] { FuzzyContext().Load(*ContextOf(notAStruct)); }),
              "Incorrect type for: broken");
    EXPECT_EQ(WhatOf([] { FuzzyContext().Load(Properties()); }), "Property Not Found: sets");
    Properties setsAsList;
    setsAsList.SetList("sets", std::make_shared<AnyVector>());
    EXPECT_EQ(WhatOf([&] { FuzzyContext().Load(setsAsList); }), "Incorrect type for: sets");
}

TEST(FuzzyContextTest, SetsThatCannotBeBuiltAreRefusedByName) {
    const struct {
        std::function<void(Properties&)> fill;
        const char* expected;
    } cases[] = {
        {[](Properties& set) {
             set.SetString("type", "FUZZY_SET_Linear");
             set.SetFloat("trueValue", 4.0f);
             set.SetFloat("falseValue", 4.0f);
         },
         "Error: Fuzzy set broken: A linear fuzzy set needs different, finite trueValue and "
         "falseValue."},
        {[](Properties& set) {
             set.SetString("type", "FUZZY_SET_MultiLinear");
             set.SetList("points", PointList({}));
         },
         "Error: Fuzzy set broken: A multi-linear fuzzy set needs at least one point."},
        {[](Properties& set) {
             set.SetString("type", "FUZZY_SET_MultiLinear");
             set.SetList("points", PointList({PointF(1, 0), PointF(0, 1)}));
         },
         "Error: Fuzzy set broken: The points of a multi-linear fuzzy set must be in increasing "
         "x; point 1 is not."},
        {[](Properties& set) {
             AnyVectorPtr points = PointList({PointF(0, 0)});
             points->Append(orvel::Property(orvel::PointI(1, 1), orvel::PROPERTY_POINT));
             set.SetString("type", "FUZZY_SET_MultiLinear");
             set.SetList("points", points);
         },
         "Error: Fuzzy set broken: Point 1 of a multi-linear fuzzy set is not a pointf."},
        {[](Properties& set) { set.SetString("type", "FUZZY_SET_Gaussian"); },
         "Error: Fuzzy set broken has the unknown type \"FUZZY_SET_Gaussian\"."},
        {[](Properties& set) { set.SetString("type", "fuzzy_set_linear"); },
         "Error: Fuzzy set broken has the unknown type \"fuzzy_set_linear\"."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LoadError(c.fill), c.expected);
    }
}

TEST(FuzzyContextTest, AFailedLoadStoresNoneOfItsSets) {
    PropertiesPtr sets = std::make_shared<Properties>();
    sets->SetStruct("distantX", LinearSet(1.0f, 0.0f));
    sets->SetStruct("zzzBroken", LinearSet(2.0f, 2.0f));
    FuzzyContext context;
    EXPECT_THROW(context.Load(*ContextOf(sets)), orvel::ExceptionGeneral);
    EXPECT_THROW(context.GetFuzzySet("distantX"), orvel::ExceptionGeneral);
}

TEST(FuzzyContextTest, LoadAndSetReplaceSetsOfTheSameName) {
    FuzzyContext context;
    context.SetFuzzySet("distantX", std::make_shared<orvel::FuzzySetLinear>(0.0f, 1.0f));
    context.SetFuzzySet("kept", std::make_shared<orvel::FuzzySetLinear>(1.0f, 0.0f));
    context.Load(*SampleContext());
    EXPECT_FLOAT_EQ(context.GetFuzzySet("distantX")->Evaluate(25.0f), 0.5f);
    EXPECT_FLOAT_EQ(context.GetFuzzySet("kept")->Evaluate(0.25f), 0.25f);

    context.SetFuzzySet(
        "kept", std::make_shared<orvel::FuzzySetMultiLinear>(std::vector<PointF>{PointF(0, 7)}));
    EXPECT_FLOAT_EQ(context.GetFuzzySet("kept")->Evaluate(0.25f), 7.0f);
}

// Loading by key replaces everything the context held; a failure keeps it.
TEST(FuzzyContextTest, LoadByKeyReplacesTheWholeContext) {
    Properties holder;
    holder.SetStruct("thrustSets", SampleContext());
    FuzzyContext context;
    context.SetFuzzySet("kept", std::make_shared<orvel::FuzzySetLinear>(1.0f, 0.0f));
    context.Load(PropertyKey("thrustSets"), holder);
    EXPECT_FLOAT_EQ(context.GetFuzzySet("distantX")->Evaluate(25.0f), 0.5f);
    EXPECT_THROW(context.GetFuzzySet("kept"), orvel::ExceptionGeneral);

    PropertiesPtr broken = std::make_shared<Properties>();
    broken->SetStruct("zzzBroken", LinearSet(2.0f, 2.0f));
    holder.SetStruct("brokenSets", ContextOf(broken));
    EXPECT_THROW(context.Load(PropertyKey("brokenSets"), holder), orvel::ExceptionGeneral);
    EXPECT_THROW(context.Load(PropertyKey("missingSets"), holder),
                 orvel::ExceptionPropertyNotFound);
    EXPECT_FLOAT_EQ(context.GetFuzzySet("distantX")->Evaluate(25.0f), 0.5f);
}

TEST(FuzzyContextTest, ACopySharesTheSetObjects) {
    FuzzyContext prototype;
    prototype.Load(*SampleContext());
    FuzzyContext clone;
    clone.SetFuzzySet("onlyInClone", std::make_shared<orvel::FuzzySetLinear>(1.0f, 0.0f));
    clone = prototype;
    for (const char* name : SAMPLE_NAMES) {
        EXPECT_EQ(clone.GetFuzzySet(name), prototype.GetFuzzySet(name));
    }
    EXPECT_THROW(clone.GetFuzzySet("onlyInClone"), orvel::ExceptionGeneral);
}

// A context that keeps one more value beside its sets.
class TunedContext : public FuzzyContext {
public:
    float gain = 0.0f;

protected:
    void LoadExtra(const Properties& properties) override { gain = properties.GetFloat("gain"); }
    void SaveHeader(Properties& properties) const override {
        FuzzyContext::SaveHeader(properties);
        properties.SetFloat("gain", gain);
    }
};

TEST(FuzzyContextTest, SubclassesReadAndWriteTheirOwnKeys) {
    PropertiesPtr properties = SampleContext();
    properties->SetFloat("gain", 2.5f);
    TunedContext context;
    context.Load(*properties);
    EXPECT_FLOAT_EQ(context.gain, 2.5f);

    const PropertiesPtr saved = context.Save();
    EXPECT_EQ(saved->GetString("type"), "FUZZY_CONTEXT");
    EXPECT_FLOAT_EQ(saved->GetFloat("gain"), 2.5f);
    EXPECT_EQ(saved->GetStruct("sets")->Size(), 3u);
}
