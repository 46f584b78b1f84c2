// The player's buttons, the position bar, full screen, mute and the progress
// timer that drives play-all, repeat-one and the update check.
#include "core/catalogue/programmelistmodel.h"
#include "core/download/downloadqueue.h"
#include "core/playback/progresstick.h"
#include "gui/webhost/flashplayer.h"
#include "gui/window/folderbox.h"
#include "gui/window/form1.h"
#include "gui/window/imagebutton.h"
#include "gui/window/programmelistview.h"
#include "gui/window/resources.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

namespace {
// Ticks of 500 ms in five minutes: when the update check runs.
constexpr int UpdateCheckTick = 600;
} // namespace

void Form1::connectPlayerControls()
{
    connect(Image15, &ImageButton::clicked, this, &Form1::Image15_Click);
    connect(Image16, &ImageButton::clicked, this, &Form1::Image16_Click);
    connect(Image17, &ImageButton::clicked, this, &Form1::Image17_Click);
    connect(Image20, &ImageButton::clicked, this, &Form1::Image20_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    // Only a drag of the thumb seeks; the arrows and the track move the bar
    // alone, and the next tick puts it back at the playing frame.
    connect(HScroll1, &QScrollBar::sliderMoved, this, &Form1::HScroll1_Scroll);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
}

void Form1::Image15_Click()
{
    m_services.player->Play();
}

void Form1::Image16_Click()
{
    uncheckOptions();
    m_services.player->StopPlay();
}

void Form1::HScroll1_Scroll(int frame)
{
    m_services.player->GotoFrame(frame);
    m_services.player->Play();
}

void Form1::Image20_Click()
{
    // On Linux there is no system-wide mute key to press: the program mutes
    // its own output, the player's and the category sounds.
    SoundMuted = !SoundMuted;
    m_services.player->setMuted(SoundMuted);
    m_services.sound->setMuted(SoundMuted);
    const QString picture = SoundMuted ? QStringLiteral("jingyin2") : QStringLiteral("jingyin1");
    Image20->setPicture(picture, Resources::bitmap(picture));
}

QList<QWidget *> Form1::windowedControls() const
{
    return {List1, m_services.browser->widget(), HScroll1, Combo1, Option1, Option2};
}

void Form1::Image17_Click()
{
    // Hiding leaves the repeat mode as it is; the player then covers the
    // window and only the return button stays above it.
    m_fullScreen = true;
    for (QWidget *w : windowedControls())
        w->hide();
    showFullScreen();
    fillScreenIfIgnored();
    Form_Resize();
    Command6->show();
    Command6->raise();
    Command6->setFocus();
}

void Form1::Command6_Click()
{
    m_fullScreen = false;
    for (QWidget *w : windowedControls())
        w->show();
    Command6->hide();
    showMaximizedOnScreen();
    Form_Resize();
}

void Form1::showMaximizedOnScreen()
{
    showMaximized();
    fillScreenIfIgnored();
}

void Form1::fillScreenIfIgnored()
{
    // Without a window manager (a bare X server) maximising and full screen
    // change nothing, so the window takes the area itself once it is clear
    // that nobody else will.
    QTimer::singleShot(500, this, [this] {
        if (!screen())
            return;
        const QRect target = m_fullScreen ? screen()->geometry() : screen()->availableGeometry();
        const bool wanted = m_fullScreen ? isFullScreen() : isMaximized();
        if (wanted && frameGeometry().width() < target.width() - 8)
            setGeometry(target);
    });
}

void Form1::Timer1_Timer()
{
    FlashPlayer *player = m_services.player;
    TickInput in;
    in.movieEmpty = player->Movie() == FlashPlayer::EmptyMovie;
    if (!in.movieEmpty) {
        in.totalFrames = player->TotalFrames();
        in.frameNum = player->FrameNum();
        in.playing = player->Playing();
    }
    in.playAll = Option1->isChecked();
    in.repeatOne = Option2->isChecked();
    in.selectedRow = List1->currentRow();
    in.rowCount = m_programmes->count();
    in.advanceWaiting = m_playAllRow >= 0;

    const TickActions act = decideTick(in);
    // A thumb held by the user stays where it is held.
    if (act.showFrame && !HScroll1->isSliderDown())
        HScroll1->setValue(qBound(0, in.frameNum, HScroll1->maximum()));
    if (act.selectRow >= 0) {
        m_playAllRow = act.selectRow;
        chooseRow(act.selectRow);
        // Nothing to wait for when the choice neither loaded a programme nor
        // left a download running (a full queue, a name that cannot be used).
        if (m_playAllRow >= 0 && !m_downloads->rows().contains(m_playAllRow))
            m_playAllRow = -1;
    }
    if (act.play)
        player->Play();

    ++TimerTicks;
    if (TimerTicks == UpdateCheckTick)
        CheckForUpdate();
}

void Form1::programmeLoaded()
{
    // Play-all may move on again once something new is in the player.
    m_playAllRow = -1;
}
