// The login dialog: user name, password, device address and encryption mode,
// with the recent user names and addresses from the settings. OK is accepted
// only for input that passes the login check shared with vantelsorctl
// (session/LoginCheck.h); otherwise its message is shown in an error box and
// the offending field gets the focus. User-interface thread.
#pragma once

#include <QDialog>
#include <cstdint>

#include "session/LoginCheck.h"

class QComboBox;
class QPushButton;

namespace vantelsor {
class SettingsStore;
}

namespace vantelsor::ui {

class CCheckComboBox;
class CCheckEdit;

class KLoginDlg : public QDialog {
    Q_OBJECT

  public:
    // `settings` may be null (no recent lists).
    explicit KLoginDlg(SettingsStore* settings, QWidget* parent = nullptr);

    // Presets the fields (the demo fills in its own device).
    void Fill(const QString& user, const QString& password, const QString& address);

    // Valid after an accepted OK.
    QString userName() const { return userName_; }
    QString password() const { return password_; }
    uint32_t deviceAddress() const { return deviceAddress_; }  // host order
    int32_t encryptionFlags() const { return encryptionFlags_; }

    CCheckComboBox* userBox() const { return userBox_; }
    CCheckEdit* passwordEdit() const { return passwordEdit_; }
    QComboBox* addressBox() const { return addressBox_; }
    QComboBox* encryptionBox() const { return encryptionBox_; }
    QPushButton* clearUsersButton() const { return clearUsers_; }
    QPushButton* clearAddressesButton() const { return clearAddresses_; }

  public Q_SLOTS:
    void accept() override;

  private:
    void BuildControls();
    void LoadLists();
    void ClearUsers();
    void ClearAddresses();
    // False after telling the user what is wrong.
    bool Validate();
    // Gives the box of a field that failed the check the focus, its text selected.
    void FocusField(LoginField field);

    SettingsStore* settings_;
    CCheckComboBox* userBox_ = nullptr;
    CCheckEdit* passwordEdit_ = nullptr;
    QComboBox* addressBox_ = nullptr;
    QComboBox* encryptionBox_ = nullptr;
    QPushButton* clearUsers_ = nullptr;
    QPushButton* clearAddresses_ = nullptr;

    QString userName_;
    QString password_;
    uint32_t deviceAddress_ = 0;
    int32_t encryptionFlags_ = 0;
};

}  // namespace vantelsor::ui
