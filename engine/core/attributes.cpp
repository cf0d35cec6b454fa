#include "engine/core/attributes.h"

#include "engine/core/exception.h"

namespace orvel {

Attributes::Attributes(const Attributes& other) : values(other.values), cached(values.end()) {}

Attributes& Attributes::operator=(const Attributes& other) {
    if (this != &other) {
        values = other.values;
        cached = values.end();
    }
    return *this;
}

boost::any& Attributes::operator[](PropertyKey key) { return values[key]; }

Attributes::Map::iterator Attributes::Find(PropertyKey key) {
    const Map::iterator found = values.lower_bound(key);
    if (found != values.end() && found->first == key) {
        return found;
    }
    return values.end();
}

Attributes::Map::iterator Attributes::FindCached(PropertyKey key) {
    if (cached != values.end() && cached->first == key) {
        return cached;
    }
    cached = Find(key);
    return cached;
}

bool Attributes::Contains(PropertyKey key) {
    cached = Find(key);
    return cached != values.end();
}

void Attributes::Erase(PropertyKey key) {
    cached = values.end();
    values.erase(key);
}

template <typename T>
T Attributes::Get(PropertyKey key) {
    const Map::iterator found = FindCached(key);
    if (found == values.end()) {
        throw ExceptionAttributeNotFound(key);
    }
    return boost::any_cast<T>(found->second);
}

int Attributes::GetInt(PropertyKey key) { return Get<int>(key); }

float Attributes::GetFloat(PropertyKey key) { return Get<float>(key); }

bool Attributes::GetBool(PropertyKey key) { return Get<bool>(key); }

std::string Attributes::GetString(PropertyKey key) { return Get<std::string>(key); }

PropertiesPtr Attributes::GetProperties(PropertyKey key) { return Get<PropertiesPtr>(key); }

std::shared_ptr<SoundManager> Attributes::GetSoundManager(PropertyKey key) {
    return Get<std::shared_ptr<SoundManager>>(key);
}

std::shared_ptr<OggPlayer> Attributes::GetOggPlayer(PropertyKey key) {
    return Get<std::shared_ptr<OggPlayer>>(key);
}

std::shared_ptr<UnitStats> Attributes::GetUnitStats(PropertyKey key) {
    return Get<std::shared_ptr<UnitStats>>(key);
}

FONT* Attributes::GetFont(PropertyKey key) { return Get<FONT*>(key); }

TutorialDialog* Attributes::GetTutorialDialog(PropertyKey key) { return Get<TutorialDialog*>(key); }

Attributes& GlobalProperties() {
    static Attributes registry;
    return registry;
}

}  // namespace orvel
