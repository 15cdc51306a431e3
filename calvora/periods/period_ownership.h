// Destroying the periods of a list that owns them.
#pragma once

#include "calvora/framework/coblist.h"

// Destroys every period of an owning list, in list order, and empties the list. When the list
// held every period made and not yet destroyed, their memory goes back in one step.
void DeleteAllPeriods(CObList& list);
