#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include <boost/filesystem.hpp>

// Readers that take a resource name read a file: each input is written to a
// file of the given name in a private folder, named by its full path. The
// folder goes when the process ends.
class FuzzFile {
public:
    explicit FuzzFile(const std::string& fileName) {
        std::string pattern =
            (boost::filesystem::temp_directory_path() / "gearhaven-fuzz-XXXXXX").string();
        folder = mkdtemp(&pattern[0]);
        name = (folder / fileName).string();
    }
    ~FuzzFile() {
        boost::system::error_code error;
        boost::filesystem::remove_all(folder, error);
    }
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;

    // Writes the input and returns the name to read it by.
    const std::string& Write(const uint8_t* data, size_t size) {
        std::ofstream stream(name, std::ios::out | std::ios::binary | std::ios::trunc);
        stream.write(reinterpret_cast<const char*>(data), std::streamsize(size));
        return name;
    }

private:
    std::string name;
    boost::filesystem::path folder;
};
