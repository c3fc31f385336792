#include "ui/widgets/CCheckEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>

namespace vantelsor::ui {
namespace {

constexpr char16_t kBackspace = 8;

// Keys that a dialog, not the edit, acts on: they never reach the edit as
// typed characters.
bool IsDialogKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape ||
           key == Qt::Key_Tab || key == Qt::Key_Backtab;
}

}  // namespace

CCheckEdit::CCheckEdit(QWidget* parent) : QLineEdit(parent) {}

void CCheckEdit::AddRange(char16_t a, char16_t b) {
    ranges_.append({std::min(a, b), std::max(a, b)});
}

bool CCheckEdit::IsAllowed(char16_t c) const {
    return std::any_of(ranges_.begin(), ranges_.end(),
                       [c](const auto& r) { return r.first <= c && c <= r.second; });
}

void CCheckEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty() || IsDialogKey(event->key())) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit != kBackspace && !IsAllowed(unit)) {
            // Ctrl+letter shortcuts type control characters too: they are
            // refused like any other character outside the ranges.
            QApplication::beep();
            Q_EMIT refused(c);
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace vantelsor::ui
