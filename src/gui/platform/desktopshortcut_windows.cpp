// The desktop shortcut on Windows: a .lnk in the desktop folder that the
// registry names.
#include "core/base/apppaths.h"
#include "gui/platform/desktopshortcut.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

namespace {

// Releases a COM interface when it goes out of scope.
template <typename T> struct ComPtr
{
    T *p = nullptr;
    ~ComPtr()
    {
        if (p)
            p->Release();
    }
};

class ShellLinkShortcut : public DesktopShortcut
{
public:
    QString desktopFolder() const override
    {
        const QSettings shellFolders(
            QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                           "Explorer\\Shell Folders"),
            QSettings::NativeFormat);
        const QString desktop = shellFolders.value(QStringLiteral("Desktop")).toString();
        return !desktop.isEmpty() && QFileInfo(desktop).isDir() ? desktop : QString();
    }

    bool create(const QString &desktopFolder, const Target &target) override
    {
        const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const bool ok = save(desktopFolder, target);
        if (SUCCEEDED(init))
            CoUninitialize();
        return ok;
    }

private:
    static bool save(const QString &desktopFolder, const Target &target)
    {
        const QString lnk = QDir::toNativeSeparators(
            QDir(desktopFolder).filePath(AppPaths::ProgramName + QStringLiteral(".lnk")));
        const QString program = QDir::toNativeSeparators(
            AppPaths(target.programDir).file(AppPaths::ProgramName + QStringLiteral(".exe")));
        ComPtr<IShellLinkW> link;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&link.p))))
            return false;
        ComPtr<IPersistFile> file;
        if (FAILED(link.p->QueryInterface(IID_PPV_ARGS(&file.p))))
            return false;
        const std::wstring lnkPath = lnk.toStdWString();
        // A shortcut made before keeps what the user set on it (working
        // folder, icon, arguments); only its target is written again.
        if (QFileInfo::exists(lnk))
            file.p->Load(lnkPath.c_str(), STGM_READ);
        const std::wstring programPath = program.toStdWString();
        if (FAILED(link.p->SetPath(programPath.c_str())))
            return false;
        return SUCCEEDED(file.p->Save(lnkPath.c_str(), TRUE));
    }
};

} // namespace

std::unique_ptr<DesktopShortcut> makeSystemShortcut()
{
    return std::make_unique<ShellLinkShortcut>();
}
