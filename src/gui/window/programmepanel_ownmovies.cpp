// Movies of the child's own that come from outside the folders: dropped on
// the window by a parent, or opened from the desktop's file manager.
#include "gui/window/programmepanel.h"

#include "core/catalogue/programmelistmodel.h"
#include "core/lists/ownmovieimport.h"
#include "gui/window/folderbox.h"
#include "gui/window/programmelistview.h"
#include "gui/window/services.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

void ProgrammePanel::addOwnMovies(const QStringList &paths)
{
    // The list is replaced below, which a download writing its rows by
    // position must not see.
    if (paths.isEmpty() || m_addingMovies || refusedWhileDownloading())
        return;
    m_addingMovies = true;
    const OwnMovieImport::Plan plan = OwnMovieImport::plan(
        paths, m_paths.customDir(), m_source.isFolder() ? m_source.folder : QString());
    // Shown only when the copy takes longer than a moment, as a folder of
    // large movies from a USB stick does.
    QProgressDialog progress(QStringLiteral("正在加入节目……"), QStringLiteral("取消"), 0, 1000,
                             m_list->window());
    progress.setWindowTitle(QStringLiteral("Qorvel儿童乐园"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    const OwnMovieImport::Outcome outcome = OwnMovieImport::run(plan, [&](qint64 copied) {
        progress.setValue(plan.totalBytes > 0 ? int(copied * 1000 / plan.totalBytes) : 0);
        return !progress.wasCanceled();
    });
    progress.close();
    m_addingMovies = false;

    if (const QString report = OwnMovieImport::report(plan.leftOut + outcome.failed);
        !report.isEmpty())
        m_messages->show(report, QStringLiteral("提示"), MessageBoxes::Icon::Information);
    if (outcome.copied.isEmpty())
        return;
    refreshFolders();
    const QFileInfo first(outcome.copied.first());
    showFolder(first.dir().dirName());
    m_list->setCurrentRow(m_programmes->rowOf(first.fileName()));
    m_list->setFocus();
    m_playAll.played();
    Q_EMIT ownMovieRequested(first.absoluteFilePath());
}

void ProgrammePanel::openMovies(const QStringList &paths)
{
    QList<OwnMovieImport::LeftOut> refused;
    QString playable;
    for (const QString &path : paths) {
        const QString why = OwnMovieImport::refusalOf(path);
        if (!why.isEmpty())
            refused.append({path, why});
        else if (playable.isEmpty())
            playable = QFileInfo(path).absoluteFilePath();
    }
    if (!refused.isEmpty())
        m_messages->show(OwnMovieImport::report(refused), QStringLiteral("提示"),
                         MessageBoxes::Icon::Information);
    if (playable.isEmpty())
        return;
    // Played where it is, as a movie of the child's own: the history keeps
    // programmes only.
    m_playAll.played();
    Q_EMIT ownMovieRequested(playable);
}
