#include "app/HistoryModule.h"

#include "app/SuiteFolder.h"

#include <QDir>

SqlConnection HistoryModule::openBilling() const
{
    return SqlConnection::open(BillingDbPath, SqlConnection::Mode::OpenExisting, BusyTimeoutMs);
}

bool HistoryModule::OpenBillingDb()
{
    BillingDb = openBilling();
    m_lastOpenError = BillingDb.isOpen() ? QString() : BillingDb.lastError();
    return BillingDb.isOpen();
}

bool HistoryModule::OpenWorkDb()
{
    WorkDb = SqlConnection::open(WorkDbPath, SqlConnection::Mode::OpenExisting, BusyTimeoutMs);
    if (WorkDb.isOpen())
        WorkDb.makeScratch();
    m_lastOpenError = WorkDb.isOpen() ? QString() : WorkDb.lastError();
    return WorkDb.isOpen();
}

void HistoryModule::CloseBillingDb()
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
