// m_value keeps the whole instant given; the toolkit only ever holds its time of day, and Value
// puts the two together, so the date never passes through the toolkit's own time handling.
#include "calvora/framework/ui/qt/time_of_day_edit.h"

#include <QKeyEvent>
#include <algorithm>
#include <utility>

#include "calvora/framework/ui/dialog_rules.h"

TimeOfDayEdit::TimeOfDayEdit(QWidget* parent) : QTimeEdit(parent) {
    setDisplayFormat(QStringLiteral("HH:mm:ss"));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    // Stepping past 59 or 23 comes round to 0 in the same field, as on the platform.
    setWrapping(true);
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

void TimeOfDayEdit::focusInEvent(QFocusEvent* event) {
    m_pendingField = NoSection;
    QTimeEdit::focusInEvent(event);
}

void TimeOfDayEdit::SelectField(int index) {
    m_pendingField = NoSection;
    if (index >= 0 && index < sectionCount())
        setSelectedSection(sectionAt(index));
}

void TimeOfDayEdit::TypeDigit(int digit) {
    const Section field = currentSection();
    const int highest = field == HourSection ? 23 : 59;
    // A second digit completes the field when the two make a value in range; otherwise the
    // digit starts the field afresh. The field is full with two digits, or with one that no
    // second digit could follow.
    int value = digit;
    bool full = digit * 10 > highest;
    if (field == m_pendingField && m_pendingDigit * 10 + digit <= highest) {
        value = m_pendingDigit * 10 + digit;
        full = true;
    }
    m_pendingField = full ? NoSection : field;
    m_pendingDigit = digit;
    const QTime shown = time();
    switch (field) {
        case HourSection:
            setTime(QTime(value, shown.minute(), shown.second()));
            break;
        case MinuteSection:
            setTime(QTime(shown.hour(), value, shown.second()));
            break;
        case SecondSection:
            setTime(QTime(shown.hour(), shown.minute(), value));
            break;
        default:
            return;
    }
    // A full field hands the typing on to the next one, as "0830" is 08:30.
    const int next = currentSectionIndex() + 1;
    if (full && next < sectionCount()) {
        SelectField(next);
        m_movedOnByDigits = true;
    } else {
        setSelectedSection(field);
    }
}

void TimeOfDayEdit::keyPressEvent(QKeyEvent* event) {
    const bool command =
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
    const QString typed = event->text();
    // A separator typed just after the digits filled a field has already been moved past.
    const bool movedOnByDigits = std::exchange(m_movedOnByDigits, false);
    switch (event->key()) {
        case Qt::Key_Left:
            SelectField(std::max(currentSectionIndex() - 1, 0));
            return;
        case Qt::Key_Right:
            SelectField(std::min(currentSectionIndex() + 1, sectionCount() - 1));
            return;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            m_pendingField = NoSection;
            QTimeEdit::keyPressEvent(event);
            return;
        default:
            break;
    }
    if (command || typed.isEmpty() || !typed.front().isPrint()) {
        // Editing keys other than typing (Backspace, Delete) would leave a field without a
        // value, which a picker never has.
        if (event->key() != Qt::Key_Backspace && event->key() != Qt::Key_Delete)
            QTimeEdit::keyPressEvent(event);
        return;
    }
    const QChar ch = typed.front();
    if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
        TypeDigit(ch.digitValue());
    else if (ch == QLatin1Char(':') && !movedOnByDigits)
        SelectField(std::min(currentSectionIndex() + 1, sectionCount() - 1));
    // Any other character is refused.
    event->accept();
}
