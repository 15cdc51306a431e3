#include "calvora/framework/ui/dialog_template.h"

#include "calvora/framework/afxres.h"

namespace ui {

const DialogTemplate* FindTemplate(std::span<const DialogTemplate> table, int id) {
    for (const DialogTemplate& dialog : table) {
        if (dialog.id == id)
            return &dialog;
    }
    return nullptr;
}

const ControlTemplate* FindControl(const DialogTemplate& dialog, int id) {
    if (id == IDC_STATIC)
        return nullptr;
    for (const ControlTemplate& control : dialog.controls) {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}

}  // namespace ui

namespace {

// Registered once at start-up, before any dialog; read on the dialog's thread.
std::span<const ui::DialogTemplate> g_dialogTemplates;

}  // namespace

void AfxSetDialogTemplates(std::span<const ui::DialogTemplate> templates) {
    g_dialogTemplates = templates;
}

const ui::DialogTemplate* AfxFindDialogTemplate(int id) {
    return ui::FindTemplate(g_dialogTemplates, id);
}
