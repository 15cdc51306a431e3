#include "tests/support/process_runner.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/environment.h"

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteWholeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

void CopyFile(const std::string& from, const std::string& to) {
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

bool FileExists(const std::string& path) {
    return std::filesystem::exists(path);
}
