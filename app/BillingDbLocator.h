#pragma once

#include <QString>

struct BillingDbLocation {
    QString path; // databasepath + "/" + DatabaseFileName
    QString companyName; // null CompanyName gives an empty text
    QString error; // empty when the billing database was found
    bool ok() const { return error.isEmpty(); }
};

// Finds the billing database of a suite folder through global.mdb's `current` row,
// with a message naming the file for every way that can fail.
namespace BillingDbLocator {
BillingDbLocation locate(const QString& suiteFolder);
} // namespace BillingDbLocator
