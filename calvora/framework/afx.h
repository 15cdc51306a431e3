// The framework's value types and collections in one include.
#pragma once

#include "calvora/framework/afxexcept.h"
#include "calvora/framework/afxtypes.h"
#include "calvora/framework/carchive.h"
#include "calvora/framework/cdwordarray.h"
#include "calvora/framework/cfile.h"
#include "calvora/framework/cobject.h"
#include "calvora/framework/coblist.h"
#include "calvora/framework/cstring.h"
#include "calvora/framework/ctime.h"
#include "calvora/framework/modulestate.h"
#include "calvora/framework/wrapint.h"
