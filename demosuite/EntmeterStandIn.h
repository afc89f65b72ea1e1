#pragma once

#include "platform/Outcome.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <optional>

// The demo suite's stand-in for the meter-entry program: reads CompOneRdg.ini from
// the suite folder, recomputes that bill date's metered charges from the readings
// (and the sewer and tax charges that follow them), brings the location's balance
// rows up to date, and always ends by creating componerdgdone.ini so that a waiting
// viewer is released.
class EntmeterStandIn {
public:
    struct Request {
        int64_t custkey = 0;
        int64_t lockey = 0;
        QDate billDate;
        QString accno;
    };
    struct Result {
        Outcome outcome;
        int chargesWritten = 0;
    };

    static Result run(const QString& suiteFolder);
    // The request file's four lines; keys read leniently, the date as M/d/yyyy,
    // M/d/yy or ISO. Nothing when a line is missing or unreadable.
    static std::optional<Request> parseRequest(const QString& text);
};
