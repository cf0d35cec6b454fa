#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <boost/any.hpp>

#include "engine/core/property_key.h"
#include "engine/core/property_type.h"
#include "engine/core/vector2x.h"

namespace orvel {

class Properties;
class AnyVector;

typedef std::shared_ptr<Properties> PropertiesPtr;
typedef std::shared_ptr<AnyVector> AnyVectorPtr;

// One dynamically typed value and its type tag. What `value` holds, by type:
// struct PropertiesPtr, list AnyVectorPtr, string std::string, int, colour
// and bool int32_t, float float, point PointI, pointf PointF.
struct Property {
    boost::any value;
    PropertyType type = PROPERTY_UNSET;

    Property() = default;
    Property(const boost::any& value, PropertyType type) : value(value), type(type) {}
};

// The value of a list property: an ordered sequence of properties. Elements
// of one list normally share a type, but nothing enforces it. The typed reads
// go by the held value (GetInt also reads colour and bool elements); reads
// past the end, or of a value of another type, throw ExceptionGeneral.
class AnyVector {
public:
    size_t Size() const { return elements.size(); }
    bool Empty() const { return elements.empty(); }

    const Property& At(size_t index) const;
    void Append(const Property& element) { elements.push_back(element); }

    // The struct at index, or an empty pointer when the element is not a
    // struct; past the end throws as the other reads do.
    PropertiesPtr GetStruct(size_t index) const;
    AnyVectorPtr GetList(size_t index) const;
    std::string GetString(size_t index) const;
    int32_t GetInt(size_t index) const;
    float GetFloat(size_t index) const;

    // Grows the list to index + 1 elements (new ones are PROPERTY_UNSET),
    // then stores the int at index.
    void SetInt(size_t index, int32_t value);

    std::vector<Property>::const_iterator begin() const { return elements.begin(); }
    std::vector<Property>::const_iterator end() const { return elements.end(); }

private:
    template <typename T>
    T GetAs(size_t index) const;

    std::vector<Property> elements;
};

// A typed property set: a map from key to value, ordered by key id (the
// order in which the names were first interned). Lookups remember the last
// node found, so loaders that read the same key twice search once.
class Properties {
public:
    typedef std::map<PropertyKey, Property> Map;

    Properties() = default;
    // Copies take the entries but never the cached lookup, which would point
    // into the other set's map.
    Properties(const Properties& other);
    Properties& operator=(const Properties& other);

    Map::const_iterator Find(PropertyKey key) const;
    bool HasProperty(PropertyKey key) const { return Find(key) != map.end(); }

    // The held value of `key`. Throws ExceptionPropertyNotFound when the key
    // is absent and ExceptionPropertyIncorrectType when it holds another type.
    const boost::any& Get(PropertyKey key, PropertyType type) const;
    PropertyType GetType(PropertyKey key) const;

    PropertiesPtr GetStruct(PropertyKey key) const;
    AnyVectorPtr GetList(PropertyKey key) const;
    std::string GetString(PropertyKey key) const;
    int32_t GetInt(PropertyKey key) const;
    float GetFloat(PropertyKey key) const;
    int32_t GetColour(PropertyKey key) const;
    bool GetBool(PropertyKey key) const;
    PointI GetPoint(PropertyKey key) const;
    PointF GetPointF(PropertyKey key) const;

    void SetStruct(PropertyKey key, const PropertiesPtr& value);
    void SetList(PropertyKey key, const AnyVectorPtr& value);
    void SetString(PropertyKey key, const std::string& value);
    void SetInt(PropertyKey key, int32_t value);
    void SetFloat(PropertyKey key, float value);
    void SetColour(PropertyKey key, int32_t value);
    void SetBool(PropertyKey key, bool value);
    void SetPoint(PropertyKey key, const PointI& value);
    void SetPointF(PropertyKey key, const PointF& value);

    // Removes the key when present (nothing happens otherwise) and forgets
    // the cached lookup, which may point at it.
    void Erase(PropertyKey key);

    size_t Size() const { return map.size(); }
    bool Empty() const { return map.empty(); }
    Map::const_iterator begin() const { return map.begin(); }
    Map::const_iterator end() const { return map.end(); }

    // How many map searches Find has made; lets tests see the cache work.
    size_t GetSearchCount() const { return searchCount; }

private:
    void Set(PropertyKey key, const boost::any& value, PropertyType type);

    Map map;
    mutable Map::const_iterator cached = map.end();
    mutable size_t searchCount = 0;
};

}  // namespace orvel
