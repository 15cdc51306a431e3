// Test programs link the module's libraries directly; they hold the application object that
// the module defines for itself, without the module's start-up.
#include "store/period_app.h"

CPeriodApp theApp;
