#include "gui/window/dialog.h"

#include "core/base/apperror.h"
#include "core/catalogue/categorytable.h"
#include "core/lists/programmeorder.h"
#include "gui/layout/layoutengine.h"
#include "gui/window/services.h"

#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const QColor WindowGreen(192, 255, 192);
const QColor ListYellow(255, 255, 192);
const QColor ListOrange(255, 128, 0);

QFont dialogFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")});
    font.setPointSize(9);
    return font;
}

// Names the control and puts it at its design rectangle in twips.
template <typename W> W *placed(W *widget, const QString &name, const QRect &twips)
{
    widget->setObjectName(name);
    LayoutEngine::setGeometryInTwips(widget, twips);
    return widget;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QRect &twips)
{
    auto *b = placed(new QPushButton(text, parent), name, twips);
    // Enter must not save or delete by surprise.
    b->setAutoDefault(false);
    return b;
}

} // namespace

Dialog::Dialog(const AppPaths &paths, MessageBoxes &messages, QWidget *parent)
    : QDialog(parent), m_messages(messages), m_order(new ProgrammeOrder(paths, this))
{
    createControls();
    Form_Load();
}

void Dialog::Form_Load()
{
    m_order->clear();
}

void Dialog::createControls()
{
    setObjectName(QStringLiteral("Dialog"));
    setWindowTitle(QStringLiteral("设置"));
    setFixedSize(LayoutEngine::toPixels(5625), LayoutEngine::toPixels(9405));
    setFont(dialogFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, WindowGreen);
    setPalette(pal);
    setAutoFillBackground(true);

    auto *frame = placed(new QGroupBox(QStringLiteral("节目顺序调整"), this),
                         QStringLiteral("Frame1"), {60, 120, 5535, 8655});
    placed(new QLabel(QStringLiteral("把喜欢的节目向上移，不喜欢的向下移！不需要的删除"), frame),
           QStringLiteral("Label2"), {400, 360, 4800, 255});
    placed(new QLabel(QStringLiteral("先点击分类再点击节目名，然后点击上移、下移、删除"), frame),
           QStringLiteral("Label3"), {400, 720, 4335, 255});
    for (const Category &c : CategoryTable::rows()) {
        QPushButton *b = button(frame, QStringLiteral("Command%1").arg(c.number), c.tooltip,
                                {240, 1320 + 240 * (c.number - 1), 1215, 255});
        connect(b, &QPushButton::clicked, this, [this, n = c.number] { CommandClick(n); });
    }
    createList(frame);
    createActionButtons(frame);
}

void Dialog::createActionButtons(QWidget *frame)
{
    const struct
    {
        QWidget *parent;
        QString name;
        QString text;
        QRect twips;
        void (Dialog::*handler)();
    } actions[] = {
        {frame, u"Command18"_s, u"向上移动"_s, {240, 5880, 1215, 375}, &Dialog::Command18_Click},
        {frame, u"Command19"_s, u"向下移动"_s, {240, 6480, 1215, 375}, &Dialog::Command19_Click},
        {frame, u"Command20"_s, u"删除节目"_s, {240, 7440, 1215, 375}, &Dialog::Command20_Click},
        {this, u"OKButton"_s, u"保存修改"_s, {1500, 8880, 900, 375}, &Dialog::OKButton_Click},
        {this, u"CancelButton"_s, u"取消"_s, {3300, 8880, 900, 375}, &Dialog::CancelButton_Click},
    };
    for (const auto &a : actions)
        connect(button(a.parent, a.name, a.text, a.twips), &QPushButton::clicked, this, a.handler);
}

void Dialog::createList(QWidget *frame)
{
    List1 = placed(new QListView(frame), QStringLiteral("List1"), {1800, 1080, 3495, 7440});
    List1->setAccessibleName(QStringLiteral("节目列表"));
    List1->setModel(m_order);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setFrameShape(QFrame::Box);
    QPalette listPal = List1->palette();
    listPal.setColor(QPalette::Base, ListYellow);
    listPal.setColor(QPalette::Text, ListOrange);
    List1->setPalette(listPal);
}

void Dialog::CommandClick(int n)
{
    guarded([&] { m_order->load(n); });
}

void Dialog::Command18_Click()
{
    selectRow(m_order->moveUp(selectedRow()));
}

void Dialog::Command19_Click()
{
    selectRow(m_order->moveDown(selectedRow()));
}

void Dialog::Command20_Click()
{
    const int row = selectedRow();
    if (row < 0 || !m_messages.confirm(QStringLiteral("确实要删除这个节目吗？")))
        return;
    selectRow(m_order->remove(row));
}

void Dialog::OKButton_Click()
{
    // A list that could not be written stays open, so the changes are not
    // lost with the dialog.
    if (guarded([&] { m_order->save(); }))
        accept();
}

void Dialog::CancelButton_Click()
{
    reject();
}

int Dialog::selectedRow() const
{
    const QModelIndexList selected = List1->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void Dialog::selectRow(int row)
{
    if (row < 0) {
        List1->selectionModel()->clearSelection();
        List1->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        return;
    }
    List1->selectionModel()->setCurrentIndex(m_order->index(row),
                                             QItemSelectionModel::ClearAndSelect);
}

bool Dialog::guarded(const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const AppError &error) {
        m_messages.show(error.report());
        return false;
    }
}
