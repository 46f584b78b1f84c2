#include "gui/window/programmeorderdialog.h"

#include "core/catalogue/categorytable.h"
#include "core/lists/programmeorder.h"
#include "gui/layout/layoutengine.h"
#include "gui/window/designgeometry.h"
#include "gui/window/failuremessage.h"
#include "gui/window/services.h"
#include "gui/window/style.h"

#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>

using DesignGeometry::DialogControl;

namespace {

// Names the control and puts it at its design rectangle in twips.
template <typename W> W *placed(W *widget, const DesignGeometry::Placement &at)
{
    widget->setObjectName(at.name);
    LayoutEngine::setGeometryInTwips(widget, at.twips);
    return widget;
}

QPushButton *button(QWidget *parent, const QString &text, const DesignGeometry::Placement &at)
{
    auto *b = placed(new QPushButton(text, parent), at);
    // Enter must not save or delete by surprise.
    b->setAutoDefault(false);
    return b;
}

} // namespace

ProgrammeOrderDialog::ProgrammeOrderDialog(const AppPaths &paths, MessageBoxes &messages,
                                           QWidget *parent)
    : QDialog(parent), m_messages(messages), m_order(new ProgrammeOrder(paths, this))
{
    createControls();
    m_order->clear();
}

void ProgrammeOrderDialog::createControls()
{
    setObjectName(QStringLiteral("Dialog"));
    setWindowTitle(QStringLiteral("设置"));
    setFixedSize(LayoutEngine::toPixels(DesignGeometry::DialogTwips.width()),
                 LayoutEngine::toPixels(DesignGeometry::DialogTwips.height()));
    setFont(Style::chineseFont(9));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Style::WindowGreen);
    setPalette(pal);
    setAutoFillBackground(true);

    const auto at = &DesignGeometry::dialogControl;
    auto *frame =
        placed(new QGroupBox(QStringLiteral("节目顺序调整"), this), at(DialogControl::Frame));
    placed(new QLabel(QStringLiteral("把喜欢的节目向上移，不喜欢的向下移！不需要的删除"), frame),
           at(DialogControl::FirstHint));
    placed(new QLabel(QStringLiteral("先点击分类再点击节目名，然后点击上移、下移、删除"), frame),
           at(DialogControl::SecondHint));
    for (const Category &c : CategoryTable::rows()) {
        QPushButton *b = button(frame, c.tooltip, DesignGeometry::dialogCategoryButton(c.number));
        connect(b, &QPushButton::clicked, this, [this, n = c.number] { onCategoryClicked(n); });
    }
    createList(frame);
    createActionButtons(frame);
}

void ProgrammeOrderDialog::createActionButtons(QWidget *frame)
{
    const struct
    {
        QWidget *parent;
        DialogControl control;
        const char16_t *text;
        void (ProgrammeOrderDialog::*handler)();
    } actions[] = {
        {frame, DialogControl::MoveUpButton, u"向上移动", &ProgrammeOrderDialog::onMoveUpClicked},
        {frame, DialogControl::MoveDownButton, u"向下移动",
         &ProgrammeOrderDialog::onMoveDownClicked},
        {frame, DialogControl::DeleteButton, u"删除节目", &ProgrammeOrderDialog::onDeleteClicked},
        {this, DialogControl::SaveButton, u"保存修改", &ProgrammeOrderDialog::onSaveClicked},
        {this, DialogControl::CancelButton, u"取消", &ProgrammeOrderDialog::onCancelClicked},
        {this, DialogControl::ParentButton, u"家长设置",
         &ProgrammeOrderDialog::parentSettingsRequested},
    };
    for (const auto &a : actions)
        connect(
            button(a.parent, QString::fromUtf16(a.text), DesignGeometry::dialogControl(a.control)),
            &QPushButton::clicked, this, a.handler);
}

void ProgrammeOrderDialog::createList(QWidget *frame)
{
    m_list = placed(new QListView(frame), DesignGeometry::dialogControl(DialogControl::List));
    m_list->setAccessibleName(QStringLiteral("节目列表"));
    m_list->setModel(m_order);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setFrameShape(QFrame::Box);
    Style::paintAsList(m_list);
}

void ProgrammeOrderDialog::onCategoryClicked(int number)
{
    failed(m_messages, m_order->load(number));
}

void ProgrammeOrderDialog::onMoveUpClicked()
{
    selectRow(m_order->moveUp(selectedRow()));
}

void ProgrammeOrderDialog::onMoveDownClicked()
{
    selectRow(m_order->moveDown(selectedRow()));
}

void ProgrammeOrderDialog::onDeleteClicked()
{
    const int row = selectedRow();
    if (row < 0 || !m_messages.confirm(QStringLiteral("确实要删除这个节目吗？")))
        return;
    selectRow(m_order->remove(row));
}

void ProgrammeOrderDialog::onSaveClicked()
{
    // A list that could not be written stays open, so the changes are not
    // lost with the dialog.
    if (!failed(m_messages, m_order->save()))
        accept();
}

void ProgrammeOrderDialog::onCancelClicked()
{
    reject();
}

int ProgrammeOrderDialog::selectedRow() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ProgrammeOrderDialog::selectRow(int row)
{
    if (row < 0) {
        m_list->selectionModel()->clearSelection();
        m_list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        return;
    }
    m_list->selectionModel()->setCurrentIndex(m_order->index(row),
                                              QItemSelectionModel::ClearAndSelect);
}
