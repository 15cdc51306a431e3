// Runs a program as a separate process and collects what it printed and how it ended.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/environment.h"

struct ProcessResult {
    int exitCode = -1;  // -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// argv[0] is the program's path; extraEnv entries are NAME=VALUE strings added to the
// environment of this process.
ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::vector<std::string>& extraEnv = {});

// RunProcess for a program named by a path that a narrow argument may not be able to spell.
ProcessResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& extraEnv = {});

// Starts a program with its output discarded and returns its process id.
int StartProcess(const std::vector<std::string>& argv,
                 const std::vector<std::string>& extraEnv = {});

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
void CopyFile(const std::string& from, const std::string& to);
bool FileExists(const std::string& path);
