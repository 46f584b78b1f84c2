#include "core/swf/swfactions.h"
#include "core/swf/swfreader.h"
#include "core/swf/swfrewriter.h"
#include "support/swfwriter.h"

#include <QtEndian>
#include <QtTest>

using swf::Compression;
using swf::FrameControl;

Q_DECLARE_METATYPE(swf::Compression)
Q_DECLARE_METATYPE(swf::FrameControl)

namespace {

const QByteArray PollUrl = "qvplayer://app/control/7";

struct Action
{
    quint8 code = 0;
    QByteArray payload;
    qsizetype offset = 0;
};

// Splits action byte code into records and checks what a player would trip
// over: records running past the end, branches into the middle of a record,
// function bodies that do not end on a record boundary, a missing End.
QList<Action> disassemble(const QByteArray &code, QString *problem)
{
    QList<Action> out;
    QSet<qsizetype> starts;
    QList<qsizetype> targets;
    qsizetype at = 0;
    while (at < code.size()) {
        Action a;
        a.offset = at;
        a.code = static_cast<quint8>(code[at++]);
        starts.insert(a.offset);
        if (a.code >= 0x80) {
            if (at + 2 > code.size())
                return *problem = QStringLiteral("record header past end"), out;
            const quint16 len = qFromLittleEndian<quint16>(code.constData() + at);
            at += 2;
            if (at + len > code.size())
                return *problem = QStringLiteral("record past end at %1").arg(a.offset), out;
            a.payload = code.mid(at, len);
            at += len;
            if (a.code == swf::op::If || a.code == 0x99)
                targets.append(at + qFromLittleEndian<qint16>(a.payload.constData()));
            if (a.code == swf::op::DefineFunction)
                targets.append(at + qFromLittleEndian<quint16>(a.payload.constData() + len - 2));
        }
        out.append(a);
        if (a.code == 0)
            break;
    }
    if (out.isEmpty() || out.last().code != 0 || at != code.size())
        *problem = QStringLiteral("no End action at the end");
    for (qsizetype t : targets)
        if (!starts.contains(t))
            *problem = QStringLiteral("branch to %1 is not a record start").arg(t);
    return out;
}

bool containsString(const QList<Action> &actions, const QByteArray &text)
{
    for (const Action &a : actions)
        if (a.payload.contains(text + '\0'))
            return true;
    return false;
}

swf::Movie readOk(const QByteArray &bytes)
{
    const swf::ReadResult r = swf::read(bytes);
    if (!r.ok())
        qFatal("test movie unreadable: %s", qPrintable(swf::describe(r.error)));
    return r.movie;
}

QByteArray tagBytes(const swf::Movie &m, const swf::Tag &t)
{
    return m.data.mid(t.offset, t.bodyOffset + t.length - t.offset);
}

QByteArray tagBody(const swf::Movie &m, const swf::Tag &t)
{
    return m.data.mid(t.bodyOffset, t.length);
}

} // namespace

class TestSwfRewriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controlFollowsVersion_data();
    void controlFollowsVersion();
    void everyFrameReportsItsNumber_data();
    void everyFrameReportsItsNumber();
    void movieTagsAreKeptInOrder();
    void controlScriptIsWellFormed_data();
    void controlScriptIsWellFormed();
    void leftAlone_data();
    void leftAlone();
};

void TestSwfRewriter::controlFollowsVersion_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("as3");
    QTest::addColumn<FrameControl>("control");
    QTest::newRow("4") << 4 << false << FrameControl::ReportOnly;
    QTest::newRow("5") << 5 << false << FrameControl::Polling;
    QTest::newRow("6") << 6 << false << FrameControl::Polling;
    QTest::newRow("7") << 7 << false << FrameControl::Polling;
    QTest::newRow("8") << 8 << false << FrameControl::ExternalInterface;
    QTest::newRow("10") << 10 << false << FrameControl::ExternalInterface;
    QTest::newRow("9, ActionScript 3") << 9 << true << FrameControl::None;
}

void TestSwfRewriter::controlFollowsVersion()
{
    QFETCH(int, version);
    QFETCH(bool, as3);
    QFETCH(FrameControl, control);
    TestMovieOptions o;
    o.version = version;
    o.actionScript3 = as3;
    o.frameCount = 5;
    QCOMPARE(swf::frameControlFor(readOk(makeTestMovie(o))), control);
}

void TestSwfRewriter::everyFrameReportsItsNumber_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<Compression>("compression");
    QTest::addColumn<int>("frames");
    QTest::newRow("v6 plain") << 6 << Compression::None << 240;
    QTest::newRow("v6 zlib") << 6 << Compression::Zlib << 40;
    QTest::newRow("v8 lzma") << 8 << Compression::Lzma << 240;
    QTest::newRow("v4 one frame") << 4 << Compression::None << 1;
    QTest::newRow("v5") << 5 << Compression::None << 12;
}

