// Makes the records read and write one archive schema for the lifetime of the object.
#pragma once

#include "periods/period_records.h"

class SchemaScope {
public:
    explicit SchemaScope(bool tmSchema)
        : m_flag(tmSchema ? TRUE : FALSE), m_previous(SetPeriodArchiveSchemaFlag(&m_flag)) {}
    ~SchemaScope() { SetPeriodArchiveSchemaFlag(m_previous); }
    SchemaScope(const SchemaScope&) = delete;
    SchemaScope& operator=(const SchemaScope&) = delete;

private:
    BOOL m_flag;
    const BOOL* m_previous;
};
