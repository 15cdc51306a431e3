// CWinApp: the application object of a module, and the start-up and shutdown that the
// module's loading and unloading run on it.
#pragma once

#include "calvora/framework/cstring.h"
#include "calvora/framework/modulestate.h"

class CWinApp {
public:
    constexpr explicit CWinApp(LPCSTR lpszAppName = nullptr) : m_pszAppName(lpszAppName) {}
    virtual ~CWinApp() = default;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    // The application name; the module's file title unless the constructor was given one.
    LPCSTR m_pszAppName;

private:
    friend class CModuleStartup;
    CString m_strAppNameStorage;
};

// The application object of the current module state.
CWinApp* AfxGetApp();

// Lives as a static object of a loadable module, defined after everything it needs: its
// construction is the module's start-up, its destruction the module's termination step.
class CModuleStartup {
public:
    // Fills the class registry, names the application after the module's own file, makes it
    // the module state's application and runs InitInstance, all under the module's state.
    CModuleStartup(CWinApp& app, void (*registerClasses)());
    ~CModuleStartup();
    CModuleStartup(const CModuleStartup&) = delete;
    CModuleStartup& operator=(const CModuleStartup&) = delete;

private:
    CWinApp& m_app;
};
