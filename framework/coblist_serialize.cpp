#include "framework/coblist.h"

// The list framing is written and read by the archive layer.
void CObList::Serialize(CArchive&) {}
