#pragma once

#include "demosuite/HostileData.h"
#include "support/TestSuite.h"

#include <gtest/gtest.h>

// A test suite whose billing database holds the hostile accounts (and nothing else),
// with the module prepared for the account that has every kind of row.
class HostileSuite : public TestSuite {
public:
    HostileSuite()
    {
        // One transaction: the rows are many, and each commit would wait for the disk.
        exec("begin");
        const Outcome written = HostileData::write(billing());
        EXPECT_TRUE(written) << written.message().toStdString();
        exec("commit");
    }

    void prepareHostile(HistoryModule& module) const { prepare(module, HostileData::CustKey, HostileData::LocKey); }

    // The hostile texts that hold something besides blanks, trimmed as the journal shows them.
    static QStringList visibleTexts()
    {
        QStringList texts;
        for (const QVariant& text : HostileData::texts()) {
            if (!text.toString().trimmed().isEmpty())
                texts << text.toString().trimmed();
        }
        return texts;
    }
};
