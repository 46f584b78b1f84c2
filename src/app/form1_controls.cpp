// Building the main window's controls at their design rectangles.
#include "app/designgeometry.h"
#include "app/folderbox.h"
#include "app/form1.h"
#include "app/imagebutton.h"
#include "app/programmelistview.h"
#include "app/resources.h"
#include "catalogue/categorytable.h"
#include "catalogue/programmelistmodel.h"
#include "playback/flashplayer.h"

#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {

const QColor WindowGreen(192, 255, 192);
const QColor ListYellow(255, 255, 192);
const QColor ListOrange(255, 128, 0);

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

template <typename W> W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    widget->setGeometry(DesignGeometry::pixels(name));
    return widget;
}

ImageButton *playerButton(QWidget *parent, const QString &name, const QString &tip,
                          const QString &picture)
{
    auto *button = named(new ImageButton(parent), name);
    button->setToolTip(tip);
    if (!picture.isEmpty())
        button->setPicture(picture, Resources::bitmap(picture));
    return button;
}

} // namespace

void Form1::createControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Qorvel儿童乐园4.2"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/qorvel.png")));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, WindowGreen);
    setPalette(pal);
    setAutoFillBackground(true);
    resize(DesignGeometry::InnerWidthTwips / DesignGeometry::TwipsPerPixel,
           DesignGeometry::InnerHeightTwips / DesignGeometry::TwipsPerPixel);

    const QPixmap dolphin(QStringLiteral(":/icons/dolphin.png"));
    for (const Category &c : CategoryTable::rows()) {
        auto *button = named(new ImageButton(this), QStringLiteral("Image%1").arg(c.number));
        button->setToolTip(c.tooltip);
        if (!dolphin.isNull())
            button->setCursor(QCursor(dolphin, 4, 4));
        connect(button, &ImageButton::clicked, this, [this, n = c.number] { ImageClick(n); });
        m_categoryButtons[static_cast<std::size_t>(c.number - 1)] = button;
    }

    QWidget *player = m_services.player->widget();
    player->setParent(this);
    named(player, QStringLiteral("ShockwaveFlash1"));

    List1 = named(new ProgrammeListView(this), QStringLiteral("List1"));
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

    HScroll1 = named(new QScrollBar(Qt::Horizontal, this), QStringLiteral("HScroll1"));
    HScroll1->setRange(0, 0);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(1);

    Option1 = named(new QRadioButton(QStringLiteral("播放全部"), this), QStringLiteral("Option1"));
    Option2 = named(new QRadioButton(QStringLiteral("单曲循环"), this), QStringLiteral("Option2"));
    Combo1 = named(new FolderBox(this), QStringLiteral("Combo1"));
    Combo1->setDropDownCheck([this] { return Combo1_DropDown(); });
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    Combo1->setEditable(true);
    Combo1->lineEdit()->setReadOnly(true);
    Combo1->setEditText(AppPaths::CustomFolderName);
    for (QWidget *w : {static_cast<QWidget *>(Option1), static_cast<QWidget *>(Option2),
                       static_cast<QWidget *>(Combo1)})
        w->setFont(chineseFont(9));

    const QStringList linkTexts = {QStringLiteral("桌面快捷"), QStringLiteral("收藏"),
                                   QStringLiteral("历史"), QStringLiteral("设置")};
    for (int i = 0; i < 4; ++i) {
        auto *label = named(new ImageButton(this), QStringLiteral("Label%1").arg(i + 1));
        label->setText(linkTexts[i]);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setFont(chineseFont(9));
        label->setCursor(Qt::PointingHandCursor);
        m_links[static_cast<std::size_t>(i)] = label;
    }
    connect(m_links[1], &ImageButton::clicked, this, &Form1::Label2_Click);
    connect(m_links[2], &ImageButton::clicked, this, &Form1::Label3_Click);

    Command6 = named(new QPushButton(this), QStringLiteral("Command6"));
    const QPixmap back = Resources::bitmap(QStringLiteral("FANHUI"));
    Command6->setIcon(back);
    Command6->setIconSize(back.size());
    Command6->hide();

    QWidget *browser = m_services.browser->widget();
    browser->setParent(this);
    named(browser, QStringLiteral("WebBrowser1"));
}
