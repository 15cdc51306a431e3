// Test programs link the module's libraries directly; they hold the application object that
// the module defines for itself, without the module's start-up, and register the module's
// dialog templates as that start-up does.
#include "framework/ui/dialog_template.h"
#include "resources/dialog_templates.h"
#include "store/period_app.h"

CPeriodApp theApp;

[[maybe_unused]] const bool g_dialogTemplatesRegistered =
    (AfxSetDialogTemplates(resources::AllDialogTemplates()), true);
