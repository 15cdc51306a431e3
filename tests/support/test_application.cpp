// Test programs link the module's libraries directly, the store's application object with
// them, but not the module's start-up: they register the module's dialog templates as that
// start-up does.
#include "calvora/framework/ui/dialog_template.h"
#include "calvora/resources/dialog_templates.h"

[[maybe_unused]] const bool g_dialogTemplatesRegistered =
    (AfxSetDialogTemplates(resources::AllDialogTemplates()), true);
