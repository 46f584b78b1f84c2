// Building the main window's controls at their design rectangles, with their
// looks, names for screen readers, the links' hover colours and the menus.
#include "core/catalogue/categorytable.h"
#include "core/catalogue/programmelistmodel.h"
#include "gui/webhost/flashplayer.h"
#include "gui/window/designgeometry.h"
#include "gui/window/folderbox.h"
#include "gui/window/form1.h"
#include "gui/window/imagebutton.h"
#include "gui/window/programmelistview.h"
#include "gui/window/resources.h"

#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

namespace {

const QColor WindowGreen(192, 255, 192);
const QColor ListYellow(255, 255, 192);
const QColor ListOrange(255, 128, 0);
const QColor LinkRed(255, 0, 0);

// Chinese text must render whatever fonts the machine has: name the design's
// font first and the common CJK families after it.
QFont chineseFont(double pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("WenQuanYi Zen Hei")});
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}

template <typename W> W *named(W *widget, const QString &name, const QString &accessible = {})
{
    widget->setObjectName(name);
    LayoutEngine::setGeometryInTwips(widget, DesignGeometry::twips(name));
    if (!accessible.isEmpty())
        widget->setAccessibleName(accessible);
    return widget;
}

ImageButton *playerButton(QWidget *parent, const QString &name, const QString &tip,
                          const QString &picture)
{
    auto *button = named(new ImageButton(parent), name, tip);
    button->setToolTip(tip);
    if (!picture.isEmpty())
        button->setPicture(picture, Resources::bitmap(picture));
    return button;
}

// The program's icon in the sizes a desktop asks for.
QIcon programIcon()
{
    const QPixmap big(QStringLiteral(":/icons/qorvel.png"));
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(big.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return icon;
}

void setTextColour(QWidget *w, const QColor &colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, colour);
    w->setPalette(pal);
}

} // namespace

void Form1::createControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Qorvel儿童乐园4.2"));
    setWindowIcon(programIcon());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, WindowGreen);
    setPalette(pal);
    setAutoFillBackground(true);
    setMouseTracking(true);
    resize(LayoutEngine::toPixels(DesignGeometry::InnerWidthTwips),
           LayoutEngine::toPixels(DesignGeometry::InnerHeightTwips));

    const QPixmap dolphin(QStringLiteral(":/icons/dolphin.png"));
    for (const Category &c : CategoryTable::rows()) {
        auto *button =
            named(new ImageButton(this), QStringLiteral("Image%1").arg(c.number), c.tooltip);
        button->setToolTip(c.tooltip);
        if (!dolphin.isNull())
            button->setCursor(QCursor(dolphin, 4, 4));
        connect(button, &ImageButton::clicked, this, [this, n = c.number] { ImageClick(n); });
        m_categoryButtons[static_cast<std::size_t>(c.number - 1)] = button;
    }

    QWidget *player = m_services.player->widget();
    player->setParent(this);
    named(player, QStringLiteral("ShockwaveFlash1"), QStringLiteral("播放器"));

    List1 = named(new ProgrammeListView(this), QStringLiteral("List1"), QStringLiteral("节目列表"));
    List1->setModel(m_programmes);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette listPal = List1->palette();
    listPal.setColor(QPalette::Base, ListYellow);
    listPal.setColor(QPalette::Text, ListOrange);
    List1->setPalette(listPal);
    List1->setFont(chineseFont(10.5));
    List1->setFrameShape(QFrame::Box);

    Image17 = playerButton(this, QStringLiteral("Image17"), QStringLiteral("全屏显示"),
                           QStringLiteral("QUANPING"));
    Image20 = playerButton(this, QStringLiteral("Image20"), QStringLiteral("静音"), QString());
    Image15 = playerButton(this, QStringLiteral("Image15"), QStringLiteral("播放"),
                           QStringLiteral("BOFANG"));
    Image16 = playerButton(this, QStringLiteral("Image16"), QStringLiteral("暂停"),
                           QStringLiteral("ZANTING"));
    for (ImageButton *b : {Image15, Image16, Image20})
        b->setPressable(true);

    HScroll1 = named(new QScrollBar(Qt::Horizontal, this), QStringLiteral("HScroll1"),
                     QStringLiteral("播放进度"));
    HScroll1->setRange(0, 0);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(1);

    Option1 = named(new QRadioButton(QStringLiteral("播放全部"), this), QStringLiteral("Option1"),
                    QStringLiteral("播放全部"));
    Option2 = named(new QRadioButton(QStringLiteral("单曲循环"), this), QStringLiteral("Option2"),
                    QStringLiteral("单曲循环"));
    Combo1 = named(new FolderBox(this), QStringLiteral("Combo1"), AppPaths::CustomFolderName);
    Combo1->setDropDownCheck([this] { return Combo1_DropDown(); });
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    Combo1->setEditable(true);
    Combo1->lineEdit()->setReadOnly(true);
    Combo1->setEditText(AppPaths::CustomFolderName);
    QPalette comboPal = Combo1->palette();
    comboPal.setColor(QPalette::Base, WindowGreen);
    comboPal.setColor(QPalette::Button, WindowGreen);
    Combo1->setPalette(comboPal);
    for (QWidget *w : {static_cast<QWidget *>(Option1), static_cast<QWidget *>(Option2),
                       static_cast<QWidget *>(Combo1)})
        w->setFont(chineseFont(9));

    const QStringList linkTexts = {QStringLiteral("桌面快捷"), QStringLiteral("收藏"),
                                   QStringLiteral("历史"), QStringLiteral("设置")};
    for (int i = 0; i < 4; ++i) {
        auto *label =
            named(new ImageButton(this), QStringLiteral("Label%1").arg(i + 1), linkTexts[i]);
        label->setText(linkTexts[i]);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setFont(chineseFont(9));
        label->setCursor(Qt::PointingHandCursor);
        label->setMouseTracking(true);
        label->installEventFilter(this);
        setTextColour(label, palette().color(QPalette::ButtonText));
        m_links[static_cast<std::size_t>(i)] = label;
    }
    connect(m_links[1], &ImageButton::clicked, this, &Form1::Label2_Click);
    connect(m_links[2], &ImageButton::clicked, this, &Form1::Label3_Click);

    Command6 = named(new QPushButton(this), QStringLiteral("Command6"), QStringLiteral("返回"));
    const QPixmap back = Resources::bitmap(QStringLiteral("FANHUI"));
    Command6->setIcon(back);
    Command6->setIconSize(back.size());
    Command6->setToolTip(QStringLiteral("返回"));
    Command6->installEventFilter(this);
    Command6->hide();

    QWidget *browser = m_services.browser->widget();
    browser->setParent(this);
    named(browser, QStringLiteral("WebBrowser1"), QStringLiteral("节目介绍"));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
}

