// Runs a program as a separate process and collects what it printed and how it ended.
#pragma once

#include <string>
#include <vector>

struct ProcessResult {
    int exitCode = -1;  // -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// argv[0] is the program's path; extraEnv entries are NAME=VALUE strings added to the
// environment of this process.
ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::vector<std::string>& extraEnv = {});

// Starts a program with its output discarded and returns its process id.
int StartProcess(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {});

// A fresh directory under the system's temporary directory, removed with everything in it
// when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
void CopyFile(const std::string& from, const std::string& to);
bool FileExists(const std::string& path);
