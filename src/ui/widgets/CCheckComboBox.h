// An editable combo box whose edit part is a CCheckEdit: typing into it is
// filtered by the ranges added here. User-interface thread.
#pragma once

#include <QComboBox>

#include "ui/widgets/CCheckEdit.h"

namespace vantelsor::ui {

class CCheckComboBox : public QComboBox {
    Q_OBJECT

  public:
    explicit CCheckComboBox(QWidget* parent = nullptr);

    void AddRange(char16_t a, char16_t b) { edit_->AddRange(a, b); }
    CCheckEdit* edit() const { return edit_; }

  private:
    CCheckEdit* edit_;  // owned by the combo box
};

}  // namespace vantelsor::ui
