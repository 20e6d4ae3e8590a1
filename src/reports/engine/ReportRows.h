// The rows a report prints: a data set read by position in its order, without holding the
// whole result in memory.
//
// QueryRows reads a Select on the shared connection the way the record grids do: one
// aggregate gives the row count and the sums the template asks for, the keys of the first
// rows are read with a limit, and the ordered keys of all rows (eight bytes a row) only
// when a row past them is wanted. Rows are then fetched by key, so page 9,000 of a report
// reads only its own rows. No statement stays open between fetches.
// ListRows holds a few rows in memory: sample rows for a template's preview, and tests.
#pragma once

#include "Database.h"
#include "RecordStatement.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>
#include <vector>

class DbCursor;

using ReportRow = QVector<QVariant>;

class ReportRows
{
public:
    virtual ~ReportRows() = default;
    // Learns the fields without reading rows. False, with a message, when the data set
    // cannot be read.
    virtual bool ReadFields(QString *error) = 0;
    // Counts the rows and sums the named fields (fields of the data set). False, with a
    // message, when the data set cannot be read.
    virtual bool Open(const QStringList &sums, QString *error) = 0;
    // The fields of each row, in order.
    virtual QStringList FieldNames() const = 0;
    virtual qint64 Count() const = 0;
    // The sum of a field named in Open (0 for any other).
    virtual double Sum(const QString &field) const = 0;
    // The rows first to first + count - 1 (fewer at the end). False, with a message, when
    // the engine fails.
    virtual bool Fetch(qint64 first, int count, std::vector<ReportRow> *rows,
                       QString *error) = 0;

    // Readies any page for a quick turn (the preview calls it once the first page shows).
    virtual bool ReadAhead(QString *) { return true; }
    // Rows from first on will be fetched in order, to the end of a print or an export:
    // they may be read by one statement instead of one by one. EndStream closes it.
    virtual void Stream(qint64 first) { Q_UNUSED(first); }
    virtual void EndStream() {}

    // The column of a field, without regard to case; -1 when there is none.
    int FieldIndex(const QString &name) const;
};

class QueryRows : public ReportRows
{
public:
    // The pieces of the statement (RecordStatement.h); key names an integer column that
    // identifies a row and ends the order.
    using Statement = RecordStatement;

    QueryRows(DbConnection *connection, const Statement &statement);
    ~QueryRows() override;

    bool ReadFields(QString *error) override;
    bool Open(const QStringList &sums, QString *error) override;
    QStringList FieldNames() const override { return m_names; }
    qint64 Count() const override { return m_count; }
    double Sum(const QString &field) const override { return m_sums.value(field.toLower()); }
    bool Fetch(qint64 first, int count, std::vector<ReportRow> *rows, QString *error) override;

    // The count and sums the grid that shows the same statement already has: Open then
    // sends no aggregate when they cover the sums asked for, and the print's figures are
    // those of the grid.
    void SetKnownTotals(qint64 count, const QHash<QString, double> &sums);

    // Reads the ordered keys of all rows now (the preview does it while the user looks at
    // the first page). False, with a message, when the engine fails.
    bool ReadAllKeys(QString *error);
    bool ReadAhead(QString *error) override { return ReadAllKeys(error); }
    void Stream(qint64 first) override;
    void EndStream() override;
    bool HasAllKeys() const { return m_allKeys; }

private:
    bool readKeys(qint64 limit, QString *error);
    QString where(const QString &more = QString()) const;

    DbConnection *m_conn;
    Statement m_st;
    QString m_order;
    QStringList m_names;
    qint64 m_count = 0;
    QHash<QString, double> m_sums;
    bool m_knownTotals = false;
    std::unique_ptr<DbCursor> m_stream;   // while printing: the rows in order
    qint64 m_streamFirst = -1;            // the row m_stream stands on
    std::vector<qint64> m_keys;
    bool m_allKeys = false;
};

class ListRows : public ReportRows
{
public:
    ListRows(const QStringList &fields, std::vector<ReportRow> rows);

    bool ReadFields(QString *) override { return true; }
    bool Open(const QStringList &sums, QString *error) override;
    QStringList FieldNames() const override { return m_names; }
    qint64 Count() const override { return qint64(m_rows.size()); }
    double Sum(const QString &field) const override;
    bool Fetch(qint64 first, int count, std::vector<ReportRow> *rows, QString *error) override;

private:
    QStringList m_names;
    std::vector<ReportRow> m_rows;
};
