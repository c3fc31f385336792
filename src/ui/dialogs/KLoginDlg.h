// The login dialog: user name, password, device address and encryption mode,
// with the recent user names and addresses from the settings. OK is accepted
// only for plausible input; otherwise the rule is named in an error box and
// the offending field gets the focus. User-interface thread.
#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>

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
    static constexpr int kUserMin = 4, kUserMax = 16;
    static constexpr int kPasswordMin = 6, kPasswordMax = 16;

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

// The address as the classic dotted-address parser reads it, in host order;
// nothing for text it rejects (255.255.255.255 included, as the parser cannot
// tell it from an error).
std::optional<uint32_t> ParseDeviceAddress(const QString& text);

}  // namespace vantelsor::ui
