#include "core/swf/swfactions.h"

#include <QtEndian>

namespace swf {
namespace {

void putU16(QByteArray &out, quint16 v)
{
    out.append(static_cast<char>(v & 0xff)).append(static_cast<char>(v >> 8));
}

QByteArray cString(const QByteArray &text)
{
    return text + '\0';
}

} // namespace

ActionWriter &ActionWriter::record(quint8 code, const QByteArray &payload)
{
    m_code.append(static_cast<char>(code));
    putU16(m_code, static_cast<quint16>(payload.size()));
    m_code += payload;
    return *this;
}

ActionWriter &ActionWriter::op(quint8 code)
{
    m_code.append(static_cast<char>(code));
    return *this;
}

ActionWriter &ActionWriter::pushString(const QByteArray &text)
{
    return record(op::Push, '\x00' + cString(text));
}

ActionWriter &ActionWriter::pushInt(qint32 value)
{
    QByteArray payload(1, '\x07');
    payload.resize(5);
    qToLittleEndian(value, payload.data() + 1);
    return record(op::Push, payload);
}

ActionWriter &ActionWriter::pushBool(bool value)
{
    return record(op::Push, QByteArray("\x05", 1) + char(value ? 1 : 0));
}

ActionWriter &ActionWriter::pushNull()
{
    return record(op::Push, QByteArray("\x02", 1));
}

ActionWriter &ActionWriter::pushUndefined()
{
    return record(op::Push, QByteArray("\x03", 1));
}

ActionWriter &ActionWriter::variable(const QByteArray &name)
{
    return pushString(name).op(op::GetVariable);
}

ActionWriter &ActionWriter::member(const QByteArray &name)
{
    return pushString(name).op(op::GetMember);
}

ActionWriter &ActionWriter::getUrl(const QByteArray &url, const QByteArray &target)
{
    return record(op::GetUrl, cString(url) + cString(target));
}

ActionWriter &ActionWriter::getUrl2(quint8 flags)
{
    return record(op::GetUrl2, QByteArray(1, static_cast<char>(flags)));
}

ActionWriter &ActionWriter::function(const QByteArrayList &params, const QByteArray &body)
{
    QByteArray payload = cString({});
    putU16(payload, static_cast<quint16>(params.size()));
    for (const QByteArray &p : params)
        payload += cString(p);
    putU16(payload, static_cast<quint16>(body.size()));
    record(op::DefineFunction, payload);
    m_code += body;
    return *this;
}

ActionWriter &ActionWriter::skipIfTrue(const QByteArray &block)
{
    QByteArray offset;
    putU16(offset, static_cast<quint16>(block.size()));
    record(op::If, offset);
    m_code += block;
    return *this;
}

ActionWriter &ActionWriter::with(const QByteArray &block)
{
    QByteArray size;
    putU16(size, static_cast<quint16>(block.size()));
    record(op::With, size);
    m_code += block;
    return *this;
}

ActionWriter &ActionWriter::raw(const QByteArray &code)
{
    m_code += code;
    return *this;
}

QByteArray ActionWriter::finished() const
{
    return m_code + '\0';
}

} // namespace swf
