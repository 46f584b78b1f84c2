#include "gui/parental/restpage.h"

#include "gui/window/style.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

RestPage::RestPage(QWidget *window, const QString &objectName, const QString &text)
    : QWidget(window)
{
    setObjectName(objectName);
    setAccessibleName(text);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(214, 238, 255));
    setPalette(pal);
    setAutoFillBackground(true);

    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    auto *picture = new QLabel(this);
    picture->setPixmap(QPixmap(QStringLiteral(":/icons/qorvel.png"))
                           .scaled(160, 160, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);
    auto *words = new QLabel(text, this);
    words->setObjectName(QStringLiteral("restText"));
    words->setFont(Style::chineseFont(22));
    words->setAlignment(Qt::AlignCenter);
    words->setWordWrap(true);
    layout->addWidget(words);
    m_countdown = new QLabel(this);
    m_countdown->setObjectName(QStringLiteral("restCountdown"));
    m_countdown->setFont(Style::chineseFont(36));
    m_countdown->setAlignment(Qt::AlignCenter);
    m_countdown->hide();
    layout->addWidget(m_countdown);
    layout->addStretch();
    hide();
}

void RestPage::setCountdown(int seconds)
{
    m_countdown->setVisible(seconds > 0);
    m_countdown->setText(QString::number(seconds));
}

void RestPage::addParentButton()
{
    auto *button = new QPushButton(QStringLiteral("家长"), this);
    button->setObjectName(QStringLiteral("parentButton"));
    button->setFocusPolicy(Qt::NoFocus);
    button->setFlat(true);
    layout()->addWidget(button);
    layout()->setAlignment(button, Qt::AlignRight);
    connect(button, &QPushButton::clicked, this, &RestPage::parentRequested);
}
