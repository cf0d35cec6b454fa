#pragma once

#include <map>
#include <memory>
#include <string>

#include <boost/any.hpp>

#include "engine/core/properties.h"
#include "engine/core/property_key.h"

struct FONT;
class UnitStats;
class TutorialDialog;

namespace orvel {

class SoundManager;
class OggPlayer;

// A small dictionary from name to a value of any copyable type. A value is
// read back only as exactly the type that was stored: an int is not a float.
// The last lookup is remembered, so the common "Contains, then Get" of one
// key searches once.
//
// Missing keys throw ExceptionAttributeNotFound; a value of another type
// throws boost::bad_any_cast, which is not an engine exception.
class Attributes {
public:
    typedef std::map<PropertyKey, boost::any> Map;

    Attributes() = default;
    // Copies take the entries but never the cached lookup, which would point
    // into the other map.
    Attributes(const Attributes& other);
    Attributes& operator=(const Attributes& other);

    // The value under `key`, inserting an empty one first when absent.
    boost::any& operator[](PropertyKey key);

    Map::iterator Find(PropertyKey key);
    Map::iterator End() { return values.end(); }
    // Find through the cache; the cache then holds the result, even the end.
    Map::iterator FindCached(PropertyKey key);
    bool Contains(PropertyKey key);
    // Removes the key when present. The cache is reset, so it can never point
    // at the erased node.
    void Erase(PropertyKey key);

    int GetInt(PropertyKey key);
    float GetFloat(PropertyKey key);
    bool GetBool(PropertyKey key);
    std::string GetString(PropertyKey key);
    PropertiesPtr GetProperties(PropertyKey key);
    std::shared_ptr<SoundManager> GetSoundManager(PropertyKey key);
    std::shared_ptr<OggPlayer> GetOggPlayer(PropertyKey key);
    std::shared_ptr<UnitStats> GetUnitStats(PropertyKey key);
    FONT* GetFont(PropertyKey key);
    TutorialDialog* GetTutorialDialog(PropertyKey key);

    void SetInt(PropertyKey key, int value) { (*this)[key] = value; }
    void SetBool(PropertyKey key, bool value) { (*this)[key] = value; }
    void SetString(PropertyKey key, const std::string& value) { (*this)[key] = value; }

    size_t Size() const { return values.size(); }

private:
    template <typename T>
    T Get(PropertyKey key);

    Map values;
    Map::iterator cached = values.end();
};

// The process-wide registry of named values: the long-lived services and the
// flags that several screens share. Created empty on first use and destroyed
// at process exit.
Attributes& GlobalProperties();

}  // namespace orvel
