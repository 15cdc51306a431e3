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

// A new directory under parent.
inline std::filesystem::path CreateScratchDirectory(const std::filesystem::path& parent) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (;;) {
        const auto path = parent / ("calvora-" + std::to_string(random() % 1000000000));
        if (std::filesystem::create_directory(path))
            return path;
    }
}

// A fresh directory under the system's temporary directory (or parent), removed with
// everything in it when the object goes.
class TempDir {
public:
    explicit TempDir(const std::filesystem::path& parent = std::filesystem::temp_directory_path())
        : m_path(CreateScratchDirectory(parent)) {}
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
