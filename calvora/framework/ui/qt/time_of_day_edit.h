// The time picker: holds a whole instant and lets the operator change only its time of day, to
// the second; the date part stays what it was given. Typing works field by field as on the
// platform's picker: digits fill the selected field and move on to the next one once it is
// full, the separator moves on too, the arrows step the field round within its range.
#pragma once

#include <QTimeEdit>

#include "calvora/framework/ctime.h"

class TimeOfDayEdit final : public QTimeEdit {
public:
    explicit TimeOfDayEdit(QWidget* parent);

    CTime Value() const;
    void SetValue(const CTime& value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void TypeDigit(int digit);
    void SelectField(int index);

    CTime m_value = CTime::GetCurrentTime();  // a picker always holds a value
    // The field a first digit was typed into, waiting for a second one.
    Section m_pendingField = NoSection;
    int m_pendingDigit = 0;
    bool m_movedOnByDigits = false;
};
