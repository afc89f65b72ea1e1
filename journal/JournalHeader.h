#pragma once

#include <QString>

class SqlConnection;

// The journal window's account header: up to four lines about the customer and the
// location, the window title, and whether the account is active (red when not).
struct JournalHeader {
    QString label; // CR LF between lines, as the suite shows it
    QString windowTitle; // empty when the account has no customer row
    bool hasCustomer = false;
    bool active = true;
    QString AccNo;
    QString LookupName;

    // Reads cust, loc, dep and pd of the scratch database. Without a customer row
    // the label starts from `previousLabel`, as the header only replaces what it has.
    static JournalHeader compose(SqlConnection& work, const QString& companyTitle, const QString& previousLabel);

    // Each pair of adjacent blanks becomes one, in one pass ("a   b" -> "a  b").
    static QString collapse(const QString& text);
    // Leading and trailing blanks (spaces only) removed.
    static QString trimBlanks(const QString& text);
};
