#include "playback/swfrewriter.h"

#include "playback/swfactions.h"

#include <QtEndian>

namespace swf {
namespace {

constexpr char Installed[] = "__qvctl_on";
constexpr char LastId[] = "__qvctl_last";
constexpr char Apply[] = "__qvctl_apply";
constexpr char Poll[] = "__qvctl_poll";
// loadVariables into a target path: load-variables and target-is-sprite bits.
constexpr quint8 LoadVariablesIntoTarget = 0xc0;

QByteArray doActionTag(const QByteArray &actions)
{
    QByteArray out(2, '\0');
    if (actions.size() < 0x3f) {
        qToLittleEndian(static_cast<quint16>(tag::DoAction << 6 | actions.size()), out.data());
    } else {
        qToLittleEndian(static_cast<quint16>(tag::DoAction << 6 | 0x3f), out.data());
        out.resize(6);
        qToLittleEndian(static_cast<quint32>(actions.size()), out.data() + 2);
    }
    return out + actions;
}

// _level0.<method>(n?) when the command letter in `c` matches.
QByteArray commandCase(char letter, const QByteArray &method, bool withFrame)
{
    ActionWriter call;
    if (withFrame)
        call.variable("n");
    call.pushInt(withFrame ? 1 : 0).variable("_level0").pushString(method);
    call.op(op::CallMethod).op(op::Pop);
    ActionWriter test;
    test.variable("c").pushString(QByteArray(1, letter)).op(op::Equals2).op(op::Not);
    return test.skipIfTrue(call.code()).code();
}

// function (k, c, n): runs command c once per id k.
QByteArray applyBody(const QByteArray &holder)
{
    ActionWriter w;
    w.variable("k").variable(holder).member(LastId).op(op::Equals2).op(op::Not);
    w.skipIfTrue(ActionWriter().pushUndefined().op(op::Return).code());
    w.variable(holder).pushString(LastId).variable("k").op(op::SetMember);
    w.pushString("n").variable("n").op(op::ToNumber).op(op::SetVariable);
    w.raw(commandCase(hook::GotoAndPlay, "gotoAndPlay", true));
    w.raw(commandCase(hook::GotoAndStop, "gotoAndStop", true));
    w.raw(commandCase(hook::Play, "play", false));
    w.raw(commandCase(hook::Stop, "stop", false));
    return w.code();
}

// function (): applies the variables loaded last time, then loads them anew.
QByteArray pollBody(const QByteArray &pollUrl, const QByteArray &holder)
{
    ActionWriter w;
    w.variable("_level0").member(hook::Argument);
    w.variable("_level0").member(hook::Command);
    w.variable("_level0").member(hook::CommandId);
    w.pushInt(3).variable(holder).pushString(Apply).op(op::CallMethod).op(op::Pop);
    // The URL says which command ran last, so the program knows whether the
    // one it holds has been seen.
    w.pushString(pollUrl + "?k=").variable(holder).member(LastId).op(op::StringAdd);
    w.pushString("_level0").getUrl2(LoadVariablesIntoTarget);
    return w.code();
}

QByteArray installBlock(FrameControl control, const QByteArray &pollUrl, const QByteArray &holder)
{
    ActionWriter w;
    w.variable(holder).pushString(Installed).pushBool(true).op(op::SetMember);
    w.variable(holder).pushString(LastId).pushString("0").op(op::SetMember);
    w.variable(holder).pushString(Apply).function({"k", "c", "n"}, applyBody(holder));
    w.op(op::SetMember);
    QByteArray hidden = QByteArray(Installed) + ',' + LastId + ',' + Apply;
    if (control == FrameControl::ExternalInterface) {
        w.variable(holder).member(Apply).pushNull().pushString(hook::Callback).pushInt(3);
        w.variable("flash").member("external").member("ExternalInterface");
        w.pushString("addCallback").op(op::CallMethod).op(op::Pop);
    } else {
        w.variable(holder).pushString(Poll).function({}, pollBody(pollUrl, holder));
        w.op(op::SetMember);
        w.pushInt(hook::PollIntervalMs).variable(holder).member(Poll).pushInt(2);
        w.pushString("setInterval").op(op::CallFunction).op(op::Pop);
        hidden += QByteArray(",") + Poll;
    }
    // Keep our names out of for..in loops.
    w.pushInt(1).pushString(hidden).variable(holder).pushInt(3);
    w.pushString("ASSetPropFlags").op(op::CallFunction).op(op::Pop);
    return w.code();
}

} // namespace

FrameControl frameControlFor(const Movie &movie)
{
    if (movie.actionScript3)
        return FrameControl::None;
    if (movie.version < 5)
        return FrameControl::ReportOnly;
    if (movie.version < 8)
        return FrameControl::Polling;
    return FrameControl::ExternalInterface;
}

QByteArray frameReportActions(int frame)
{
    return ActionWriter()
        .getUrl(QByteArray("FSCommand:") + hook::FrameCommand, QByteArray::number(frame))
        .finished();
}

QByteArray controlActions(FrameControl control, const QByteArray &pollUrl, int version)
{
    // Version 5 movies have no _global; their own main timeline holds our
    // few variables instead, under the same unlikely names.
    const QByteArray holder = version >= 6 ? "_global" : "_level0";
    if (control != FrameControl::Polling && control != FrameControl::ExternalInterface)
        return {};
    // Frame 1 runs again on every loop and jump to it: install once only.
    ActionWriter w;
    w.variable(holder).member(Installed);
    w.skipIfTrue(installBlock(control, pollUrl, holder));
    return w.finished();
}

Rewritten rewriteForPlayer(const Movie &movie, const QByteArray &original,
                           const QByteArray &pollUrl)
{
    Rewritten out;
    out.control = frameControlFor(movie);
    if (out.control == FrameControl::None) {
        out.data = original;
        return out;
    }
    QByteArray &d = out.data;
    d.reserve(movie.data.size() + movie.showFrameCount * 32 + 2048);
    d = "FWS";
    d.append(static_cast<char>(movie.version));
    d.append(4, '\0'); // length, filled in below
    d.append(movie.data.mid(8, movie.tagsOffset - 8));
    int frame = 0;
    for (const Tag &t : movie.tags) {
        if (t.code == tag::ShowFrame) {
            ++frame;
            const QByteArray control = controlActions(out.control, pollUrl, movie.version);
            if (frame == 1 && !control.isEmpty())
                d += doActionTag(control);
            d += doActionTag(frameReportActions(frame));
        }
        d.append(movie.data.mid(t.offset, t.bodyOffset + t.length - t.offset));
    }
    d.append(2, '\0'); // End
    qToLittleEndian(static_cast<quint32>(d.size()), d.data() + 4);
    return out;
}

} // namespace swf
