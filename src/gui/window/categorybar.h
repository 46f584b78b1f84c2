#pragma once

#include "core/catalogue/listsource.h"

#include <QObject>
#include <QString>

#include <array>

class ImageButton;
class InfoStrip;
class SoundOutput;
class QWidget;

// The fourteen category buttons along the top, their pictures and sounds,
// and the information strip's page, which follows the list shown.
class CategoryBar : public QObject
{
    Q_OBJECT
public:
    struct Settings
    {
        QString infoSite;    // base URL of the strip's pages, ending in "/"
        QString offlinePage; // shown when a page cannot be loaded
    };

    // The buttons and the strip are placed on `window`.
    CategoryBar(QWidget *window, InfoStrip *strip, SoundOutput *sound, Settings settings);
    // The strip outlives the window: it stops telling this bar.
    ~CategoryBar() override;

    // Start-up: the first category chosen, its page, the start-up sound.
    void showStart();

public Q_SLOTS:
    // The list shown changed: a category's button is shown chosen, its page
    // loaded and its sound played; any other list shows the general page.
    void onListShown(const ListSource &source);

Q_SIGNALS:
    // Category button n (1 .. 14) was clicked.
    void categoryClicked(int number);

private:
    void showChosen(int number);
    void onNavigateError(const QString &url);

    InfoStrip *m_strip;
    SoundOutput *m_sound;
    Settings m_settings;
    std::array<ImageButton *, 14> m_buttons{};
};
