#include "demosuite/EntmeterStandIn.h"

#include "app/SuiteFolder.h"
#include "app/BillingDbLocator.h"
#include "app/SuiteTextFile.h"
#include "demosuite/DemoTariff.h"
#include "platform/Currency.h"
#include "platform/SqlConnection.h"
#include "platform/SqlTransaction.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <map>
#include <vector>

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

// The day of a stored date: the first ten characters of its ISO text, whatever
// type the engine keeps it in.
QString dayOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(Qt::ISODate);
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date().toString(Qt::ISODate);
    return value.toString().left(10);
}

// Statements here run unchanged on a file and on a server; what the two engines
// spell differently (a row's identity, sums and rounding) is done in C++.
class BillWriter {
public:
    BillWriter(SqlConnection& db, const EntmeterStandIn::Request& request)
        : m_db(db)
        , m_request(request)
        , m_day(request.billDate.toString(Qt::ISODate))
        , m_onServer(db.engine() == SqlConnection::Engine::Postgres)
        , m_rowKey(m_onServer ? QStringLiteral("ctid") : QStringLiteral("rowid"))
    {}

    bool recompute(int& written);
    // Why recompute() failed: the engine's message or an amount beyond the money type.
    QString error() const { return m_error.isEmpty() ? m_db.outcome().message() : m_error; }

private:
    struct Charge {
        QVariant key;
        QString day;
        QString code;
    };
    struct Totals {
        QVariant code;
        Currency charged, paid;
    };

    QVariantList account() const { return {qlonglong(m_request.custkey), qlonglong(m_request.lockey)}; }
    bool readCharges();
    bool setCharge(const char* code, int64_t cents, bool addMissing, int& written);
    bool addAmounts(const char* table, bool paid, std::map<std::optional<QByteArray>, Totals>& byCode);
    bool rebuildBalances();

    SqlConnection& m_db;
    const EntmeterStandIn::Request& m_request;
    const QString m_day;
    const bool m_onServer;
    const QString m_rowKey;
    std::vector<Charge> m_charges; // the location's ordinary charges, first stored first
    QString m_error;
};

bool BillWriter::readCharges()
{
    QSqlQuery rows = m_db.query(QStringLiteral("select %1, date, code from \"tbl bill detail\" where custkey = ? and "
                                               "lockey = ? and coalesce(adjusted, 0) = 0 order by %1%2")
                                    .arg(m_rowKey, m_onServer ? QStringLiteral(" for update") : QString()),
                                account());
    if (!rows.isActive())
        return false;
    while (rows.next())
        m_charges.push_back({rows.value(0), dayOf(rows.value(1)), rows.value(2).toString()});
    return true;
}

// The first ordinary (not adjusted) charge of a code on the bill date gets the
// amount; a missing one is added only when `addMissing`.
bool BillWriter::setCharge(const char* code, int64_t cents, bool addMissing, int& written)
{
    const double amount = static_cast<double>(cents) / 100.0;
    const QString name = QString::fromLatin1(code);
    for (const Charge& charge : m_charges) {
        if (charge.day == m_day && charge.code == name) {
            if (!m_db.exec(QStringLiteral("update \"tbl bill detail\" set amount = ? where %1 = ?").arg(m_rowKey),
                           {amount, charge.key}))
                return false;
            ++written;
            return true;
        }
    }
    if (!addMissing)
        return true;
    if (!m_db.exec(QStringLiteral("insert into \"tbl bill detail\" (custkey, lockey, date, code, comment, amount, "
                                  "adjusted) values (?, ?, ?, ?, null, ?, 0)"),
                   account() + QVariantList{m_day, name, amount}))
        return false;
    ++written;
    return true;
}

