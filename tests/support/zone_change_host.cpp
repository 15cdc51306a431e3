// A host that changes the local time zone between loading the module and handing it a list:
//   zone_change_host MODULE ARCHIVE ZONE
// The module's start-up reads the data file named after this program under the zone the
// process started with; the list in ARCHIVE is received under ZONE. Exit status 0 when the
// list was received, 1 when the module rejected it, 2 on wrong use, 3 without the module.
#include <cstdlib>
#include <ctime>

#include "calvora/framework/afx.h"
#include "calvora/framework/carchive.h"
#include "calvora/framework/platform/module_services.h"

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    const HMODULE module = LoadLibraryA(argv[1]);
    if (module == nullptr)
        return 3;
    ::setenv("TZ", argv[3], 1);
    ::tzset();
    CFile file;
    if (!file.Open(argv[2], CFile::modeRead))
        return 2;
    CArchive archive(&file, CArchive::load);
    try {
        AfxGetProcAddress<void (*)(CArchive*)>(module, "ReceiveObjListFromArchive")(&archive);
    } catch (const CException&) {
        return 1;
    }
    return 0;
}
