// The Linux desktop launcher: where it goes, that desktops accept it and that
// it starts the program whatever the application folder is called.
#include "gui/platform/desktopshortcut.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The Exec value read back as desktop entries are read: the string escapes,
// then the quoting of arguments, then "%%" for "%".
QStringList parseExec(const QString &value)
{
    QString s;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        s += c == u'\\' && i + 1 < value.size() ? (value.at(++i) == u's' ? u' ' : value.at(i)) : c;
    }
    QStringList args{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (quoted && c == u'\\' && i + 1 < s.size())
            args.last() += s.at(++i);
        else if (c == u'"')
            quoted = !quoted;
        else if (c == u' ' && !quoted)
            args.append(QString());
        else
            args.last() += c == u'%' && s.mid(i, 2) == u"%%"_s ? s.at(++i) : c;
    }
    return args;
}

QString key(const QString &launcher, const QString &name)
{
    QFile f(launcher);
    f.open(QIODevice::ReadOnly);
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(name.toUtf8() + '='))
            return QString::fromUtf8(line.mid(name.size() + 1));
    }
    return {};
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestDesktopShortcut : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void desktopFolder_data();
    void desktopFolder();
    void launcherStartsTheProgram_data();
    void launcherStartsTheProgram();
    void readOnlyDesktopWritesNothing();

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_desktop;
    std::unique_ptr<DesktopShortcut> m_shortcut = makeSystemShortcut();
};

void TestDesktopShortcut::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    m_desktop = m_root->filePath(u"home/Desktop"_s);
    qputenv("HOME", m_root->filePath(u"home"_s).toUtf8());
    qputenv("XDG_CONFIG_HOME", m_root->filePath(u"config"_s).toUtf8());
}

void TestDesktopShortcut::desktopFolder_data()
{
    QTest::addColumn<QByteArray>("userDirs"); // "@" stands for the test's root
    QTest::addColumn<QString>("made");        // relative to the test's root
    QTest::newRow("no user-dirs") << QByteArray() << u"home/Desktop"_s;
    QTest::newRow("under home") << QByteArray(
                                       "# c\nXDG_DESKTOP_DIR=\"$HOME/\xe6\xa1\x8c\xe9\x9d\xa2\"\n")
                                << u"home/桌面"_s;
    QTest::newRow("escapes") << QByteArray("XDG_DESKTOP_DIR=\"$HOME/a \\\"b\\\" \\$c\"")
                             << u"home/a \"b\" $c"_s;
    QTest::newRow("absolute") << QByteArray("XDG_DESKTOP_DIR=\"@/elsewhere\"\n") << u"elsewhere"_s;
    QTest::newRow("no such folder") << QByteArray() << QString();
}

void TestDesktopShortcut::desktopFolder()
{
    QFETCH(QByteArray, userDirs);
    QFETCH(QString, made);
    if (!userDirs.isEmpty())
        writeFile(m_root->filePath(u"config/user-dirs.dirs"_s),
                  userDirs.replace('@', m_root->path().toUtf8()));
    if (!made.isEmpty())
        QVERIFY(QDir().mkpath(m_root->filePath(made)));
    QCOMPARE(m_shortcut->desktopFolder(), made.isEmpty() ? QString() : m_root->filePath(made));
}

void TestDesktopShortcut::launcherStartsTheProgram_data()
{
    QTest::addColumn<QString>("folder");
    for (const QString &name : {u"plain"_s, u"with space"_s, u"quote\"d"_s, u"back\\slash"_s,
                                u"100%"_s, u"$HOME"_s, u"a;b"_s, u"all `x' \" \\ % $ ; 乐"_s})
        QTest::newRow(qPrintable(name)) << name;
}

void TestDesktopShortcut::launcherStartsTheProgram()
{
    QFETCH(QString, folder);
    const QString appDir = m_root->filePath(u"apps/"_s + folder);
    const QString program = appDir + u"/Qorvel儿童乐园"_s;
    const QString started = m_root->filePath(u"started"_s);
    writeFile(program, "#!/bin/sh\npwd > \"$STARTED_MARK\"\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    QVERIFY(QDir().mkpath(appDir + u"/res"_s) && QDir().mkpath(m_desktop));
    const QString launcher = m_desktop + u"/Qorvel儿童乐园.desktop"_s;
    writeFile(launcher, "made before");

    // Written again over the old one, also where gio is missing.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", folder == u"plain"_s ? m_root->path().toUtf8() : path);
    QVERIFY(m_shortcut->create(m_desktop, {appDir, appDir}));
    qputenv("PATH", path);
    QVERIFY(QFileInfo(launcher).isExecutable());
    QVERIFY(QFileInfo(appDir + u"/res/qorvel.png"_s).size() > 0);
    QStringList exec = parseExec(key(launcher, u"Exec"_s));
    if (folder.contains(u'%') && exec.value(0) == u"env"_s)
        exec.removeFirst();
    QCOMPARE(exec, (QStringList{program, u"%F"_s}));

    QProcess validate;
    validate.start(u"desktop-file-validate"_s, {launcher});
    QVERIFY2(validate.waitForFinished(10000), "desktop-file-validate (desktop-file-utils) missing");
    QCOMPARE(QString::fromUtf8(validate.readAll()), QString());
    QCOMPARE(validate.exitCode(), 0);

    if (QStandardPaths::findExecutable(u"gio"_s).isEmpty())
        QSKIP("gio is not installed: the launcher was not started");
    QProcess gio;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"STARTED_MARK"_s, started);
    gio.setProcessEnvironment(env);
    gio.start(u"gio"_s, {u"launch"_s, launcher});
    QVERIFY(gio.waitForFinished(10000));
    QTRY_VERIFY(QFileInfo(started).size() > 0);
    QFile mark(started);
    QVERIFY(mark.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(mark.readAll()).trimmed(), appDir);
}

void TestDesktopShortcut::readOnlyDesktopWritesNothing()
{
    // Permissions do not hold root back; /proc refuses new files to anyone.
    QVERIFY(QDir().mkpath(m_desktop));
    QFile::setPermissions(m_desktop, QFile::ReadOwner | QFile::ExeOwner);
    const QString desktop = QFileInfo(m_desktop).isWritable() ? u"/proc"_s : m_desktop;
    QVERIFY(!m_shortcut->create(desktop, {m_root->path(), m_root->path()}));
    QCOMPARE(QDir(desktop).entryList(QDir::Files | QDir::Hidden).filter(u"Qorvel"_s),
             QStringList());
}

QTEST_GUILESS_MAIN(TestDesktopShortcut)
#include "test_desktopshortcut.moc"
