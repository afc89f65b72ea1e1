#include "journal/JournalLoader.h"

#include "app/HistoryModule.h"

JournalLoader::Result JournalLoader::load(HistoryModule& module, JournalFlags& flags, const QString& previousLabel,
                                          SavedView savedView, JournalBuilder::TableWrite when)
{
    Result result;
    result.printRange = PrintRange::read(module.ProgramFolder);
    if (savedView == SavedView::Apply)
        result.settings = JournalViewSettings::read(module.ProgramFolder);
    if (result.settings)
        result.settings->raiseFlags(flags);

    result.extraction = AccountExtraction::run(module);
    if (!result.extraction.outcome) {
        module.CloseWorkDb();
        module.CloseBillingDb();
        return result;
    }
    result.SearchCount = searchCount(module.WorkDb);
    result.header = JournalHeader::compose(module.WorkDb, module.CompanyTitle, previousLabel);
    JournalBuilder::createTables(module);
    result.build = JournalBuilder::BuildJournal(module, flags, &result.rows, when);
    module.CloseWorkDb();
    return result;
}

JournalBuilder::Result JournalLoader::rebuild(HistoryModule& module, const JournalFlags& flags,
                                              std::vector<JournalRow>& rows)
{
    JournalBuilder::Result result;
    if (!module.OpenWorkDb())
        return result;
    JournalBuilder::clearStaging(module);
    result = JournalBuilder::BuildJournal(module, flags, &rows);
    module.CloseWorkDb();
    return result;
}

CodeBalances JournalLoader::loadBalances(HistoryModule& module)
{
    CodeBalances balances;
    if (module.OpenWorkDb()) {
        balances.load(module.WorkDb, module.CustKey, module.LocKey);
        module.CloseWorkDb();
    }
    return balances;
}

int JournalLoader::searchCount(SqlConnection& work)
{
    if (!work.tableExists(QStringLiteral("histsrch")))
        return 0;
    const QVariant count = work.scalar(QStringLiteral("select count(lockey) as rc from histsrch"));
    return count.isNull() ? 0 : count.toInt();
}
