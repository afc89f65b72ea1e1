#pragma once

#include "journal/AccountExtraction.h"
#include "journal/CodeBalances.h"
#include "journal/JournalBuilder.h"
#include "journal/JournalFlags.h"
#include "journal/JournalHeader.h"
#include "journal/JournalModel.h"
#include "journal/JournalSettings.h"

#include <optional>
#include <vector>

class HistoryModule;

// The data work of the journal window's load: settings files, extraction, search
// list size, header, and the journal build. The window only shows the result.
class JournalLoader {
public:
    struct Result {
        PrintRange printRange;
        std::optional<JournalViewSettings> settings;
        AccountExtraction::Result extraction;
        int SearchCount = 0;
        JournalHeader header;
        JournalBuilder::Result build;
        std::vector<JournalRow> rows;
    };

    // The saved view (VIEWLED.INI) belongs to the journal window: only it asks for
    // the flags to be raised from the file. Leaves WorkDb closed.
    enum class SavedView { Ignore, Apply };
    static Result load(HistoryModule& module, JournalFlags& flags, const QString& previousLabel,
                       SavedView savedView = SavedView::Ignore,
                       JournalBuilder::TableWrite when = JournalBuilder::TableWrite::Now);

    // Rebuilds jurn from the work tables already extracted (a switch or a comment
    // changed what the journal shows) and reads its rows.
    static JournalBuilder::Result rebuild(HistoryModule& module, const JournalFlags& flags,
                                          std::vector<JournalRow>& rows);

    // The account's activity by code, read when the balance grid is first wanted.
    static CodeBalances loadBalances(HistoryModule& module);

    // Number of entries of the selection window's search list, 0 when there is none.
    static int searchCount(SqlConnection& work);
};
