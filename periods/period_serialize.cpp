#include "periods/period_records.h"

// The archive layer gives these their bodies.
void CDateInfo::Serialize(CArchive&) {}
void CTimeZone::Serialize(CArchive&) {}
