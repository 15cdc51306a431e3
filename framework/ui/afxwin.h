// The platform's window classes in one include.
#pragma once

#include "framework/ui/cdialog.h"
#include "framework/ui/cwnd.h"
#include "framework/winconst.h"
