#include "ui/widgets/CCheckComboBox.h"

namespace vantelsor::ui {

CCheckComboBox::CCheckComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // The box's own completion and insertion would add typed text to the list;
    // the list holds only what the settings keep.
    setInsertPolicy(QComboBox::NoInsert);
    edit_ = new CCheckEdit(this);
    setLineEdit(edit_);
    setCompleter(nullptr);
}

}  // namespace vantelsor::ui
