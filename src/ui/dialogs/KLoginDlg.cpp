#include "ui/dialogs/KLoginDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "res/Strings.h"
#include "settings/SettingsStore.h"
#include "ui/support/MessageBox.h"
#include "ui/widgets/CCheckComboBox.h"
#include "ui/widgets/CCheckEdit.h"

namespace vantelsor::ui {
namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Letters and digits only, for user names and passwords.
template <typename Box>
void AllowLettersAndDigits(Box* box) {
    box->AddRange(u'0', u'9');
    box->AddRange(u'a', u'z');
    box->AddRange(u'A', u'Z');
}

void FillList(QComboBox* box, const std::vector<std::string>& items) {
    for (const auto& item : items) box->addItem(QString::fromStdString(item));
    box->setCurrentIndex(items.empty() ? -1 : 0);
    if (items.empty()) box->setEditText(QString());
}

}  // namespace

KLoginDlg::KLoginDlg(SettingsStore* settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(Text(res::kLoginTitle));
    BuildControls();
    LoadLists();
}

void KLoginDlg::BuildControls() {
    userBox_ = new CCheckComboBox(this);
    AllowLettersAndDigits(userBox_);
    passwordEdit_ = new CCheckEdit(this);
    passwordEdit_->setEchoMode(QLineEdit::Password);
    AllowLettersAndDigits(passwordEdit_);
    addressBox_ = new QComboBox(this);
    addressBox_->setEditable(true);
    addressBox_->setInsertPolicy(QComboBox::NoInsert);
    addressBox_->setCompleter(nullptr);
    encryptionBox_ = new QComboBox(this);
    encryptionBox_->addItem(Text(res::kEncryptNone), 0);
    encryptionBox_->addItem(Text(res::kEncryptBoth), 3);
    encryptionBox_->addItem(Text(res::kEncryptKeyboard), 1);
    encryptionBox_->addItem(Text(res::kEncryptMouse), 2);
    encryptionBox_->setCurrentIndex(0);

    auto* form = new QFormLayout;
    form->addRow(Text(res::kLoginUser), userBox_);
    form->addRow(Text(res::kLoginPassword), passwordEdit_);
    form->addRow(Text(res::kLoginAddress), addressBox_);
    form->addRow(Text(res::kLoginEncryption), encryptionBox_);

    clearUsers_ = new QPushButton(Text(res::kClearUsers), this);
    clearAddresses_ = new QPushButton(Text(res::kClearAddresses), this);
    // Neither may take Enter from the default OK button.
    clearUsers_->setAutoDefault(false);
    clearAddresses_->setAutoDefault(false);
    connect(clearUsers_, &QPushButton::clicked, this, &KLoginDlg::ClearUsers);
    connect(clearAddresses_, &QPushButton::clicked, this, &KLoginDlg::ClearAddresses);
    auto* clearRow = new QHBoxLayout;
    clearRow->addWidget(clearUsers_);
    clearRow->addWidget(clearAddresses_);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(Text(res::kButtonOk), QDialogButtonBox::AcceptRole);
    buttons->addButton(Text(res::kButtonCancel), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &KLoginDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &KLoginDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(clearRow);
    layout->addWidget(buttons);
}

void KLoginDlg::LoadLists() {
    std::vector<std::string> users, addresses;
    if (settings_) {
        settings_->LoadRecentUsers(&users);
        settings_->LoadRecentAddresses(&addresses);
    }
    FillList(userBox_, users);
    FillList(addressBox_, addresses);
}

void KLoginDlg::Fill(const QString& user, const QString& password, const QString& address) {
    userBox_->setEditText(user);
    passwordEdit_->setText(password);
    addressBox_->setEditText(address);
}

void KLoginDlg::ClearUsers() {
    if (settings_) settings_->ClearRecentUsers();
    const QString typed = userBox_->currentText();
    userBox_->clear();
    userBox_->setEditText(typed);
}

void KLoginDlg::ClearAddresses() {
    if (settings_) settings_->ClearRecentAddresses();
    const QString typed = addressBox_->currentText();
    addressBox_->clear();
    addressBox_->setEditText(typed);
}

bool KLoginDlg::Validate() {
    const LoginCheck check = CheckLoginInput(addressBox_->currentText().toUtf8().toStdString(),
                                             userBox_->currentText().toUtf8().toStdString(),
                                             passwordEdit_->text().toUtf8().toStdString());
    if (!check.ok()) {
        MessageBox::Show(this, BoxKind::kError, QString::fromStdString(check.message));
        FocusField(check.failed);
        return false;
    }
    userName_ = userBox_->currentText();
    password_ = passwordEdit_->text();
    deviceAddress_ = check.deviceAddress;
    encryptionFlags_ = encryptionBox_->currentData().toInt();
    return true;
}

void KLoginDlg::FocusField(LoginField field) {
    switch (field) {
        case LoginField::kAddress:
            addressBox_->setFocus();
            addressBox_->lineEdit()->selectAll();
            break;
        case LoginField::kUserName:
            userBox_->setFocus();
            userBox_->lineEdit()->selectAll();
            break;
        case LoginField::kPassword:
            passwordEdit_->setFocus();
            passwordEdit_->selectAll();
            break;
        case LoginField::kNone:
            break;
    }
}

void KLoginDlg::accept() {
    if (Validate()) QDialog::accept();
}

}  // namespace vantelsor::ui
