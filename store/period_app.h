// CPeriodApp: the module's application object, keeper of the period list and its data file.
#pragma once

#include "framework/coblist.h"
#include "framework/cstring.h"
#include "framework/winapp.h"

class CPeriodApp : public CWinApp {
public:
    CPeriodApp();
    // Deletes every period and the list; nothing is saved.
    ~CPeriodApp() override;

    // Creates the list and loads the data file beside the host, migrating a legacy file.
    BOOL InitInstance() override;

    // Writes the module's list to its data file and pushes it to the synchronisation library.
    void SaveData();

    BOOL m_bTmFormat = 0;      // archive schema: 1 = tm, 0 = legacy
    CString m_strDataPath;     // after start-up the data file's full path, ending in "tm"
    BOOL m_bReceiving = 0;     // 1 while a received list is saved: no push

    // Set when start-up met a data file it could not read to its end: the first save that
    // replaces it keeps it beside the new one.
    BOOL m_bKeepUnreadFile = 0;
};

// The module's one application object.
extern CPeriodApp theApp;

enum class LoadOutcome { NotOpened, Complete, Incomplete };

// Appends the periods of the file at path to list, in the schema m_bTmFormat names. Periods
// read completely before a failure stay appended.
LoadOutcome LoadPeriodList(CObList* list, CString path);

// Writes list to the file at path in the schema m_bTmFormat names and, unless a received list
// is being saved, pushes it to the synchronisation library. TRUE when the file was written.
BOOL SavePeriodList(CObList* list, CString path);

// The data file's name without its schema extension: the executable's path without its last
// three characters when its name ends in a dot and three characters ("Host.exe" gives
// "Host."), otherwise the path and a dot.
CString DataPathStem(const CString& executablePath);
