#pragma once

#include "journal/CodeBalances.h"

#include <QAbstractTableModel>

// The balance grid's rows: every column of the account's balance rows plus the
// balance, amounts shown as currency.
class CodeBalanceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CodeBalanceModel(QObject* parent = nullptr);

    void setTable(CodeBalances::Table table);
    const CodeBalances::Table& table() const { return m_table; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bool isMoney(int column) const;
    CodeBalances::Table m_table;
};
