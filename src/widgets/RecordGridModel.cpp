#include "RecordGridModel.h"

#include "DbCursor.h"
#include "PublicFunction.h"

#include <QBrush>
#include <QDate>
#include <QMetaObject>
#include <QRegularExpression>

#include <algorithm>

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The position of the word (lower case) in sql outside quotes, brackets and parentheses,
// from start on; -1 when it is not there.
int topLevelWord(const QString &sql, const QString &word, int start)
{
    const int n = int(sql.size());
    int depth = 0;
    for (int i = start; i < n; ++i) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            int j = i + 1;
            while (j < n && !(sql.at(j) == c && (j + 1 >= n || sql.at(j + 1) != c)))
                j += sql.at(j) == c ? 2 : 1;
            i = j;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        } else if (depth == 0 && isWordChar(c) && (i == 0 || !isWordChar(sql.at(i - 1)))) {
            int j = i;
            while (j < n && isWordChar(sql.at(j)))
                ++j;
            if (sql.mid(i, j - i).compare(word, Qt::CaseInsensitive) == 0)
                return i;
            i = j - 1;
        }
    }
    return -1;
}

QString whereClause(const QString &condition, const QString &more = QString())
{
    if (condition.isEmpty())
        return more.isEmpty() ? QString() : QStringLiteral(" Where ") + more;
    // The caller's condition is bracketed: an Or at its top level must not swallow ours.
    return QStringLiteral(" Where (") + condition + QLatin1Char(')')
        + (more.isEmpty() ? QString() : QStringLiteral(" And ") + more);
}

} // namespace

TRecordGridModel::TRecordGridModel(DbConnection *connection, QObject *parent)
    : QAbstractTableModel(parent), m_conn(connection)
{
}

TRecordGridModel::~TRecordGridModel() = default;

void TRecordGridModel::SetConnection(DbConnection *connection)
{
    if (connection == m_conn)
        return;
    Close();
    m_conn = connection;
}

bool TRecordGridModel::Open(const Statement &statement)
{
    beginResetModel();
    clear();
    m_statement = statement;
    const bool ok = run();
    if (!ok) {
        const QString error = m_error;
        clear();
        m_error = error;
    }
    endResetModel();
    return ok;
}

bool TRecordGridModel::Refresh()
{
    return Open(m_statement);
}

void TRecordGridModel::Close()
{
    beginResetModel();
    clear();
    endResetModel();
}

void TRecordGridModel::clear()
{
    ++m_generation;
    m_active = false;
    m_error.clear();
    m_tables.clear();
    m_condition.clear();
    m_order.clear();
    m_count = 0;
    m_sums.clear();
    m_names.clear();
    m_index.clear();
    m_dateColumn.clear();
    m_columnAlignment.clear();
    m_rows = 0;
    m_keys.clear();
    m_keys.shrink_to_fit();
    m_haveSnapshot = false;
    m_pages.clear();
    m_useOrder.clear();
}

