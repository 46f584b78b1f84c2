// The child's own movies from outside the program: folders that change while
// the window shows, movies and folders dropped on the window, movies opened
// from the desktop, and a second start handing its movie to the running one.
#include "core/base/moviehandoff.h"
#include "gui/window/mainwindow.h"
#include "support/windowharness.h"

#include <QDropEvent>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Movie = QByteArray("FWS\x06", 4) + QByteArray(60, 'm');

// Movies and folders outside the program, as a parent's download folder or
// USB stick holds them.
void fillOutside(const QTemporaryDir &outside)
{
    const QList<std::pair<QString, QByteArray>> files{
        {u"x.swf"_s, Movie},           {u"y.swf"_s, Movie},      {u"a.swf"_s, Movie + "other"},
        {u"note.swf"_s, "just text"},  {u"歌/s.swf"_s, Movie},   {u"歌/readme.txt"_s, "text"},
        {u"歌/deeper/d.swf"_s, Movie}, {u"动物/m.swf"_s, Movie}, {u"dir/"_s, {}}};
    for (const auto &[name, bytes] : files) {
        QVERIFY(QDir().mkpath(QFileInfo(outside.filePath(name)).path()));
        QFile f(outside.filePath(name));
        if (!name.endsWith(u'/'))
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
}

} // namespace

class TestOwnMovies : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void foldersChangeWhileShown();
    void droppedOrOpened_data();
    void droppedOrOpened();
    void secondStartHandsItsMovieOver();
};

void TestOwnMovies::foldersChangeWhileShown()
{
    WindowHarness h;
    h.app.writeBytes(u"自定义节目/动物/b.swf"_s, Movie);
    h.load();
    h.chooseFolder(u"动物"_s);
    h.choose(0);
    const QStringList calls = h.player.calls;

    QVERIFY(QDir().mkpath(h.app.file(u"自定义节目/新的"_s)));
    QTRY_VERIFY_WITH_TIMEOUT(h.combo()->findText(u"新的"_s) >= 0, 30000);
    QCOMPARE(h.combo()->currentText(), u"动物"_s);

    h.app.writeBytes(u"自定义节目/动物/a.swf"_s, Movie);
    QTRY_COMPARE_WITH_TIMEOUT(h.rows(), (QStringList{u"a"_s, u"b"_s}), 30000);
    QCOMPARE(h.list()->currentRow(), 1); // b stays chosen
    QVERIFY(QFile::remove(h.app.file(u"自定义节目/动物/a.swf"_s)));
    QTRY_COMPARE_WITH_TIMEOUT(h.rows(), QStringList{u"b"_s}, 30000);
    QCOMPARE(h.list()->currentRow(), 0);
    QCOMPARE(h.player.calls, calls); // what plays plays on
    QVERIFY(h.messages.shown.isEmpty());
}

void TestOwnMovies::droppedOrOpened_data()
{
    QTest::addColumn<bool>("dropped");      // else opened from the desktop
    QTest::addColumn<QString>("shown");     // the folder shown, "" for a category
    QTest::addColumn<QStringList>("paths"); // under the outside folder
    QTest::addColumn<QStringList>("files"); // the custom folder's files afterwards
    QTest::addColumn<QString>("played");    // under the custom folder (dropped) or outside
    QTest::addColumn<QString>("message");   // part of the one message, "" for none
    const QStringList before{u"动物/a.swf"_s};
    QTest::newRow("into the folder shown")
        << true << u"动物"_s << QStringList{u"x.swf"_s} << before + QStringList{u"动物/x.swf"_s}
        << u"动物/x.swf"_s << QString();
    QTest::newRow("no folder shown")
        << true << QString() << QStringList{u"x.swf"_s} << before + QStringList{u"我的节目/x.swf"_s}
        << u"我的节目/x.swf"_s << QString();
    QTest::newRow("name taken") << true << u"动物"_s << QStringList{u"a.swf"_s}
                                << before + QStringList{u"动物/a (2).swf"_s} << u"动物/a (2).swf"_s
                                << QString();
    QTest::newRow("a folder, its movies only")
        << true << QString() << QStringList{u"歌"_s} << before + QStringList{u"歌/s.swf"_s}
        << u"歌/s.swf"_s << QString();
    QTest::newRow("folder name taken")
        << true << QString() << QStringList{u"动物"_s} << before + QStringList{u"动物 (2)/m.swf"_s}
        << u"动物 (2)/m.swf"_s << QString();
    QTest::newRow("not a movie, beside one")
        << true << u"动物"_s << QStringList{u"note.swf"_s, u"x.swf"_s}
        << before + QStringList{u"动物/x.swf"_s} << u"动物/x.swf"_s
        << u"note.swf：不是swf格式的flash文件"_s;
    QTest::newRow("while downloading") << true << QString() << QStringList{u"x.swf"_s} << before
                                       << QString() << u"正在下载，请稍候！"_s;
    // Opened movies play where they are: nothing is copied.
    QTest::newRow("opened") << false << QString() << QStringList{u"x.swf"_s} << before << u"x.swf"_s
                            << QString();
    QTest::newRow("opened, the first that plays")
        << false << QString() << QStringList{u"gone.swf"_s, u"note.swf"_s, u"x.swf"_s, u"y.swf"_s}
        << before << u"x.swf"_s << u"note.swf：不是swf格式的flash文件"_s;
    QTest::newRow("opened a folder") << false << QString() << QStringList{u"dir"_s} << before
                                     << QString() << u"dir：这是一个文件夹，不是flash文件"_s;
}