void TestSwfRewriter::everyFrameReportsItsNumber()
{
    QFETCH(int, version);
    QFETCH(Compression, compression);
    QFETCH(int, frames);
    TestMovieOptions o;
    o.version = version;
    o.compression = compression;
    o.frameCount = frames;
    const QByteArray original = makeTestMovie(o);
    const swf::Movie before = readOk(original);
    const swf::Rewritten out = swf::rewriteForPlayer(before, original, PollUrl);
    QVERIFY(out.data.startsWith("FWS"));
    const swf::Movie after = readOk(out.data);
    QCOMPARE(after.version, version);
    QCOMPARE(after.frameCount, frames);
    QCOMPARE(after.showFrameCount, frames);
    QCOMPARE(after.frameRate, before.frameRate);
    QCOMPARE(after.frameRect, before.frameRect);
    QVERIFY(after.endTagSeen);

    // The action just before each ShowFrame is fscommand("frame", N).
    int frame = 0;
    for (qsizetype i = 0; i < after.tags.size(); ++i) {
        if (after.tags[i].code != swf::tag::ShowFrame)
            continue;
        ++frame;
        QVERIFY(i > 0);
        QCOMPARE(after.tags[i - 1].code, swf::tag::DoAction);
        QString problem;
        const QList<Action> actions = disassemble(tagBody(after, after.tags[i - 1]), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions[0].code, swf::op::GetUrl);
        QCOMPARE(actions[0].payload,
                 QByteArray("FSCommand:frame\0", 16) + QByteArray::number(frame) + '\0');
    }
    QCOMPARE(frame, frames);
}

void TestSwfRewriter::movieTagsAreKeptInOrder()
{
    TestMovieOptions o;
    o.version = 6;
    o.frameCount = 60;
    o.stopFrame = 30;
    const QByteArray original = makeTestMovie(o);
    const swf::Movie before = readOk(original);
    const swf::Movie after = readOk(swf::rewriteForPlayer(before, original, PollUrl).data);
    // Removing what was added must give back the movie's own tags, byte for
    // byte and in order: its stop() included.
    QList<QByteArray> own;
    for (qsizetype i = 0; i < after.tags.size(); ++i) {
        const swf::Tag &t = after.tags[i];
        const bool beforeShowFrame =
            i + 1 < after.tags.size() && after.tags[i + 1].code == swf::tag::ShowFrame;
        const bool added = t.code == swf::tag::DoAction &&
                           (beforeShowFrame || tagBody(after, t).contains("__qvctl"));
        if (!added)
            own.append(tagBytes(after, t));
    }
    QList<QByteArray> expected;
    for (const swf::Tag &t : before.tags)
        expected.append(tagBytes(before, t));
    QCOMPARE(own.size(), expected.size());
    QVERIFY(own == expected);
    QCOMPARE(after.tags.size(), before.tags.size() + 60 + 1);
}

void TestSwfRewriter::controlScriptIsWellFormed_data()
{
    QTest::addColumn<FrameControl>("control");
    QTest::newRow("polling") << FrameControl::Polling;
    QTest::newRow("callback") << FrameControl::ExternalInterface;
}

void TestSwfRewriter::controlScriptIsWellFormed()
{
    QFETCH(FrameControl, control);
    QString problem;
    const QList<Action> a = disassemble(swf::controlActions(control, PollUrl), &problem);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    const bool polling = control == FrameControl::Polling;
    QCOMPARE(containsString(a, PollUrl + "?k="), polling);
    QCOMPARE(containsString(a, "LoadVars"), polling);
    QCOMPARE(containsString(a, "addCallback"), !polling);
    QCOMPARE(containsString(a, swf::hook::Callback), !polling);
    for (const char *method : {"gotoAndPlay", "gotoAndStop", "play", "stop"})
        QVERIFY2(containsString(a, method), method);
    // Nothing of the movie's is touched: no timer of its own, no variables
    // loaded into a timeline, no _global (which version 5 lacks anyway).
    for (const char *name : {"_global", "_root", "setInterval", "onData"})
        QVERIFY2(!containsString(a, name), name);
    for (const Action &x : a)
        QVERIFY(x.code != swf::op::GetUrl2);
    if (polling) {
        // The install guard is the first branch: everything else is skipped
        // when frame 1 runs again.
        qsizetype firstIf = 0;
        while (a[firstIf].code != swf::op::If)
            ++firstIf;
        const qsizetype target =
            a[firstIf + 1].offset + qFromLittleEndian<qint16>(a[firstIf].payload.constData());
        QCOMPARE(target, a.last().offset);
    }
    QVERIFY(swf::controlActions(FrameControl::ReportOnly, PollUrl).isEmpty());
}

void TestSwfRewriter::leftAlone_data()
{
    QTest::addColumn<QByteArray>("original");
    TestMovieOptions o;
    o.version = 10;
    o.actionScript3 = true;
    o.compression = Compression::Zlib;
    QTest::newRow("ActionScript 3") << makeTestMovie(o);
    o.version = 6;
    o.actionScript3 = false;
    const QByteArray whole = makeTestMovie(o);
    QTest::newRow("cut short") << whole.left(whole.size() / 2);
}

void TestSwfRewriter::leftAlone()
{
    QFETCH(QByteArray, original);
    const swf::Rewritten out = swf::rewriteForPlayer(readOk(original), original, PollUrl);
    QCOMPARE(out.control, FrameControl::None);
    QCOMPARE(out.data, original);
}

QTEST_GUILESS_MAIN(TestSwfRewriter)
#include "test_swfrewriter.moc"
