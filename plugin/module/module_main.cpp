// The loadable module: its application object and the start-up that runs when a host loads
// it. Defined in this order in one file, so the application object exists before start-up
// and is destroyed after the termination step.
#include "framework/ui/dialog_template.h"
#include "framework/winapp.h"
#include "periods/period_records.h"
#include "resources/dialog_templates.h"
#include "store/period_app.h"

CPeriodApp theApp;

namespace {

// What the module holds for the framework: its record classes and its dialog templates.
void RegisterModuleContents() {
    RegisterPeriodClasses();
    AfxSetDialogTemplates(resources::AllDialogTemplates());
}

const CModuleStartup g_startup(theApp, RegisterModuleContents);

}  // namespace
