#include "platform/data_folder.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::vector<std::string> DataFolderCandidates(const std::string& workingFolder,
                                              const std::string& programFolder) {
    std::vector<std::string> candidates;
    if (!workingFolder.empty()) {
        candidates.push_back(workingFolder);
    }
    if (!programFolder.empty()) {
        candidates.push_back(programFolder);
        const fs::path installed = fs::path(programFolder).parent_path() / "share" / "gearhaven";
        candidates.push_back(installed.string());
    }
    return candidates;
}

std::string FindDataFolder(const std::string& fileName,
                           const std::vector<std::string>& candidates) {
    for (const std::string& candidate : candidates) {
        std::error_code error;
        if (fs::is_regular_file(fs::path(candidate) / fileName, error)) {
            return candidate;
        }
    }
    return std::string();
}

std::string ProgramFolder() {
    // Linux names the running executable here, whatever the working folder
    // and however the program was started.
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error || program.empty()) {
        return std::string();
    }
    return program.parent_path().string();
}
