#pragma once

#include <map>

#include "engine/core/properties.h"
#include "engine/core/property_key.h"
#include "engine/fuzzy/fuzzy_set.h"

namespace orvel {

// A named collection of fuzzy sets, loaded from and saved to a property set:
//
//   string type: "FUZZY_CONTEXT"     (written; not checked on load)
//   struct sets  { one struct per set, under the set's name }
//
// and each set's struct:
//
//   string type: "FUZZY_SET_Linear"        float trueValue, float falseValue
//   string type: "FUZZY_SET_MultiLinear"   list pointf points (increasing x)
//
// Copying a context copies its map, so the copy shares the set objects.
// Subclasses may read more of the context's property set in LoadExtra and
// write more in SaveHeader.
class FuzzyContext {
public:
    virtual ~FuzzyContext() = default;

    // Reads the extra keys, then every set of the struct "sets". A set of the
    // same name as one already held replaces it. Missing or wrongly typed keys
    // throw the property store's exceptions; a set of an unknown type or with
    // values that cannot make a set throws ExceptionGeneral naming the set. When
    // any set fails, none of the file's sets is stored.
    virtual void Load(const Properties& properties);
    // Loads the context from the struct under `key` of `properties`,
    // replacing every set held before. Throws as Load does, and the
    // property store's exceptions for a missing or wrongly typed key; on any
    // failure the context keeps what it held.
    void Load(PropertyKey key, const Properties& properties);
    virtual PropertiesPtr Save() const;

    void SetFuzzySet(PropertyKey name, const FuzzySetPtr& set);

    // The named set, owned by the context. Throws ExceptionGeneral naming the
    // set when the context holds no set of that name.
    const FuzzySet* GetFuzzySet(PropertyKey name) const;

protected:
    virtual void LoadExtra(const Properties& properties);
    virtual void LoadSets(const Properties& sets);
    virtual void SaveHeader(Properties& properties) const;
    virtual void SaveSets(Properties& sets) const;

private:
    // Ordered by key, which is the order sets are saved in.
    std::map<PropertyKey, FuzzySetPtr> sets;
};

}  // namespace orvel
