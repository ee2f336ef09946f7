// Destination placeholders: "<InstallPath>\Lang" and the like become real folders, and the
// folders below the all-users roots are listed for the users' rights.
#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace payload {

// A special folder by CSIDL; empty when the shell cannot give it.
using folder_lookup = std::function<std::wstring(int csidl)>;
std::wstring shell_folder(int csidl);

struct destination_inputs {
    std::filesystem::path installFolder;
    std::wstring sampleFolderName;
    std::filesystem::path tempFolder;
    folder_lookup specialFolder = shell_folder;
};

struct shared_folder {
    std::filesystem::path path;
    bool granted = false;
};

class shared_folder_list {
public:
    // Does nothing when the folder is listed already (same path, or the same existing folder).
    void add(const std::filesystem::path& folder);
    std::vector<shared_folder>& folders() { return folders_; }
    const std::vector<shared_folder>& folders() const { return folders_; }

private:
    std::vector<shared_folder> folders_;
};

// Raises error 7 of the compress category when a special folder cannot be resolved.
std::filesystem::path resolve_destination(const std::wstring& destination, const destination_inputs& inputs,
                                          shared_folder_list& shared);

} // namespace payload
