#include "ui/support/MessageBox.h"

#include <QMessageBox>

#include "res/Strings.h"

namespace vantelsor::ui {
namespace {

MessageBox::Interceptor& CurrentInterceptor() {
    static MessageBox::Interceptor interceptor;
    return interceptor;
}

QMessageBox::Icon IconOf(BoxKind kind) {
    switch (kind) {
        case BoxKind::kError:
            return QMessageBox::Critical;
        case BoxKind::kWarningQuestion:
            return QMessageBox::Warning;
        case BoxKind::kInformation:
        case BoxKind::kQuestion:
            break;
    }
    return QMessageBox::Information;
}

bool AsksYesNo(BoxKind kind) {
    return kind == BoxKind::kQuestion || kind == BoxKind::kWarningQuestion;
}

}  // namespace

QString MessageBox::CaptionOf(BoxKind kind) {
    switch (kind) {
        case BoxKind::kError:
            return QString::fromUtf8(res::kCaptionError);
        case BoxKind::kWarningQuestion:
            return QString::fromUtf8(res::kCaptionWarning);
        case BoxKind::kInformation:
        case BoxKind::kQuestion:
            break;
    }
    return QString::fromUtf8(res::kCaptionInfo);
}

bool MessageBox::Show(QWidget* parent, BoxKind kind, const char* utf8Text) {
    return Show(parent, kind, QString::fromUtf8(utf8Text));
}

bool MessageBox::Show(QWidget* parent, BoxKind kind, const QString& text) {
    const BoxRecord record{text, CaptionOf(kind), kind};
    if (CurrentInterceptor()) return CurrentInterceptor()(record);

    const auto buttons = AsksYesNo(kind) ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    QMessageBox box(IconOf(kind), record.caption, text, buttons, parent);
    const int answer = box.exec();
    return answer == QMessageBox::Ok || answer == QMessageBox::Yes;
}

void MessageBox::SetInterceptor(Interceptor interceptor) {
    CurrentInterceptor() = std::move(interceptor);
}

}  // namespace vantelsor::ui
