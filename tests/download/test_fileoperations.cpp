#include "core/download/fileoperations.h"
#include "support/testbytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestFileOperations : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { QVERIFY(m_dir.isValid()); }
    void deleteRemovesAFile();
    void deleteLeavesFoldersAndNothingAlone();
    void deleteRemovesADanglingLink();
    void failedDeleteIsReported();
    void replaceOverwritesTheTarget();
    void replaceCreatesAMissingTarget();
    void failedReplaceKeepsBothFiles_data();
    void failedReplaceKeepsBothFiles();

private:
    QTemporaryDir m_dir;
};

void TestFileOperations::deleteRemovesAFile()
{
    const QString path = m_dir.filePath(QStringLiteral("a.swf"));
    writeFile(path, "data");
    QVERIFY(deleteFileIfExists(path));
    QVERIFY(!QFile::exists(path));
}

void TestFileOperations::deleteLeavesFoldersAndNothingAlone()
{
    const QString folder = m_dir.filePath(QStringLiteral("folder"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(deleteFileIfExists(folder));
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(deleteFileIfExists(m_dir.filePath(QStringLiteral("never-there"))));
}

void TestFileOperations::deleteRemovesADanglingLink()
{
    const QString link = m_dir.filePath(QStringLiteral("link"));
    QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("gone")), link));
    QVERIFY(deleteFileIfExists(link));
    QVERIFY(!QFileInfo(link).isSymLink());
}

// Callers rely on the answer to take their failure path.
void TestFileOperations::failedDeleteIsReported()
{
    // A file nobody may unlink, root included.
    const QString undeletable = QStringLiteral("/proc/version");
    if (!QFileInfo(undeletable).isFile())
        QSKIP("needs /proc");
    QVERIFY(!deleteFileIfExists(undeletable));
}

void TestFileOperations::replaceOverwritesTheTarget()
{
    const QString source = m_dir.filePath(QStringLiteral("new.tmp"));
    const QString target = m_dir.filePath(QStringLiteral("target"));
    writeFile(source, "new content");
    writeFile(target, "old");
    QVERIFY(replaceFile(source, target));
    QCOMPARE(readFileOrMissing(target), QByteArray("new content"));
    QVERIFY(!QFile::exists(source));
}

void TestFileOperations::replaceCreatesAMissingTarget()
{
    const QString source = m_dir.filePath(QStringLiteral("only.tmp"));
    const QString target = m_dir.filePath(QStringLiteral("only"));
    writeFile(source, "x");
    QVERIFY(replaceFile(source, target));
    QCOMPARE(readFileOrMissing(target), QByteArray("x"));
}

void TestFileOperations::failedReplaceKeepsBothFiles_data()
{
    QTest::addColumn<bool>("sourceExists");
    QTest::addColumn<bool>("targetIsFolder");
    QTest::newRow("missing source") << false << false;
    QTest::newRow("target is a folder") << true << true;
}

// The old routine deleted the target first, so a rename that then failed
// left no file at all.
void TestFileOperations::failedReplaceKeepsBothFiles()
{
    QFETCH(bool, sourceExists);
    QFETCH(bool, targetIsFolder);
    const QString source =
        m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".tmp"));
    const QString target = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    if (sourceExists)
        writeFile(source, "new");
    if (targetIsFolder) {
        QVERIFY(QDir().mkpath(target + QStringLiteral("/inside")));
    } else {
        writeFile(target, "old");
    }
    QVERIFY(!replaceFile(source, target));
    if (targetIsFolder)
        QVERIFY(QFileInfo(target + QStringLiteral("/inside")).isDir());
    else
        QCOMPARE(readFileOrMissing(target), QByteArray("old"));
    QCOMPARE(QFile::exists(source), sourceExists);
}

QTEST_GUILESS_MAIN(TestFileOperations)
#include "test_fileoperations.moc"
