// import: a JSON list, read whole up to a bound and checked in full, then handed to the module
// as any received list is: as an archive, built here in memory.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

#include "calvora/framework/carchive.h"
#include "calvora/framework/cfile.h"
#include "calvora/framework/platform/platform_file.h"
#include "host/app/host_commands.h"
#include "host/app/period_json.h"

namespace {

// Far more than any kept list needs: a period takes about 300 bytes of JSON.
constexpr std::size_t kMostImportBytes = 16 << 20;

// All that readSome(buffer, size, &got) gives until it gives nothing, or the reason why not.
template <typename ReadSome>
std::optional<std::string> ReadBounded(ReadSome readSome, std::string& content) {
    std::vector<char> chunk(1 << 16);
    for (;;) {
        std::size_t got = 0;
        if (const int error = readSome(chunk.data(), chunk.size(), &got); error != 0)
            return SystemReason(error);
        if (got == 0)
            return std::nullopt;
        if (content.size() + got > kMostImportBytes)
            return std::string(_("larger than 16 MiB"));
        content.append(chunk.data(), got);
    }
}

std::optional<std::string> ReadStandardInput(std::string& content) {
    return ReadBounded(
        [](char* buffer, std::size_t size, std::size_t* got) {
            *got = std::fread(buffer, 1, size, stdin);
            return std::ferror(stdin) ? platform::LastSystemError() : 0;
        },
        content);
}

// A regular file only: a FIFO or a device could block or never end.
std::optional<std::string> ReadRegularFile(const std::string& path, std::string& content) {
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored) && !std::filesystem::is_regular_file(path, ignored))
        return std::string(_("not a regular file"));
    platform::FileHandle file = platform::kNoFile;
    const platform::FileOpenMode mode{platform::FileAccess::read, false, false,
                                      platform::FileLock::none,   false, true};
    if (const int error = platform::OpenFile(path.c_str(), mode, &file); error != 0)
        return SystemReason(error);
    auto reason = ReadBounded(
        [file](char* buffer, std::size_t size, std::size_t* got) {
            return platform::ReadFile(file, buffer, size, got);
        },
        content);
    platform::CloseFile(file);
    return reason;
}

}  // namespace

int RunImport(const ModuleExports& module, const HostInvocation& invocation) {
    const bool standardInput = invocation.file == "-";
    const std::string source = standardInput ? _("standard input") : invocation.file;
    std::string text;
    if (const auto reason =
            standardInput ? ReadStandardInput(text) : ReadRegularFile(invocation.file, text)) {
        Fail(Format(_("cannot read %s: %s; nothing changed"), source, *reason));
        return 2;
    }
    const ParsedPeriods parsed = PeriodsFromJson(text);
    if (!parsed.error.empty()) {
        Fail(Format(_("%s: %s; nothing changed"), source, parsed.error));
        return 2;
    }
    CObList periods;
    for (const auto& period : parsed.periods)
        periods.AddTail(period.get());
    CMemFile stored;
    {
        CArchive archive(&stored, CArchive::store);
        SerializePeriodList(periods, archive);
        archive.Close();
    }
    stored.SeekToBegin();
    CArchive archive(&stored, CArchive::load);
    return ReceiveArchive(module, archive, source);
}
