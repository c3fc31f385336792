// A line edit that accepts typed characters only from a list of ranges; any
// other typed character is dropped with the system's beep. Backspace always
// works. Only typing (keys and input-method commits) is filtered: text set by
// the program or pasted from the context menu is not. User-interface thread.
#pragma once

#include <QLineEdit>
#include <QVector>
#include <utility>

namespace vantelsor::ui {

class CCheckEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit CCheckEdit(QWidget* parent = nullptr);

    // Allows the UTF-16 code units from min(a, b) to max(a, b).
    void AddRange(char16_t a, char16_t b);
    // Afterwards every typed character but backspace is refused.
    void ClearRanges() { ranges_.clear(); }
    bool IsAllowed(char16_t c) const;

  Q_SIGNALS:
    // A typed character was refused (after the beep).
    void refused(QChar c);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

  private:
    // Beeps and signals the first character of `typed` outside the ranges;
    // true when there is one.
    bool RefuseForeign(const QString& typed);

    QVector<std::pair<char16_t, char16_t>> ranges_;
};

}  // namespace vantelsor::ui
