// A configuration folder of the test's own: XDG_CONFIG_HOME points into a fresh
// temporary folder for the life of the object, and the settings file can be
// written and read directly.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/settings/settings_store.h"

class TemporaryConfigHome {
public:
    TemporaryConfigHome()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "skarvel-config-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder_ = pattern;
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
            hadOld_ = true;
            old_ = old;
        }
        setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
    }

    ~TemporaryConfigHome()
    {
        if (hadOld_)
            setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    TemporaryConfigHome(const TemporaryConfigHome&) = delete;
    TemporaryConfigHome& operator=(const TemporaryConfigHome&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path file() const { return platform::settingsFilePath(); }

    void writeFile(const std::string& content) const
    {
        std::filesystem::create_directories(file().parent_path());
        std::ofstream(file(), std::ios::binary) << content;
    }

    std::string readFile() const
    {
        std::ifstream in(file(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    bool fileExists() const { return std::filesystem::exists(file()); }

private:
    std::filesystem::path folder_;
    bool hadOld_ = false;
    std::string old_;
};
