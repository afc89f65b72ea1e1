#pragma once

#include "cli/HostileData.h"
#include "support/TestSuite.h"

#include <QSqlDriver>
#include <gtest/gtest.h>
#include <sqlite3.h>

// A test suite whose billing database holds the hostile accounts (and nothing else),
// with the module prepared for the account that has every kind of row.
class HostileSuite : public TestSuite {
public:
    HostileSuite()
    {
        const QVariant handle = billing().database().driver()->handle();
        QString error;
        EXPECT_TRUE(HostileData::write(*static_cast<sqlite3* const*>(handle.constData()), &error))
            << error.toStdString();
    }

    void prepareHostile(HistoryModule& module) const
    {
        prepare(module, HostileData::CustKey, HostileData::LocKey);
    }

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
