#include "engine/resources/resource.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include <allegro.h>
#include <boost/filesystem.hpp>

#include "engine/core/exception.h"
#include "engine/resources/datafile_walk.h"

namespace orvel {

namespace detail {
void DatafileObjectUnloader::operator()(DATAFILE* object) const {
    if (object != nullptr) {
        unload_datafile_object(object);
    }
}
}  // namespace detail

// The process-wide resource tree: where resources are looked up. Created
// empty on first use and kept for the life of the process.
struct ResourceTreeImpl {
    // Empty: no datafile, every resource is a loose file.
    std::string datafilePath;
};

namespace {

const char DATAFILE_DAMAGED[] = "The game's data file is damaged";

ResourceTreeImpl& ResourceTree() {
    static ResourceTreeImpl tree;
    return tree;
}

std::string& DatafilePath() { return ResourceTree().datafilePath; }

// Whether anything exists at `path`; a path that cannot be examined (a folder
// without search permission on the way, say) counts as missing.
bool Exists(const std::string& path) {
    boost::system::error_code error;
    return boost::filesystem::exists(path, error) && !error;
}

bool IsFolder(const std::string& path) {
    boost::system::error_code error;
    return boost::filesystem::is_directory(path, error) && !error;
}

std::shared_ptr<DATAFILE> LoadObject(const std::string& name) {
    DATAFILE* object =
        load_datafile_object(DatafilePath().c_str(), DatafileObjectPath(name).c_str());
    return std::shared_ptr<DATAFILE>(object, detail::DatafileObjectUnloader());
}

IStreamPtr OpenLooseFile(const std::string& name) {
    // A folder of that name is no resource: reading it would give no bytes.
    if (!Exists(name) || IsFolder(name)) {
        throw ExceptionFileNotFound(name);
    }
    auto stream = std::make_shared<std::ifstream>(name, std::ios::in | std::ios::binary);
    if (!stream->is_open()) {
        throw ExceptionFileNotFound(name);
    }
    return stream;
}

std::vector<char> ReadAll(std::istream& stream) {
    return std::vector<char>(std::istreambuf_iterator<char>(stream),
                             std::istreambuf_iterator<char>());
}

bool IsSoundDatafileFile(const std::string& path) {
    std::ifstream stream(path, std::ios::in | std::ios::binary);
    const std::vector<char> bytes = ReadAll(stream);
    return IsSoundDatafile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

void SetDatafilePath(const std::string& path) {
    if (!Exists(path)) {
        throw ExceptionFileNotFound(path);
    }
    // Every later lookup hands this file to the game library's reader, which
    // trusts its lengths: a damaged file is refused here, once, as a whole.
    if (IsFolder(path) || !IsSoundDatafileFile(path)) {
        throw ExceptionFile(path, DATAFILE_DAMAGED);
    }
    DatafilePath() = path;
}

const std::string& GetDatafilePath() { return DatafilePath(); }

void ClearDatafilePath() { DatafilePath().clear(); }

std::string NormaliseResourceName(const std::string& name) {
    boost::filesystem::path result;
    for (const boost::filesystem::path& part : boost::filesystem::path(name)) {
        if (part == ".") {
            continue;
        }
        if (part == ".." && !result.empty() && result.filename() != "..") {
            result.remove_filename();
            continue;
        }
        result /= part;
    }
    return result.generic_string();
}

std::string DatafileObjectPath(const std::string& name) {
    std::string path = name;
    size_t slash = path.find('/');
    while (slash != std::string::npos) {
        path.insert(slash, ".dat");
        // Resume two characters after the "/" just handled, so a "/" that
        // directly follows another gets no ".dat".
        slash = path.find('/', slash + 4 + 2);
    }
    return path;
}

IStreamPtr OpenResource(const std::string& rawName) {
    const std::string name = NormaliseResourceName(rawName);
    if (!DatafilePath().empty()) {
        const std::shared_ptr<DATAFILE> object = LoadObject(name);
        if (object) {
            // Other object types point at a structure, not at `size` bytes.
            if (object->type != DAT_DATA) {
                throw ExceptionFileFormatInvalid(name, -1);
            }
            const char* data = static_cast<const char*>(object->dat);
            return std::make_shared<std::istringstream>(std::string(data, data + object->size));
        }
    }
    return OpenLooseFile(name);
}

AccessInterfacePtr LoadDatafileObject(const std::string& rawName) {
    const std::string name = NormaliseResourceName(rawName);
    auto access = std::make_shared<AccessInterface>();
    if (!DatafilePath().empty()) {
        access->object = LoadObject(name);
        if (access->object) {
            return access;
        }
    }
    access->bytes = ReadAll(*OpenLooseFile(name));
    return access;
}

}  // namespace orvel
