// The links "桌面快捷" and "设置" and the warning at start about the folder.
#include "core/lists/programmeorder.h"
#include "gui/window/imagebutton.h"
#include "gui/window/programmeorderdialog.h"
#include "support/windowharness.h"

#include <QDir>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString LongWarning = u"请先解压缩再使用，不要直接运行压缩包！否则每次都要下载"_s;
const QString ShortWarning = u"请先解压缩再使用，不要直接运行压缩包！"_s;
const QString Made = u"已经成功在桌面上创建了快捷方式！"_s;

QString parentOf(const QString &dir)
{
    return QFileInfo(dir).absolutePath();
}

} // namespace

class TestLaunchLinks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shortcut_data();
    void shortcut();
    void settingsOpensTheDialogModally();
};

void TestLaunchLinks::shortcut_data()
{
    QTest::addColumn<bool>("inTemp");
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<int>("made");
    QTest::newRow("made") << false << u"/d"_s << true << QStringList{Made} << 1;
    QTest::newRow("from a temporary folder")
        << true << u"/d"_s << true << QStringList{ShortWarning} << 0;
    QTest::newRow("no desktop") << false << QString() << true << QStringList() << 0;
    QTest::newRow("no desktop, temporary folder")
        << true << QString() << true << QStringList() << 0;
    QTest::newRow("not writable") << false << u"/d"_s << false << QStringList() << 1;
}

void TestLaunchLinks::shortcut()
{
    QFETCH(bool, inTemp);
    QFETCH(QString, desktop);
    QFETCH(bool, writable);
    QFETCH(QStringList, shown);
    QFETCH(int, made);
    WindowHarness h;
    h.tempDir = inTemp ? parentOf(h.app.path()) : QString();
    h.shortcut.desktop = desktop;
    h.shortcut.succeed = writable;
    h.load();
    // Start-up warns and carries on: category 1 is shown.
    const QStringList atStart = inTemp ? QStringList{LongWarning} : QStringList();
    QCOMPARE(h.messages.texts(), atStart);
    QVERIFY(PanelInside::source(*h.panel()) == ListSource::ofCategory(1));
    // Clicked on the link itself, twice: the second click writes it again.
    QWidget *link = h.form->findChild<ImageButton *>(u"Label1"_s);
    QTest::mouseClick(link, Qt::LeftButton);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(h.messages.texts(), atStart + shown + shown);
    for (const ShownMessage &m : h.messages.shown)
        QVERIFY(m.title.isEmpty() && m.icon == MessageBoxes::Icon::None);
    QCOMPARE(h.shortcut.made.size(), 2 * made);
    if (made)
        QCOMPARE(h.shortcut.made.first(), desktop + u"|"_s + h.app.path() + u"|"_s + h.app.path());
}

void TestLaunchLinks::settingsOpensTheDialogModally()
{
    WindowHarness h;
    h.app.writeBytes(u"cons/b01.inb"_s, "a\r\nb\r\n");
    h.load();
    QString seen;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<ProgrammeOrderDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (dialog->windowModality() == Qt::ApplicationModal && !dialog->parentWidget())
            seen = dialog->windowTitle();
        dialog->findChild<QPushButton *>(u"Command1"_s)->click();
        dialog->selectRow(1);
        dialog->findChild<QPushButton *>(u"Command18"_s)->click();
        dialog->findChild<QPushButton *>(u"OKButton"_s)->click();
    });
    QTest::mouseClick(h.form->findChild<ImageButton *>(u"Label4"_s), Qt::LeftButton);
    QCOMPARE(seen, u"设置"_s); // modal, without an owner
    QCOMPARE(h.app.readBytes(u"cons/b01.inb"_s), QByteArray("b\r\na\r\n"));
    // The main window keeps the order it showed.
    QCOMPARE(h.rows(), (QStringList{u"* a"_s, u"* b"_s}));
}

QTEST_MAIN(TestLaunchLinks)
#include "test_launchlinks.moc"
