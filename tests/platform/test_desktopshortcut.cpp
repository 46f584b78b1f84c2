// The Linux desktop launcher: where it goes, that desktops accept it and that
// it starts the program whatever the application folder is called.
#include "platform/desktopshortcut.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString LauncherName = u"Qorvel儿童乐园.desktop"_s;

// The Exec value read back as the desktop entry format says: the string
// escapes first, then the quoting of arguments, then "%%" for "%". Any other
// field code is kept as it is so that a comparison shows it.
QStringList parseExec(const QString &value)
{
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            unescaped += c;
            continue;
        }
        const QChar e = value.at(++i);
        unescaped += e == u's'   ? u' '
                     : e == u'n' ? u'\n'
                     : e == u't' ? u'\t'
                     : e == u'r' ? u'\r'
                                 : e;
    }
    QStringList args;
    QString arg;
    bool quoted = false, inArg = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped.at(i);
        if (quoted && c == u'\\' && i + 1 < unescaped.size() &&
            u"\"`$\\"_s.contains(unescaped.at(i + 1)))
            arg += unescaped.at(++i);
        else if (c == u'"')
            quoted = !quoted, inArg = true;
        else if (c == u' ' && !quoted) {
            if (inArg)
                args.append(arg);
            arg.clear(), inArg = false;
        } else if (c == u'%' && i + 1 < unescaped.size() && unescaped.at(i + 1) == u'%')
            arg += unescaped.at(++i), inArg = true;
        else
            arg += c, inArg = true;
    }
    if (inArg)
        args.append(arg);
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
    void writtenAgainWithoutGio();
    void readOnlyDesktopWritesNothing();

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_home;
    std::unique_ptr<DesktopShortcut> m_shortcut = makeSystemShortcut();
};

void TestDesktopShortcut::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    m_home = m_root->filePath(u"home"_s);
    QDir().mkpath(m_home);
    qputenv("HOME", m_home.toUtf8());
    qputenv("XDG_CONFIG_HOME", m_root->filePath(u"config"_s).toUtf8());
}

void TestDesktopShortcut::desktopFolder_data()
{
    QTest::addColumn<QByteArray>("userDirs"); // "@" stands for the test's root
    QTest::addColumn<QString>("made");        // relative to the test's root
    QTest::addColumn<QString>("expected");
    QTest::newRow("no user-dirs") << QByteArray() << u"home/Desktop"_s << u"home/Desktop"_s;
    QTest::newRow("named under home")
        << QByteArray("# comment\nXDG_DESKTOP_DIR=\"$HOME/\xe6\xa1\x8c\xe9\x9d\xa2\"\n")
        << u"home/桌面"_s << u"home/桌面"_s;
    QTest::newRow("escaped characters") << QByteArray("XDG_DESKTOP_DIR=\"$HOME/a \\\"b\\\" \\$c\"")
                                        << u"home/a \"b\" $c"_s << u"home/a \"b\" $c"_s;
    QTest::newRow("absolute") << QByteArray("XDG_DESKTOP_DIR=\"@/elsewhere\"\n") << u"elsewhere"_s
                              << u"elsewhere"_s;
    QTest::newRow("no such folder") << QByteArray() << QString() << QString();
}

void TestDesktopShortcut::desktopFolder()
{
    QFETCH(QByteArray, userDirs);
    QFETCH(QString, made);
    QFETCH(QString, expected);
    if (!userDirs.isEmpty())
        writeFile(m_root->filePath(u"config/user-dirs.dirs"_s),
                  userDirs.replace('@', m_root->path().toUtf8()));
    if (!made.isEmpty())
        QVERIFY(QDir().mkpath(m_root->filePath(made)));
    QCOMPARE(m_shortcut->desktopFolder(),
             expected.isEmpty() ? QString() : m_root->filePath(expected));
}

void TestDesktopShortcut::launcherStartsTheProgram_data()
{
    QTest::addColumn<QString>("folder");
    for (const QString &name :
         {u"plain"_s, u"with space"_s, u"quote\"d"_s, u"back\\slash"_s, u"100%"_s, u"$HOME"_s,
          u"a;b"_s, u"儿童 乐园"_s, u"all `x' \" \\ % $ ; 乐"_s})
        QTest::newRow(qPrintable(name)) << name;
}

void TestDesktopShortcut::launcherStartsTheProgram()
{
    QFETCH(QString, folder);
    const QString appDir = m_root->filePath(u"apps/"_s + folder);
    const QString program = appDir + u"/Qorvel儿童乐园"_s;
    const QString started = m_root->filePath(u"started"_s);
    writeFile(program, "#!/bin/sh\npwd > \"$STARTED_MARK\"\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(QDir().mkpath(appDir + u"/res"_s));
    const QString desktop = m_home + u"/Desktop"_s;
    QVERIFY(QDir().mkpath(desktop));

    QVERIFY(m_shortcut->create(desktop, {appDir, appDir}));
    const QString launcher = desktop + u"/"_s + LauncherName;
    QVERIFY(QFileInfo(launcher).isExecutable());
    QVERIFY(QFileInfo(appDir + u"/res/qorvel.png"_s).size() > 0);
    QStringList exec = parseExec(key(launcher, u"Exec"_s));
    if (folder.contains(u'%') && exec.value(0) == u"env"_s)
        exec.removeFirst();
    QCOMPARE(exec, QStringList{program});

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

void TestDesktopShortcut::writtenAgainWithoutGio()
{
    const QString desktop = m_home + u"/Desktop"_s;
    QVERIFY(QDir().mkpath(desktop));
    const QString launcher = desktop + u"/"_s + LauncherName;
    writeFile(launcher, "old");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", m_root->path().toUtf8());
    const bool made = m_shortcut->create(desktop, {u"/opt/kids"_s, u"/srv/kids"_s});
    qputenv("PATH", path);
    QVERIFY(made);
    QCOMPARE(key(launcher, u"Exec"_s), u"\"/opt/kids/Qorvel儿童乐园\""_s);
    QCOMPARE(key(launcher, u"Path"_s), u"/srv/kids"_s);
    QVERIFY(QFileInfo(launcher).isExecutable());
}

void TestDesktopShortcut::readOnlyDesktopWritesNothing()
{
    // Permissions do not hold root back; /proc refuses new files to anyone.
    QString desktop = m_home + u"/Desktop"_s;
    QVERIFY(QDir().mkpath(desktop));
    QFile::setPermissions(desktop, QFile::ReadOwner | QFile::ExeOwner);
    if (QFileInfo(desktop).isWritable())
        desktop = u"/proc"_s;
    QVERIFY(!m_shortcut->create(desktop, {m_root->path(), m_root->path()}));
    QVERIFY(!QFileInfo::exists(desktop + u"/"_s + LauncherName));
    QCOMPARE(QDir(desktop).entryList(QDir::Files | QDir::Hidden).filter(u"Qorvel"_s),
             QStringList());
}

QTEST_GUILESS_MAIN(TestDesktopShortcut)
#include "test_desktopshortcut.moc"
