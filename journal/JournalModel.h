#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <vector>

class SqlConnection;

// One row of jurn, as the build left it.
struct JournalRow {
    QString bdate; // ISO posting date, empty when the source row had none
    QString rdate;
    QString tcode;
    QString descr;
    QString prev;
    QString pres;
    QString usage;
    QString chg;
    QString pmt;
    QString rbal;
    double dorder = 0;
    QString mult;
    int trow = 0;
};

// The journal grid's rows, read once per build into memory so that scrolling and
// row changes never touch the database.
class JournalModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        PostDate,
        ReadDate,
        Code,
        Description,
        Previous,
        Reading,
        Usage,
        Charge,
        Payment,
        Balance,
        Rank,
        ColumnCount
    };

    explicit JournalModel(QObject* parent = nullptr);

    static std::vector<JournalRow> read(SqlConnection& work);
    static QString caption(int column);
    // POST DATE and READ DATE are shown in the suite's short form (5/1/2017).
    static QString displayText(const JournalRow& row, int column);

    void setRows(std::vector<JournalRow> rows);
    // Changes values of the rows in place (never their number) and tells the views;
    // `change` says whether anything changed.
    bool editRows(const std::function<bool(std::vector<JournalRow>&)>& change);
    void clear();
    const std::vector<JournalRow>& rows() const { return m_rows; }
    const JournalRow* rowAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<JournalRow> m_rows;
};
