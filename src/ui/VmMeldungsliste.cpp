#include "ui/VmMeldungsliste.h"

#include "ui/VmUiSeam.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace vm::ui {

void ShowMessageList(QWidget* parent, const QString& caption, const QString& intro,
                     const QStringList& lines) {
    QDialog dlg(parent);
    dlg.setObjectName(QStringLiteral("MeldungslisteDlg"));
    dlg.setWindowTitle(caption);
    auto* main = new QVBoxLayout(&dlg);
    auto* head = new QHBoxLayout;
    auto* icon = new QLabel(&dlg);
    const int size = dlg.style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    icon->setPixmap(dlg.style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(size, size));
    head->addWidget(icon, 0, Qt::AlignTop);
    auto* label = new QLabel(intro, &dlg);
    label->setWordWrap(true);
    head->addWidget(label, 1);
    main->addLayout(head);
    auto* list = new QListWidget(&dlg);
    list->setObjectName(QStringLiteral("Meldungen"));
    list->addItems(lines);
    list->setMinimumSize(dlg.fontMetrics().averageCharWidth() * 70,
                         dlg.fontMetrics().height() * std::min<qsizetype>(16, lines.size() + 2));
    main->addWidget(list, 1);
    label->setBuddy(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    main->addWidget(buttons);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    list->setFocus();
    ExecDialog(dlg);
}

} // namespace vm::ui
