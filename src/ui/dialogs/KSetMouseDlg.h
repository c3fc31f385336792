// The cursor dialog: the local cursor shown over the console, or hidden and
// confined to it. Local only; the caller applies the choice. User-interface thread.
#pragma once

#include <QDialog>

class QRadioButton;

namespace vantelsor::ui {

class KSetMouseDlg : public QDialog {
    Q_OBJECT

  public:
    explicit KSetMouseDlg(QWidget* parent = nullptr);

    // 0 shown, 1 hidden.
    int cursorChoice() const;
    void setCursorChoice(int choice);

    QRadioButton* shownButton() const { return shown_; }
    QRadioButton* hiddenButton() const { return hidden_; }

  private:
    QRadioButton* shown_;
    QRadioButton* hidden_;
};

}  // namespace vantelsor::ui
