// property_check: reads every property file under the given folders and
// stops at the first syntax error, naming its file and line, so broken
// content is caught by the test run rather than by a player.
//
// Which files are read: every file whose name ends in ".txt" (in any letter
// case), except sprite descriptions written in the sprite-file grammar. Those
// are recognised by their first word, "format_version", which starts every
// such description and can never start a property file (it is not a type
// word). Files with other extensions (pictures, sounds, datafiles) are
// ignored. A folder or file that does not exist is a mistyped path: it is
// bad usage, never an empty pass.
//
// Usage: property_check <folder or file>...
// Exit status: 0 when every file reads, 1 at the first error, 2 on bad usage.

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include <boost/algorithm/string/predicate.hpp>
#include <boost/filesystem.hpp>

#include "engine/core/exception.h"
#include "engine/core/property_file.h"

namespace fs = boost::filesystem;

namespace {

bool IsTextFile(const fs::path& path) {
    // Build files stand beside the content (resources/CMakeLists.txt) but are
    // not property files.
    return fs::is_regular_file(path) && boost::algorithm::iends_with(path.string(), ".txt") &&
           path.filename() != "CMakeLists.txt";
}

// The text files under `root` (or `root` itself), in name order so that the
// first error reported is always the same one.
std::vector<fs::path> TextFiles(const fs::path& root) {
    std::vector<fs::path> files;
    if (fs::is_directory(root)) {
        for (fs::recursive_directory_iterator it(root), end; it != end; ++it) {
            if (IsTextFile(it->path())) {
                files.push_back(it->path());
            }
        }
    } else if (IsTextFile(root)) {
        files.push_back(root);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// True when the text, after a byte-order mark and any blank or comment lines,
// starts with the word that opens every sprite-grammar description.
bool IsSpriteGrammar(const std::string& text) {
    size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n') {
            ++at;
        } else if (c == '#' || text.compare(at, 2, "//") == 0) {
            at = text.find_first_of("\r\n", at);
            if (at == std::string::npos) {
                return false;
            }
        } else {
            break;
        }
    }
    return text.compare(at, 14, "format_version") == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: property_check <folder or file>...\n";
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        if (!fs::exists(argv[i])) {
            std::cerr << "property_check: " << argv[i] << ": no such folder or file\n";
            return 2;
        }
    }
    int checked = 0;
    int skipped = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& file : TextFiles(argv[i])) {
            std::ifstream stream(file.string(), std::ios::in | std::ios::binary);
            const std::string text{std::istreambuf_iterator<char>(stream),
                                   std::istreambuf_iterator<char>()};
            if (!stream.good() && !stream.eof()) {
                std::cerr << file.string() << ": cannot be read\n";
                return 1;
            }
            if (IsSpriteGrammar(text)) {
                ++skipped;
                continue;
            }
            try {
                orvel::ParsePropertyString(text, file.string());
            } catch (const orvel::ExceptionSyntax& e) {
                std::cerr << file.string() << ":" << e.GetLine() << ": " << e.GetMessage() << "\n";
                return 1;
            }
            ++checked;
        }
    }
    std::cout << "property_check: " << checked << " property files read, " << skipped
              << " sprite-grammar files skipped\n";
    return 0;
}
