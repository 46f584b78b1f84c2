#include "core/base/textfile.h"
#include "core/download/serverkey.h"
#include "support/faultserver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int RangeWaitMs = 1500;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestServerKey : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void keyRule_data();
    void keyRule();
    void missingOrEmptyFileKeepsTheKey_data();
    void missingOrEmptyFileKeepsTheKey();
    void readsOnlyTheStartOfAHugeFile();
    void refresh_data();
    void refresh();

private:
    QTemporaryDir m_dir;
    QString m_keyFile;
};

void TestServerKey::init()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("cons")));
    m_keyFile = ServerKey::keyFilePath(m_dir.path());
    QFile::remove(m_keyFile);
    QFile::remove(ServerKey::refreshFilePath(m_dir.path()));
}

void TestServerKey::keyRule_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("key");
    //                                    positions 1234567890123
    QTest::newRow("13 characters") << QByteArray("abcDEFghijKLM\r\n") << QStringLiteral("KLMDEF");
    QTest::newRow("longer field") << QByteArray("abcDEFghijKLMnopq\r\n")
                                  << QStringLiteral("KLMDEF");
    QTest::newRow("further fields ignored")
        << QByteArray("abcDEFghijKLM,zzzzzzzzzzzzzz\r\nsecond line") << QStringLiteral("KLMDEF");
    QTest::newRow("comma before 11") << QByteArray("abcDEFgh,ijKLM\r\n") << QStringLiteral("DEF");
    QTest::newRow("comma before 6") << QByteArray("abcDE,FghijKLM") << QStringLiteral("DE");
    QTest::newRow("quoted field") << QByteArray("\"abcDEFghijKLM\",x\r\n")
                                  << QStringLiteral("KLMDEF");
    QTest::newRow("quoted with comma inside")
        << QByteArray("\"abcD,FghijKLM\"\r\n") << QStringLiteral("KLMD,F");
    QTest::newRow("10 characters") << QByteArray("abcDEFghij\r\n") << QStringLiteral("DEF");
    QTest::newRow("12 characters") << QByteArray("abcDEFghijKL") << QStringLiteral("KLDEF");
    QTest::newRow("3 characters") << QByteArray("abc\r\n") << QString();
    QTest::newRow("LF only") << QByteArray("abcDEFghijKLM\nnext") << QStringLiteral("KLMDEF");
    QTest::newRow("lone CR") << QByteArray("abcDEFghijKLM\rnext") << QStringLiteral("KLMDEF");
    QTest::newRow("empty first line") << QByteArray("\r\nabcDEFghijKLM\r\n") << QString();
    // GBK: each Chinese character is one character of the field.
    QTest::newRow("GBK") << TextFile::toGbk(QStringLiteral("一二三四五六七八九十甲乙丙丁"))
                         << QStringLiteral("甲乙丙四五六");
}

void TestServerKey::keyRule()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, key);
    writeFile(m_keyFile, bytes);
    const std::optional<QString> loaded = loadServerKeyFrom(m_keyFile);
    QVERIFY(loaded.has_value());
    QCOMPARE(*loaded, key);
}

void TestServerKey::missingOrEmptyFileKeepsTheKey_data()
{
    QTest::addColumn<int>("state"); // 0 missing, 1 empty, 2 a folder
    QTest::newRow("missing") << 0;
    QTest::newRow("empty") << 1;
    QTest::newRow("a folder in its place") << 2;
}

void TestServerKey::missingOrEmptyFileKeepsTheKey()
{
    QFETCH(int, state);
    // Loaded once, as at start-up, then the file goes away.
    writeFile(m_keyFile, "abcDEFghijKLM\r\n");
    QString key = loadServerKeyFrom(m_keyFile).value_or(QString());
    QCOMPARE(key, QStringLiteral("KLMDEF"));
    QVERIFY(QFile::remove(m_keyFile));
    if (state == 1)
        writeFile(m_keyFile, QByteArray());
    if (state == 2)
        QVERIFY(QDir().mkpath(m_keyFile));
    if (const auto reloaded = loadServerKeyFrom(m_keyFile))
        key = *reloaded;
    QCOMPARE(key, QStringLiteral("KLMDEF"));
    if (state == 2)
        QVERIFY(QDir(m_keyFile).removeRecursively());
}

void TestServerKey::readsOnlyTheStartOfAHugeFile()
{
    QByteArray bytes = "abcDEFghijKLM\r\n";
    bytes += QByteArray(8 * 1024 * 1024, 'z');
    writeFile(m_keyFile, bytes);
    QCOMPARE(loadServerKeyFrom(m_keyFile).value_or(QString()), QStringLiteral("KLMDEF"));
}

void TestServerKey::refresh_data()
{
    QTest::addColumn<FaultServer::Fault>("fault");
    QTest::addColumn<QString>("expectedKey");
    QTest::addColumn<QByteArray>("expectedFile");
    QTest::newRow("succeeds") << FaultServer::Fault::None << QStringLiteral("NEWnew")
                              << QByteArray("xxxnewxxxxNEW\r\n");
    QTest::newRow("404") << FaultServer::Fault::Status404 << QStringLiteral("OLDold")
                         << QByteArray("xxxoldxxxxOLD\r\n");
    QTest::newRow("200 whole file") << FaultServer::Fault::WholeFile200 << QStringLiteral("OLDold")
                                    << QByteArray("xxxoldxxxxOLD\r\n");
    QTest::newRow("stalls") << FaultServer::Fault::StallAfterHeaders << QStringLiteral("OLDold")
                            << QByteArray("xxxoldxxxxOLD\r\n");
}

void TestServerKey::refresh()
{
    QFETCH(FaultServer::Fault, fault);
    QFETCH(QString, expectedKey);
    QFETCH(QByteArray, expectedFile);
    FaultServer server;
    QVERIFY(server.listen());
    server.setFile("/guihu.txt", "xxxnewxxxxNEW\r\n");
    server.setFault("/guihu.txt", fault);
    writeFile(m_keyFile, "xxxoldxxxxOLD\r\n");
    QObject context;
    bool done = false;
    std::optional<QString> key;
    refreshServerKey(RangeWaitMs, server.baseUrl(), m_dir.path(), &context,
                     [&](TransferOutcome, std::optional<QString> newKey) {
                         done = true;
                         key = newKey;
                     });
    QTRY_VERIFY_WITH_TIMEOUT(done, RangeWaitMs + 3000);
    QCOMPARE(key.value_or(QStringLiteral("<none>")), expectedKey);
    QFile file(m_keyFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expectedFile);
    QVERIFY(!QFile::exists(ServerKey::refreshFilePath(m_dir.path())));
    QCOMPARE(server.requests().value(0).path, QByteArray("/guihu.txt"));
}

QTEST_GUILESS_MAIN(TestServerKey)
#include "test_serverkey.moc"
