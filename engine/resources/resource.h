#pragma once

#include <istream>
#include <memory>
#include <string>
#include <vector>

struct DATAFILE;

namespace orvel {

namespace detail {
// Unloads a game-library datafile object when its last owner lets go.
struct DatafileObjectUnloader {
    void operator()(DATAFILE* object) const;
};
}  // namespace detail

// The loaded form of one resource: either the game-library object from the
// datafile or the bytes of the loose file, never both.
struct AccessInterface {
    std::shared_ptr<DATAFILE> object;
    std::vector<char> bytes;
};

typedef std::shared_ptr<std::istream> IStreamPtr;
typedef std::shared_ptr<AccessInterface> AccessInterfacePtr;

// Every resource is named by a relative path with "/" separators. Once a
// datafile is set, a resource is looked up in it first (see
// DatafileObjectPath) and read from the loose file when the datafile lacks it.

// Throws ExceptionFileNotFound when nothing exists at `path`, and
// ExceptionFile ("The game's data file is damaged") when it is no sound
// datafile (see IsSoundDatafile); the datafile in use is then kept.
void SetDatafilePath(const std::string& path);
// The datafile in use, or the empty string.
const std::string& GetDatafilePath();
// Forgets the datafile; later lookups read loose files only.
void ClearDatafilePath();

// "x/./y" and "x/z/../y" name the same resource as "x/y".
std::string NormaliseResourceName(const std::string& name);
// The object path inside the datafile: ".dat" inserted before each "/".
std::string DatafileObjectPath(const std::string& name);

// The resource as a stream. Only plain data objects of the datafile are
// streams; any other object type is ExceptionFileFormatInvalid.
IStreamPtr OpenResource(const std::string& name);
// The resource as a game-library object, or the loose file's bytes.
AccessInterfacePtr LoadDatafileObject(const std::string& name);

}  // namespace orvel
