// The data side of the record grids (the day grid, the report grid, the record lists): a
// table model over one Select that stays fast on a book of a million records.
//
// Opening runs one aggregate statement for the row count and the footer sums, then reads
// the keys of the first page in the statement's order and the rows of that page: the
// first screen shows at once. The keys of all rows in order (the snapshot) are read once,
// the first time a row past the first page is needed; from then on rows are fetched a page
// at a time by key from the snapshot, never by position, and kept in a cache of a few
// pages. Every fetch prepares, steps to the end and finalises its statement: nothing stays
// open while the user scrolls, so no read lock is held on the database file between
// fetches (other computers of a shared book can write).
//
// The snapshot fixes which rows the grid shows and in which order; the values of a row
// are read when its page is fetched. A row deleted since the snapshot shows blank until
// the grid is opened again.
#pragma once

#include "Database.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <list>
#include <map>
#include <vector>

class TRecordGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The pieces of a record grid's statement, in the windows' dialect:
    //   select:  "MoneyIndex,MoneySerial,…,MoneyRemark"
    //   from:    "From Account,MoneyTable Where (AccountIndex = MoneyAccount)" + filters
    //   orderBy: "" or "Order By MoneySum Desc,MoneyCreateTime,MoneyIndex"
    // key names a column of the select list that identifies a row (an integer key); rows
    // that tie in the order are shown by key, so the order is the same at every fetch.
    // Without an order, rows come in key order. sums name the columns whose sums the
    // footers show. dates name the columns shown as days (yyyy-MM-dd).
    struct Statement
    {
        QString select;
        QString from;
        QString orderBy;
        QString key = QStringLiteral("MoneyIndex");
        QStringList sums{QStringLiteral("MoneyIn"), QStringLiteral("MoneyOut"),
                         QStringLiteral("MoneySum")};
        QStringList dates{QStringLiteral("MoneyCreateTime"), QStringLiteral("MoneyRecordTime")};
    };

    // What the cell hook gets for every cell the grid asks about, and may change: the
    // colour of the text (left invalid for the grid's own) and the font (used when set).
    struct Cell
    {
        int row = 0;
        int column = 0;
        QString field;
        DbField value;
        QColor colour;
        QFont font;
        bool fontSet = false;
    };
    using CellHook = std::function<void(Cell &)>;

    enum Role {
        RawValueRole = Qt::UserRole + 1,   // the stored value: integer, float, text or NULL
        KeyRole                            // the key of the cell's row
    };

    explicit TRecordGridModel(DbConnection *connection, QObject *parent = nullptr);
    ~TRecordGridModel() override;

    // The connection the statements go to; changing it closes the model.
    void SetConnection(DbConnection *connection);
    DbConnection *Connection() const { return m_conn; }

    // Runs the statement. False when any part of it fails: the model is then empty and
    // LastError() holds the engine's own text.
    bool Open(const Statement &statement);
    // Runs the same statement again: new count, sums, snapshot and rows.
    bool Refresh();
    void Close();
    bool Active() const { return m_active; }
    QString LastError() const { return m_error; }

    // Footer figures, from the aggregate of the last Open: the number of rows and the sum
    // of a column of Statement::sums (0 for any other name and for an empty grid).
    qint64 RecordCount() const { return m_count; }
    double FooterSum(const QString &field) const;

    QStringList FieldNames() const { return m_names; }
    // The statement the grid lists its rows by, in the grid's order with ties broken by
    // the key, for whoever walks the same rows with a cursor of his own (the spreadsheet
    // export); empty while the grid is closed.
    QString ListingStatement() const;
    // Whether the column holds days (one of Statement::dates), stored as date texts.
    bool IsDateColumn(int column) const { return m_dateColumn.value(column); }
    // The column of a field, without regard to case; -1 when there is none.
    int FieldIndex(const QString &field) const;
    // The title shown over a field's column; the field name until one is set. Titles are
    // kept by field name and survive Open.
    void SetTitle(const QString &field, const QString &title);
    QString Title(const QString &field) const;
    // The alignment of a field's title and cells (TextAlignmentRole); left and vertically
    // centred until one is set. Kept by field name like the titles.
    void SetAlignment(const QString &field, Qt::Alignment alignment);
    Qt::Alignment Alignment(const QString &field) const;
    // Every title back to its field name and every alignment back to the default, for a
    // grid whose columns are built anew.
    void ResetColumnLooks();

    // The key of a row, -1 when there is none; the row of a key, -1 when the grid does not
    // show it. The current row is kept as a key, so it survives a refill.
    qint64 KeyOfRow(int row) const;
    int RowOfKey(qint64 key) const;
    // One field of a row, read as the recordset reads it.
    DbField FieldAt(int row, const QString &field) const;

    // Asked for the colour and font of every cell the grid draws.
    void SetCellHook(CellHook hook) { m_hook = std::move(hook); }

    // Rows fetched at once and pages kept; set before Open.
    void SetPageSize(int rows) { m_pageSize = qMax(1, rows); }
    void SetCachePages(int pages) { m_cachePages = qMax(2, pages); }
    int PageSize() const { return m_pageSize; }
    // Pages held now, at most the cache size; for the benchmark and the tests.
    int CachedPages() const { return int(m_pages.size()); }
    bool HasSnapshot() const { return m_haveSnapshot; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // A fetch after opening failed (the engine's text); the rows of that page stay blank
    // until the grid is opened again.
    void FetchFailed(const QString &error);

private:
    struct Page
    {
        std::vector<QVector<QVariant>> rows;   // in snapshot order; empty for a lost row
        std::list<int>::iterator used;         // place in the use order
    };

    bool run();
    void clear();
    bool readKeys(int limit, std::vector<qint64> *keys) const;
    bool readSnapshot() const;
    // The rows of a page by their keys; names, when given, receives the field names.
    bool fetchPage(int page, std::vector<QVector<QVariant>> *rows,
                   QStringList *names = nullptr) const;
    void resizeRows(int rows);
    const QVector<QVariant> *rowValues(int row) const;
    QString displayText(int column, const QVariant &value) const;
    void reportLater(const QString &error) const;
    void alignColumns();

    DbConnection *m_conn;
    Statement m_statement;
    QString m_tables;      // between From and Where
    QString m_condition;   // after Where, possibly empty
    QString m_order;       // the order terms with the key last
    bool m_active = false;
    mutable QString m_error;
    int m_generation = 0;   // counts openings: a late notice of an earlier one is dropped

    qint64 m_count = 0;
    QHash<QString, double> m_sums;   // lower-case field -> sum
    QStringList m_names;
    QHash<QString, int> m_index;     // lower-case field -> column
    QHash<QString, QString> m_titles;
    QHash<QString, int> m_alignments;   // lower-case field -> Qt::Alignment
    QVector<QVariant> m_columnAlignment;  // by column, from m_alignments, for data()
    QVector<bool> m_dateColumn;
    int m_rows = 0;

    mutable std::vector<qint64> m_keys;   // the snapshot; the first page's keys until read
    mutable bool m_haveSnapshot = false;
    mutable std::map<int, Page> m_pages;
    mutable std::list<int> m_useOrder;    // most recently used page first
    int m_pageSize = 100;
    int m_cachePages = 20;
    CellHook m_hook;
};
