#include "tests/support/other_module.h"

#include <stdexcept>
#include <string>

void OtherModuleThrow(const char* what) {
    throw std::runtime_error(what);
}

int OtherModuleCallBack(OtherModuleCallback callback) {
    const std::string held = "released while unwinding";
    callback();
    return static_cast<int>(held.size());
}
