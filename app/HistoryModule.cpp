#include "app/HistoryModule.h"

#include "app/SuiteFolder.h"

#include <QDir>

bool HistoryModule::OpenBillingDb()
{
    BillingDb = SqlConnection::open(BillingDbPath);
    m_lastOpenError = BillingDb.isOpen() ? QString() : BillingDb.lastError();
    return BillingDb.isOpen();
}

bool HistoryModule::OpenWorkDb()
{
    WorkDb = SqlConnection::open(WorkDbPath);
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
