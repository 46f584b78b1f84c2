// Every writer of the program on a disk that refuses to take the bytes: the
// old file stays byte for byte, nothing is left beside it, no success is
// reported, and once there is room again the same write works.
#include "core/base/apperror.h"
#include "core/base/datafolder.h"
#include "core/base/textfile.h"
#include "core/catalogue/listfile.h"
#include "core/lists/history.h"
#include "core/lists/programmeorder.h"
#include "support/appfolder.h"

#include <QDirIterator>
#include <QtTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Writes beyond `bytes` into any file fail (EFBIG) as on a full disk, for as
// long as this lives. Needs no privileges, unlike mounting a small disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

using Files = QMap<QString, QByteArray>;

Files snapshot(const QString &root)
{
    Files files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        files.insert(QDir(root).relativeFilePath(path),
                     f.open(QIODevice::ReadOnly) ? f.readAll() : "?");
    }
    return files;
}

QStringList names(const QString &stem, int count)
{
    QStringList out;
    for (int i = 1; i <= count; ++i)
        out.append(stem + QString::number(i));
    return out;
}

// One writer as the program calls it, with the result the window sees.
struct Writer
{
    QString target; // the file it writes, relative to the application folder
    std::function<Result<>(const AppFolder &)> write;
    bool silent = false; // says nothing on failure, by the program's rules
};

QMap<QString, Writer> writers()
{
    const QString favourites = u"cons/shoucang.inb"_s;
    const QString history = u"cons/lishi.inb"_s;
    return {
        {u"favourites add"_s,
         {favourites,
          [=](const AppFolder &app) {
              return ListFile(app.file(favourites)).append(u"新节目"_s);
          }}},
        {u"favourites remove"_s,
         {favourites,
          [=](const AppFolder &app) {
              return ListFile(app.file(favourites)).rewrite(names(u"收藏"_s, 14));
          }}},
        {u"history record"_s,
         {history,
          [=](const AppFolder &app) {
              History::record(app.file(history), u"新节目"_s);
              return Result<>();
          },
          true}},
        {u"order dialog save"_s,
         {u"cons/b01.inb"_s,
          [](const AppFolder &app) {
              ProgrammeOrder order{AppPaths(app.path())};
              if (Result<> loaded = order.load(1); !loaded)
                  return loaded;
              order.moveDown(0);
              return order.save();
          }}},
        {u"first start copy"_s,
         {u"user/cons/b01.inb"_s,
          [](const AppFolder &app) { return DataFolder::fill(app.path(), app.file(u"user"_s)); }}},
    };
}

void fillLists(const AppFolder &app)
{
    app.writeList(u"cons/shoucang.inb"_s, names(u"收藏"_s, 15));
    app.writeList(u"cons/lishi.inb"_s, names(u"历史"_s, 15));
    app.writeList(u"cons/b01.inb"_s, names(u"儿歌"_s, 15));
}

enum class Refusal { NoSpace, OneByte, HalfTheContent, ReadOnlyFolder, ReadOnlyFile };

} // namespace

class TestFullDisk : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void refusedWriteKeepsTheOldFile_data();
    void refusedWriteKeepsTheOldFile();
};

void TestFullDisk::refusedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<Refusal>("refusal");
    const QList<std::pair<const char *, Refusal>> refusals{
        {"no space", Refusal::NoSpace},
        {"one byte", Refusal::OneByte},
        {"half the content", Refusal::HalfTheContent},
        {"read-only folder", Refusal::ReadOnlyFolder},
        {"read-only file", Refusal::ReadOnlyFile},
    };
    for (const QString &writer : writers().keys()) {
        for (const auto &[label, refusal] : refusals) {
            // The first start makes its files: there is none to protect.
            if (refusal == Refusal::ReadOnlyFile && writer == u"first start copy"_s)
                continue;
            QTest::addRow("%s, %s", qPrintable(writer), label) << writer << refusal;
        }
    }
}

void TestFullDisk::refusedWriteKeepsTheOldFile()
{
    QFETCH(QString, writer);
    QFETCH(Refusal, refusal);
    const Writer w = writers().value(writer);
    const bool readOnly = refusal == Refusal::ReadOnlyFolder || refusal == Refusal::ReadOnlyFile;
    if (readOnly && geteuid() == 0)
        QSKIP("root writes into read-only files and folders");

    // What a write that succeeds leaves behind: new files may appear whole.
    AppFolder reference;
    fillLists(reference);
    QVERIFY(w.write(reference));
    const Files done = snapshot(reference.path());

    AppFolder app;
    fillLists(app);
    const Files before = snapshot(app.path());
    const QString lockedFolder = QFileInfo(app.file(w.target)).absolutePath();
    const QString locked = refusal == Refusal::ReadOnlyFile  ? app.file(w.target)
                           : w.target.startsWith(u"user/"_s) ? app.path()
                                                             : lockedFolder;
    std::optional<AppError> error;
    {
        std::optional<FileSizeLimit> limit;
        if (refusal == Refusal::NoSpace)
            limit.emplace(0);
        else if (refusal == Refusal::OneByte)
            limit.emplace(1);
        else if (refusal == Refusal::HalfTheContent)
            limit.emplace(before.value(u"cons/b01.inb"_s).size() / 2);
        const QFile::Permissions mode = QFile::permissions(locked);
        if (readOnly)
            QVERIFY(QFile::setPermissions(locked, mode & ~(QFile::WriteOwner | QFile::WriteUser |
                                                           QFile::WriteGroup | QFile::WriteOther)));
        if (const Result<> written = w.write(app); !written)
            error = written.error();
        if (readOnly)
            QFile::setPermissions(locked, mode);
    }

    if (w.silent) {
        QVERIFY(!error);
    } else {
        QVERIFY2(error, "a refused write was reported as done");
        QVERIFY2(error->report().contains(QFileInfo(w.target).fileName()) ||
                     error->report().contains(u"user"_s),
                 qPrintable(error->report()));
    }
    const Files after = snapshot(app.path());
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const bool unchanged = before.contains(it.key()) && before.value(it.key()) == it.value();
        const bool newAndWhole = !before.contains(it.key()) && done.value(it.key()) == it.value();
        QVERIFY2(unchanged || newAndWhole, qPrintable(it.key() + u" is torn or left over"_s));
    }
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QVERIFY2(after.contains(it.key()), qPrintable(it.key() + u" is gone"_s));

    // Room again: the same write works without a restart.
    QVERIFY(w.write(app));
    QCOMPARE(snapshot(app.path()).value(w.target), done.value(w.target));
}

QTEST_GUILESS_MAIN(TestFullDisk)
#include "test_fulldisk.moc"
