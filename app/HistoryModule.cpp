#include "app/HistoryModule.h"

#include "app/SuiteFolder.h"
#include "platform/PostgresUri.h"

#include <QDir>

SqlConnection HistoryModule::openBilling() const
{
    return SqlConnection::open(BillingDbPath, SqlConnection::Mode::OpenExisting, BusyTimeoutMs);
}

Outcome HistoryModule::OpenBillingDb()
{
    if (m_billingOpenedFrom == BillingDbPath && BillingDb.isIdleOnServer())
        return {};
    BillingDb = openBilling();
    m_billingOpenedFrom = BillingDbPath;
    return BillingDb.isOpen() ? Outcome() : BillingDb.outcome();
}

Outcome HistoryModule::OpenWorkDb()
{
    WorkDb = SqlConnection::open(WorkDbPath, SqlConnection::Mode::OpenExisting, BusyTimeoutMs);
    if (WorkDb.isOpen())
        WorkDb.makeScratch();
    return WorkDb.isOpen() ? Outcome() : WorkDb.outcome();
}

void HistoryModule::CloseBillingDb()
{
    // Kept only when the next action can take it as it is: one that failed or was
    // left in a transaction starts afresh.
    if (!BillingDb.isIdleOnServer())
        BillingDb.close();
}

void HistoryModule::ReleaseBillingDb()
{
    BillingDb.close();
}

void HistoryModule::CloseWorkDb()
{
    WorkDb.close();
}

bool HistoryModule::ExecBilling(const QString& sql, const QVariantList& binds)
{
    return BillingDb.exec(sql, binds);
}

bool HistoryModule::ExecWork(const QString& sql, const QVariantList& binds)
{
    return WorkDb.exec(sql, binds);
}

QString HistoryModule::suiteFile(const QString& name) const
{
    return SuiteFolder::pathFor(ProgramFolder, name);
}

QString HistoryModule::billingName() const
{
    return PostgresUri::shown(BillingDbPath);
}
