// The test environment of this process: environment variables as the C runtime sees them,
// and scratch directories.
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

// A fresh directory under the system's temporary directory, removed with everything in it
// when the object goes.
class TempDir {
public:
    TempDir() : m_path(CreateScratchDirectory()) {}
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The path of a file in it.
    std::string operator/(const std::string& name) const { return m_path.string() + "/" + name; }

private:
    std::filesystem::path m_path;
};