void TestOwnMovies::droppedOrOpened()
{
    QFETCH(bool, dropped);
    QFETCH(QString, shown);
    QFETCH(QStringList, paths);
    QFETCH(QStringList, files);
    QFETCH(QString, played);
    QFETCH(QString, message);
    WindowHarness h;
    h.app.writeBytes(u"自定义节目/动物/a.swf"_s, Movie);
    h.app.writeList(u"cons/b01.inb"_s, {u"x"_s});
    QTemporaryDir outside;
    fillOutside(outside);
    h.load();
    if (!shown.isEmpty())
        h.chooseFolder(shown);
    if (message == u"正在下载，请稍候！"_s)
        h.queue(0);

    QMimeData mime;
    QList<QUrl> urls;
    for (const QString &name : std::as_const(paths))
        urls.append(QUrl::fromLocalFile(outside.filePath(name)));
    mime.setUrls(urls);
    if (dropped) {
        // A drop reaches only a window that took the drag's entry.
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(h.form.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent event(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(h.form.get(), &event);
    } else {
        QStringList opened;
        for (const QUrl &url : mime.urls())
            opened.append(url.toLocalFile());
        h.form->openMovies(opened);
    }
    QTRY_VERIFY2_WITH_TIMEOUT(played.isEmpty() ? !h.messages.shown.isEmpty()
                                               : h.player.movie() != FlashPlayer::EmptyMovie,
                              qPrintable(h.messages.texts().join(u'\n') + h.player.movie()), 30000);

    const QDir custom(h.app.file(u"自定义节目"_s));
    QStringList found;
    QDirIterator it(custom.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        found.append(custom.relativeFilePath(it.next()));
    found.sort();
    files.sort();
    QCOMPARE(found, files);
    // One message, first, for what was left out (a failed download may follow).
    QCOMPARE(h.messages.shown.isEmpty(), message.isEmpty());
    if (!message.isEmpty())
        QVERIFY2(h.messages.shown[0].text.contains(message), qPrintable(h.messages.shown[0].text));
    // Not a programme of the catalogue: the history stays as it was.
    QCOMPARE(h.app.readBytes(u"cons/lishi.inb"_s), QByteArray());
    if (played.isEmpty() || !dropped) {
        QCOMPARE(h.player.movie(),
                 played.isEmpty() ? FlashPlayer::EmptyMovie : outside.filePath(played));
        return;
    }
    QCOMPARE(h.player.movie(), custom.filePath(played));
    QString source = outside.filePath(paths.last());
    if (QFileInfo(source).isDir())
        source += u'/' + QFileInfo(played).fileName();
    QFile copy(custom.filePath(played)), original(source);
    QVERIFY(copy.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), original.readAll());
    // The folder it went into is shown, with the movie chosen.
    const QString folder = played.section(u'/', 0, 0);
    QVERIFY(PanelInside::source(*h.panel()) == ListSource::ofFolder(folder));
    QVERIFY(h.combo()->findText(folder) >= 0);
    QCOMPARE(h.model()->item(h.list()->currentRow()).name, played.section(u'/', 1));
}

void TestOwnMovies::secondStartHandsItsMovieOver()
{
    QTemporaryDir runtime;
    MovieHandOff running(runtime.filePath(u"qorvel-player"_s));
    QVERIFY(running.listen());
    QSignalSpy received(&running, &MovieHandOff::received);
    QFile movie(runtime.filePath(u"游戏.swf"_s));
    QVERIFY(movie.open(QIODevice::WriteOnly) && movie.write(Movie) == Movie.size());

    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    second.setProcessEnvironment(env);
    second.setWorkingDirectory(runtime.path());
    second.start(qEnvironmentVariable("QORVEL_APP_DIR") + u"/Qorvel儿童乐园"_s, {u"游戏.swf"_s});
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1, 60000);
    QCOMPARE(received.first().first().toStringList(), QStringList{movie.fileName()});
    // It ends at once, once the window has answered: no second player.
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 60000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
}

QTEST_MAIN(TestOwnMovies)
#include "test_ownmovies.moc"
