#include "gui/parental/parentalgate.h"

#include "gui/window/style.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ParentalGate::ParentalGate(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ParentalGate"));
    setWindowTitle(QStringLiteral("家长验证"));
    setFont(Style::chineseFont(11));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("请家长回答："), this));
    m_questionLabel = new QLabel(this);
    m_questionLabel->setFont(Style::chineseFont(20));
    m_questionLabel->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_questionLabel);
    m_answer = new QLineEdit(this);
    m_answer->setAccessibleName(QStringLiteral("答案"));
    layout->addWidget(m_answer);
    m_hint = new QLabel(this);
    Style::setTextColour(m_hint, Style::LinkRed);
    layout->addWidget(m_hint);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &ParentalGate::onAnswered);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ask();
}

void ParentalGate::ask()
{
    m_question = GateQuestion::random();
    m_questionLabel->setText(m_question.text());
    m_answer->clear();
    m_answer->setFocus();
}

void ParentalGate::onAnswered()
{
    if (m_question.accepts(m_answer->text())) {
        accept();
        return;
    }
    if (++m_wrong >= Tries) {
        reject();
        return;
    }
    // A new question each time, so that trying numbers one by one gets
    // nowhere.
    m_hint->setText(QStringLiteral("不对，还可以再试%1次").arg(Tries - m_wrong));
    ask();
}
