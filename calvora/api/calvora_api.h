// The functions the module exports to its host, with C linkage and their plain names.
#pragma once

#include "calvora/framework/afx.h"

class CArchive;

// Opens the period list dialog to maintain the periods.
CALVORA_EXPORT void CALVORA_CDECL DoConfig();
// As DoConfig; afterwards *log holds the operation log, whatever way the dialog was left. A null
// log is allowed.
CALVORA_EXPORT void CALVORA_CDECL DoConfigEx(CString* log);
// Opens the dialog with tick boxes, pre-ticking the numbers of *selection. TRUE after OK, when
// *selection holds the ticked numbers in list order; FALSE otherwise, *selection untouched. A
// null selection opens nothing and gives FALSE.
CALVORA_EXPORT BOOL CALVORA_CDECL DoSet(CDWordArray* selection);
// As DoSet; after OK *log (when not null) also holds the operation log.
CALVORA_EXPORT BOOL CALVORA_CDECL DoSetEx(CDWordArray* selection, CString* log);

// 1 when the current local time lies inside at least one period named in the selection.
CALVORA_EXPORT BOOL CALVORA_CDECL IsActTimeNow(CDWordArray* selection);

// Appends the module's own period pointers, in list order, to *list; the module keeps owning
// them. Always 1.
CALVORA_EXPORT int CALVORA_CDECL GetConfigData(CObList* list);
// Replaces the module's periods with the list the loading archive holds and saves them. A
// damaged archive raises its CArchiveException and changes nothing.
CALVORA_EXPORT void CALVORA_CDECL ReceiveObjListFromArchive(CArchive* archive);
