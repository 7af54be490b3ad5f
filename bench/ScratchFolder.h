#pragma once
// A folder of the benchmark's own in the temporary folder: made on first use,
// removed with what it holds when the program ends.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

inline const std::string& ScratchFolder(const char* prefix) {
    struct Folder {
        std::string path;
        explicit Folder(const char* prefix) {
            path = (std::filesystem::temp_directory_path() / (std::string(prefix) + "XXXXXX"))
                       .string();
            if (mkdtemp(path.data()) == nullptr) std::abort();
        }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder(prefix);
    return folder.path;
}
