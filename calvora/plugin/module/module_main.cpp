// The loadable module's start-up, which runs when a host loads it. The application object
// comes with calvora/store/period_app.h, included above it, so it exists before start-up and is
// destroyed after the termination step.
#include "calvora/framework/ui/dialog_template.h"
#include "calvora/framework/winapp.h"
#include "calvora/periods/period_records.h"
#include "calvora/resources/dialog_templates.h"
#include "calvora/store/period_app.h"

namespace {

// What the module holds for the framework: its record classes and its dialog templates.
void RegisterModuleContents() {
    RegisterPeriodClasses();
    AfxSetDialogTemplates(resources::AllDialogTemplates());
}

const CModuleStartup g_startup(theApp, RegisterModuleContents);

}  // namespace
