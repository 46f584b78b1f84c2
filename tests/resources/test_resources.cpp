// The built-in pictures, cursor and icon: their sizes, depth and that each
// can be told apart.
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray readResource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void bitmapsHaveTheirSizesAndDepth_data();
    void bitmapsHaveTheirSizesAndDepth();
    void everyCategoryPictureIsDistinct();
    void cursorAndIcon();
};

void TestResources::bitmapsHaveTheirSizesAndDepth_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    for (int n = 1; n <= 14; ++n) {
        QTest::newRow(qPrintable(QString::number(100 + n)))
            << QString::number(100 + n) << QSize(71, 71);
        QTest::newRow(qPrintable(QString::number(200 + n)))
            << QString::number(200 + n) << QSize(71, 71);
    }
    for (const char *name : {"JINGYIN1", "JINGYIN2", "QUANPING", "BOFANG", "ZANTING"})
        QTest::newRow(name) << QString::fromLatin1(name) << QSize(27, 27);
    QTest::newRow("FANHUI") << QStringLiteral("FANHUI") << QSize(47, 27);
}

void TestResources::bitmapsHaveTheirSizesAndDepth()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QString path = QStringLiteral(":/bitmaps/%1.bmp").arg(name);
    const QByteArray bytes = readResource(path);
    QVERIFY2(bytes.size() > 54, "the bitmap is not built in");
    QVERIFY(bytes.startsWith("BM"));
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 28), quint16(24)); // bits per pixel
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 30), quint32(0));  // uncompressed

    const QImage image(path);
    QCOMPARE(image.size(), size);
    // A picture, not a blank: at least a few dozen colours.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    QVERIFY(colours.size() > 40);
}

namespace {

// Share of pixels that differ clearly between two pictures of one size.
double differingShare(const QImage &a, const QImage &b)
{
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d =
                qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
            differing += d > 60;
        }
    }
    return double(differing) / (a.width() * a.height());
}

QImage bitmap(int number)
{
    return QImage(QStringLiteral(":/bitmaps/%1.bmp").arg(number));
}

} // namespace

// A child must see at once which button is chosen, and tell the fourteen apart.
void TestResources::everyCategoryPictureIsDistinct()
{
    for (int n = 1; n <= 14; ++n) {
        const QImage normal = bitmap(100 + n), selected = bitmap(200 + n);
        QVERIFY2(differingShare(normal, selected) > 0.3, qPrintable(QString::number(n)));
        for (int m = n + 1; m <= 14; ++m)
            QVERIFY2(differingShare(normal, bitmap(100 + m)) > 0.1,
                     qPrintable(QStringLiteral("%1 and %2").arg(n).arg(m)));
    }
    const QImage on(QStringLiteral(":/bitmaps/JINGYIN1.bmp"));
    const QImage off(QStringLiteral(":/bitmaps/JINGYIN2.bmp"));
    QVERIFY(differingShare(on, off) > 0.05);
}

void TestResources::cursorAndIcon()
{
    const QImage cursor(QStringLiteral(":/icons/dolphin.png"));
    QCOMPARE(cursor.size(), QSize(32, 32));
    QVERIFY(cursor.hasAlphaChannel());
    QCOMPARE(qAlpha(cursor.pixel(31, 0)), 0);
    // The snout fills the top-left corner, next to the hot spot (4, 4) the
    // window gives the pointer, so the click lands where the child points.
    int snout = 0;
    for (int y = 0; y <= 3; ++y)
        for (int x = 0; x <= 3; ++x)
            snout = qMax(snout, qAlpha(cursor.pixel(x, y)));
    QVERIFY(snout > 128);

    QCOMPARE(QImage(QStringLiteral(":/icons/qorvel.png")).size(), QSize(256, 256));
    QImageReader ico(QStringLiteral(":/icons/qorvel.ico"));
    QCOMPARE(ico.imageCount(), 6);
    QList<int> sizes;
    for (int i = 0; i < ico.imageCount(); ++i) {
        QVERIFY(ico.jumpToImage(i));
        sizes.append(ico.read().width());
    }
    std::sort(sizes.begin(), sizes.end());
    QCOMPARE(sizes, (QList<int>{16, 24, 32, 48, 64, 256}));
}

QTEST_MAIN(TestResources)
#include "test_resources.moc"
