// Property-file reader: any text either parses or raises an engine exception.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/core/exception.h"
#include "engine/core/property_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        orvel::ParsePropertyString(std::string(reinterpret_cast<const char*>(data), size), "fuzz");
    } catch (const orvel::Exception&) {
    }
    return 0;
}