bool TRecordGridModel::run()
{
    const Statement &s = m_statement;
    // "From tables Where condition": the two parts are used apart, so that each statement
    // below can add its own condition and order.
    const QString from = s.from.trimmed();
    const int fromWord = topLevelWord(from, QStringLiteral("from"), 0);
    if (fromWord != 0 || s.select.trimmed().isEmpty() || s.key.trimmed().isEmpty()) {
        m_error = QStringLiteral("表格的查询语句不完整");
        return false;
    }
    const int where = topLevelWord(from, QStringLiteral("where"), 4);
    m_tables = from.mid(4, where < 0 ? -1 : where - 4).trimmed();
    m_condition = where < 0 ? QString() : from.mid(where + 5).trimmed();

    static const QRegularExpression orderBy(QStringLiteral(R"(^\s*order\s+by\s+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString terms = s.orderBy;
    terms.remove(orderBy);
    terms = terms.trimmed();
    const QString last = terms.section(QLatin1Char(','), -1).trimmed();
    if (terms.isEmpty())
        m_order = s.key;
    else if (last.compare(s.key, Qt::CaseInsensitive) == 0)
        m_order = terms;
    else
        m_order = terms + QLatin1Char(',') + s.key;

    // Count and footer sums: one aggregate over the whole result, on the index where the
    // schema allows it, never by walking the rows.
    {
        QString sql = QStringLiteral("Select Count(*) As QmRowCount");
        for (int i = 0; i < s.sums.size(); ++i)
            sql += QStringLiteral(", Sum(%1) As QmSum%2").arg(s.sums.at(i)).arg(i);
        sql += QStringLiteral(" From ") + m_tables + whereClause(m_condition);
        DbCursor total(m_conn);
        if (!total.Open(sql) || total.Eof()) {
            m_error = total.LastError();
            return false;
        }
        m_count = total.Field(0).AsInteger();
        for (int i = 0; i < s.sums.size(); ++i)
            m_sums.insert(s.sums.at(i).toLower(), total.Field(i + 1).AsFloat());
    }

    // The first page's keys in order; the rest only when the user goes past them.
    if (!readKeys(m_pageSize, &m_keys))
        return false;
    m_haveSnapshot = int(m_keys.size()) < m_pageSize || qint64(m_keys.size()) == m_count;
    m_rows = m_haveSnapshot ? int(m_keys.size()) : int(qMin<qint64>(m_count, INT_MAX));

    // The page statement gives the fields, and fails now rather than at the first scroll
    // when the select list is wrong.
    std::vector<QVector<QVariant>> first;
    if (!fetchPage(0, &first, &m_names))
        return false;
    for (int c = 0; c < m_names.size(); ++c) {
        m_index.insert(m_names.at(c).toLower(), c);
        bool date = false;
        for (const QString &d : s.dates)
            date = date || d.compare(m_names.at(c), Qt::CaseInsensitive) == 0;
        m_dateColumn << date;
    }
    alignColumns();
    if (!first.empty()) {
        m_useOrder.push_front(0);
        m_pages[0] = Page{std::move(first), m_useOrder.begin()};
    }
    m_active = true;
    return true;
}

bool TRecordGridModel::readKeys(int limit, std::vector<qint64> *keys) const
{
    QString sql = QStringLiteral("Select ") + m_statement.key + QStringLiteral(" From ")
        + m_tables + whereClause(m_condition) + QStringLiteral(" Order By ") + m_order;
    if (limit > 0)
        sql += QStringLiteral(" Limit %1").arg(limit);
    keys->clear();
    if (limit <= 0)
        keys->reserve(size_t(qMax(m_rows, 0)));
    DbCursor cursor(m_conn);
    if (!cursor.Open(sql)) {
        m_error = cursor.LastError();
        return false;
    }
    for (; !cursor.Eof(); cursor.Next())
        keys->push_back(cursor.Field(0).AsInteger());
    if (cursor.Failed()) {
        m_error = cursor.LastError();
        return false;
    }
    return true;
}

bool TRecordGridModel::readSnapshot() const
{
    if (m_haveSnapshot)
        return true;
    m_haveSnapshot = true;   // read once, whatever happens
    std::vector<qint64> keys;
    if (!readKeys(0, &keys)) {
        reportLater(m_error);
        return false;
    }
    const size_t firstPage = std::min(keys.size(), size_t(m_pageSize));
    const bool sameStart = m_keys.size() == firstPage
        && std::equal(m_keys.begin(), m_keys.end(), keys.begin());
    m_keys = std::move(keys);
    if (!sameStart) {
        // The book changed since opening: the first page is fetched again by its new keys.
        m_pages.clear();
        m_useOrder.clear();
    }
    const int rows = int(qMin<size_t>(m_keys.size(), INT_MAX));
    if (rows != m_rows || !sameStart) {
        // Rows cannot come or go while the view is asking for data: the change is made
        // once control is back in the event loop.
        auto *self = const_cast<TRecordGridModel *>(this);
        const int generation = m_generation;
        QMetaObject::invokeMethod(self, [self, rows, generation] {
            if (generation != self->m_generation)
                return;
            self->resizeRows(rows);
        }, Qt::QueuedConnection);
    }
    return true;
}

void TRecordGridModel::resizeRows(int rows)
{
    if (rows > m_rows) {
        beginInsertRows(QModelIndex(), m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows(QModelIndex(), rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
    if (m_rows > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, qMax(0, columnCount() - 1)));
}

bool TRecordGridModel::fetchPage(int page, std::vector<QVector<QVariant>> *rows,
                                 QStringList *names) const
{
    rows->clear();
    const size_t from = size_t(page) * size_t(m_pageSize);
    const size_t to = std::min(m_keys.size(), from + size_t(m_pageSize));
    DbCursor cursor(m_conn);
    // One row by its key at a time: the key's equality is what the engine always takes
    // straight to the row, whatever the rest of the condition. (A list of keys with In is
    // planned, without statistics, as a scan of the whole book's index, a tenth of a
    // second for each page.)
    if (!cursor.Prepare(QStringLiteral("Select ") + m_statement.select + QStringLiteral(" From ")
                        + m_tables + whereClause(m_condition, m_statement.key
                                                              + QStringLiteral(" = ?")))) {
        m_error = cursor.LastError();
        return false;
    }
    if (names)
        *names = cursor.FieldNames();
    rows->reserve(to > from ? to - from : 0);
    const int columns = cursor.FieldCount();
    for (size_t i = from; i < to; ++i) {
        if (!cursor.Bind(1, m_keys[i]) || !cursor.Execute()) {
            m_error = cursor.LastError();
            rows->clear();
            return false;
        }
        QVector<QVariant> values;
        if (!cursor.Eof()) {
            values.reserve(columns);
            for (int c = 0; c < columns; ++c)
                values << cursor.Value(c);
        }
        rows->push_back(std::move(values));
    }
    return true;
}

const QVector<QVariant> *TRecordGridModel::rowValues(int row) const
{
    if (!m_active || row < 0 || row >= m_rows)
        return nullptr;
    if (size_t(row) >= m_keys.size() && !readSnapshot())
        return nullptr;
    if (size_t(row) >= m_keys.size())
        return nullptr;
    const int page = row / m_pageSize;
    auto it = m_pages.find(page);
    if (it == m_pages.end()) {
        std::vector<QVector<QVariant>> rows;
        if (!fetchPage(page, &rows)) {
            reportLater(m_error);
            // The page stays blank rather than being asked for again at every repaint.
            rows.assign(std::min(m_keys.size() - size_t(page) * size_t(m_pageSize),
                                 size_t(m_pageSize)), QVector<QVariant>());
        }
        while (int(m_pages.size()) >= m_cachePages) {
            m_pages.erase(m_useOrder.back());
            m_useOrder.pop_back();
        }
        m_useOrder.push_front(page);
        it = m_pages.emplace(page, Page{std::move(rows), m_useOrder.begin()}).first;
    } else if (it->second.used != m_useOrder.begin()) {
        m_useOrder.splice(m_useOrder.begin(), m_useOrder, it->second.used);
    }
    const size_t at = size_t(row % m_pageSize);
    const auto &rows = it->second.rows;
    if (at >= rows.size() || rows[at].isEmpty())
        return nullptr;
    return &rows[at];
}

void TRecordGridModel::reportLater(const QString &error) const
{
    auto *self = const_cast<TRecordGridModel *>(this);
    const int generation = m_generation;
    QMetaObject::invokeMethod(self, [self, error, generation] {
        if (generation == self->m_generation)
            emit self->FetchFailed(error);
    }, Qt::QueuedConnection);
}

QString TRecordGridModel::ListingStatement() const
{
    if (!m_active)
        return QString();
    return QStringLiteral("Select ") + m_statement.select + QStringLiteral(" From ") + m_tables
        + whereClause(m_condition) + QStringLiteral(" Order By ") + m_order;
}

double TRecordGridModel::FooterSum(const QString &field) const
{
    return m_sums.value(field.toLower(), 0.0);
}

int TRecordGridModel::FieldIndex(const QString &field) const
{
    return m_index.value(field.toLower(), -1);
}

void TRecordGridModel::SetTitle(const QString &field, const QString &title)
{
    m_titles.insert(field.toLower(), title);
    const int column = FieldIndex(field);
    if (column >= 0)
        emit headerDataChanged(Qt::Horizontal, column, column);
}

QString TRecordGridModel::Title(const QString &field) const
{
    return m_titles.value(field.toLower(), field);
}

void TRecordGridModel::SetAlignment(const QString &field, Qt::Alignment alignment)
{
    m_alignments.insert(field.toLower(), int(alignment));
    alignColumns();
    const int column = FieldIndex(field);
    if (column < 0)
        return;
    emit headerDataChanged(Qt::Horizontal, column, column);
    if (m_rows > 0)
        emit dataChanged(index(0, column), index(m_rows - 1, column), {Qt::TextAlignmentRole});
}

Qt::Alignment TRecordGridModel::Alignment(const QString &field) const
{
    return Qt::Alignment(m_alignments.value(field.toLower(),
                                            int(Qt::AlignLeft | Qt::AlignVCenter)));
}

void TRecordGridModel::ResetColumnLooks()
{
    m_titles.clear();
    m_alignments.clear();
    alignColumns();
    if (!m_names.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(m_names.size()) - 1);
    if (m_rows > 0 && !m_names.isEmpty())
        emit dataChanged(index(0, 0), index(m_rows - 1, int(m_names.size()) - 1),
                         {Qt::TextAlignmentRole});
}

void TRecordGridModel::alignColumns()
{
    m_columnAlignment.clear();
    for (const QString &name : std::as_const(m_names))
        m_columnAlignment << QVariant(int(Alignment(name)));
}

qint64 TRecordGridModel::KeyOfRow(int row) const
{
    if (!m_active || row < 0 || row >= m_rows)
        return -1;
    if (size_t(row) >= m_keys.size())
        readSnapshot();
    return size_t(row) < m_keys.size() ? m_keys[size_t(row)] : -1;
}

int TRecordGridModel::RowOfKey(qint64 key) const
{
    if (!m_active)
        return -1;
    auto found = std::find(m_keys.begin(), m_keys.end(), key);
    if (found == m_keys.end() && !m_haveSnapshot && readSnapshot())
        found = std::find(m_keys.begin(), m_keys.end(), key);
    const qint64 row = found - m_keys.begin();
    return found == m_keys.end() || row >= m_rows ? -1 : int(row);
}

DbField TRecordGridModel::FieldAt(int row, const QString &field) const
{
    const int column = FieldIndex(field);
    const QVector<QVariant> *values = column >= 0 ? rowValues(row) : nullptr;
    return DbField(values ? values->at(column) : QVariant(), column >= 0);
}

QString TRecordGridModel::displayText(int column, const QVariant &value) const
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return QString();
    case QMetaType::Double:
        // Amounts as the program writes them everywhere else: two decimals at most.
        return AmountText(value.toDouble());
    case QMetaType::QString:
        if (m_dateColumn.value(column)) {
            const QString text = value.toString();
            const QDate day = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
            return day.isValid() ? day.toString(QStringLiteral("yyyy-MM-dd")) : text;
        }
        return value.toString();
    default:
        return DbField(value).AsString();
    }
}

int TRecordGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TRecordGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

QVariant TRecordGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_names.size())
        return QVariant();
    if (role == KeyRole) {
        const qint64 key = KeyOfRow(index.row());
        return key < 0 ? QVariant() : QVariant(key);
    }
    if (role == Qt::TextAlignmentRole)
        return m_columnAlignment.value(index.column());
    if (role != Qt::DisplayRole && role != RawValueRole && role != Qt::ForegroundRole
        && role != Qt::FontRole)
        return QVariant();
    const QVector<QVariant> *values = rowValues(index.row());
    if (!values)
        return QVariant();
    const QVariant &value = values->at(index.column());
    if (role == Qt::DisplayRole)
        return displayText(index.column(), value);
    if (role == RawValueRole)
        return value;
    if (!m_hook)
        return QVariant();
    Cell cell;
    cell.row = index.row();
    cell.column = index.column();
    cell.field = m_names.at(index.column());
    cell.value = DbField(value);
    m_hook(cell);
    if (role == Qt::ForegroundRole)
        return cell.colour.isValid() ? QVariant(QBrush(cell.colour)) : QVariant();
    return cell.fontSet ? QVariant(cell.font) : QVariant();
}

QVariant TRecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::TextAlignmentRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= m_names.size())
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return m_columnAlignment.value(section);
    return Title(m_names.at(section));
}

bool TRecordGridModel::setHeaderData(int section, Qt::Orientation orientation,
                                     const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_names.size()
        || (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    SetTitle(m_names.at(section), value.toString());
    return true;
}

Qt::ItemFlags TRecordGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
