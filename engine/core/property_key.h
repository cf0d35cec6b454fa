#pragma once

#include <cstdint>
#include <string>

// A name interned in one process-wide table. The key holds only the name's
// id, so comparing and ordering keys never touches text. Ids are handed out
// in order of first interning; the empty name is always id 0.
//
// The table comes into being on first use, so constant keys defined at
// namespace scope in any translation unit are safe before main().
class PropertyKey {
public:
    PropertyKey();  // the empty name, id 0
    PropertyKey(const char* name);  // implicit: constant names are written as text
    explicit PropertyKey(const std::string& name);

    static PropertyKey Intern(const std::string& name);

    // The interned text. Stays valid for the life of the process.
    const std::string& GetName() const;
    uint32_t GetId() const { return id; }

    bool operator==(const PropertyKey& other) const { return id == other.id; }
    bool operator!=(const PropertyKey& other) const { return id != other.id; }
    bool operator<(const PropertyKey& other) const { return id < other.id; }

private:
    uint32_t id;
};
