// The demo host beside the module and its window system, started with a display that cannot
// be reached, X's, Wayland's or both: the dialog command fails as a dialog that could not be
// created, says why in one line, and the process ends normally.
#include <gtest/gtest.h>
#include <QLibraryInfo>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/process_runner.h"

namespace {

// Sets or clears an environment variable for the processes started meanwhile.
class EnvironmentGuard {
public:
    EnvironmentGuard(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_previous = old;
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvironmentGuard() {
        if (m_previous)
            setenv(m_name, m_previous->c_str(), 1);
        else
            unsetenv(m_name);
    }
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_previous;
};

TEST(QtHost, UnreachableDisplayFailsTheDialogWithOneLine) {
    TempDir dir;
    // Displays no server listens on, in a directory of sockets that does not exist.
    const std::string x = dir / "nowhere:7";
    const std::string wayland = dir / "wayland-7";
    const std::string xWhy = "cannot connect to the X display \"" + x + "\"";
    const bool hasWaylandPlugin =
        std::filesystem::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString() +
                                "/platforms/libqwayland-generic.so");
    const std::string waylandWhy = hasWaylandPlugin
                                       ? "cannot connect to the Wayland display \"" + wayland + "\""
                                       : std::string("no Qt platform plugin \"wayland\"");
    struct Case {
        const char* display;
        const char* waylandDisplay;
        std::string why;
    };
    const Case cases[] = {
        {x.c_str(), nullptr, xWhy},
        {nullptr, wayland.c_str(), waylandWhy},
        {x.c_str(), wayland.c_str(), waylandWhy + "; " + xWhy},
    };
    const EnvironmentGuard platform("QT_QPA_PLATFORM", nullptr);
    const std::vector<std::pair<std::string, int>> commands = {{"config", 0}, {"set", 1}};
    for (const Case& each : cases) {
        const EnvironmentGuard display("DISPLAY", each.display);
        const EnvironmentGuard waylandDisplay("WAYLAND_DISPLAY", each.waylandDisplay);
        for (const auto& [command, exitCode] : commands) {
            const ProcessResult result = RunProcess({CALVORA_HOST_PATH, command});
            EXPECT_EQ(result.exitCode, exitCode) << command << " with " << each.why;
            EXPECT_EQ(result.err, "Calvora: no dialog can be shown: " + each.why + "\n") << command;
        }
    }
}

// Asked for a display, a module without its window-system library beside it says so.
TEST(QtHost, MissingWindowSystemLibraryFailsTheDialogWithOneLine) {
    TempDir dir;
    CopyFile(CALVORA_HOST_PATH, dir / "calvora-host");
    CopyFile(CALVORA_MODULE_PATH, dir / CALVORA_MODULE_FILE);
    const EnvironmentGuard platform("QT_QPA_PLATFORM", "offscreen");
    const ProcessResult result = RunProcess({dir / "calvora-host", "config"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(
        result.err.starts_with("Calvora: no dialog can be shown: cannot load the window "
                               "system: "))
        << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
}

}  // namespace
