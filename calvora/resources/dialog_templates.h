// The module's two dialog templates and the weekday items of its drop-down lists.
#pragma once

#include <span>

#include "calvora/framework/ui/dialog_template.h"
#include "calvora/resources/resource.h"

namespace resources {

// The template with that id, or nullptr.
const ui::DialogTemplate* FindDialogTemplate(int id);

// Both templates, for tools that render or export all of them.
std::span<const ui::DialogTemplate> AllDialogTemplates();

// The seven weekday items, Monday first, as both weekday lists hold them.
std::span<const char* const> WeekdayItems();

}  // namespace resources
