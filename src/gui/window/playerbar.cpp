#include "gui/window/playerbar.h"

#include "core/catalogue/categorytable.h"
#include "core/playback/progresstick.h"
#include "gui/sound/soundoutput.h"
#include "gui/window/designgeometry.h"
#include "gui/window/imagebutton.h"
#include "gui/window/resources.h"
#include "gui/window/style.h"
#include "webapi/flashplayer.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

using DesignGeometry::Control;

namespace {

ImageButton *playerButton(QWidget *window, Control control, const QString &tip,
                          const QString &picture)
{
    auto *button = DesignGeometry::place(new ImageButton(window), control);
    button->setAccessibleName(tip);
    button->setToolTip(tip);
    if (!picture.isEmpty())
        button->setPicture(picture, Resources::bitmap(picture));
    return button;
}

QRadioButton *option(QWidget *window, Control control, const QString &text)
{
    auto *button = DesignGeometry::place(new QRadioButton(text, window), control);
    button->setAccessibleName(text);
    button->setFont(Style::chineseFont(9));
    return button;
}

} // namespace

PlayerBar::PlayerBar(QWidget *window, FlashPlayer *player, SoundOutput *sound)
    : QObject(window), m_player(player), m_sound(sound)
{
    m_fullScreenButton = playerButton(window, Control::FullScreenButton, QStringLiteral("全屏显示"),
                                      Resources::FullScreenPicture);
    m_muteButton = playerButton(window, Control::MuteButton, QStringLiteral("静音"), QString());
    m_playButton =
        playerButton(window, Control::PlayButton, QStringLiteral("播放"), Resources::PlayPicture);
    m_pauseButton =
        playerButton(window, Control::PauseButton, QStringLiteral("暂停"), Resources::PausePicture);
    for (ImageButton *b : {m_playButton, m_pauseButton, m_muteButton})
        b->setPressable(true);

    m_positionBar =
        DesignGeometry::place(new QScrollBar(Qt::Horizontal, window), Control::PositionBar);
    m_positionBar->setAccessibleName(QStringLiteral("播放进度"));
    m_positionBar->setRange(0, 0);
    m_positionBar->setSingleStep(1);
    m_positionBar->setPageStep(1);
    m_playAllOption = option(window, Control::PlayAllOption, QStringLiteral("播放全部"));
    m_repeatOneOption = option(window, Control::RepeatOneOption, QStringLiteral("单曲循环"));

    m_backButton = DesignGeometry::place(new QPushButton(window), Control::BackButton);
    m_backButton->setAccessibleName(QStringLiteral("返回"));
    const QPixmap back = Resources::bitmap(Resources::BackPicture);
    m_backButton->setIcon(back);
    m_backButton->setIconSize(back.size());
    m_backButton->setToolTip(QStringLiteral("返回"));
    m_backButton->installEventFilter(this);
    m_backButton->hide();

    connect(m_playButton, &ImageButton::clicked, this, &PlayerBar::onPlayClicked);
    connect(m_pauseButton, &ImageButton::clicked, this, &PlayerBar::onPauseClicked);
    connect(m_muteButton, &ImageButton::clicked, this, &PlayerBar::onMuteClicked);
    connect(m_fullScreenButton, &ImageButton::clicked, this, &PlayerBar::fullScreenRequested);
    connect(m_backButton, &QPushButton::clicked, this, &PlayerBar::windowedRequested);
    // Only a drag of the thumb seeks; the arrows and the track move the bar
    // alone, and the next tick puts it back at the playing frame.
    connect(m_positionBar, &QScrollBar::sliderMoved, this, &PlayerBar::onPositionDragged);
}

void PlayerBar::start()
{
    m_player->setMovie(FlashPlayer::EmptyMovie);
    m_muteButton->setPicture(Resources::SoundOnPicture,
                             Resources::bitmap(Resources::SoundOnPicture));
}

bool PlayerBar::playsAll() const
{
    return m_playAllOption->isChecked();
}

bool PlayerBar::repeatsOne() const
{
    return m_repeatOneOption->isChecked();
}

QList<QWidget *> PlayerBar::windowedControls() const
{
    return {m_positionBar, m_playAllOption, m_repeatOneOption};
}

void PlayerBar::showBackButton(bool shown)
{
    m_backButton->setVisible(shown);
    if (!shown)
        return;
    m_backButton->raise();
    m_backButton->setFocus();
}

void PlayerBar::raiseBackButton()
{
    m_backButton->raise();
}

void PlayerBar::onPlayClicked()
{
    m_player->play();
}

void PlayerBar::onPauseClicked()
{
    uncheckOptions();
    m_player->stop();
}

void PlayerBar::onMuteClicked()
{
    // On Linux there is no system-wide mute key to press: the program mutes
    // its own output.
    m_muted = !m_muted;
    m_player->setMuted(m_muted);
    m_sound->setMuted(m_muted);
    const QString picture = m_muted ? Resources::MutedPicture : Resources::SoundOnPicture;
    m_muteButton->setPicture(picture, Resources::bitmap(picture));
}

void PlayerBar::onPositionDragged(int frame)
{
    m_player->goToFrame(frame);
    m_player->play();
}

void PlayerBar::onTick()
{
    TickInput in;
    in.movieEmpty = m_player->movie() == FlashPlayer::EmptyMovie;
    if (!in.movieEmpty) {
        in.totalFrames = m_player->totalFrames();
        in.frameNum = m_player->frameNum();
        in.playing = m_player->isPlaying();
    }
    in.playAll = playsAll();
    in.repeatOne = repeatsOne();

    const TickActions act = decideTick(in);
    // A thumb held by the user stays where it is held.
    if (act.showFrame && !m_positionBar->isSliderDown())
        m_positionBar->setValue(qBound(0, in.frameNum, m_positionBar->maximum()));
    if (act.moveOn)
        Q_EMIT playAllReachedEnd();
    if (act.play)
        m_player->play();
}

void PlayerBar::onListShown(const ListSource &source)
{
    uncheckOptions();
    if (source.kind != ListSource::Category)
        return;
    const bool enabled = CategoryTable::row(source.category).optionsEnabled;
    m_playAllOption->setEnabled(enabled);
    m_repeatOneOption->setEnabled(enabled);
}

void PlayerBar::playFromStart(const QString &file)
{
    // Emptying the player first makes it load the file afresh, from frame 1,
    // even when the same programme is already loaded.
    m_player->setMovie(FlashPlayer::EmptyMovie);
    m_player->setMovie(file);
    m_player->play();
    setPositionMaximum(m_player->totalFrames());
}

void PlayerBar::playOwnMovie(const QString &path)
{
    m_player->setMovie(FlashPlayer::EmptyMovie);
    if (path.isEmpty())
        return;
    m_player->setMovie(path);
    setPositionMaximum(m_player->totalFrames());
}

void PlayerBar::uncheckOptions()
{
    // Radio buttons refuse to be unchecked while exclusive; the design wants
    // both unselected after a switch.
    for (QRadioButton *option : {m_playAllOption, m_repeatOneOption}) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

void PlayerBar::setPositionMaximum(int totalFrames)
{
    // The bar holds at most 32 767 steps; longer programmes are shown
    // coarser at their end rather than refused.
    const int maximum = qBound(0, totalFrames, 32767);
    m_positionBar->setMaximum(maximum);
    if (m_positionBar->value() > maximum)
        m_positionBar->setValue(maximum);
}

bool PlayerBar::eventFilter(QObject *watched, QEvent *event)
{
    // The return button answers Enter as well as Space.
    if (watched == m_backButton && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_backButton->click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
