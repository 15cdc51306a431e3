// The time picker: holds a whole instant and lets the operator change only its time of day, to
// the second; the date part stays what it was given.
#pragma once

#include <QTimeEdit>

#include "framework/ctime.h"

class TimeOfDayEdit final : public QTimeEdit {
public:
    explicit TimeOfDayEdit(QWidget* parent);

    CTime Value() const;
    void SetValue(const CTime& value);

private:
    CTime m_value = CTime::GetCurrentTime();  // a picker always holds a value
};