bool BillWriter::addAmounts(const char* table, bool paid, std::map<std::optional<QByteArray>, Totals>& byCode)
{
    QSqlQuery rows = m_db.query(
        QStringLiteral("select code, amount from \"%1\" where custkey = ? and lockey = ?").arg(QLatin1String(table)),
        account());
    if (!rows.isActive())
        return false;
    while (rows.next()) {
        const QVariant code = rows.value(0);
        const auto key = code.isNull() ? std::nullopt : std::optional<QByteArray>(code.toString().toUtf8());
        Totals& totals = byCode.try_emplace(key, Totals{code, {}, {}}).first->second;
        const QVariant stored = rows.value(1);
        const std::optional<Currency> amount = Currency::fromVariant(stored);
        bool number = false;
        stored.toDouble(&number);
        // A text that is no number counts as nothing, as an engine's sum takes it; a
        // number too large for money would make every total wrong.
        if (!amount && number) {
            m_error = QStringLiteral("The amount %1 of code %2 in %3 is too large for money; no bill was computed.")
                          .arg(stored.toString(), code.toString(), QLatin1String(table));
            return false;
        }
        (paid ? totals.paid : totals.charged) += amount.value_or(Currency());
    }
    return true;
}

// Rounded half away from zero, as the engine's round() does.
double toCents(Currency amount)
{
    const int64_t units = amount.tenThousandths();
    const int64_t cents = units >= 0 ? (units + 50) / 100 : (units - 50) / 100;
    return Currency::fromTenThousandths(cents * 100).toDouble();
}

// One balance row per code of the location's charges, deposits and payments, in
// code order, as a grouping statement would write them.
bool BillWriter::rebuildBalances()
{
    std::map<std::optional<QByteArray>, Totals> byCode;
    if (!addAmounts("tbl bill detail", false, byCode) || !addAmounts("tbl deposit", false, byCode)
        || !addAmounts("tbl payment detail", true, byCode))
        return false;
    if (!m_db.exec(QStringLiteral("delete from \"tbl balance\" where custkey = ? and lockey = ?"), account()))
        return false;
    for (const auto& [key, totals] : byCode) {
        if (!m_db.exec(QStringLiteral("insert into \"tbl balance\" (custkey, lockey, code, totalcharges, totalpaid) "
                                      "values (?, ?, ?, ?, ?)"),
                       account() + QVariantList{totals.code, toCents(totals.charged), toCents(totals.paid)}))
            return false;
    }
    return true;
}

bool BillWriter::recompute(int& written)
{
    QSqlQuery usage = m_db.query(
        QStringLiteral(
            "select code, usage, multiplier, billdate from \"tbl reading\" where custkey = ? and lockey = ?"),
        account());
    if (!usage.isActive())
        return false;
    // Every meter read for the bill date counts, the two of a change-out included.
    std::optional<double> water, elec;
    while (usage.next()) {
        if (dayOf(usage.value(3)) != m_day)
            continue;
        const QString code = usage.value(0).toString().trimmed().toUpper();
        std::optional<double>* total = nullptr;
        if (code == QLatin1String("WATER"))
            total = &water;
        else if (code == QLatin1String("ELEC"))
            total = &elec;
        else
            continue;
        const QVariant used = usage.value(1);
        const QVariant multiplier = usage.value(2);
        *total = total->value_or(0)
            + (used.isNull() ? 0 : used.toDouble() * (multiplier.isNull() ? 1 : multiplier.toDouble()));
    }
    if (!readCharges())
        return false;
    bool ok = true;
    if (water) {
        ok = ok && setCharge("WATER", DemoTariff::chargeCents("WATER", *water), true, written);
        ok = ok && setCharge("SEWER", DemoTariff::chargeCents("SEWER", *water), false, written);
    }
    if (elec) {
        const int64_t cents = DemoTariff::chargeCents("ELEC", *elec);
        ok = ok && setCharge("ELEC", cents, true, written);
        ok = ok && setCharge("TAX", (cents * 5 + 50) / 100, false, written);
    }
    return ok && rebuildBalances();
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
    SqlConnection db = SqlConnection::open(billing.path);
    if (!db.isOpen())
        return Outcome::cannotOpen(FaultText::BillingDatabase, db.path(), db.outcome()).message();
    SqlTransaction transaction(db, SqlTransaction::Kind::Immediate);
    if (!transaction.isActive())
        return transaction.error();
    BillWriter writer(db, *request);
    if (!writer.recompute(written))
        return writer.error();
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
