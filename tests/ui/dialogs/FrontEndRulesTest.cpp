// The rules the login dialog and vantelsorctl share must give the same verdict
// in both: each input goes through the core rule, the real login dialog on the
// offscreen platform and vantelsorctl's own option parser, and all three must
// agree on the verdict, the message and the address. The same for the
// administration rights rule over user types.
#include <QComboBox>
#include <QtTest>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/AdminCommandSupport.h"
#include "cli/CtlOptions.h"
#include "res/Strings.h"
#include "session/LoginCheck.h"
#include "session/Rights.h"
#include "session/SessionInfo.h"
#include "ui/console/RightsCheck.h"
#include "ui/dialogs/KLoginDlg.h"
#include "ui/support/MessageBox.h"

using namespace vantelsor;
using namespace vantelsor::ui;

namespace vantelsor::test {
namespace {

// What a front end made of one input: accepted with an address, or refused with a message.
struct Verdict {
    bool accepted = false;
    uint32_t address = 0;
    QString message;
};

// Records every message box and answers it.
struct BoxRecorder {
    BoxRecorder() {
        MessageBox::SetInterceptor([this](const BoxRecord& r) {
            boxes.push_back(r);
            return true;
        });
    }
    ~BoxRecorder() { MessageBox::SetInterceptor(nullptr); }
    std::vector<BoxRecord> boxes;
};

Verdict ThroughCore(const QString& address, const QString& user, const QString& password) {
    const LoginCheck c =
        CheckLoginInput(address.toStdString(), user.toStdString(), password.toStdString());
    return {c.ok(), c.deviceAddress, QString::fromStdString(c.message)};
}

Verdict ThroughDialog(const QString& address, const QString& user, const QString& password) {
    BoxRecorder boxes;
    KLoginDlg dialog(nullptr);
    dialog.Fill(user, password, address);
    dialog.accept();
    Verdict v;
    v.accepted = dialog.result() == QDialog::Accepted;
    if (v.accepted) v.address = dialog.deviceAddress();
    if (boxes.boxes.size() == 1) v.message = boxes.boxes[0].text;
    if (boxes.boxes.size() > 1) v.message = QStringLiteral("more than one box");
    return v;
}

Verdict ThroughCtl(const QString& address, const QString& user, const QString& password) {
    const std::string a = address.toStdString(), u = user.toStdString(), p = password.toStdString();
    const char* argv[] = {"vantelsorctl", "--device",   a.c_str(), "--user",
                          u.c_str(),      "--password", p.c_str(), "login"};
    ctl::CtlOptions options;
    std::string error;
    Verdict v;
    v.accepted = ctl::ParseOptions(8, argv, &options, &error);
    if (v.accepted) v.address = options.deviceAddress;
    v.message = QString::fromStdString(error);
    return v;
}

// What vantelsorctl's rights check wrote on its error stream.
QString CtlRightsOutput(uint16_t userType, bool* allowed) {
    SessionInfo info(0, 0);
    info.userType = userType;
    char* text = nullptr;
    size_t size = 0;
    std::FILE* err = open_memstream(&text, &size);
    *allowed = ctl::IsAdministrator(info, err);
    std::fclose(err);
    const QString out = QString::fromUtf8(text, static_cast<qsizetype>(size));
    std::free(text);
    return out;
}

}  // namespace
}  // namespace vantelsor::test

using namespace vantelsor::test;

class FrontEndRulesTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void loginCheckIsTheSameInBothFrontEnds_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("accepted");  // keeps the table honest about what it covers

        const QString good = QStringLiteral("192.168.0.3");
        const QString user = QStringLiteral("admin"), password = QStringLiteral("admin123");
        auto row = [](const char* name, const QString& a, const QString& u, const QString& p,
                      bool accepted) { QTest::newRow(name) << a << u << p << accepted; };
        row("good", good, user, password, true);
        row("two parts", QStringLiteral("10.1"), user, password, true);
        row("three parts", QStringLiteral("127.1.258"), user, password, true);
        row("hexadecimal", QStringLiteral("0x7f.0.0.1"), user, password, true);
        row("octal", QStringLiteral("010.0.0.1"), user, password, true);
        row("trailing words", QStringLiteral("10.0.0.1 x"), user, password, true);
        row("bad octet", QStringLiteral("192.168.0.300"), user, password, false);
        row("broadcast", QStringLiteral("255.255.255.255"), user, password, false);
        row("leading space", QStringLiteral(" 10.0.0.1"), user, password, false);
        row("empty address", QString(), user, password, false);
        row("empty user", good, QString(), password, false);
        row("user 3", good, QStringLiteral("abc"), password, false);
        row("user 16", good, QString(16, QLatin1Char('u')), password, true);
        row("user 17", good, QString(17, QLatin1Char('u')), password, false);
        row("wide user 4", good, QString::fromUtf8("用户名字"), password, true);
        row("wide user 3", good, QString::fromUtf8("用户名"), password, false);
        row("empty password", good, user, QString(), false);
        row("password 5", good, user, QStringLiteral("12345"), false);
        row("password 6", good, user, QStringLiteral("123456"), true);
        row("password 17", good, user, QString(17, QLatin1Char('p')), false);
        row("all wrong", QStringLiteral("x"), QString(), QString(), false);
    }

    void loginCheckIsTheSameInBothFrontEnds() {
        QFETCH(QString, address);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(bool, accepted);

        const Verdict core = ThroughCore(address, user, password);
        const Verdict dialog = ThroughDialog(address, user, password);
        const Verdict ctl = ThroughCtl(address, user, password);
        QCOMPARE(core.accepted, accepted);
        QCOMPARE(dialog.accepted, core.accepted);
        QCOMPARE(ctl.accepted, core.accepted);
        QCOMPARE(dialog.message, core.message);
        QCOMPARE(ctl.message, core.message);
        QCOMPARE(dialog.address, core.address);
        QCOMPARE(ctl.address, core.address);
    }

    void rightsRuleIsTheSameInBothFrontEnds_data() {
        QTest::addColumn<uint16_t>("type");
        QTest::newRow("0") << uint16_t{0};
        QTest::newRow("administrator") << SessionInfo::kAdministrator;
        QTest::newRow("ordinary user") << SessionInfo::kOrdinaryUser;
        QTest::newRow("3") << uint16_t{3};
        QTest::newRow("0x0101") << uint16_t{0x0101};
        QTest::newRow("0xFFFF") << uint16_t{0xFFFF};
    }

    void rightsRuleIsTheSameInBothFrontEnds() {
        QFETCH(uint16_t, type);
        const RightsVerdict rule = RightsFor(type);
        const char* refusal = RightsMessage(rule);
        BoxRecorder boxes;
        const bool uiOpens = CheckAdministrator(nullptr, type);
        bool ctlRuns = false;
        const QString ctlOutput = CtlRightsOutput(type, &ctlRuns);

        QCOMPARE(uiOpens, rule == RightsVerdict::kOpen);
        QCOMPARE(ctlRuns, rule == RightsVerdict::kOpen);
        if (refusal) {
            // The ordinary user's refusal: the same text from both.
            QCOMPARE(boxes.boxes.size(), size_t(1));
            QCOMPARE(boxes.boxes[0].text, QString::fromUtf8(refusal));
            QCOMPARE(ctlOutput, QString::fromUtf8(refusal) + QLatin1Char('\n'));
        } else {
            // Allowed, or nothing: no box, and never the refusal's text.
            QVERIFY(boxes.boxes.empty());
            QVERIFY(!ctlOutput.contains(QString::fromUtf8(res::kOrdinaryUserNoSettings)));
            QCOMPARE(ctlOutput.isEmpty(), rule == RightsVerdict::kOpen);
        }
    }
};

QTEST_MAIN(FrontEndRulesTest)
#include "FrontEndRulesTest.moc"
