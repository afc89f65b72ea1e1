#include "app/BillingColumnType.h"

namespace BillingColumnType {

Affinity affinityOf(const QString& declared)
{
    const QString type = declared.toUpper();
    if (type.contains(QLatin1String("INT")))
        return Affinity::Integer;
    if (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB"))
        || type.contains(QLatin1String("TEXT")))
        return Affinity::Text;
    if (type.isEmpty() || type.contains(QLatin1String("BLOB")))
        return Affinity::None;
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA"))
        || type.contains(QLatin1String("DOUB")))
        return Affinity::Real;
    return Affinity::Numeric;
}

const char* serverTypeName(ServerType type)
{
    switch (type) {
    case ServerType::BigInt: return "bigint";
    case ServerType::Double: return "double precision";
    case ServerType::Numeric: return "numeric";
    case ServerType::Text: return "text";
    case ServerType::Bytea: return "bytea";
    }
    return "text";
}

bool isNumber(const QVariant& value)
{
    const int type = value.typeId();
    return type == QMetaType::LongLong || type == QMetaType::Int || type == QMetaType::Double
        || type == QMetaType::ULongLong;
}

QVariant serverValue(const QVariant& value, ServerType type)
{
    if (value.isNull())
        return QVariant();
    if (type == ServerType::Text && isNumber(value))
        return value.toString();
    if (type == ServerType::Double && isNumber(value))
        return value.toDouble();
    return value;
}

} // namespace BillingColumnType
