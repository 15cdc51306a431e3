// The loadable module: its application object and the start-up that runs when a host loads
// it. Defined in this order in one file, so the application object exists before start-up
// and is destroyed after the termination step.
#include "framework/winapp.h"
#include "periods/period_records.h"
#include "store/period_app.h"

CPeriodApp theApp;

namespace {

const CModuleStartup g_startup(theApp, RegisterPeriodClasses);

}  // namespace
