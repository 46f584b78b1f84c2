#include "gui/window/form1.h"

#include "core/base/apperror.h"
#include "core/catalogue/categorytable.h"
#include "core/catalogue/programmelist.h"
#include "core/catalogue/programmelistmodel.h"
#include "core/download/downloadqueue.h"
#include "core/download/serverkey.h"
#include "gui/webhost/flashplayer.h"
#include "gui/window/designgeometry.h"
#include "gui/window/folderbox.h"
#include "gui/window/imagebutton.h"
#include "gui/window/programmelistview.h"
#include "gui/window/resources.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

Form1::Form1(AppSettings settings, Services services, QWidget *parent)
    : QWidget(parent), m_settings(std::move(settings)), m_paths(m_settings.appDir),
      m_services(services)
{
    Q_ASSERT(m_services.player && m_services.browser && m_services.messages && m_services.sound);
    m_programmes = new ProgrammeListModel(this);
    createControls();
    m_downloads = new DownloadQueue(
        m_programmes,
        DownloadQueue::Settings{m_settings.downloadServer, m_paths, m_settings.rangeWaitMs},
        [this] { return ServerKey; }, this);
    connect(m_downloads, &DownloadQueue::arrived, this, &Form1::programmeArrived);
    connect(m_downloads, &DownloadQueue::failed, this,
            [this](int, const QString &message) { tellUser(message); });
    connect(m_downloads, &DownloadQueue::keyFileRefreshed, this, &Form1::LoadServerKey);
    connect(m_downloads, &DownloadQueue::ended, this, [this](int row) {
        if (row == m_playAllRow)
            m_playAllRow = -1;
    });
    createMenus();
    connectPlayerControls();
    // Only the user's own choice plays or fetches a programme; a click also
    // counts on the row already selected, to try a failed download again.
    connect(List1, &ProgrammeListView::rowChosen, this, &Form1::List1_Click);
    connect(m_links[0], &ImageButton::clicked, this, &Form1::Label1_Click);
    connect(m_links[3], &ImageButton::clicked, this, &Form1::Label4_Click);
    connect(m_services.browser, &InfoBrowser::navigateError, this,
            &Form1::WebBrowser1_NavigateError);
}

Form1::~Form1()
{
    // The player and the browser belong to whoever handed them in.
    m_services.player->widget()->setParent(nullptr);
    m_services.browser->widget()->setParent(nullptr);
}

void Form1::Form_Load()
{
    FlashDir = m_paths.flashDir();
    Form_Resize();

    // The key file must be there and hold a line: without it no programme
    // can ever be fetched, so this is a broken installation.
    QFile file(m_paths.keyFile());
    if (!file.exists())
        throw AppError(AppError::FileNotFound, QStringLiteral("文件未找到: guihu.inb"));
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(AppError::PathAccessError, QStringLiteral("路径/文件访问错误: guihu.inb"));
    if (file.size() == 0)
        throw AppError(62, QStringLiteral("输入超出文件尾: guihu.inb"));
    file.close();
    LoadServerKey();

    m_services.player->SetMovie(FlashPlayer::EmptyMovie);
    Image20->setPicture(QStringLiteral("jingyin1"), Resources::bitmap(QStringLiteral("jingyin1")));
    m_services.browser->setSilent(true);
    ShowStartCategory();
    LoadCustomCategories();
    Timer1->start(m_settings.timerIntervalMs);
    WarnIfRunFromTemp();
}

void Form1::ShowStartCategory()
{
    const Category &first = CategoryTable::row(1);
    CurrentCategory = first.key;
    LoadProgrammeList(first.listFile);
    m_services.browser->navigate(m_settings.infoSite + first.infoPage);
    ResetCategoryButtons();
    m_categoryButtons[0]->setPicture(QString::number(first.selectedPicture),
                                     Resources::bitmap(first.selectedPicture));
    PlayResourceSound(QStringLiteral("QIDONG"));
}

void Form1::ImageClick(int n)
{
    guarded([&] {
        const Category &c = CategoryTable::row(n);
        if (CurrentCategory == c.key)
            return;
        if (refusedWhileDownloading())
            return;
        CurrentCategory = c.key;
        LoadProgrammeList(c.listFile);
        m_services.browser->navigate(m_settings.infoSite + c.infoPage);
        ResetCategoryButtons();
        m_categoryButtons[static_cast<std::size_t>(n - 1)]->setPicture(
            QString::number(c.selectedPicture), Resources::bitmap(c.selectedPicture));
        PlayResourceSound(c.sound);
        resetOptions(c.optionsEnabled);
        Combo1->setEditText(AppPaths::CustomFolderName);
    });
}

void Form1::resetOptions(bool enabled)
{
    uncheckOptions();
    Option1->setEnabled(enabled);
    Option2->setEnabled(enabled);
}

void Form1::uncheckOptions()
{
    // Radio buttons refuse to be unchecked while exclusive; the design wants
    // both unselected after a switch.
    for (QRadioButton *option : {Option1, Option2}) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

void Form1::chooseRow(int row)
{
    List1->setCurrentRow(row);
    List1_Click();
}

void Form1::ResetCategoryButtons()
{
    for (const Category &c : CategoryTable::rows())
        m_categoryButtons[static_cast<std::size_t>(c.number - 1)]->setPicture(
            QString::number(c.normalPicture), Resources::bitmap(c.normalPicture));
}

void Form1::PlayResourceSound(const QString &name)
{
    QByteArray wave = Resources::wave(name);
    if (wave.isEmpty())
        return;
    // The output reads the bytes while it plays; it stops the old sound before
    // the old bytes are let go.
    m_services.sound->play(wave);
    SoundBuffer = std::move(wave);
}

void Form1::LoadProgrammeList(const QString &listFile)
{
    m_programmes->clear();
    m_programmes->setItems(loadProgrammeItems(m_paths, listFile));
    List1->setCurrentRow(-1);
}

void Form1::LoadServerKey()
{
    // A key file that is missing or empty leaves the key as it was.
    if (const std::optional<QString> key = loadServerKeyFrom(m_paths.keyFile()))
        ServerKey = *key;
}

void Form1::WebBrowser1_NavigateError(const QString &url)
{
    // The fallback page failing too is not answered again, or a missing
    // fallback would loop for ever.
    const QString fallback = m_paths.offlinePage();
    if (url == fallback)
        return;
    m_services.browser->navigate(fallback);
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form1::Form_Resize()
{
    m_layout.ResizeControls(this);
    pinFixedSizes();
    if (m_fullScreen) {
        // The player takes the whole window over every other control; the
        // return button stays above it.
        m_services.player->widget()->setGeometry(rect());
        m_services.player->widget()->raise();
        Command6->raise();
    }
}

void Form1::pinFixedSizes()
{
    // The player buttons, the strip, the bar and the return button keep their
    // size; only their place follows the window.
    const auto pin = [](QWidget *w, int width, int height) {
        QRect t = LayoutEngine::geometryInTwips(w);
        if (width > 0)
            t.setWidth(width);
        t.setHeight(height);
        LayoutEngine::setGeometryInTwips(w, t);
    };
    for (QWidget *button : {Image15, Image16, Image17, Image20})
        pin(button, 405, 405);
    pin(m_services.browser->widget(), 0, 285);
    pin(HScroll1, 0, 75);
    pin(Command6, 705, 405);
}

void Form1::guarded(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const AppError &error) {
        report(error);
    }
}

void Form1::report(const AppError &error)
{
    m_services.messages->show(error.report());
}
