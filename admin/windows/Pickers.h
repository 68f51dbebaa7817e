#pragma once
// Date and time pickers that Tab leaves in one press. Qt's pickers first move
// Tab through their sections (hours, minutes, seconds, AM/PM), so crossing
// one took four presses; the arrow keys and the separators still move from
// section to section.
#include <QDateEdit>
#include <QTimeEdit>

template <class Picker>
class TabLeavingPicker : public Picker {
public:
    using Picker::Picker;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

using TimePicker = TabLeavingPicker<QTimeEdit>;
using DatePicker = TabLeavingPicker<QDateEdit>;
