#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

#include <boost/filesystem.hpp>

// A fresh folder that the test runs in: the working folder changes to it for
// the test's lifetime, so relative resource names resolve inside it.
class TempFolder {
public:
    TempFolder() : previous(boost::filesystem::current_path()) {
        std::string pattern =
            (boost::filesystem::temp_directory_path() / "gearhaven-test-XXXXXX").string();
        path = mkdtemp(&pattern[0]);
        boost::filesystem::current_path(path);
    }
    ~TempFolder() {
        boost::filesystem::current_path(previous);
        boost::filesystem::remove_all(path);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const boost::filesystem::path& GetPath() const { return path; }

private:
    boost::filesystem::path previous;
    boost::filesystem::path path;
};

// Writes `bytes` to `name` (relative to the working folder), making its folders.
inline void WriteFile(const std::string& name, const std::string& bytes) {
    const boost::filesystem::path parent = boost::filesystem::path(name).parent_path();
    if (!parent.empty()) {
        boost::filesystem::create_directories(parent);
    }
    std::ofstream stream(name, std::ios::out | std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), std::streamsize(bytes.size()));
}
