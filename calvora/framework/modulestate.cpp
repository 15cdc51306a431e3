// Each thread holds the state it runs under; until a switch it is the caller's, the host's. A
// switch is a scope (AFX_MAINTAIN_STATE2) that puts back exactly what it found, so switches
// nest and unwind with exceptions, and no thread sees another's.
#include "calvora/framework/modulestate.h"

namespace {

AFX_MODULE_STATE g_moduleState;  // this module's
AFX_MODULE_STATE g_callerState;  // what a thread holds before any switch: the host's
thread_local AFX_MODULE_STATE* t_pCurrentState = nullptr;

}  // namespace

AFX_MODULE_STATE* AfxGetModuleState() {
    return t_pCurrentState != nullptr ? t_pCurrentState : &g_callerState;
}

AFX_MODULE_STATE* AfxGetStaticModuleState() {
    return &g_moduleState;
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState)
    : m_pPrevModuleState(t_pCurrentState) {
    t_pCurrentState = pNewState;
}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2() {
    t_pCurrentState = m_pPrevModuleState;
}
