#include "app/dialog.h"

#include "app/designgeometry.h"
#include "app/services.h"
#include "catalogue/categorytable.h"
#include "core/apperror.h"
#include "lists/programmeorder.h"

#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>

namespace {

const QColor WindowGreen(192, 255, 192);
const QColor ListYellow(255, 255, 192);
const QColor ListOrange(255, 128, 0);

QRect twips(int left, int top, int width, int height)
{
    const auto px = [](int t) { return qRound(double(t) / DesignGeometry::TwipsPerPixel); };
    return {px(left), px(top), px(width), px(height)};
}

QFont dialogFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")});
    font.setPointSize(9);
    return font;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, QRect rect)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(rect);
    // Enter must not save or delete by surprise.
    b->setAutoDefault(false);
    return b;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, QRect rect)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(rect);
    return l;
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
    setFixedSize(twips(0, 0, 5625, 9405).size());
    setFont(dialogFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, WindowGreen);
    setPalette(pal);
    setAutoFillBackground(true);

    auto *frame = new QGroupBox(QStringLiteral("节目顺序调整"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(twips(60, 120, 5535, 8655));
    label(frame, QStringLiteral("Label2"),
          QStringLiteral("把喜欢的节目向上移，不喜欢的向下移！不需要的删除"),
          twips(400, 360, 4800, 255));
    label(frame, QStringLiteral("Label3"),
          QStringLiteral("先点击分类再点击节目名，然后点击上移、下移、删除"),
          twips(400, 720, 4335, 255));

    for (const Category &c : CategoryTable::rows()) {
        QPushButton *b = button(frame, QStringLiteral("Command%1").arg(c.number), c.tooltip,
                                twips(240, 1320 + 240 * (c.number - 1), 1215, 255));
        connect(b, &QPushButton::clicked, this, [this, n = c.number] { CommandClick(n); });
    }

    List1 = new QListView(frame);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setAccessibleName(QStringLiteral("节目列表"));
    List1->setGeometry(twips(1800, 1080, 3495, 7440));
    List1->setModel(m_order);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setFrameShape(QFrame::Box);
    QPalette listPal = List1->palette();
    listPal.setColor(QPalette::Base, ListYellow);
    listPal.setColor(QPalette::Text, ListOrange);
    List1->setPalette(listPal);

    connect(button(frame, QStringLiteral("Command18"), QStringLiteral("向上移动"),
                   twips(240, 5880, 1215, 375)),
            &QPushButton::clicked, this, &Dialog::Command18_Click);
    connect(button(frame, QStringLiteral("Command19"), QStringLiteral("向下移动"),
                   twips(240, 6480, 1215, 375)),
            &QPushButton::clicked, this, &Dialog::Command19_Click);
    connect(button(frame, QStringLiteral("Command20"), QStringLiteral("删除节目"),
                   twips(240, 7440, 1215, 375)),
            &QPushButton::clicked, this, &Dialog::Command20_Click);
    connect(button(this, QStringLiteral("OKButton"), QStringLiteral("保存修改"),
                   twips(1500, 8880, 900, 375)),
            &QPushButton::clicked, this, &Dialog::OKButton_Click);
    connect(button(this, QStringLiteral("CancelButton"), QStringLiteral("取消"),
                   twips(3300, 8880, 900, 375)),
            &QPushButton::clicked, this, &Dialog::CancelButton_Click);
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
