// What the fuzz targets share: a scratch folder of the target's own (in memory
// when /dev/shm exists, so that writing every input to a file costs little),
// removed at exit, and the check that turns a broken promise into a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fuzz {

inline const std::string& scratchFolder()
{
    struct Folder {
        std::string path;
        Folder()
        {
            std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::filesystem::temp_directory_path().string();
            path = base + "/skarvel-fuzz-XXXXXX";
            if (!mkdtemp(path.data()))
                std::abort();
        }
        ~Folder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    return folder.path;
}

// Writes the bytes to `name` in the scratch folder and returns its full name.
inline std::string writeScratchFile(const std::string& name, const uint8_t* data, size_t size)
{
    std::string path = scratchFolder() + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || (size && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0)
        std::abort();
    return path;
}

// A configuration folder in the scratch folder, with the saver's own folder in
// it, for the settings file.
inline void useScratchConfigHome()
{
    setenv("XDG_CONFIG_HOME", scratchFolder().c_str(), 1);
    std::filesystem::create_directories(scratchFolder() + "/skarvel");
}

// A promise of the code under test that the input broke: the fuzzer reports it.
inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace fuzz
