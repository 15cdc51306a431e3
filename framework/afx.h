// The framework's value types and collections in one include.
#pragma once

#include "framework/afxexcept.h"
#include "framework/afxtypes.h"
#include "framework/carchive.h"
#include "framework/cdwordarray.h"
#include "framework/cfile.h"
#include "framework/cobject.h"
#include "framework/coblist.h"
#include "framework/cstring.h"
#include "framework/ctime.h"
#include "framework/modulestate.h"
#include "framework/wrapint.h"
