#pragma once

// Where the benchmarks keep what they make (roots, photos): one folder per
// process in the temporary folder, removed with everything in it as the
// process exits.

#include <cstdlib>
#include <filesystem>
#include <string>

inline const std::filesystem::path& benchmarkScratchFolder()
{
    struct Folder {
        Folder()
        {
            std::string pattern = (std::filesystem::temp_directory_path() / "menutone-bench-XXXXXX").string();
            if (!::mkdtemp(pattern.data()))
                std::abort();
            path = pattern;
        }
        ~Folder()
        {
            std::error_code error;
            std::filesystem::remove_all(path, error);
        }
        std::filesystem::path path;
    };
    static Folder folder;
    return folder.path;
}

// A device root with the sample apps, laid out by the menutone command, in
// the scratch folder.
inline std::filesystem::path makeBenchmarkRoot(const std::string& menutoneCommand, const std::string& name)
{
    auto root = benchmarkScratchFolder() / name;
    std::string command = menutoneCommand + " root create '" + root.string() + "' > /dev/null";
    if (std::system(command.c_str()) != 0)
        std::abort();
    return root;
}
