// The text links "桌面快捷" and "设置", and the warning about where the program
// was started from.
#include "core/base/launchlocation.h"
#include "gui/platform/desktopshortcut.h"
#include "gui/window/dialog.h"
#include "gui/window/form1.h"

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

bool Form1::runsFromTemp() const
{
    const QString temp = m_settings.tempDir;
    return LaunchLocation::isTemporary(resolved(m_paths.appDir()),
                                       temp.isEmpty() ? temp : resolved(temp));
}

void Form1::WarnIfRunFromTemp()
{
    if (runsFromTemp())
        m_services.messages->show(
            QStringLiteral("请先解压缩再使用，不要直接运行压缩包！否则每次都要下载"));
}

void Form1::Label1_Click()
{
    // Every failure on the way is silent: no desktop, nothing written.
    DesktopShortcut *shortcut = m_services.shortcut;
    if (!shortcut)
        return;
    const QString desktop = shortcut->desktopFolder();
    if (desktop.isEmpty())
        return;
    if (runsFromTemp()) {
        m_services.messages->show(QStringLiteral("请先解压缩再使用，不要直接运行压缩包！"));
        return;
    }
    // Installed by a package manager, the program file lies elsewhere than
    // the user's data folder.
    const QString programDir =
        m_settings.installedMode ? QCoreApplication::applicationDirPath() : m_paths.appDir();
    if (!shortcut->create(desktop, {programDir, m_paths.appDir()}))
        return;
    m_services.messages->show(QStringLiteral("已经成功在桌面上创建了快捷方式！"));
}

void Form1::Label4_Click()
{
    // Loaded afresh at every opening; the main window's list is not reloaded
    // afterwards, so a new order shows the next time the category is loaded.
    Dialog dialog(m_paths, *m_services.messages);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.exec();
}
