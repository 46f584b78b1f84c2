#include "core/download/contentrange.h"

#include <QTest>

class TestContentRange : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void accepts_data();
    void accepts();
    void refuses_data();
    void refuses();
};

void TestContentRange::accepts_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("last");
    QTest::addColumn<qint64>("total");
    QTest::newRow("first range") << QByteArray("bytes 0-40960/1048576") << 0LL << 40960LL
                                 << 1048576LL;
    QTest::newRow("later range") << QByteArray("bytes 40960-81920/1048576") << 40960LL << 81920LL
                                 << 1048576LL;
    QTest::newRow("one byte file") << QByteArray("bytes 0-0/1") << 0LL << 0LL << 1LL;
    QTest::newRow("unit in capitals") << QByteArray("BYTES 5-9/10") << 5LL << 9LL << 10LL;
    QTest::newRow("leading zeros") << QByteArray("bytes 007-009/010") << 7LL << 9LL << 10LL;
    QTest::newRow("beyond 32 bits") << QByteArray("bytes 4294967296-4294967297/4294967300")
                                    << 4294967296LL << 4294967297LL << 4294967300LL;
    QTest::newRow("18 digits") << QByteArray("bytes 0-1/999999999999999999") << 0LL << 1LL
                               << 999999999999999999LL;
}

void TestContentRange::accepts()
{
    QFETCH(QByteArray, header);
    QFETCH(qint64, first);
    QFETCH(qint64, last);
    QFETCH(qint64, total);
    const auto range = parseContentRange(header);
    QVERIFY(range.has_value());
    QCOMPARE(range->first, first);
    QCOMPARE(range->last, last);
    QCOMPARE(range->total, total);
}

void TestContentRange::refuses_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("unit only") << QByteArray("bytes ");
    QTest::newRow("unsatisfied form") << QByteArray("bytes */1000");
    QTest::newRow("unknown total") << QByteArray("bytes 0-99/*");
    QTest::newRow("no total") << QByteArray("bytes 0-99");
    QTest::newRow("no unit") << QByteArray("0-99/100");
    QTest::newRow("request syntax") << QByteArray("bytes=0-99/100");
    QTest::newRow("other unit") << QByteArray("items 0-99/100");
    QTest::newRow("two spaces") << QByteArray("bytes  0-99/100");
    QTest::newRow("space inside") << QByteArray("bytes 0 -99/100");
    QTest::newRow("trailing text") << QByteArray("bytes 0-99/100x");
    QTest::newRow("trailing space") << QByteArray("bytes 0-99/100 ");
    QTest::newRow("joined duplicates") << QByteArray("bytes 0-99/100, bytes 0-99/100");
    QTest::newRow("negative first") << QByteArray("bytes -1-99/100");
    QTest::newRow("plus sign") << QByteArray("bytes +0-99/100");
    QTest::newRow("last before first") << QByteArray("bytes 50-49/100");
    QTest::newRow("last at total") << QByteArray("bytes 0-100/100");
    QTest::newRow("empty total") << QByteArray("bytes 0-0/0");
    QTest::newRow("hex") << QByteArray("bytes 0x0-0x10/0x20");
    QTest::newRow("19 digits") << QByteArray("bytes 0-1/1000000000000000000");
    QTest::newRow("overflowing") << QByteArray("bytes 0-1/99999999999999999999999");
    // 19 nines overflow qint64 in the multiplication itself.
    QTest::newRow("19 nines") << QByteArray("bytes 09999999999999999999-9999/999990199999818");
    QTest::newRow("embedded nul") << QByteArray("bytes 0-9/10\0", 13);
}

void TestContentRange::refuses()
{
    QFETCH(QByteArray, header);
    QVERIFY(!parseContentRange(header).has_value());
}

QTEST_GUILESS_MAIN(TestContentRange)
#include "test_contentrange.moc"
