// The platform's window classes in one include.
#pragma once

#include "calvora/framework/ui/cdialog.h"
#include "calvora/framework/ui/cwnd.h"
#include "calvora/framework/winconst.h"
