#include "gui/window/qtmessageboxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace {
const QString AppTitle = QStringLiteral("Qorvel儿童乐园");
}

void QtMessageBoxes::show(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(icon == Icon::Information ? QMessageBox::Information
                    : icon == Icon::Stop      ? QMessageBox::Critical
                                              : QMessageBox::NoIcon,
                    title.isEmpty() ? AppTitle : title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtMessageBoxes::confirm(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, AppTitle, text, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool QtMessageBoxes::offer(const QString &text, const QString &action)
{
    QMessageBox box(QMessageBox::NoIcon, AppTitle, text, QMessageBox::Ok, m_parent);
    const QAbstractButton *chosen = box.addButton(action, QMessageBox::ActionRole);
    box.exec();
    return box.clickedButton() == chosen;
}
