#include "ui/dialogs/KConnectingDlg.h"

#include <QDialogButtonBox>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <thread>

#include "res/Strings.h"

namespace vantelsor::ui {
namespace {

enum class Outcome { kPending, kConnected, kFailed };

}  // namespace

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
    cancelled_ = true;
    if (loop_) loop_->quit();
}

KConnectingDlg::Result KConnectingDlg::Run() {
    show();
    QEventLoop loop;
    loop_ = &loop;
    std::atomic<Outcome> outcome{Outcome::kPending};
    std::thread worker([&] {
        outcome = connect_() ? Outcome::kConnected : Outcome::kFailed;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    Q_EMIT started();
    // A connection that fails at once is seen before the loop ever runs.
    while (!cancelled_ && outcome == Outcome::kPending) loop.exec();
    loop_ = nullptr;
    hide();
    Result result = kCancelled;
    if (outcome == Outcome::kConnected) result = kConnected;
    if (outcome == Outcome::kFailed) result = kFailed;
    // Cancelled: closing the socket makes the worker's connect fail; no thread
    // is left behind either way.
    if (result == kCancelled) abort_();
    worker.join();
    return result;
}

}  // namespace vantelsor::ui
