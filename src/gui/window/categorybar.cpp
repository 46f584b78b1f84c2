#include "gui/window/categorybar.h"

#include "core/catalogue/categorytable.h"
#include "gui/sound/soundoutput.h"
#include "gui/window/designgeometry.h"
#include "gui/window/imagebutton.h"
#include "gui/window/resources.h"
#include "gui/window/services.h"

#include <QCursor>

CategoryBar::CategoryBar(QWidget *window, InfoStrip *strip, SoundOutput *sound, Settings settings)
    : QObject(window), m_strip(strip), m_sound(sound), m_settings(std::move(settings))
{
    const QPixmap dolphin(QStringLiteral(":/icons/dolphin.png"));
    for (const Category &c : CategoryTable::rows()) {
        auto *button = DesignGeometry::place(new ImageButton(window),
                                             DesignGeometry::categoryButtonName(c.number));
        button->setAccessibleName(c.tooltip);
        button->setToolTip(c.tooltip);
        if (!dolphin.isNull())
            button->setCursor(QCursor(dolphin, 4, 4));
        connect(button, &ImageButton::clicked, this,
                [this, n = c.number] { Q_EMIT categoryClicked(n); });
        m_buttons[static_cast<std::size_t>(c.number - 1)] = button;
    }
    QWidget *view = m_strip->widget();
    view->setParent(window);
    DesignGeometry::place(view, DesignGeometry::Control::InfoStrip);
    view->setAccessibleName(QStringLiteral("节目介绍"));
    m_strip->setErrorHandler([this](const QString &url) { onNavigateError(url); });
}

CategoryBar::~CategoryBar()
{
    m_strip->setErrorHandler({});
}

void CategoryBar::showStart()
{
    const Category &first = CategoryTable::row(1);
    m_strip->navigate(m_settings.infoSite + first.infoPage);
    showChosen(first.number);
    m_sound->play(Resources::StartSound);
}

void CategoryBar::onListShown(const ListSource &source)
{
    if (source.kind != ListSource::Category) {
        m_strip->navigate(m_settings.infoSite + QStringLiteral("show15.htm"));
        showChosen(0);
        return;
    }
    const Category &c = CategoryTable::row(source.category);
    m_strip->navigate(m_settings.infoSite + c.infoPage);
    showChosen(c.number);
    m_sound->play(c.sound);
}

void CategoryBar::showChosen(int number)
{
    // Every button is put back first, so exactly one (or none) shows chosen.
    for (const Category &c : CategoryTable::rows()) {
        const int picture = c.number == number ? c.selectedPicture : c.normalPicture;
        m_buttons[static_cast<std::size_t>(c.number - 1)]->setPicture(QString::number(picture),
                                                                      Resources::bitmap(picture));
    }
}

void CategoryBar::onNavigateError(const QString &url)
{
    // The fallback page failing too is not answered again, or a missing
    // fallback would loop for ever.
    if (url == m_settings.offlinePage)
        return;
    m_strip->navigate(m_settings.offlinePage);
}
