// The dialogs' logic on the offscreen platform: the login dialog's validation
// with its messages and focus, the character filters, the encryption modes,
// the recent lists, the connecting dialog, the cursor dialog, the rights check and
// the message boxes.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <memory>
#include <vector>

#include "TestAddress.h"
#include "protocol/MessageTypes.h"
#include "session/LoginSequence.h"
#include "settings/SettingsStore.h"
#include "ui/console/RightsCheck.h"
#include "ui/dialogs/KConnectingDlg.h"
#include "ui/dialogs/KLoginDlg.h"
#include "ui/dialogs/KSetMouseDlg.h"
#include "ui/support/MessageBox.h"
#include "ui/support/Translations.h"
#include "ui/widgets/CCheckComboBox.h"
#include "ui/widgets/CCheckEdit.h"

using namespace vantelsor;
using namespace vantelsor::ui;

namespace vantelsor::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Records every message box and answers it.
struct BoxRecorder {
    explicit BoxRecorder(bool answer = true) {
        MessageBox::SetInterceptor([this, answer](const BoxRecord& r) {
            boxes.push_back(r);
            return answer;
        });
    }
    ~BoxRecorder() { MessageBox::SetInterceptor(nullptr); }
    std::vector<BoxRecord> boxes;
};

// Shows an edit that admits the letters a..z; false when it never shows.
bool ShowLetterEdit(CCheckEdit* edit) {
    edit->AddRange(u'a', u'z');
    edit->show();
    return QTest::qWaitForWindowExposed(edit);
}

// A listener on the control port of `address`. With `hung`, its queue is full, so
// a further connect neither completes nor fails: it waits.
class Listener {
  public:
    Listener(uint32_t address, bool hung) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const int on = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        const sockaddr_in at = Endpoint(address);
        ok_ = ::bind(fd_, reinterpret_cast<const sockaddr*>(&at), sizeof at) == 0 &&
              ::listen(fd_, hung ? 0 : 8) == 0;
        // A backlog of 0 still queues one connection; a few more leave no doubt.
        for (int i = 0; hung && i < 4; ++i) {
            const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(c, reinterpret_cast<const sockaddr*>(&at), sizeof at);
            fillers_.push_back(c);
        }
        if (hung) QThread::msleep(200);  // the queued handshakes complete
    }
    ~Listener() {
        for (int c : fillers_) ::close(c);
        ::close(fd_);
    }
    bool ok() const { return ok_; }

    static sockaddr_in Endpoint(uint32_t address) {
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(msg::kControlPort);
        at.sin_addr.s_addr = htonl(address);
        return at;
    }

  private:
    int fd_ = -1;
    bool ok_ = false;
    std::vector<int> fillers_;
};

}  // namespace
}  // namespace vantelsor::test

using namespace vantelsor::test;

class DialogsTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        settings_.SetFilePath(dir_->filePath(QStringLiteral("config.ini")).toStdString());
    }

    void validation_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");  // empty: accepted
        QTest::addColumn<QString>("focus");    // which box gets the focus

        const QString good = QStringLiteral("192.168.0.3");
        QTest::newRow("ok") << good << "admin"
                            << "admin123"
                            << ""
                            << "";
        QTest::newRow("bad octet") << "192.168.0.300"
                                   << "admin"
                                   << "admin123" << U("IP地址非法！") << "address";
        QTest::newRow("broadcast") << "255.255.255.255"
                                   << "admin"
                                   << "admin123" << U("IP地址非法！") << "address";
        QTest::newRow("empty address") << ""
                                       << "admin"
                                       << "admin123" << U("IP地址非法！") << "address";
        QTest::newRow("address before user") << "x"
                                             << ""
                                             << "" << U("IP地址非法！") << "address";
        QTest::newRow("empty user") << good << ""
                                    << "admin123" << U("用户名不能为空！") << "user";
        QTest::newRow("user 3") << good << "abc"
                                << "admin123" << U("用户名长度应为4至16字符！") << "user";
        QTest::newRow("user 4") << good << "abcd"
                                << "admin123"
                                << ""
                                << "";
        QTest::newRow("user 16") << good << QString(16, QLatin1Char('u')) << "admin123"
                                 << ""
                                 << "";
        QTest::newRow("user 17") << good << QString(17, QLatin1Char('u')) << "admin123"
                                 << U("用户名长度应为4至16字符！") << "user";
        QTest::newRow("user before password") << good << ""
                                              << "" << U("用户名不能为空！") << "user";
        QTest::newRow("empty password") << good << "admin"
                                        << "" << U("密码不能为空！") << "password";
        QTest::newRow("password 5") << good << "admin"
                                    << "12345" << U("密码长度应为6至16字符！") << "password";
        QTest::newRow("password 6") << good << "admin"
                                    << "123456"
                                    << ""
                                    << "";
        QTest::newRow("password 16") << good << "admin" << QString(16, QLatin1Char('p')) << ""
                                     << "";
        QTest::newRow("password 17") << good << "admin" << QString(17, QLatin1Char('p'))
                                     << U("密码长度应为6至16字符！") << "password";
    }

    void validation() {
        QFETCH(QString, address);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(QString, focus);

        BoxRecorder boxes;
        KLoginDlg dialog(&settings_);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.Fill(user, password, address);
        dialog.encryptionBox()->setCurrentIndex(2);
        dialog.accept();

        if (message.isEmpty()) {
            QVERIFY(boxes.boxes.empty());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(dialog.userName(), user);
            QCOMPARE(dialog.password(), password);
            QCOMPARE(dialog.deviceAddress(), 0xC0A80003u);
            QCOMPARE(dialog.encryptionFlags(), 1);
            return;
        }
        QCOMPARE(boxes.boxes.size(), size_t(1));
        QCOMPARE(boxes.boxes[0].text, message);
        QCOMPARE(boxes.boxes[0].caption, U("错误"));
        QVERIFY(boxes.boxes[0].kind == BoxKind::kError);
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.result() != QDialog::Accepted);
        QWidget* focused = QApplication::focusWidget();
        if (focus == QLatin1String("address")) {
            QVERIFY(focused == dialog.addressBox() || focused == dialog.addressBox()->lineEdit());
        } else if (focus == QLatin1String("user")) {
            QVERIFY(focused == dialog.userBox() || focused == dialog.userBox()->lineEdit());
        } else {
            QCOMPARE(focused, static_cast<QWidget*>(dialog.passwordEdit()));
            QCOMPARE(dialog.passwordEdit()->selectedText(), password);
        }
    }

    void encryptionModes() {
        KLoginDlg dialog(nullptr);
        QComboBox* box = dialog.encryptionBox();
        const QStringList texts{U("都不加密"), U("都加密"), U("键盘加密"), U("鼠标加密")};
        const QList<int> values{0, 3, 1, 2};
        QCOMPARE(box->count(), 4);
        QCOMPARE(box->currentIndex(), 0);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(box->itemText(i), texts[i]);
            QCOMPARE(box->itemData(i).toInt(), values[i]);
        }
        QCOMPARE(dialog.windowTitle(), U("登录"));
    }

    void recentListsAndClearing() {
        {
            KLoginDlg empty(&settings_);
            QCOMPARE(empty.userBox()->count(), 0);
            QCOMPARE(empty.userBox()->currentIndex(), -1);
            QCOMPARE(empty.addressBox()->count(), 0);
        }
        settings_.AddRecentUser("first");
        settings_.AddRecentUser("second");
        settings_.AddRecentAddress("10.0.0.1");
        KLoginDlg dialog(&settings_);
        std::vector<std::string> users;
        settings_.LoadRecentUsers(&users);
        QCOMPARE(dialog.userBox()->count(), int(users.size()));
        QCOMPARE(dialog.userBox()->currentIndex(), 0);
        QCOMPARE(dialog.userBox()->currentText(), QString::fromStdString(users[0]));
        QCOMPARE(dialog.addressBox()->currentText(), QStringLiteral("10.0.0.1"));

        dialog.clearUsersButton()->click();
        QCOMPARE(dialog.userBox()->count(), 0);
        users.clear();
        settings_.LoadRecentUsers(&users);
        QVERIFY(users.empty());
        std::vector<std::string> addresses;
        settings_.LoadRecentAddresses(&addresses);
        QCOMPARE(addresses.size(), size_t(1));  // only the users went

        dialog.clearAddressesButton()->click();
        QCOMPARE(dialog.addressBox()->count(), 0);
        addresses.clear();
        settings_.LoadRecentAddresses(&addresses);
        QVERIFY(addresses.empty());
    }

    void characterFilter_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("refusals");
        QTest::newRow("letters and digits") << "Ab9z"
                                            << "Ab9z" << 0;
        QTest::newRow("underscore") << "a_b"
                                    << "ab" << 1;
        QTest::newRow("space") << "a b"
                               << "ab" << 1;
        QTest::newRow("chinese") << U("a中") << "a" << 1;
    }

    void characterFilter() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, refusals);
        KLoginDlg dialog(nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (QLineEdit* edit : {static_cast<QLineEdit*>(dialog.passwordEdit()),
                                static_cast<QLineEdit*>(dialog.userBox()->edit())}) {
            edit->clear();
            QSignalSpy refused(static_cast<CCheckEdit*>(edit), &CCheckEdit::refused);
            edit->setFocus();
            // Key events carrying the text, as an input method would deliver a
            // character that has no key of its own.
            for (const QChar c : typed) {
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
            }
            QCOMPARE(edit->text(), shown);
            QCOMPARE(refused.count(), refusals);
        }
    }

    void backspaceAndControlCharacters() {
        CCheckEdit edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QSignalSpy refused(&edit, &CCheckEdit::refused);
        // No ranges: only backspace works.
        edit.setText(QStringLiteral("abc"));
        edit.setCursorPosition(3);
        QTest::keyClick(&edit, Qt::Key_A);
        QCOMPARE(edit.text(), QStringLiteral("abc"));
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QStringLiteral("ab"));
        // A Ctrl+letter shortcut types a control character: refused.
        edit.AddRange(u'z', u'a');  // bounds in either order
        QVERIFY(edit.IsAllowed(u'm'));
        // On X11 the event of Ctrl+A carries the control character 0x01.
        QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
        QCOMPARE(edit.selectedText(), QString());
        QCOMPARE(refused.count(), 2);
        // Text set by the program is not filtered.
        edit.setText(QStringLiteral("a_b c"));
        QCOMPARE(edit.text(), QStringLiteral("a_b c"));
    }

    // Editing keys are not typed characters: they work whatever the ranges. On
    // X11 the Delete key's event carries the character U+007F.
    void editingKeysAlwaysWork() {
        CCheckEdit edit;
        QVERIFY(ShowLetterEdit(&edit));
        QSignalSpy refused(&edit, &CCheckEdit::refused);
        edit.setText(QStringLiteral("abcd"));
        edit.setCursorPosition(1);
        QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_Delete, QString(QChar(0x7F)),
                            Qt::NoModifier);
        QCOMPARE(edit.text(), QStringLiteral("acd"));
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(edit.text(), QStringLiteral("ad"));
        QTest::keyClick(&edit, Qt::Key_End);
        QTest::keyClick(&edit, Qt::Key_Left);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QStringLiteral("d"));
        QCOMPARE(refused.count(), 0);
    }

    // Text an input method commits is typed text too: a commit with a character
    // outside the ranges is refused whole.
    void inputMethodCommitsAreFiltered() {
        CCheckEdit edit;
        QVERIFY(ShowLetterEdit(&edit));
        QSignalSpy refused(&edit, &CCheckEdit::refused);
        QInputMethodEvent allowed;
        allowed.setCommitString(QStringLiteral("ab"));
        QApplication::sendEvent(&edit, &allowed);
        QCOMPARE(edit.text(), QStringLiteral("ab"));
        QInputMethodEvent foreign;
        foreign.setCommitString(U("c中"));
        QApplication::sendEvent(&edit, &foreign);
        QCOMPARE(edit.text(), QStringLiteral("ab"));
        QCOMPARE(refused.count(), 1);
        QCOMPARE(refused.at(0).at(0).value<QChar>(), QChar(0x4E2D));
    }

    void cursorDialog() {
        KSetMouseDlg dialog;
        QCOMPARE(dialog.windowTitle(), U("光标设置"));
        QCOMPARE(dialog.shownButton()->text(), U("显示本地光标"));
        QCOMPARE(dialog.hiddenButton()->text(), U("不显示本地光标(按CTRL+ALT+向下键退出)"));
        QCOMPARE(dialog.cursorChoice(), 0);
        dialog.setCursorChoice(1);
        QVERIFY(dialog.hiddenButton()->isChecked());
        QVERIFY(!dialog.shownButton()->isChecked());
        QCOMPARE(dialog.cursorChoice(), 1);
        dialog.setCursorChoice(0);
        QCOMPARE(dialog.cursorChoice(), 0);
    }

    void rightsCheck() {
        BoxRecorder boxes;
        QVERIFY(CheckAdministrator(nullptr, 1));
        QVERIFY(boxes.boxes.empty());
        QVERIFY(!CheckAdministrator(nullptr, 2));
        QCOMPARE(boxes.boxes.size(), size_t(1));
        QCOMPARE(boxes.boxes[0].text, U("普通用户无法设置，请联系管理员！"));
        QCOMPARE(boxes.boxes[0].caption, U("信息"));
        QVERIFY(boxes.boxes[0].kind == BoxKind::kInformation);
        QVERIFY(!CheckAdministrator(nullptr, 3));
        QCOMPARE(boxes.boxes.size(), size_t(1));  // other types: nothing shown
    }

    void messageBoxKinds() {
        QCOMPARE(MessageBox::CaptionOf(BoxKind::kError), U("错误"));
        QCOMPARE(MessageBox::CaptionOf(BoxKind::kInformation), U("信息"));
        QCOMPARE(MessageBox::CaptionOf(BoxKind::kQuestion), U("信息"));
        QCOMPARE(MessageBox::CaptionOf(BoxKind::kWarningQuestion), U("警告"));
        BoxRecorder no(false);
        QVERIFY(!MessageBox::Question(nullptr, "确定要退出吗？"));
        QCOMPARE(no.boxes[0].text, U("确定要退出吗？"));
    }

    // Without an interceptor a real box opens: its caption, icon and buttons by kind,
    // Qt's button texts in Chinese like every other text, and the answer the
    // button gives.
    void realBoxesShowTheirIconAndButtons_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<bool>("clickFirst");
        QTest::addColumn<bool>("answer");
        const QStringList ok{U("确定")};
        const QStringList yesNo{U("是(&Y)"), U("否(&N)")};
        QTest::newRow("error") << int(BoxKind::kError) << U("错误") << int(QMessageBox::Critical)
                               << ok << true << true;
        QTest::newRow("information") << int(BoxKind::kInformation) << U("信息")
                                     << int(QMessageBox::Information) << ok << true << true;
        QTest::newRow("question, yes") << int(BoxKind::kQuestion) << U("信息")
                                       << int(QMessageBox::Information) << yesNo << true << true;
        QTest::newRow("question, no") << int(BoxKind::kQuestion) << U("信息")
                                      << int(QMessageBox::Information) << yesNo << false << false;
        QTest::newRow("warning, no") << int(BoxKind::kWarningQuestion) << U("警告")
                                     << int(QMessageBox::Warning) << yesNo << false << false;
    }

    void realBoxesShowTheirIconAndButtons() {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        QFETCH(QStringList, buttons);
        QFETCH(bool, clickFirst);
        QFETCH(bool, answer);
        static const bool translated = InstallQtTranslations(QCoreApplication::instance());
        QVERIFY2(translated, "Qt's Chinese translations (qt6-translations-l10n) are missing");
        QString seenCaption;
        int seenIcon = -1;
        QStringList seenButtons;
        QTimer::singleShot(0, [&] {
            QMessageBox* box = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* b = qobject_cast<QMessageBox*>(w); b != nullptr && b->isVisible())
                    box = b;
            }
            QVERIFY(box != nullptr);
            seenCaption = box->windowTitle();
            seenIcon = box->icon();
            QList<QAbstractButton*> order = box->buttons();
            // Yes before No, whatever the platform's button order.
            std::sort(order.begin(), order.end(), [box](QAbstractButton* a, QAbstractButton* b) {
                return box->standardButton(a) < box->standardButton(b);
            });
            for (QAbstractButton* b : order) seenButtons << b->text();
            (clickFirst ? order.front() : order.back())->click();
        });
        const bool result = MessageBox::Show(nullptr, static_cast<BoxKind>(kind), "测试");
        QCOMPARE(seenCaption, caption);
        QCOMPARE(seenIcon, icon);
        QCOMPARE(seenButtons, buttons);
        QCOMPARE(result, answer);
    }

    // The connecting dialog over the real connect: connected, refused at once, and
    // cancelled while the connect waits (the worker is aborted, Run returns).
    void connectingDialog_data() {
        QTest::addColumn<int>("listener");  // 0 none, 1 accepting, 2 hung
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<int>("result");
        QTest::newRow("accepting") << 1 << false << int(KConnectingDlg::kConnected);
        QTest::newRow("nobody listens") << 0 << false << int(KConnectingDlg::kFailed);
        QTest::newRow("hung, cancelled") << 2 << true << int(KConnectingDlg::kCancelled);
    }

    void connectingDialog() {
        QFETCH(int, listener);
        QFETCH(bool, cancel);
        QFETCH(int, result);
        const uint32_t address = TestAddress();
        std::unique_ptr<Listener> device;
        if (listener != 0) {
            device = std::make_unique<Listener>(address, listener == 2);
            QVERIFY(device->ok());
        }
        LoginSequence login(&settings_);
        KConnectingDlg dialog([&] { return login.Connect(address); },
                              [&] { login.CancelConnect(); });
        bool shownWhileConnecting = false;
        if (cancel) {
            // The connect to a listener that never accepts is under way by then.
            QObject::connect(&dialog, &KConnectingDlg::started, [&] {
                shownWhileConnecting = dialog.isVisible();
                auto* box = dialog.findChild<QDialogButtonBox*>();
                QVERIFY(box != nullptr && !box->buttons().isEmpty());
                box->buttons().front()->click();  // "取消"
            });
        }
        QCOMPARE(int(dialog.Run()), result);
        QVERIFY(!dialog.isVisible());
        if (cancel) QVERIFY2(shownWhileConnecting, "the dialog was not up while connecting");
    }

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    SettingsStore settings_;
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
