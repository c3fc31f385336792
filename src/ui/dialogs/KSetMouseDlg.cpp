#include "ui/dialogs/KSetMouseDlg.h"

#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "res/Strings.h"

namespace vantelsor::ui {

KSetMouseDlg::KSetMouseDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(res::kCursorTitle));
    shown_ = new QRadioButton(QString::fromUtf8(res::kCursorShown), this);
    hidden_ = new QRadioButton(QString::fromUtf8(res::kCursorHidden), this);
    shown_->setChecked(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromUtf8(res::kButtonOk), QDialogButtonBox::AcceptRole);
    buttons->addButton(QString::fromUtf8(res::kButtonCancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(shown_);
    layout->addWidget(hidden_);
    layout->addWidget(buttons);
}

int KSetMouseDlg::cursorChoice() const {
    return hidden_->isChecked() ? 1 : 0;
}

void KSetMouseDlg::setCursorChoice(int choice) {
    (choice == 1 ? hidden_ : shown_)->setChecked(true);
}

}  // namespace vantelsor::ui
