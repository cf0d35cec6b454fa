#include "engine/core/property_key.h"

#include <map>
#include <vector>

namespace {

// Text-to-id map for interning, and id-to-text for GetName. Names are never
// removed, so references into the vector's strings would move on growth:
// the texts are kept as map keys, whose addresses are stable.
struct NameTable {
    std::map<std::string, uint32_t> ids;
    std::vector<const std::string*> names;

    NameTable() { Add(std::string()); }

    uint32_t Add(const std::string& name) {
        const auto result = ids.emplace(name, static_cast<uint32_t>(names.size()));
        if (result.second) {
            names.push_back(&result.first->first);
        }
        return result.first->second;
    }
};

// Created on first use whatever the order of static initialisation, and
// deliberately never destroyed: keys may be used by other static objects
// during process exit.
NameTable& Table() {
    static NameTable* table = new NameTable;
    return *table;
}

}  // namespace

PropertyKey::PropertyKey() : id(0) {}

PropertyKey::PropertyKey(const char* name) : id(Table().Add(name)) {}

PropertyKey::PropertyKey(const std::string& name) : id(Table().Add(name)) {}

PropertyKey PropertyKey::Intern(const std::string& name) { return PropertyKey(name); }

const std::string& PropertyKey::GetName() const { return *Table().names.at(id); }
