#include "calvora/framework/winapp.h"

#include "calvora/framework/platform/module_services.h"

CWinApp* AfxGetApp() {
    return AfxGetModuleState()->m_pCurrentWinApp;
}

CModuleStartup::CModuleStartup(CWinApp& app, void (*registerClasses)()) : m_app(app) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    registerClasses();
    if (app.m_pszAppName == nullptr) {
        // Any address inside this constructor lies in the module being loaded.
        const HMODULE self = AfxGetModuleOfAddress(reinterpret_cast<const void*>(&AfxGetApp));
        app.m_strAppNameStorage = AfxFileTitleOf(AfxGetModuleFileName(self));
        app.m_pszAppName = app.m_strAppNameStorage;
    }
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    state->m_pCurrentWinApp = &app;
    state->m_lpszCurrentAppName = app.m_pszAppName;
    try {
        app.InitInstance();
    } catch (...) {
        // Loading must not fail: an application that could not start runs with what it has.
    }
}

CModuleStartup::~CModuleStartup() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    m_app.ExitInstance();
}
