#include "demosuite/HostileData.h"

#include "platform/SqlConnection.h"
#include "platform/SqlStatement.h"

namespace HostileData {

namespace {

// Bound by type, so a number stays a number and a text that looks like one stays text.
void bindValue(SqlStatement& statement, int index, const QVariant& value)
{
    if (value.isNull())
        statement.bindNull(index);
    else if (value.typeId() == QMetaType::Double)
        statement.bind(index, value.toDouble());
    else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong)
        statement.bind(index, static_cast<int64_t>(value.toLongLong()));
    else
        statement.bind(index, value.toString());
}

class Writer {
public:
    explicit Writer(const SqlConnection& db) : m_db(db) {}

    void insert(const char* sql, const QVariantList& values)
    {
        if (!m_error.isEmpty())
            return;
        SqlStatement statement(m_db, sql);
        for (int i = 0; i < values.size(); ++i)
            bindValue(statement, i + 1, values[i]);
        if (!statement.isValid() || !statement.run())
            m_error = QStringLiteral("%1: %2").arg(QString::fromLatin1(sql), statement.error());
    }

    const QString& error() const { return m_error; }

private:
    const SqlConnection& m_db;
    QString m_error;
};

template <typename List>
QVariant pick(const List& list, qsizetype index)
{
    return list[index % list.size()];
}

void writeCodes(Writer& writer)
{
    const QVariantList& all = texts();
    for (qsizetype i = 0; i < codes().size(); ++i)
        writer.insert("insert into [lkup transaction code] (code, description, tgkey) values (?, ?, ?)",
                      {codes()[i], pick(all, i), i == 0 ? QVariant(10) : QVariant()});
}

void writeTextCustomers(Writer& writer)
{
    const QVariantList& all = texts();
    for (qsizetype i = 0; i < all.size(); ++i) {
        const int key = FirstTextCustomer + static_cast<int>(i);
        const QVariant text = all[i];
        // accno is the one text column that may not be null.
        const QVariant accno = text.isNull() ? QVariant(QStringLiteral("NULLS")) : text;
        writer.insert("insert into [tbl customer] (custkey, accno, lookupname, fname, mname, lname, CompanyName, "
                      "phone, addr1, addr2, city, state, zip, status, active, opendate) "
                      "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      {key, accno, text, text, text, text, text, text, text, text, text, text, text, text,
                       i % 2 ? -1 : 0, pick(dates(), i)});
        writer.insert("insert into [tbl location] (lockey, custkey, ID, addr1, addr2, locroute, locseq, indate, "
                      "outdate) values (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      {key, key, text, text, text, text, i % 3 ? QVariant(static_cast<qlonglong>(i) << 40) : QVariant(),
                       pick(dates(), i + 1), pick(dates(), i + 2)});
    }
}