void Form1::createMenus()
{
    // Pop-up menus only; the window has no menu bar.
    const auto menu = [this](const QString &name, const QString &title, const QStringList &items) {
        auto *m = new QMenu(title, this);
        m->setObjectName(name);
        for (int i = 0; i < items.size(); ++i)
            m->addAction(items[i])->setObjectName(name + u'_' + QString::number(i + 1));
        connect(m->actions().at(0), &QAction::triggered, this, &Form1::Image16_Click);
        connect(m->actions().at(1), &QAction::triggered, this, &Form1::Image17_Click);
        return m;
    };
    const QString pause = QStringLiteral("暂停");
    const QString full = QStringLiteral("全屏");
    file1 = menu(QStringLiteral("file1"), QStringLiteral("菜单1"),
                 {pause, full, QStringLiteral("加入收藏")});
    file2 = menu(QStringLiteral("file2"), QStringLiteral("菜单2"),
                 {pause, full, QStringLiteral("从收藏列表删除"), QStringLiteral("清空收藏列表")});
    file3 = menu(QStringLiteral("file3"), QStringLiteral("菜单3"),
                 {pause, full, QStringLiteral("从历史记录删除"), QStringLiteral("清空历史记录")});
    connect(file1->actions().at(2), &QAction::triggered, this, &Form1::file1_3_Click);
    connect(file2->actions().at(2), &QAction::triggered, this, &Form1::file2_3_Click);
    connect(file2->actions().at(3), &QAction::triggered, this, &Form1::file2_4_Click);
    connect(file3->actions().at(2), &QAction::triggered, this, &Form1::file3_3_Click);
    connect(file3->actions().at(3), &QAction::triggered, this, &Form1::file3_4_Click);
    connect(List1, &ProgrammeListView::menuRequested, this, [this](const QPoint &globalPos) {
        if (QMenu *m = menuFor(CurrentCategory))
            m->popup(globalPos);
    });
}

QMenu *Form1::menuFor(const QString &category) const
{
    if (category == ListMode::Favourites)
        return file2;
    if (category == ListMode::History)
        return file3;
    return file1;
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // A pointer that jumps onto a link (a fast mouse, a warped pointer) may
    // send no move over it, only its arrival.
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        for (ImageButton *label : m_links) {
            if (watched == label)
                setTextColour(label, LinkRed);
        }
    }
    // The return button answers Enter as well as Space.
    if (watched == Command6 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Command6->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::mouseMoveEvent(QMouseEvent *event)
{
    // Only the window's own background puts the links back; moving from one
    // link onto another control leaves it red.
    if (!childAt(event->position().toPoint())) {
        for (ImageButton *label : m_links)
            setTextColour(label, palette().color(QPalette::ButtonText));
    }
    QWidget::mouseMoveEvent(event);
}
