#include "gui/parental/parentsettingsdialog.h"

#include "gui/window/style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QComboBox *minutesBox(QWidget *parent, const QString &off, const QString &format,
                      const QList<int> &choices, int current)
{
    auto *box = new QComboBox(parent);
    box->addItem(off, 0);
    for (int minutes : choices)
        box->addItem(format.arg(minutes), minutes);
    box->setCurrentIndex(qMax(0, box->findData(current)));
    return box;
}

} // namespace

ParentSettingsDialog::ParentSettingsDialog(const ParentSettings &settings, int playedMinutesToday,
                                           QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ParentSettingsDialog"));
    setWindowTitle(QStringLiteral("家长设置"));
    setFont(Style::chineseFont(10));
    auto *form = new QFormLayout(this);
    m_daily = minutesBox(this, QStringLiteral("不限制"), QStringLiteral("%1分钟"),
                         ParentSettings::DailyChoices, settings.limits.dailyMinutes);
    m_daily->setAccessibleName(QStringLiteral("每天可以玩"));
    form->addRow(QStringLiteral("每天可以玩："), m_daily);
    m_eyeRest = minutesBox(this, QStringLiteral("不休息"), QStringLiteral("每玩%1分钟休息1分钟"),
                           ParentSettings::EyeRestChoices, settings.limits.eyeRestMinutes);
    m_eyeRest->setAccessibleName(QStringLiteral("护眼休息"));
    form->addRow(QStringLiteral("护眼休息："), m_eyeRest);
    m_lock = new QCheckBox(QStringLiteral("全屏锁定（退出全屏要先回答问题）"), this);
    m_lock->setChecked(settings.fullScreenLock);
    form->addRow(m_lock);

    auto *more = new QPushButton(QStringLiteral("今天再玩15分钟"), this);
    more->setAutoDefault(false);
    more->setEnabled(settings.limits.dailyMinutes > 0);
    form->addRow(new QLabel(QStringLiteral("今天已经玩了%1分钟").arg(playedMinutesToday), this),
                 more);
    connect(more, &QPushButton::clicked, this, [this, more] {
        more->setEnabled(false);
        Q_EMIT moreTimeRequested();
    });

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("保存"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    form->addRow(buttons);
    // The dialog stays open until the settings are kept: whoever saves them
    // closes it.
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Q_EMIT saveRequested(chosen()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

ParentSettings ParentSettingsDialog::chosen() const
{
    return ParentSettings{{m_daily->currentData().toInt(), m_eyeRest->currentData().toInt()},
                          m_lock->isChecked()};
}
