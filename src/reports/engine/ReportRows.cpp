// The data sets of the reports: a statement read by key, and rows held in memory.
#include "ReportRows.h"

#include "DbCursor.h"

int ReportRows::FieldIndex(const QString &name) const
{
    const QStringList names = FieldNames();
    for (int i = 0; i < names.size(); ++i)
        if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QueryRows::QueryRows(DbConnection *connection, const Statement &statement)
    : m_conn(connection), m_st(statement)
{
    const QString last = m_st.order.section(QLatin1Char(','), -1).trimmed();
    if (m_st.order.trimmed().isEmpty())
        m_order = m_st.key;
    else if (last.compare(m_st.key, Qt::CaseInsensitive) == 0)
        m_order = m_st.order;
    else
        m_order = m_st.order + QLatin1Char(',') + m_st.key;
}

QString QueryRows::where(const QString &more) const
{
    const QString condition = m_st.condition.trimmed();
    if (condition.isEmpty())
        return more.isEmpty() ? QString() : QStringLiteral(" Where ") + more;
    // The condition is bracketed: an Or at its top level must not swallow what follows.
    return QStringLiteral(" Where (") + condition + QLatin1Char(')')
        + (more.isEmpty() ? QString() : QStringLiteral(" And ") + more);
}

void QueryRows::SetKnownTotals(qint64 count, const QHash<QString, double> &sums)
{
    m_count = count;
    m_sums.clear();
    for (auto it = sums.cbegin(); it != sums.cend(); ++it)
        m_sums.insert(it.key().toLower(), it.value());
    m_knownTotals = true;
}

bool QueryRows::ReadFields(QString *error)
{
    // The row statement names the fields, and fails now rather than at the first page.
    DbCursor row(m_conn);
    if (!row.Prepare(QStringLiteral("Select ") + m_st.select + QStringLiteral(" From ")
                     + m_st.tables + where(m_st.key + QStringLiteral(" = ?")))) {
        *error = row.LastError();
        return false;
    }
    m_names = row.FieldNames();
    return true;
}

bool QueryRows::Open(const QStringList &sums, QString *error)
{
    m_keys.clear();
    m_allKeys = false;
    if (m_names.isEmpty() && !ReadFields(error))
        return false;
    bool known = m_knownTotals;
    for (const QString &field : sums)
        known = known && m_sums.contains(field.toLower());
    if (known)
        return true;
    m_sums.clear();
    // One aggregate for the count and every sum, never a walk over the rows.
    QString sql = QStringLiteral("Select Count(*) As QmRowCount");
    for (int i = 0; i < sums.size(); ++i)
        sql += QStringLiteral(", Sum(%1) As QmSum%2").arg(sums.at(i)).arg(i);
    sql += QStringLiteral(" From ") + m_st.tables + where();
    DbCursor total(m_conn);
    if (!total.Open(sql) || total.Eof()) {
        *error = total.LastError();
        return false;
    }
    m_count = total.Field(0).AsInteger();
    for (int i = 0; i < sums.size(); ++i)
        m_sums.insert(sums.at(i).toLower(), total.Field(i + 1).AsFloat());
    return true;
}

bool QueryRows::readKeys(qint64 limit, QString *error)
{
    QString sql = QStringLiteral("Select ") + m_st.key + QStringLiteral(" From ") + m_st.tables
        + where() + QStringLiteral(" Order By ") + m_order;
    if (limit > 0)
        sql += QStringLiteral(" Limit %1").arg(limit);
    std::vector<qint64> keys;
    keys.reserve(size_t(limit > 0 ? qMin(limit, m_count) : m_count));
    DbCursor cursor(m_conn);
    if (!cursor.Open(sql)) {
        *error = cursor.LastError();
        return false;
    }
    for (; !cursor.Eof(); cursor.Next())
        keys.push_back(cursor.Field(0).AsInteger());
    if (cursor.Failed()) {
        *error = cursor.LastError();
        return false;
    }
    m_allKeys = limit <= 0 || qint64(keys.size()) < limit;
    m_keys = std::move(keys);
    return true;
}

bool QueryRows::ReadAllKeys(QString *error)
{
    return m_allKeys || readKeys(0, error);
}

QueryRows::~QueryRows() = default;

void QueryRows::Stream(qint64 first)
{
    EndStream();
    m_stream = std::make_unique<DbCursor>(m_conn);
    QString sql = QStringLiteral("Select ") + m_st.select + QStringLiteral(" From ")
        + m_st.tables + where() + QStringLiteral(" Order By ") + m_order;
    if (first > 0)
        sql += QStringLiteral(" Limit -1 Offset %1").arg(first);
    // A failure here is no failure of the print: the rows are then read by key.
    if (m_stream->Open(sql))
        m_streamFirst = first;
    else
        EndStream();
}

void QueryRows::EndStream()
{
    m_stream.reset();
    m_streamFirst = -1;
}

bool QueryRows::Fetch(qint64 first, int count, std::vector<ReportRow> *rows, QString *error)
{
    rows->clear();
    if (m_stream && first == m_streamFirst) {
        const int columns = m_stream->FieldCount();
        for (int i = 0; i < count && !m_stream->Eof(); ++i) {
            ReportRow values(columns);
            for (int c = 0; c < columns; ++c)
                values[c] = m_stream->Value(c);
            rows->push_back(std::move(values));
            m_stream->Next();
        }
        if (m_stream->Failed()) {
            *error = m_stream->LastError();
            EndStream();
            rows->clear();
            return false;
        }
        m_streamFirst += qint64(rows->size());
        return true;
    }
    const qint64 end = first + count;
    if (!m_allKeys && end > qint64(m_keys.size())) {
        // The first page is read by itself, so that it shows at once; anything past it
        // needs the keys of all rows.
        if (!(first == 0 ? readKeys(end, error) : readKeys(0, error)))
            return false;
    }
    const qint64 to = qMin<qint64>(end, qint64(m_keys.size()));
    if (first >= to)
        return true;
    DbCursor cursor(m_conn);
    if (!cursor.Prepare(QStringLiteral("Select ") + m_st.select + QStringLiteral(" From ")
                        + m_st.tables + where(m_st.key + QStringLiteral(" = ?")))) {
        *error = cursor.LastError();
        return false;
    }
    const int columns = cursor.FieldCount();
    rows->reserve(size_t(to - first));
    for (qint64 i = first; i < to; ++i) {
        if (!cursor.Bind(1, m_keys[size_t(i)]) || !cursor.Execute()) {
            *error = cursor.LastError();
            rows->clear();
            return false;
        }
        ReportRow values(columns);
        // A row deleted since the keys were read prints blank rather than shifting the
        // pages after it.
        if (!cursor.Eof())
            for (int c = 0; c < columns; ++c)
                values[c] = cursor.Value(c);
        rows->push_back(std::move(values));
    }
    return true;
}

ListRows::ListRows(const QStringList &fields, std::vector<ReportRow> rows)
    : m_names(fields), m_rows(std::move(rows))
{
}

bool ListRows::Open(const QStringList &, QString *)
{
    return true;
}

double ListRows::Sum(const QString &field) const
{
    const int column = FieldIndex(field);
    double sum = 0;
    if (column >= 0)
        for (const ReportRow &row : m_rows)
            sum += row.value(column).toDouble();
    return sum;
}

bool ListRows::Fetch(qint64 first, int count, std::vector<ReportRow> *rows, QString *)
{
    rows->clear();
    for (qint64 i = qMax<qint64>(first, 0); i < first + count && i < qint64(m_rows.size()); ++i)
        rows->push_back(m_rows[size_t(i)]);
    return true;
}
