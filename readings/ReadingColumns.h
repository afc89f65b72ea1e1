#pragma once

#include <Qt>

// The readings grid's columns in their fixed order; edits and audit rules refer
// to them by these indexes.
namespace ReadingColumns {

enum Column {
    CustKey,
    LocKey,
    Code,
    ReadDate,
    BillDate,
    Previous,
    Present,
    Usage,
    Multiplier,
    Tenants,
    Factor,
    MSN,
    ChangedOut,
    Estimated,
    Comment,
    EstimatedAgain,
    EntryDate,
    ColumnCount
};

enum class Kind { Text, Date, Number, Integer };

struct Layout {
    const char* caption;
    const char* field; // column of [tbl reading]
    Qt::Alignment alignment;
    int widthTwips;
    Kind kind;
};

inline const Layout& layout(int column)
{
    static const Layout layouts[ColumnCount] = {
        {"CustKey", "CustKey", Qt::AlignRight, 3200, Kind::Integer},
        {"LocKey", "LocKey", Qt::AlignRight, 3200, Kind::Integer},
        {"Code", "Code", Qt::AlignLeft, 1323, Kind::Text},
        {"Read Date", "ReadDate", Qt::AlignHCenter, 1773, Kind::Date},
        {"Bill Date", "BillDate", Qt::AlignHCenter, 1773, Kind::Date},
        {"Previous", "Previous", Qt::AlignRight, 1773, Kind::Number},
        {"Present", "Present", Qt::AlignRight, 1773, Kind::Number},
        {"Usage", "Usage", Qt::AlignRight, 1773, Kind::Number},
        {"Multiplier", "Multiplier", Qt::AlignHCenter, 1535, Kind::Number},
        {"Tenants", "MultiTenants", Qt::AlignRight, 1323, Kind::Integer},
        {"Factor", "Factor", Qt::AlignRight, 1032, Kind::Number},
        {"MSN", "MSN", Qt::AlignLeft, 2302, Kind::Text},
        {"Changed Out", "ChgOut", Qt::AlignRight, 2037, Kind::Integer},
        {"Estimated", "estimated", Qt::AlignRight, 1746, Kind::Integer},
        {"Comment", "mrcomment", Qt::AlignLeft, 3863, Kind::Text},
        {"estimated", "estimated", Qt::AlignRight, 1879, Kind::Integer},
        {"EntryDate", "EntryDate", Qt::AlignRight, 1905, Kind::Date},
    };
    return layouts[column];
}

inline bool isHidden(int column)
{
    return column == CustKey || column == LocKey;
}

} // namespace ReadingColumns
