#include "ui/dialogs/KAboutDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

#include "res/Strings.h"
#include "ui/support/Resources.h"

namespace vantelsor::ui {

KAboutDlg::KAboutDlg(QWidget* parent) : QDialog(parent) {
    EnsureResources();
    setWindowTitle(QString::fromUtf8(res::kAboutTitle));
    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/vantelsor/vantelsor.png")).scaled(48, 48));
    auto* link = new QLabel(this);
    const QString url = QString::fromUtf8(res::kAboutLink);
    link->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(url));
    link->setOpenExternalLinks(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromUtf8(res::kButtonOk), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 4, 1, Qt::AlignTop);
    layout->addWidget(new QLabel(QString::fromUtf8(res::kAboutVersion), this), 0, 1);
    layout->addWidget(new QLabel(QString::fromUtf8(res::kAboutLine1), this), 1, 1);
    layout->addWidget(new QLabel(QString::fromUtf8(res::kAboutLine2), this), 2, 1);
    layout->addWidget(link, 3, 1);
    layout->addWidget(buttons, 4, 0, 1, 2);
}

void KAboutDlg::mousePressEvent(QMouseEvent* event) {
    // Dragging by the client area, as by the title bar.
    if (event->button() == Qt::LeftButton && windowHandle()) {
        windowHandle()->startSystemMove();
        return;
    }
    QDialog::mousePressEvent(event);
}

}  // namespace vantelsor::ui
