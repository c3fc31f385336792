#include "ui/widgets/CCheckEdit.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <algorithm>

namespace vantelsor::ui {
namespace {

constexpr char16_t kBackspace = 8;

// Keys that type no character even when their event carries one: the keys a
// dialog acts on, and Delete (whose X11 event carries U+007F).
bool IsNonCharacterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape ||
           key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete;
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
    if (text.isEmpty() || IsNonCharacterKey(event->key())) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // Ctrl+letter shortcuts type control characters too: they are refused like
    // any other character outside the ranges.
    if (RefuseForeign(text)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CCheckEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (RefuseForeign(event->commitString())) {
        // The composition still ends; only the committed text is dropped.
        QInputMethodEvent withoutCommit(QString(), event->attributes());
        QLineEdit::inputMethodEvent(&withoutCommit);
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

bool CCheckEdit::RefuseForeign(const QString& typed) {
    for (const QChar c : typed) {
        const char16_t unit = c.unicode();
        if (unit != kBackspace && !IsAllowed(unit)) {
            QApplication::beep();
            Q_EMIT refused(c);
            return true;
        }
    }
    return false;
}

}  // namespace vantelsor::ui
