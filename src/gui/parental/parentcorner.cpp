#include "gui/parental/parentcorner.h"

#include "gui/parental/fullscreenlock.h"
#include "gui/parental/lockableplayer.h"
#include "gui/parental/parentalgate.h"
#include "gui/parental/parentsettingsdialog.h"
#include "gui/parental/restpage.h"
#include "gui/window/failuremessage.h"
#include "gui/window/services.h"
#include "gui/window/style.h"

#include <QLabel>
#include <QTimer>

namespace {

constexpr int NoticeMs = 6000;
constexpr int MoreMinutes = 15;

} // namespace

ParentCorner::ParentCorner(QWidget *window, LockablePlayer *player, MessageBoxes *messages,
                           const PlayClock &clock, const Files &files)
    : QObject(window), m_window(window), m_player(player), m_messages(messages), m_files(files),
      m_settings(ParentSettings::load(files.settings)), m_rules(clock, files.playTime)
{
    m_rules.setLimits(m_settings.limits);
    m_lock = new FullScreenLock(window, player->widget());
    connect(m_lock, &FullScreenLock::leaveRequested, this, &ParentCorner::requestLeaveFullScreen);
}

void ParentCorner::keepPlayTime()
{
    // A pause counts the play up to now and writes it.
    if (!limitsOff())
        (void)m_rules.update(false);
}

bool ParentCorner::limitsOff() const
{
    return m_settings.limits.dailyMinutes == 0 && m_settings.limits.eyeRestMinutes == 0;
}

bool ParentCorner::isPlaying() const
{
    return !m_window->isMinimized() && m_player->movie() != FlashPlayer::EmptyMovie &&
           m_player->isPlaying();
}

void ParentCorner::onTick()
{
    if (limitsOff())
        return;
    const PlayTimeRules::Step step = m_rules.update(isPlaying());
    if (step.warned)
        showNotice(QStringLiteral("还可以玩%1分钟").arg(m_rules.minutesLeft()));
    syncPages();
    if (m_rules.onBreak())
        m_breakPage->setCountdown(m_rules.breakSecondsLeft());
    // The programme plays on from where it was, unless the day ended too.
    if (step.breakEnded && !m_player->isLocked())
        m_player->play();
}

// The pages and the notice are made when first needed: a window whose
// parent never turned anything on has no control it did not have before.
void ParentCorner::createPages()
{
    if (m_restPage)
        return;
    m_restPage = new RestPage(m_window, QStringLiteral("timeUpPage"),
                              QStringLiteral("今天的时间用完了，明天再来吧"));
    m_breakPage =
        new RestPage(m_window, QStringLiteral("eyeRestPage"), QStringLiteral("休息一下，看看远处"));
    m_breakPage->addParentButton();
    connect(m_breakPage, &RestPage::parentRequested, this,
            [this] { askGate(m_window, [this] { endBreakEarly(); }); });
    m_notice = new QLabel(m_window);
    m_notice->setObjectName(QStringLiteral("playTimeNotice"));
    m_notice->setFont(Style::chineseFont(14));
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setStyleSheet(QStringLiteral("background: #fffbd0; border: 1px solid #e0c060;"
                                           "border-radius: 6px; padding: 6px 16px;"));
    m_notice->hide();
}

void ParentCorner::syncPages()
{
    const bool timeUp = m_rules.timeUsedUp();
    const bool onBreak = m_rules.onBreak();
    if (!m_restPage && !timeUp && !onBreak)
        return;
    createPages();
    if (timeUp != m_restPage->isHidden() && onBreak != m_breakPage->isHidden())
        return;
    m_player->setLocked(timeUp || onBreak);
    if (timeUp)
        m_notice->hide();
    m_restPage->setVisible(timeUp);
    m_breakPage->setVisible(onBreak);
    Q_EMIT pagesChanged();
}

void ParentCorner::layOut(const QRect &playerArea)
{
    if (!m_restPage)
        return;
    m_restPage->setGeometry(playerArea);
    m_restPage->raise();
    m_breakPage->setGeometry(m_window->rect());
    m_breakPage->raise();
    m_notice->adjustSize();
    m_notice->move(playerArea.center().x() - m_notice->width() / 2, playerArea.top() + 16);
    m_notice->raise();
}

void ParentCorner::showNotice(const QString &text)
{
    // Quiet: no sound and no button; it goes by itself.
    createPages();
    m_notice->setText(text);
    m_notice->show();
    Q_EMIT pagesChanged();
    QTimer::singleShot(NoticeMs, m_notice, &QWidget::hide);
}

void ParentCorner::endBreakEarly()
{
    m_rules.endBreak();
    syncPages();
    if (!m_player->isLocked())
        m_player->play();
}

void ParentCorner::setFullScreen(bool fullScreen)
{
    m_fullScreen = fullScreen;
    m_lock->setEngaged(fullScreen && m_settings.fullScreenLock);
}

void ParentCorner::requestLeaveFullScreen()
{
    if (!m_lock->isEngaged()) {
        Q_EMIT leaveFullScreenAllowed();
        return;
    }
    askGate(m_window, [this] { Q_EMIT leaveFullScreenAllowed(); });
}

void ParentCorner::openSettings(QWidget *over)
{
    askGate(over, [this, over] { openSettingsDialog(over); });
}

void ParentCorner::askGate(QWidget *over, const std::function<void()> &passed)
{
    if (m_gateOpen)
        return;
    m_gateOpen = true;
    // The gate needs the keyboard a locked full screen holds.
    m_lock->setEngaged(false);
    auto *gate = new ParentalGate(over);
    gate->setAttribute(Qt::WA_DeleteOnClose);
    gate->setModal(true);
    connect(gate, &QDialog::finished, this, [this, passed](int result) {
        m_gateOpen = false;
        setFullScreen(m_fullScreen);
        if (result == QDialog::Accepted)
            passed();
    });
    gate->show();
}

void ParentCorner::openSettingsDialog(QWidget *over)
{
    auto *dialog = new ParentSettingsDialog(
        m_settings, int(m_rules.day().playedMs / PlayTimeRules::MinuteMs), over);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setModal(true);
    connect(dialog, &ParentSettingsDialog::saveRequested, this,
            [this, dialog](const ParentSettings &chosen) {
                // Settings that could not be kept stay in the dialog, and
                // are not used: the next start would not know them.
                if (failed(*m_messages, chosen.save(m_files.settings)))
                    return;
                apply(chosen);
                dialog->accept();
            });
    connect(dialog, &ParentSettingsDialog::moreTimeRequested, this, [this] {
        m_rules.addMinutes(MoreMinutes);
        syncPages();
    });
    dialog->show();
}

void ParentCorner::apply(const ParentSettings &settings)
{
    // Play until now still counts under the old limits.
    keepPlayTime();
    m_settings = settings;
    m_rules.setLimits(settings.limits);
    if (m_rules.onBreak() && settings.limits.eyeRestMinutes == 0)
        m_rules.endBreak();
    setFullScreen(m_fullScreen);
    syncPages();
}
