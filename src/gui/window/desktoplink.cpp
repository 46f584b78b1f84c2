#include "gui/window/desktoplink.h"

#include "core/base/launchlocation.h"
#include "gui/platform/desktopshortcut.h"
#include "gui/window/designgeometry.h"
#include "gui/window/imagebutton.h"
#include "gui/window/services.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

// Links resolved, so that a temporary folder reached through a link is
// recognised; a path that cannot be resolved is taken as it is.
QString resolved(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

} // namespace

DesktopLink::DesktopLink(QWidget *window, Settings settings, DesktopShortcut *shortcut,
                         MessageBoxes *messages)
    : QObject(window), m_settings(std::move(settings)), m_shortcut(shortcut), m_messages(messages)
{
    m_link = DesignGeometry::place(new ImageButton(window), DesignGeometry::Control::ShortcutLink);
    m_link->setText(QStringLiteral("桌面快捷"));
    m_link->setAccessibleName(m_link->text());
    connect(m_link, &ImageButton::clicked, this, &DesktopLink::onClicked);
}

bool DesktopLink::runsFromTemp() const
{
    const QString &temp = m_settings.tempDir;
    return LaunchLocation::isTemporary(resolved(m_settings.paths.appDir()),
                                       temp.isEmpty() ? temp : resolved(temp));
}

void DesktopLink::warnIfRunFromTemp()
{
    if (runsFromTemp())
        m_messages->show(QStringLiteral("请先解压缩再使用，不要直接运行压缩包！否则每次都要下载"));
}

void DesktopLink::onClicked()
{
    // Every failure on the way is silent: no desktop, nothing written.
    if (!m_shortcut)
        return;
    const QString desktop = m_shortcut->desktopFolder();
    if (desktop.isEmpty())
        return;
    if (runsFromTemp()) {
        m_messages->show(QStringLiteral("请先解压缩再使用，不要直接运行压缩包！"));
        return;
    }
    const QString appDir = m_settings.paths.appDir();
    const QString programDir =
        m_settings.installedMode ? QCoreApplication::applicationDirPath() : appDir;
    if (!m_shortcut->create(desktop, {programDir, appDir}))
        return;
    m_messages->show(QStringLiteral("已经成功在桌面上创建了快捷方式！"));
}
