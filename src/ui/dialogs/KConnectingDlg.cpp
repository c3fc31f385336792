#include "ui/dialogs/KConnectingDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "res/Strings.h"

namespace vantelsor::ui {

KConnectingDlg::KConnectingDlg(std::function<bool()> connectFn, std::function<void()> abortFn,
                               QWidget* parent)
    : QDialog(parent), connect_(std::move(connectFn)), abort_(std::move(abortFn)) {
    setWindowTitle(QString::fromUtf8(res::kConnectingTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(res::kConnectingText), this));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromUtf8(res::kButtonCancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &KConnectingDlg::Cancel);
    layout->addWidget(buttons);
}

void KConnectingDlg::Cancel() {
    worker_.Stop();
}

KConnectingDlg::Result KConnectingDlg::Run() {
    show();
    bool connected = false;
    // The signal goes out once the loop turns, with the worker under way.
    QMetaObject::invokeMethod(this, &KConnectingDlg::started, Qt::QueuedConnection);
    const bool finished = worker_.Run([&] { connected = connect_(); });
    hide();
    if (finished) return connected ? kConnected : kFailed;
    // Cancelled: closing the socket makes the worker's connect fail; no thread
    // is left behind.
    abort_();
    worker_.Join();
    return kCancelled;
}

}  // namespace vantelsor::ui
