#pragma once

#include "selection/SearchLines.h"

#include <QAbstractListModel>
#include <functional>

// The account list as the list view shows it: one row per line of the in-memory
// search list, in its current order. Rows are all alike, so a view can take one
// row's size for all of them.
class SearchListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { CustKeyRole = Qt::UserRole + 1, LocKeyRole };

    explicit SearchListModel(QObject* parent = nullptr);

    const SearchLines& lines() const { return m_lines; }
    // Replaces or reorders the lines inside a model reset.
    void change(const std::function<void(SearchLines&)>& edit);
    // An edit that leaves every shown row as it was, so the view keeps its place.
    void amend(const std::function<void(SearchLines&)>& edit) { edit(m_lines); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    SearchLines m_lines;
};
