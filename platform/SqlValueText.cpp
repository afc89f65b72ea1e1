#include "platform/SqlValueText.h"

#include <QDateTime>
#include <QVariant>
#include <sqlite3.h>

#include <charconv>
#include <cmath>

namespace SqlValueText {

std::string number(double value)
{
    // Whole values below 1e15 print as integers; beyond, the shortest form is
    // clearer than a run of invented zeros.
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string column(sqlite3_stmt* statement, int index)
{
    switch (sqlite3_column_type(statement, index)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return std::to_string(sqlite3_column_int64(statement, index));
    case SQLITE_FLOAT: return number(sqlite3_column_double(statement, index));
    default: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, index));
        return bytes ? std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(statement, index))) : std::string();
    }
    }
}

std::string value(const QVariant& value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool: return value.toBool() ? "1" : "0";
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::SChar: return std::to_string(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar: return std::to_string(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float: return number(value.toDouble());
    case QMetaType::QDate: return value.toDate().toString(Qt::ISODate).toStdString();
    case QMetaType::QTime: return value.toTime().toString(QStringLiteral("HH:mm:ss")).toStdString();
    case QMetaType::QDateTime: {
        const QDateTime stamp = value.toDateTime();
        const bool fraction = stamp.time().msec() != 0;
        return stamp
            .toString(fraction ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz") : QStringLiteral("yyyy-MM-dd HH:mm:ss"))
            .toStdString();
    }
    case QMetaType::QByteArray: return value.toByteArray().toStdString();
    default: return value.toString().toStdString();
    }
}

} // namespace SqlValueText
