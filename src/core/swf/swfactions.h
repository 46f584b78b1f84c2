#pragma once

#include <QByteArray>
#include <QByteArrayList>

// Assembles ActionScript 1/2 byte code (the payload of a DoAction tag) for the
// few small scripts the player adds to a movie. Only what those scripts need.
namespace swf {

namespace op {
inline constexpr quint8 Not = 0x12;
inline constexpr quint8 Pop = 0x17;
inline constexpr quint8 GetVariable = 0x1c;
inline constexpr quint8 SetVariable = 0x1d;
inline constexpr quint8 StringAdd = 0x21;
inline constexpr quint8 CallFunction = 0x3d;
inline constexpr quint8 Return = 0x3e;
inline constexpr quint8 NewObject = 0x40;
inline constexpr quint8 Equals2 = 0x49;
inline constexpr quint8 ToNumber = 0x4a;
inline constexpr quint8 GetMember = 0x4e;
inline constexpr quint8 SetMember = 0x4f;
inline constexpr quint8 CallMethod = 0x52;
inline constexpr quint8 GetUrl = 0x83;
inline constexpr quint8 With = 0x94;
inline constexpr quint8 Push = 0x96;
inline constexpr quint8 GetUrl2 = 0x9a;
inline constexpr quint8 DefineFunction = 0x9b;
inline constexpr quint8 If = 0x9d;
} // namespace op

class ActionWriter
{
public:
    ActionWriter &op(quint8 code);
    ActionWriter &pushString(const QByteArray &text);
    ActionWriter &pushInt(qint32 value);
    ActionWriter &pushBool(bool value);
    ActionWriter &pushNull();
    ActionWriter &pushUndefined();
    // Pushes the value of a variable or a path such as "_global".
    ActionWriter &variable(const QByteArray &name);
    // Pushes object.member, the object being on the stack.
    ActionWriter &member(const QByteArray &name);
    ActionWriter &getUrl(const QByteArray &url, const QByteArray &target);
    ActionWriter &getUrl2(quint8 flags);
    // An anonymous function left on the stack.
    ActionWriter &function(const QByteArrayList &params, const QByteArray &body);
    // Pops a condition; when it is true, `block` is skipped.
    ActionWriter &skipIfTrue(const QByteArray &block);
    // Runs `block` with the object popped from the stack first in the scope
    // chain.
    ActionWriter &with(const QByteArray &block);
    ActionWriter &raw(const QByteArray &code);

    const QByteArray &code() const { return m_code; }
    // The code with its closing End action, ready for a DoAction tag.
    QByteArray finished() const;

private:
    ActionWriter &record(quint8 code, const QByteArray &payload);
    QByteArray m_code;
};

} // namespace swf
