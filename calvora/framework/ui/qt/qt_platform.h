// Which of Qt's platform plugins a new application object runs on. Qt ends the process when no
// plugin it tries can be loaded and reach its display, so the choice is made before: only the
// plugins that are installed and whose display answers are handed to it.
#pragma once

#include <string>

// The platforms to try, in the order Qt would try them, of those that can work here, joined by
// ';' as the -platform argument takes them; empty, with the reason in why, when none can.
std::string UsableQtPlatforms(std::string& why);
