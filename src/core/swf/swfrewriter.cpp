#include "core/swf/swfrewriter.h"

#include "core/swf/swfactions.h"

#include <QtEndian>

#include <utility>

namespace swf {
namespace {

// The polling hook keeps its one object on the LoadVars constructor: a
// built-in that version 5 movies cannot know of and later ones have no reason
// to extend, unlike _global or the main timeline, which movies fill, watch,
// enumerate and give __resolve handlers.
constexpr char Anchor[] = "LoadVars";
constexpr char Poller[] = "__qvctl_poll";
constexpr char LastId[] = "__qvctl_last";
constexpr char Apply[] = "__qvctl_apply";

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

// The body of function (k, c, n): runs command c on frame n.
QByteArray runBody()
{
    ActionWriter w;
    w.pushString("n").variable("n").op(op::ToNumber).op(op::SetVariable);
    w.raw(commandCase(hook::GotoAndPlay, "gotoAndPlay", true));
    w.raw(commandCase(hook::GotoAndStop, "gotoAndStop", true));
    w.raw(commandCase(hook::Play, "play", false));
    w.raw(commandCase(hook::Stop, "stop", false));
    return w.code();
}

// The poller's method (k, c, n): runs command c once per id k.
QByteArray applyBody()
{
    ActionWriter w;
    w.variable("k").variable("this").member(LastId).op(op::Equals2).op(op::Not);
    w.skipIfTrue(ActionWriter().pushUndefined().op(op::Return).code());
    w.variable("this").pushString(LastId).variable("k").op(op::SetMember);
    return w.raw(runBody()).code();
}

// The poller's onLoad: applies what was loaded and asks again. The program
// answers only after a pause when it has nothing new, which paces the loop
// without a timer of the movie's.
QByteArray onLoadBody(const QByteArray &pollUrl)
{
    ActionWriter w;
    w.variable("this").member(hook::Argument);
    w.variable("this").member(hook::Command);
    w.variable("this").member(hook::CommandId);
    w.pushInt(3).variable("this").pushString(Apply).op(op::CallMethod).op(op::Pop);
    // The URL says which command ran last, so the program knows whether the
    // one it holds has been seen.
    w.pushString(pollUrl + "?k=").variable("this").member(LastId).op(op::StringAdd);
    w.pushInt(1).variable("this").pushString("load").op(op::CallMethod).op(op::Pop);
    return w.code();
}

// Loads the commands into a LoadVars object of its own, so that no variable
// and no onData handler of the movie's is touched.
QByteArray pollerInstall(const QByteArray &pollUrl)
{
    const QByteArray poller = ActionWriter().variable(Anchor).member(Poller).code();
    ActionWriter w;
    w.variable(Anchor).pushString(Poller).pushInt(0).pushString(Anchor).op(op::NewObject);
    w.op(op::SetMember);
    // Every member the scripts read exists from the start: reading a missing
    // one would run a __resolve handler.
    const std::pair<const char *, const char *> initial[] = {
        {hook::CommandId, "0"}, {hook::Command, ""}, {hook::Argument, "0"}, {LastId, "0"}};
    for (const auto &[name, value] : initial)
        w.raw(poller).pushString(name).pushString(value).op(op::SetMember);
    w.raw(poller).pushString(Apply).function({"k", "c", "n"}, applyBody()).op(op::SetMember);
    w.raw(poller).pushString("onLoad").function({}, onLoadBody(pollUrl)).op(op::SetMember);
    w.pushString(pollUrl + "?k=0").pushInt(1).raw(poller).pushString("load");
    w.op(op::CallMethod).op(op::Pop);
    // Keep it out of for..in loops over the constructor.
    w.pushInt(1).pushString(Poller).variable(Anchor).pushInt(3);
    w.pushString("ASSetPropFlags").op(op::CallFunction).op(op::Pop);
    return w.code();
}

} // namespace

FrameControl frameControlFor(const Movie &movie)
{
    // A damaged movie plays as far as it goes, as it is: rewriting it would
    // have to guess where its tags end.
    if (movie.actionScript3 || movie.damaged)
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

QByteArray controlActions(FrameControl control, const QByteArray &pollUrl)
{
    ActionWriter w;
    if (control == FrameControl::ExternalInterface) {
        // Adding the callback again when frame 1 runs again is harmless, and
        // needs no record of having done it.
        w.function({"k", "c", "n"}, runBody()).pushNull().pushString(hook::Callback).pushInt(3);
        w.variable("flash").member("external").member("ExternalInterface");
        w.pushString("addCallback").op(op::CallMethod).op(op::Pop);
    } else if (control == FrameControl::Polling) {
        // Frame 1 runs again on every loop and jump to it: install once only.
        // The lookup inside `with` walks the scope chain, which tests whether
        // a name exists before reading it and so never runs __resolve.
        w.variable(Anchor).with(ActionWriter().variable(Poller).code());
        w.skipIfTrue(pollerInstall(pollUrl));
    } else {
        return {};
    }
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
            const QByteArray control = controlActions(out.control, pollUrl);
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
