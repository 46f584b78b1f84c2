#pragma once

#include "app/services.h"
#include "app/settings.h"

#include <QWidget>
#include <array>

class AppError;
class ImageButton;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;

// The main window. It owns the controls and the window-level state; the
// subsystems do the work its handlers hand them.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    Form1(AppSettings settings, Services services, QWidget *parent = nullptr);
    ~Form1() override;

    // Everything that must be ready before the first click. Throws AppError
    // when the installation is broken (key file or first list missing).
    void Form_Load();

    // Window-level state.
    QString FlashDir;
    QString ServerKey;
    QString CurrentCategory;
    QByteArray SoundBuffer;

    // Routines shared by the subsystems.
    void LoadProgrammeList(const QString &listFile);
    void ResetCategoryButtons();
    void PlayResourceSound(const QString &name);
    void LoadServerKey();

    // Click on category button n (1 .. 14).
    void ImageClick(int n);

    const AppSettings &settings() const { return m_settings; }
    QString appPath(const QString &relative) const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void createControls();
    void Form_Resize();
    void ShowStartCategory();
    void LoadCustomCategories();
    void WebBrowser1_NavigateError(const QString &url);
    void resetOptions(bool enabled);
    // Runs a handler; a failure is reported and the program carries on.
    template <typename Handler> void guarded(Handler &&handler);
    void report(const AppError &error);

    AppSettings m_settings;
    Services m_services;
    bool m_loaded = false;

    // Controls, named as the design names them (also their objectNames).
    std::array<ImageButton *, 14> m_categoryButtons{};
    ImageButton *Image15 = nullptr;
    ImageButton *Image16 = nullptr;
    ImageButton *Image17 = nullptr;
    ImageButton *Image20 = nullptr;
    QListWidget *List1 = nullptr;
    QListWidget *List2 = nullptr;
    QListWidget *List3 = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QComboBox *Combo1 = nullptr;
    std::array<QLabel *, 4> m_links{};
    QPushButton *Command6 = nullptr;
};
