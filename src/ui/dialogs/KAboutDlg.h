// The about box: icon, version line, two lines of text and a link. A press
// anywhere in it lets the user drag it. User-interface thread.
#pragma once

#include <QDialog>

namespace vantelsor::ui {

class KAboutDlg : public QDialog {
    Q_OBJECT

  public:
    explicit KAboutDlg(QWidget* parent = nullptr);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace vantelsor::ui
