// Setting and removing environment variables of this process, as the C runtime sees them.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

inline void SetEnvironment(const char* name, const std::string& value) {
#if defined(_WIN32)
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

inline void UnsetEnvironment(const char* name) {
#if defined(_WIN32)
    _putenv_s(name, "");  // the empty value removes the variable
#else
    unsetenv(name);
#endif
}

// A new directory under the system's temporary directory.
inline std::filesystem::path CreateScratchDirectory() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (;;) {
        const auto path = std::filesystem::temp_directory_path() /
                          ("calvora-" + std::to_string(random() % 1000000000));
        if (std::filesystem::create_directory(path))
            return path;
    }
}
