#include "engine/fuzzy/fuzzy_context.h"

#include <vector>

#include "engine/core/exception.h"
#include "engine/core/int_to_string.h"
#include "engine/fuzzy/fuzzy_set_linear.h"
#include "engine/fuzzy/fuzzy_set_multi_linear.h"

namespace orvel {

namespace {

std::vector<PointF> ReadPoints(const AnyVector& list) {
    std::vector<PointF> points;
    points.reserve(list.Size());
    for (size_t i = 0; i < list.Size(); ++i) {
        const Property& element = list.At(i);
        const PointF* point = boost::any_cast<PointF>(&element.value);
        if (element.type != PROPERTY_POINTF || point == nullptr) {
            throw ExceptionGeneral("Point " + IntToString(static_cast<int>(i)) +
                                   " of a multi-linear fuzzy set is not a pointf.");
        }
        points.push_back(*point);
    }
    return points;
}

FuzzySetPtr LoadSet(PropertyKey name, const Properties& set) {
    const std::string type = set.GetString("type");
    // The sets refuse values they cannot work with, but do not know their own
    // name; the file's author needs it to find the fault.
    try {
        if (type == "FUZZY_SET_Linear") {
            return std::make_shared<FuzzySetLinear>(set.GetFloat("trueValue"),
                                                    set.GetFloat("falseValue"));
        }
        if (type == "FUZZY_SET_MultiLinear") {
            return std::make_shared<FuzzySetMultiLinear>(ReadPoints(*set.GetList("points")));
        }
    } catch (const ExceptionGeneral& e) {
        throw ExceptionGeneral("Fuzzy set " + name.GetName() + ": " + e.GetText());
    }
    throw ExceptionGeneral("Fuzzy set " + name.GetName() + " has the unknown type \"" + type +
                           "\".");
}

}  // namespace

void FuzzyContext::Load(const Properties& properties) {
    LoadExtra(properties);
    LoadSets(*properties.GetStruct("sets"));
}

void FuzzyContext::Load(PropertyKey key, const Properties& properties) {
    const PropertiesPtr context = properties.GetStruct(key);
    std::map<PropertyKey, FuzzySetPtr> previous;
    previous.swap(sets);
    try {
        Load(*context);
    } catch (...) {
        sets.swap(previous);
        throw;
    }
}

PropertiesPtr FuzzyContext::Save() const {
    PropertiesPtr properties = std::make_shared<Properties>();
    SaveHeader(*properties);
    PropertiesPtr saved = std::make_shared<Properties>();
    SaveSets(*saved);
    properties->SetStruct("sets", saved);
    return properties;
}

void FuzzyContext::SetFuzzySet(PropertyKey name, const FuzzySetPtr& set) { sets[name] = set; }

const FuzzySet* FuzzyContext::GetFuzzySet(PropertyKey name) const {
    const auto found = sets.find(name);
    if (found == sets.end()) {
        throw ExceptionGeneral("Fuzzy set not found: " + name.GetName());
    }
    return found->second.get();
}

void FuzzyContext::LoadExtra(const Properties&) {}

void FuzzyContext::LoadSets(const Properties& loaded) {
    // Every set is built before any is stored, so a faulty file leaves the
    // context as it was.
    std::vector<std::pair<PropertyKey, FuzzySetPtr>> built;
    for (const auto& entry : loaded) {
        built.emplace_back(entry.first, LoadSet(entry.first, *loaded.GetStruct(entry.first)));
    }
    for (const auto& set : built) {
        SetFuzzySet(set.first, set.second);
    }
}

void FuzzyContext::SaveHeader(Properties& properties) const {
    properties.SetString("type", "FUZZY_CONTEXT");
}

void FuzzyContext::SaveSets(Properties& saved) const {
    for (const auto& set : sets) {
        saved.SetStruct(set.first, set.second->Save());
    }
}

}  // namespace orvel
