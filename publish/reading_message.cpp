#include "publish/reading_message.h"

#include "log/decimal_text.h"

namespace lumodm {

namespace {

void appendString(QByteArray& out, const QString& text)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            // Instrument text may hold any byte: control bytes are escaped.
            out += "\\u00";
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendNumber(QByteArray& out, bool present, double value)
{
    const QByteArray text = present ? plainDecimalText(value) : QByteArray();
    out += text.isEmpty() ? QByteArrayLiteral("null") : text;
}

void appendKey(QByteArray& out, const char* key)
{
    out += out.size() > 1 ? ",\"" : "\"";
    out += key;
    out += "\":";
}

const char* kindText(Reading::Kind kind)
{
    switch (kind) {
    case Reading::Kind::Value:
        return "value";
    case Reading::Kind::Overflow:
        return "overflow";
    case Reading::Kind::NoNumber:
        break;
    }
    return "none";
}

} // namespace

QByteArray readingMessage(const QByteArray& time, long long seq, const QString& model, int address,
                          const Reading& reading)
{
    const bool number = reading.kind == Reading::Kind::Value;
    QByteArray out;
    out.reserve(320);
    out += '{';
    appendKey(out, "time");
    appendString(out, QString::fromLatin1(time));
    appendKey(out, "seq");
    out += QByteArray::number(seq);
    appendKey(out, "model");
    appendString(out, model);
    appendKey(out, "address");
    out += address > 0 ? QByteArray::number(address) : QByteArrayLiteral("null");
    appendKey(out, "function");
    appendString(out, reading.functionCode);
    appendKey(out, "range");
    appendNumber(out, reading.rangeSetting.has_value(), reading.rangeSetting.value_or(0));
    appendKey(out, "value");
    appendNumber(out, number, reading.value);
    appendKey(out, "value_si");
    appendNumber(out, number, reading.valueInBase);
    appendKey(out, "unit_si");
    appendString(out, reading.baseUnit);
    appendKey(out, "unit");
    appendString(out, reading.unit);
    appendKey(out, "readout");
    appendString(out, reading.readoutText);
    appendKey(out, "raw");
    appendString(out, reading.rawAnswer);
    appendKey(out, "kind");
    out += '"';
    out += kindText(reading.kind);
    out += "\"}";
    return out;
}

} // namespace lumodm
