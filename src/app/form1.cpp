#include "app/form1.h"

#include "app/designgeometry.h"
#include "app/folderbox.h"
#include "app/imagebutton.h"
#include "app/programmelistview.h"
#include "app/resources.h"
#include "catalogue/categorytable.h"
#include "catalogue/programmelist.h"
#include "catalogue/programmelistmodel.h"
#include "core/apperror.h"
#include "download/downloadqueue.h"
#include "download/serverkey.h"
#include "playback/flashplayer.h"

#include <QComboBox>
#include <QFile>
#include <QRadioButton>

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
    // Every control keeps its design proportions of the window's inner area.
    const double sx =
        width() * double(DesignGeometry::TwipsPerPixel) / DesignGeometry::InnerWidthTwips;
    const double sy =
        height() * double(DesignGeometry::TwipsPerPixel) / DesignGeometry::InnerHeightTwips;
    for (const QString &name : DesignGeometry::controlNames()) {
        QWidget *w = name == QLatin1String("ShockwaveFlash1") ? m_services.player->widget()
                     : name == QLatin1String("WebBrowser1")
                         ? m_services.browser->widget()
                         : findChild<QWidget *>(name, Qt::FindDirectChildrenOnly);
        if (!w)
            continue;
        const QRect r = DesignGeometry::pixels(name);
        w->setGeometry(qRound(r.x() * sx), qRound(r.y() * sy), qRound(r.width() * sx),
                       qRound(r.height() * sy));
    }
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
