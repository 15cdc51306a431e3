#include "calvora/framework/ui/qt/qt_platform.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

const char* Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// The platforms asked for: those QT_QPA_PLATFORM lists (each with its arguments), else
// Wayland's and X's where their display is named, Wayland first as Qt takes them.
std::vector<std::string> RequestedPlatforms() {
    std::vector<std::string> platforms;
    if (const char* requested = Variable("QT_QPA_PLATFORM")) {
        for (std::string_view rest = requested; !rest.empty();) {
            const std::size_t end = std::min(rest.find(';'), rest.size());
            if (end > 0)
                platforms.emplace_back(rest.substr(0, end));
            rest.remove_prefix(std::min(end + 1, rest.size()));
        }
        return platforms;
    }
    if (Variable("WAYLAND_DISPLAY") != nullptr)
        platforms.emplace_back("wayland");
    if (Variable("DISPLAY") != nullptr)
        platforms.emplace_back("xcb");
    return platforms;
}

// Whether a platform plugin Qt can find has the key, read from the plugins' metadata without
// loading them: in QT_QPA_PLATFORM_PLUGIN_PATH and the platforms folder of each library path.
bool IsPluginInstalled(const QString& key) {
    QStringList folders;
    if (const char* own = Variable("QT_QPA_PLATFORM_PLUGIN_PATH"))
        folders << QString::fromLocal8Bit(own);
    for (const QString& path : QCoreApplication::libraryPaths())
        folders << path + QStringLiteral("/platforms");
    for (const QString& folder : folders) {
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files)) {
            const QJsonObject metadata = QPluginLoader(file.absoluteFilePath()).metaData();
            if (!metadata.value(QStringLiteral("IID"))
                     .toString()
                     .startsWith(QStringLiteral(
                         "org.qt-project.Qt.QPA.QPlatformIntegrationFactoryInterface")))
                continue;
            const QJsonArray keys = metadata.value(QStringLiteral("MetaData"))
                                        .toObject()
                                        .value(QStringLiteral("Keys"))
                                        .toArray();
            for (const auto& each : keys) {
                if (each.toString().compare(key, Qt::CaseInsensitive) == 0)
                    return true;
            }
        }
    }
    return false;
}

bool CanConnectToX11(std::string& why) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool connected = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (!connected) {
        const char* display = std::getenv("DISPLAY");
        why = "cannot connect to the X display \"" +
              std::string(display != nullptr ? display : "") + "\"";
    }
    return connected;
}

// The compositor's socket, found as its clients find it: WAYLAND_DISPLAY (wayland-0 when unset)
// in XDG_RUNTIME_DIR, or the path it names.
bool CanConnectToWayland(std::string& why) {
    if (Variable("WAYLAND_SOCKET") != nullptr)
        return true;  // a connection the parent made: nothing to look up
    const char* display = Variable("WAYLAND_DISPLAY");
    std::string path = display != nullptr ? display : "wayland-0";
    if (!path.starts_with('/')) {
        const char* runtime = Variable("XDG_RUNTIME_DIR");
        if (runtime == nullptr) {
            why = "cannot connect to the Wayland display \"" + path +
                  "\": XDG_RUNTIME_DIR is not set";
            return false;
        }
        path = std::string(runtime) + "/" + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    bool connected = false;
    if (path.size() < sizeof(address.sun_path)) {
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        connected = socket >= 0 && ::connect(socket, reinterpret_cast<const sockaddr*>(&address),
                                             sizeof address) == 0;
        if (socket >= 0)
            ::close(socket);
    }
    if (!connected)
        why = "cannot connect to the Wayland display \"" + path + "\"";
    return connected;
}

// Whether Qt can run on the platform named (arguments after ':'): its plugin is installed, and
// the display of X's or Wayland's answers.
bool IsUsable(std::string_view platform, std::string& why) {
    const std::string key(platform.substr(0, platform.find(':')));
    if (!IsPluginInstalled(QString::fromStdString(key))) {
        why = "no Qt platform plugin \"" + key + "\"";
        return false;
    }
    if (key == "xcb")
        return CanConnectToX11(why);
    if (key.starts_with("wayland"))
        return CanConnectToWayland(why);
    return true;
}

}  // namespace

std::string UsableQtPlatforms(std::string& why) {
    std::string usable;
    std::string reasons;
    for (const std::string& platform : RequestedPlatforms()) {
        std::string reason;
        if (IsUsable(platform, reason)) {
            usable += (usable.empty() ? "" : ";") + platform;
        } else {
            reasons += (reasons.empty() ? "" : "; ") + reason;
        }
    }
    if (usable.empty())
        why = reasons.empty() ? "no display" : reasons;
    return usable;
}
