#pragma once

#include "platform/ReportItem.h"

#include <QString>
#include <vector>

// A horizontal band of a report page: its height in twips and its controls.
struct ReportBand {
    int height = 0;
    std::vector<ReportItem> items;

    ReportItem* find(const QString& name)
    {
        for (ReportItem& item : items)
            if (item.name == name)
                return &item;
        return nullptr;
    }
    const ReportItem* find(const QString& name) const { return const_cast<ReportBand*>(this)->find(name); }
};
