// CPeriodApp: the module's application object, keeper of the period list and its data file.
#pragma once

#include "calvora/api/data_file.h"
#include "calvora/framework/coblist.h"
#include "calvora/framework/platform/file_path.h"
#include "calvora/framework/winapp.h"

class CPeriodApp : public CWinApp {
public:
    CPeriodApp();
    // Deletes every period and the list; nothing is saved.
    ~CPeriodApp() override;

    // Creates the list and loads the data file beside the host, migrating a legacy file.
    BOOL InitInstance() override;

    // Writes the module's list to its data file and pushes it to the synchronisation library.
    void SaveData();

    BOOL m_bTmFormat = 0;  // archive schema: 1 = tm, 0 = legacy
    // After start-up the data file's full path, ending in "tm"; empty when the executable's
    // path could not be read, so that nothing is read or saved.
    platform::FilePath m_dataPath;
    BOOL m_bReceiving = 0;  // 1 while a received list is saved: no push

    // Set when start-up met a data file it could not read to its end: the first save that
    // replaces it keeps a copy of it beside it (past the links the store follows) when it can,
    // and saves all the same when it cannot.
    BOOL m_bKeepUnreadFile = 0;
};

// The module's one application object, held by the store. Inline, so that a file including this
// header has it constructed before the file's own later static objects, as the module's start-up
// needs, and destroyed after them.
inline CPeriodApp theApp;

enum class LoadOutcome { NotOpened, Complete, Incomplete };

// Appends the periods of the file at path to list, in the schema m_bTmFormat names. Periods
// read completely before a failure stay appended. NotOpened, nothing appended, also when no
// read of the file as one writer left it could be made in time.
LoadOutcome LoadPeriodList(CObList* list, const platform::FilePath& path);

// Writes list to the file at path in the schema m_bTmFormat names and then, once it is on disk
// and unless a received list is being saved, pushes it to the synchronisation library; a list
// that was not written is not pushed. TRUE when the file was written;
// otherwise the system's reason is the thread's last system error, which is how a host learns
// why a received list was not saved. An empty path names no data file: nothing is written and
// nothing pushed.
BOOL SavePeriodList(CObList* list, const platform::FilePath& path);
