#pragma once

#include "platform/Outcome.h"

#include <QString>
#include <QVariant>
#include <cstdint>
#include <vector>

class SqlConnection;

// The readings report's table MRGrid in the suite's report database
// reports/emptdata.mdb: the location's readings scaled by their meter multiplier.
class MRGridTable {
public:
    // A reading as the readings window's list holds it.
    struct Reading {
        QVariant ReadDate;
        QVariant BillDate;
        QVariant Code;
        QVariant Previous;
        QVariant Present;
        QVariant Usage;
        QVariant Multiplier;
        QVariant MSN;
    };

    // One MRGrid row: ISO dates (null when no date), Prev/Pres as decimal text, Used
    // null when the usage or the multiplier is.
    struct Row {
        QVariant MRDate;
        QVariant BDate;
        QString Code;
        QString Prev;
        QString Pres;
        QVariant Used;
        QString MSN;
    };

    // reports/emptdata.mdb under the suite folder; an existing folder and file are
    // found without regard to case.
    static QString reportDbPath(const QString& programFolder);

    // The location's readings in the readings window's order (bill date, change-out).
    static std::vector<Reading> readBilling(SqlConnection& billing, int32_t custKey, int32_t locKey);

    static Row toRow(const Reading& reading);

    // Drops and re-creates MRGrid (creating the folder and the file when missing) and
    // inserts one row per reading. The reason when it cannot be written.
    static Outcome fill(const QString& programFolder, const std::vector<Reading>& readings);

    // MRGrid's rows in the order they were inserted.
    static Outcome read(const QString& programFolder, std::vector<Row>& rows);
};
