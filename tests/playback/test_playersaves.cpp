// Saved games with the real runtime: a movie's SharedObjects are on disk as
// soon as it flushes them, per programme, and come back on every later load,
// in a new player too.
#include "core/swf/swfactions.h"
#include "playertestbench.h"
#include "support/webtestmain.h"
#include "web/engineenvironment.h"

#include <QApplication>
#include <QtEndian>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Frame 1: so = SharedObject.getLocal("progress");
// so.data.starts = (so.data.starts | 0) + 1; so.flush();
QByteArray countStarts()
{
    using namespace swf;
    constexpr quint8 Add2 = 0x47, BitOr = 0x61;
    ActionWriter w;
    w.pushString("so").pushString("progress").pushInt(1).variable("SharedObject");
    w.pushString("getLocal").op(op::CallMethod).op(op::SetVariable);
    w.variable("so").member("data").pushString("starts");
    w.variable("so").member("data").member("starts").pushInt(0).op(BitOr).pushInt(1).op(Add2);
    w.op(op::SetMember);
    w.pushInt(0).variable("so").pushString("flush").op(op::CallMethod).op(op::Pop);
    return w.code();
}

// The count a save file holds; 0 without a file.
int startsIn(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = f.readAll();
    const QByteArray key("\x00\x06starts\x00", 9); // name, then an AMF0 number
    const qsizetype at = bytes.indexOf(key);
    return at < 0 ? -1 : int(qFromBigEndian<double>(bytes.constData() + at + key.size()));
}

} // namespace

class TestPlayerSaves : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void savesLastPerProgramme_data();
    void savesLastPerProgramme();
};

void TestPlayerSaves::savesLastPerProgramme_data()
{
    QTest::addColumn<int>("version");
    QTest::newRow("v6") << 6;
    QTest::newRow("v8") << 8;
}

void TestPlayerSaves::savesLastPerProgramme()
{
    QFETCH(int, version);
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    const QString saves = home.path() + u"/Qorvel儿童乐园/saves/"_s;
    auto bench = std::make_unique<PlayerTestBench>();
    TestMovieOptions o;
    o.version = version;
    o.frameCount = 24;
    o.stopFrame = 12;
    o.firstFrameActions = countStarts();
    const QString game = home.filePath(u"app/res/fla/数数.swf"_s);
    const QString other = home.filePath(u"app/res/fla/别的.swf"_s);
    const QString own = home.filePath(u"app/自定义节目/动物/Game.SWF"_s);
    for (const QString &movie : {game, other, own})
        QVERIFY(writeTestMovie(movie, o));
    const QString count = saves + u"节目/数数/progress.sol"_s;

    QVERIFY(bench->start(game));
    QTRY_COMPARE_WITH_TIMEOUT(startsIn(count), 1, 30000);
    QVERIFY(bench->start(game));
    QTRY_COMPARE_WITH_TIMEOUT(startsIn(count), 2, 30000);
    // The same SharedObject name in other programmes is theirs alone.
    QVERIFY(bench->start(other));
    QTRY_COMPARE_WITH_TIMEOUT(startsIn(saves + u"节目/别的/progress.sol"_s), 1, 30000);
    QVERIFY(bench->start(own));
    QTRY_COMPARE_WITH_TIMEOUT(startsIn(saves + u"自定义节目/动物/Game.SWF/progress.sol"_s), 1,
                              30000);
    QCOMPARE(startsIn(count), 2);

    // A new player, as after a restart, finds the saves on disk; a damaged
    // save is skipped and the movie starts as new.
    bench.reset();
    bench = std::make_unique<PlayerTestBench>();
    QFile damaged(saves + u"节目/别的/progress.sol"_s);
    QVERIFY(damaged.open(QIODevice::ReadWrite) && damaged.resize(20));
    damaged.close();
    QVERIFY(bench->start(game));
    QTRY_COMPARE_WITH_TIMEOUT(startsIn(count), 3, 30000);
    QVERIFY(bench->start(other));
    QTRY_COMPARE_WITH_TIMEOUT(startsIn(saves + u"节目/别的/progress.sol"_s), 1, 30000);
    qunsetenv("XDG_DATA_HOME");
}

QORVEL_WEB_TEST_MAIN(TestPlayerSaves, EngineEnvironment::prepare())

#include "test_playersaves.moc"
