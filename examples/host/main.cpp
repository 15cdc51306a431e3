// A minimal host of the Calvora module: loads it, lists its periods, asks whether some of them
// are active now, hands it a list from a file, and opens the selection dialog.
//
//   example-host [--module PATH] list | check N... | receive FILE | select N...
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "calvora/api/calvora_api.h"
#include "calvora/framework/carchive.h"
#include "calvora/framework/cfile.h"
#include "calvora/framework/platform/module_services.h"
#include "calvora/periods/period_records.h"

namespace {

// The exports' types come from their declarations; the host resolves them at run time.
template <auto& Export>
auto Resolve(HMODULE module, const char* name) {
    auto* function = AfxGetProcAddress<decltype(&Export)>(module, name);
    if (function == nullptr) {
        std::fprintf(stderr, "example-host: the module has no %s\n", name);
        std::exit(3);
    }
    return function;
}

int List(HMODULE module) {
    CObList periods;  // the module's own objects, lent: the host must not delete them
    Resolve<GetConfigData>(module, "GetConfigData")(&periods);
    for (POSITION pos = periods.GetHeadPosition(); pos != nullptr;) {
        const CObject* object = periods.GetNext(pos);
        if (!object->IsKindOf(RUNTIME_CLASS(CTimeZone)))
            continue;
        const auto* period = static_cast<const CTimeZone*>(object);
        std::printf("%u %s\n", static_cast<unsigned>(period->GetID()),
                    period->m_strDesc.GetString());
    }
    return 0;
}

void FillSelection(const std::vector<std::string>& numbers, CDWordArray& selection) {
    for (const std::string& number : numbers)
        selection.Add(static_cast<DWORD>(std::strtoul(number.c_str(), nullptr, 10)));
}

int Check(HMODULE module, const std::vector<std::string>& numbers) {
    CDWordArray selection;
    FillSelection(numbers, selection);
    const BOOL active = Resolve<IsActTimeNow>(module, "IsActTimeNow")(&selection);
    std::printf("%s\n", active ? "active" : "inactive");
    return active ? 0 : 1;
}

int Receive(HMODULE module, const std::string& path) {
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeRead)) {
        std::fprintf(stderr, "example-host: cannot open %s\n", path.c_str());
        return 2;
    }
    CArchive archive(&file, CArchive::load);
    try {
        Resolve<ReceiveObjListFromArchive>(module, "ReceiveObjListFromArchive")(&archive);
    } catch (const CException&) {  // a damaged list changes nothing
        std::fprintf(stderr, "example-host: %s holds no valid list\n", path.c_str());
        return 2;
    }
    return 0;
}

int Select(HMODULE module, const std::vector<std::string>& numbers) {
    CDWordArray selection;
    FillSelection(numbers, selection);
    if (!Resolve<DoSet>(module, "DoSet")(&selection))
        return 1;
    for (int i = 0; i < selection.GetSize(); ++i)
        std::printf("%u\n", static_cast<unsigned>(selection[i]));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string modulePath = CALVORA_MODULE;
    if (args.size() >= 2 && args[0] == "--module") {
        modulePath = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) {
        std::fprintf(
            stderr,
            "usage: example-host [--module PATH] list | check N... | receive FILE | select N...\n");
        return 2;
    }
    const HMODULE module = LoadLibraryA(modulePath.c_str());
    if (module == nullptr) {
        std::fprintf(stderr, "example-host: cannot load %s\n", modulePath.c_str());
        return 3;
    }
    const std::string command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "list")
        return List(module);
    if (command == "check")
        return Check(module, rest);
    if (command == "receive" && rest.size() == 1)
        return Receive(module, rest[0]);
    if (command == "select")
        return Select(module, rest);
    std::fprintf(stderr, "example-host: unknown command %s\n", command.c_str());
    return 2;
}
