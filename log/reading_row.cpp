#include "log/reading_row.h"

#include "log/csv_row.h"
#include "log/decimal_text.h"

namespace lumodm {

QByteArray readingCsvHeader(bool withAddress)
{
    return withAddress ? QByteArrayLiteral("time,model,function,range,value,unit,readout,raw,"
                                           "address\r\n")
                       : QByteArrayLiteral("time,model,function,range,value,unit,readout,raw\r\n");
}

QByteArray readingCsvRow(const QByteArray& timestamp, const Reading& record, bool withAddress)
{
    CsvRow row;
    row.addFieldUtf8(timestamp);
    row.addInstrumentText(record.meterModel); // cut from the meter's identification
    row.addField(record.functionCode);
    row.addFieldUtf8(record.rangeSetting ? QByteArray::number(*record.rangeSetting) : QByteArray());
    row.addFieldUtf8(record.kind == Reading::Kind::Value ? plainDecimalText(record.value)
                                                         : QByteArray());
    row.addField(record.unit);
    row.addField(record.readoutText);
    // The answer holds one byte per character; as UTF-8 each byte keeps its
    // Latin-1 meaning, so the file stays valid text whatever the meter sent.
    row.addInstrumentText(record.rawAnswer);
    if (withAddress) {
        row.addFieldUtf8(record.meterAddress > 0 ? QByteArray::number(record.meterAddress)
                                                 : QByteArray());
    }
    return row.finish();
}

} // namespace lumodm
