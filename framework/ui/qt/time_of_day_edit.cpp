#include "framework/ui/qt/time_of_day_edit.h"

#include "framework/ui/dialog_rules.h"

TimeOfDayEdit::TimeOfDayEdit(QWidget* parent) : QTimeEdit(parent) {
    setDisplayFormat(QStringLiteral("H:mm:ss"));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    SetValue(m_value);
}

CTime TimeOfDayEdit::Value() const {
    const QTime shown = time();
    return dialog_rules::WithTimeOfDay(m_value, shown.hour(), shown.minute(), shown.second());
}

void TimeOfDayEdit::SetValue(const CTime& value) {
    m_value = value;
    std::tm fields{};
    const bool local = value.GetLocalTm(&fields) != nullptr;
    setTime(local ? QTime(fields.tm_hour, fields.tm_min, fields.tm_sec) : QTime(0, 0));
}
