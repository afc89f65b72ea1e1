#include "demosuite/EntmeterStandIn.h"

#include "app/SuiteFolder.h"
#include "app/BillingDbLocator.h"
#include "app/SuiteTextFile.h"
#include "demosuite/DemoTariff.h"
#include "demosuite/SqliteDb.h"
#include "platform/SqlTransaction.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <sqlite3.h>

namespace {

std::optional<QDate> parseDate(const QString& text)
{
    static const QRegularExpression typed(QStringLiteral(R"(^(\d{1,2})/(\d{1,2})/(\d{2}|\d{4})$)"));
    static const QRegularExpression iso(QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2}))"));
    QDate date;
    if (const auto m = typed.match(text); m.hasMatch()) {
        int year = m.captured(3).toInt();
        if (m.captured(3).size() == 2)
            year += year < 30 ? 2000 : 1900;
        date = QDate(year, m.captured(1).toInt(), m.captured(2).toInt());
    } else if (const auto m2 = iso.match(text); m2.hasMatch()) {
        date = QDate(m2.captured(1).toInt(), m2.captured(2).toInt(), m2.captured(3).toInt());
    }
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

// The ordinary (not adjusted) charge of one code on the bill date gets the amount;
// a missing one is added only when `addMissing`.
bool setCharge(SqliteDb& db, const EntmeterStandIn::Request& r, const QString& date, const char* code, int64_t cents,
               bool addMissing, int& written)
{
    auto update =
        db.prepare("update [tbl bill detail] set amount = ?5 where rowid = (select rowid from [tbl bill detail]"
                   " where custkey = ?1 and lockey = ?2 and substr(date, 1, 10) = ?3 and code = ?4"
                   " and ifnull(adjusted, 0) = 0 limit 1)");
    update.bind(1, r.custkey).bind(2, r.lockey).bind(3, date).bind(4, code).bind(5, cents / 100.0);
    if (!update.run())
        return false;
    if (sqlite3_changes(db.handle()) > 0) {
        ++written;
        return true;
    }
    if (!addMissing)
        return true;
    auto insert = db.prepare("insert into [tbl bill detail] (custkey, lockey, date, code, comment, amount, adjusted)"
                             " values (?1, ?2, ?3, ?4, null, ?5, 0)");
    insert.bind(1, r.custkey).bind(2, r.lockey).bind(3, date).bind(4, code).bind(5, cents / 100.0);
    if (!insert.run())
        return false;
    ++written;
    return true;
}

bool rebuildBalances(SqliteDb& db, const EntmeterStandIn::Request& r)
{
    auto remove = db.prepare("delete from [tbl balance] where custkey = ?1 and lockey = ?2");
    auto insert =
        db.prepare("insert into [tbl balance] (custkey, lockey, code, totalcharges, totalpaid)"
                   " select ?1, ?2, code, round(total(chg), 2), round(total(pmt), 2) from ("
                   " select code, amount as chg, 0 as pmt from [tbl bill detail] where custkey = ?1 and lockey = ?2"
                   " union all select code, amount, 0 from [tbl deposit] where custkey = ?1 and lockey = ?2"
                   " union all select code, 0, amount from [tbl payment detail] where custkey = ?1 and lockey = ?2)"
                   " group by code");
    remove.bind(1, r.custkey).bind(2, r.lockey);
    insert.bind(1, r.custkey).bind(2, r.lockey);
    return remove.run() && insert.run();
}

bool recompute(SqliteDb& db, const EntmeterStandIn::Request& r, int& written)
{
    const QString date = r.billDate.toString(QStringLiteral("yyyy-MM-dd"));
    auto usage = db.prepare("select Code, total(Usage * ifnull(Multiplier, 1)) from [tbl reading]"
                            " where CustKey = ?1 and LocKey = ?2 and substr(BillDate, 1, 10) = ?3 group by Code");
    usage.bind(1, r.custkey).bind(2, r.lockey).bind(3, date);
    double water = -1, elec = -1;
    while (usage.next()) {
        const QString code = usage.text(0).trimmed().toUpper();
        if (code == QLatin1String("WATER"))
            water = usage.real(1);
        else if (code == QLatin1String("ELEC"))
            elec = usage.real(1);
    }
    if (usage.failed())
        return false;
    bool ok = true;
    if (water >= 0) {
        ok = ok && setCharge(db, r, date, "WATER", DemoTariff::chargeCents("WATER", water), true, written);
        ok = ok && setCharge(db, r, date, "SEWER", DemoTariff::chargeCents("SEWER", water), false, written);
    }
    if (elec >= 0) {
        const int64_t cents = DemoTariff::chargeCents("ELEC", elec);
        ok = ok && setCharge(db, r, date, "ELEC", cents, true, written);
        ok = ok && setCharge(db, r, date, "TAX", (cents * 5 + 50) / 100, false, written);
    }
    return ok && rebuildBalances(db, r);
}

QString computeBill(const QString& suiteFolder, int& written)
{
    const QString requestPath = SuiteFolder::findFile(suiteFolder, QStringLiteral("CompOneRdg.ini"));
    QFile file(requestPath);
    if (requestPath.isEmpty() || !file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1/CompOneRdg.ini cannot be read").arg(suiteFolder);
    const auto request = EntmeterStandIn::parseRequest(QString::fromUtf8(file.readAll()));
    if (!request)
        return QStringLiteral("%1: not a bill request (customer key, location key, bill date, account number)")
            .arg(requestPath);
    const BillingDbLocation billing = BillingDbLocator::locate(suiteFolder);
    if (!billing.ok())
        return billing.error;
    SqliteDb db;
    if (!db.open(billing.path, false))
        return db.lastError();
    SqlTransaction transaction(db.handle(), SqlTransaction::Kind::Immediate);
    if (!transaction.isActive())
        return transaction.error();
    if (!recompute(db, *request, written))
        return db.lastError();
    return transaction.commit() ? QString() : transaction.error();
}

} // namespace

std::optional<EntmeterStandIn::Request> EntmeterStandIn::parseRequest(const QString& text)
{
    QStringList lines;
    for (const QByteArray& line : SuiteTextFile::lines(text.toUtf8()))
        lines << QString::fromUtf8(line);
    if (lines.size() < 3)
        return std::nullopt;
    Request request;
    bool custOk = false, locOk = false;
    request.custkey = lines[0].trimmed().toLongLong(&custOk);
    request.lockey = lines[1].trimmed().toLongLong(&locOk);
    const auto date = parseDate(lines[2].trimmed());
    if (!custOk || !locOk || request.custkey <= 0 || request.lockey <= 0 || !date)
        return std::nullopt;
    request.billDate = *date;
    if (lines.size() > 3)
        request.accno = QString(lines[3]).remove(QLatin1Char('\r'));
    return request;
}

EntmeterStandIn::Result EntmeterStandIn::run(const QString& suiteFolder)
{
    Result result;
    if (const QString error = computeBill(suiteFolder, result.chargesWritten); !error.isEmpty())
        result.outcome = Outcome::failure(error);
    QFile done(QDir(suiteFolder).filePath(QStringLiteral("componerdgdone.ini")));
    if (!done.open(QIODevice::WriteOnly | QIODevice::Truncate) || done.write("DONE\r\n") != 6) {
        if (result.outcome)
            result.outcome =
                Outcome::failure(QStringLiteral("%1: %2").arg(done.fileName(), done.errorString()), done.fileName());
    }
    return result;
}