void writeAccount(Writer& writer)
{
    writer.insert("insert into [tbl customer] (custkey, accno, lookupname, fname, lname, addr1, addr2, city, "
                  "state, zip, status, active) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                  {CustKey, QStringLiteral("H'1[%]"), QStringLiteral("O'BRIEN [&] \"SONS\" 100% *?# \\ é中"),
                   QStringLiteral("Seán"), QStringLiteral("O'Brien"), QStringLiteral("1 \"Quote\" Rd"), QVariant(),
                   QStringLiteral("Zürich"), QVariant(), QStringLiteral("_%_"), QVariant(), -1});
    writer.insert("insert into [tbl location] (lockey, custkey, ID, addr1, locroute, locseq) values (?, ?, ?, ?, ?, ?)",
                  {LocKey, CustKey, QStringLiteral("L'[1]"), QStringLiteral("1 \"Quote\" Rd"), QStringLiteral("R'*"),
                   QVariant()});

    const QVariantList& all = texts();
    const qsizetype rows = std::max({all.size(), dates().size(), amounts().size()});
    for (qsizetype i = 0; i < rows; ++i) {
        const QVariant text = pick(all, i);
        const QVariant date = pick(dates(), i);
        const QVariant amount = pick(amounts(), i);
        const QVariant code = pick(codes(), i);
        const QVariant number = pick(amounts(), i + 3);
        writer.insert(
            "insert into [tbl reading] (CustKey, LocKey, Code, ReadDate, BillDate, Previous, Present, "
            "Usage, Multiplier, MultiTenants, Factor, MSN, ChgOut, estimated, mrcomment, EntryDate) "
            "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {CustKey, LocKey, code, pick(dates(), i + 1), date, number, amount, pick(amounts(), i + 5),
             pick(amounts(), i + 7), i % 2 ? QVariant() : QVariant(3), QVariant(), text,
             QVariantList{QVariant(), 0, -1, 1}[i % 4], i % 3 ? QVariant(-1) : QVariant(), text, pick(dates(), i + 2)});
        writer.insert("insert into [tbl bill detail] (custkey, lockey, date, code, comment, amount, adjusted) "
                      "values (?, ?, ?, ?, ?, ?, ?)",
                      {CustKey, LocKey, date, code, text, amount, QVariantList{QVariant(), 0, -1, 1}[i % 4]});
        writer.insert("insert into [tbl payment detail] (custkey, lockey, date, code, pmttype, docno, amount) "
                      "values (?, ?, ?, ?, ?, ?, ?)",
                      {CustKey, LocKey, date, code, text, pick(all, i + 1), amount});
        writer.insert("insert into [tbl deposit] (custkey, lockey, date, code, amount) values (?, ?, ?, ?, ?)",
                      {CustKey, LocKey, date, code, amount});
        writer.insert("insert into [tbl deposit refund] (custkey, lockey, date, code, appliedtobill, "
                      "returnedtocustomer) values (?, ?, ?, ?, ?, ?)",
                      {CustKey, LocKey, date, code, amount, pick(amounts(), i + 1)});
        writer.insert("insert into histcomments (custkey, lockey, edate, comment, UserID) values (?, ?, ?, ?, ?)",
                      {CustKey, LocKey, date, text, text});
        writer.insert("insert into acctedits (custkey, lockey, chgdate, chgfield, chgfrom, chgto, userid) "
                      "values (?, ?, ?, ?, ?, ?, ?)",
                      {CustKey, LocKey, date, text, pick(all, i + 1), pick(all, i + 2), text});
    }
    // [tbl balance] holds one row per code of the location.
    for (qsizetype i = 0; i < codes().size(); ++i)
        writer.insert(
            "insert into [tbl balance] (custkey, lockey, code, totalcharges, totalpaid) values (?, ?, ?, ?, ?)",
            {CustKey, LocKey, codes()[i], pick(amounts(), i).isNull() ? QVariant(0) : pick(amounts(), i),
             pick(amounts(), i + 1).isNull() ? QVariant(0) : pick(amounts(), i + 1)});
}

} // namespace

QString longText()
{
    const QString unit = QStringLiteral("Ab'[%_*?#]\\\"é中 ");
    QString text;
    while (text.size() < 1000)
        text += unit;
    return text.left(1000);
}

const QVariantList& texts()
{
    static const QVariantList all = {
        QStringLiteral("O'Brien's"),
        QStringLiteral("say \"hello\""),
        QStringLiteral("100% _under_"),
        QStringLiteral("*star* ?any #1"),
        QStringLiteral("[bracket] ]close [!neg] [a-z"),
        QStringLiteral("back\\slash \\n \\'"),
        QStringLiteral("é ü 中文 ñ"),
        QStringLiteral("x'); drop table histcomments; --"),
        longText(),
        QStringLiteral("  padded  "),
        QStringLiteral(""),
        QVariant(),
        QStringLiteral("line one\r\nline two"),
    };
    return all;
}

const QVariantList& dates()
{
    static const QVariantList all = {
        QStringLiteral("2017-05-01"),
        QVariant(),
        QStringLiteral("2017-05-02 13:45:00"),
        QStringLiteral("2017-05-03T08:00"),
        QStringLiteral("5/4/17"),
        QStringLiteral("12/31/1999"),
        QStringLiteral("1/5/2017 10:30 AM"),
        QStringLiteral("2017-02-30"),
        QStringLiteral("not a date"),
        QStringLiteral(""),
        QStringLiteral("9999-12-31"),
    };
    return all;
}

const QVariantList& amounts()
{
    static const QVariantList all = {
        12.34, QVariant(), -125.5, 1e15, -1e15, 0.005, 999999999999.99, QStringLiteral("12.50"), QStringLiteral("n/a"),
        0.0,
    };
    return all;
}

const QStringList& codes()
{
    static const QStringList all = {QStringLiteral("WA"), QStringLiteral("O'"),  QStringLiteral("[X]"),
                                    QStringLiteral("%_"), QStringLiteral("*?#"), QStringLiteral("中"),
                                    QStringLiteral("\\")};
    return all;
}

Outcome write(const SqlConnection& db)
{
    Writer writer(db);
    writeCodes(writer);
    writeTextCustomers(writer);
    writeAccount(writer);
    return writer.error().isEmpty() ? Outcome() : Outcome::failure(writer.error());
}

} // namespace HostileData
