#include "engine/core/properties.h"

#include "engine/core/exception.h"
#include "engine/core/int_to_string.h"

namespace orvel {

const Property& AnyVector::At(size_t index) const {
    if (index >= elements.size()) {
        throw ExceptionGeneral("List index " + IntToString(static_cast<int>(index)) +
                               " is past the end of a list of " +
                               IntToString(static_cast<int>(elements.size())) + " elements.");
    }
    return elements[index];
}

// Only the held value decides, not the tag: colours and bools are held as
// ints, and loaders read them with GetInt.
template <typename T>
T AnyVector::GetAs(size_t index) const {
    const Property& element = At(index);
    const T* value = boost::any_cast<T>(&element.value);
    if (value == nullptr) {
        throw ExceptionGeneral("List element " + IntToString(static_cast<int>(index)) +
                               " is of the wrong type.");
    }
    return *value;
}

PropertiesPtr AnyVector::GetStruct(size_t index) const {
    const PropertiesPtr* value = boost::any_cast<PropertiesPtr>(&At(index).value);
    return value != nullptr ? *value : PropertiesPtr();
}

AnyVectorPtr AnyVector::GetList(size_t index) const { return GetAs<AnyVectorPtr>(index); }

std::string AnyVector::GetString(size_t index) const { return GetAs<std::string>(index); }

int32_t AnyVector::GetInt(size_t index) const { return GetAs<int32_t>(index); }

float AnyVector::GetFloat(size_t index) const { return GetAs<float>(index); }

void AnyVector::SetInt(size_t index, int32_t value) {
    if (index >= elements.size()) {
        elements.resize(index + 1);
    }
    elements[index] = Property(value, PROPERTY_INT);
}

Properties::Properties(const Properties& other) : map(other.map), cached(map.end()) {}

Properties& Properties::operator=(const Properties& other) {
    if (this != &other) {
        map = other.map;
        cached = map.end();
    }
    return *this;
}

void Properties::Erase(PropertyKey key) {
    cached = map.end();
    map.erase(key);
}

Properties::Map::const_iterator Properties::Find(PropertyKey key) const {
    if (cached != map.end() && cached->first == key) {
        return cached;
    }
    ++searchCount;
    cached = map.find(key);
    return cached;
}

const boost::any& Properties::Get(PropertyKey key, PropertyType type) const {
    const Map::const_iterator found = Find(key);
    if (found == map.end()) {
        throw ExceptionPropertyNotFound(key);
    }
    if (found->second.type != type) {
        throw ExceptionPropertyIncorrectType(key, found->second.type);
    }
    return found->second.value;
}

PropertyType Properties::GetType(PropertyKey key) const {
    const Map::const_iterator found = Find(key);
    if (found == map.end()) {
        throw ExceptionPropertyNotFound(key);
    }
    return found->second.type;
}

namespace {

// The tag and the held type always agree for values stored through the
// setters; a mismatch can only come from a hand-built Property, and is
// reported as the wrong type rather than a raw bad_any_cast.
template <typename T>
T Held(const boost::any& value, PropertyKey key, PropertyType type) {
    const T* held = boost::any_cast<T>(&value);
    if (held == nullptr) {
        throw ExceptionPropertyIncorrectType(key, type);
    }
    return *held;
}

}  // namespace

PropertiesPtr Properties::GetStruct(PropertyKey key) const {
    return Held<PropertiesPtr>(Get(key, PROPERTY_STRUCT), key, PROPERTY_STRUCT);
}

AnyVectorPtr Properties::GetList(PropertyKey key) const {
    return Held<AnyVectorPtr>(Get(key, PROPERTY_LIST), key, PROPERTY_LIST);
}

std::string Properties::GetString(PropertyKey key) const {
    return Held<std::string>(Get(key, PROPERTY_STRING), key, PROPERTY_STRING);
}

int32_t Properties::GetInt(PropertyKey key) const {
    return Held<int32_t>(Get(key, PROPERTY_INT), key, PROPERTY_INT);
}

float Properties::GetFloat(PropertyKey key) const {
    return Held<float>(Get(key, PROPERTY_FLOAT), key, PROPERTY_FLOAT);
}

int32_t Properties::GetColour(PropertyKey key) const {
    return Held<int32_t>(Get(key, PROPERTY_COLOUR), key, PROPERTY_COLOUR);
}

bool Properties::GetBool(PropertyKey key) const {
    return Held<int32_t>(Get(key, PROPERTY_BOOL), key, PROPERTY_BOOL) != 0;
}

PointI Properties::GetPoint(PropertyKey key) const {
    return Held<PointI>(Get(key, PROPERTY_POINT), key, PROPERTY_POINT);
}

PointF Properties::GetPointF(PropertyKey key) const {
    return Held<PointF>(Get(key, PROPERTY_POINTF), key, PROPERTY_POINTF);
}

void Properties::Set(PropertyKey key, const boost::any& value, PropertyType type) {
    map[key] = Property(value, type);
}

void Properties::SetStruct(PropertyKey key, const PropertiesPtr& value) {
    Set(key, value, PROPERTY_STRUCT);
}

void Properties::SetList(PropertyKey key, const AnyVectorPtr& value) {
    Set(key, value, PROPERTY_LIST);
}

void Properties::SetString(PropertyKey key, const std::string& value) {
    Set(key, value, PROPERTY_STRING);
}

void Properties::SetInt(PropertyKey key, int32_t value) { Set(key, value, PROPERTY_INT); }

void Properties::SetFloat(PropertyKey key, float value) { Set(key, value, PROPERTY_FLOAT); }

void Properties::SetColour(PropertyKey key, int32_t value) { Set(key, value, PROPERTY_COLOUR); }

void Properties::SetBool(PropertyKey key, bool value) {
    Set(key, static_cast<int32_t>(value ? 1 : 0), PROPERTY_BOOL);
}

void Properties::SetPoint(PropertyKey key, const PointI& value) { Set(key, value, PROPERTY_POINT); }

void Properties::SetPointF(PropertyKey key, const PointF& value) {
    Set(key, value, PROPERTY_POINTF);
}

}  // namespace orvel
