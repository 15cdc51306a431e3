// The loadable module's start-up, which runs when a host loads it. The application object
// comes with store/period_app.h, included above it, so it exists before start-up and is
// destroyed after the termination step.
#include "framework/ui/dialog_template.h"
#include "framework/winapp.h"
#include "periods/period_records.h"
#include "resources/dialog_templates.h"
#include "store/period_app.h"

namespace {

// What the module holds for the framework: its record classes and its dialog templates.
void RegisterModuleContents() {
    RegisterPeriodClasses();
    AfxSetDialogTemplates(resources::AllDialogTemplates());
}

const CModuleStartup g_startup(theApp, RegisterModuleContents);

}  // namespace
