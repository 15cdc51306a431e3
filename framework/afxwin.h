// The platform's window classes in one include.
#pragma once

#include "framework/cdialog.h"
#include "framework/cwnd.h"
#include "framework/winconst.h"
