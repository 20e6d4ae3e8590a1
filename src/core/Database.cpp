#include "Database.h"

#include "SqlText.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <cctype>
#include <iterator>

namespace {

const char *const OurTables[] = {"Account", "Customer", "MoneyTable", "Parameter",
                                 "Setting", "Power", "PrintTable", "PrintReport"};
const char RowIdColumn[] = "qm_rowid__";

QString engineError(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("没有打开的数据库");
}

QString storedDateTime(const QDateTime &dt)
{
    if (dt.time() == QTime(0, 0))
        return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
    return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

int bindValue(sqlite3_stmt *st, int pos, const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return sqlite3_bind_null(st, pos);
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(st, pos, v.toDouble());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return sqlite3_bind_int64(st, pos, v.toLongLong());
    case QMetaType::Bool:
        return sqlite3_bind_int(st, pos, v.toBool() ? 1 : 0);
    case QMetaType::QDate: {
        const QByteArray t = v.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
        return sqlite3_bind_text(st, pos, t.constData(), t.size(), SQLITE_TRANSIENT);
    }
    case QMetaType::QDateTime: {
        const QByteArray t = storedDateTime(v.toDateTime()).toUtf8();
        return sqlite3_bind_text(st, pos, t.constData(), t.size(), SQLITE_TRANSIENT);
    }
    default: {
        const QByteArray t = v.toString().toUtf8();
        return sqlite3_bind_text(st, pos, t.constData(), t.size(), SQLITE_TRANSIENT);
    }
    }
}

QVariant columnValue(sqlite3_stmt *st, int col)
{
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(st, col)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, col));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(st, col)),
            sqlite3_column_bytes(st, col)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(st, col)),
                                   sqlite3_column_bytes(st, col)));
    default:
        return QVariant();
    }
}

// A prepared statement that finalizes itself.
class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql, QString *error)
    {
        const QByteArray text = sql.toUtf8();
        const char *tail = nullptr;
        if (sqlite3_prepare_v2(db, text.constData(), text.size() + 1, &m_st, &tail)
            != SQLITE_OK) {
            *error = engineError(db);
            m_st = nullptr;
            return;
        }
        // One statement only: anything after it other than blanks and a ';' is refused.
        for (; tail && *tail; ++tail) {
            if (*tail != ';' && !isspace(static_cast<unsigned char>(*tail))) {
                *error = QStringLiteral("一次只能执行一条语句");
                sqlite3_finalize(m_st);
                m_st = nullptr;
                return;
            }
        }
        if (!m_st)
            *error = QStringLiteral("空语句");
    }
    ~Statement() { sqlite3_finalize(m_st); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    sqlite3_stmt *get() const { return m_st; }
    explicit operator bool() const { return m_st != nullptr; }

private:
    sqlite3_stmt *m_st = nullptr;
};

struct SingleTable
{
    QString list;   // the select list as written
    QString table;
    QString rest;   // Where / Order By part, possibly empty
};

// Recognises "Select list From Table [Where ...] [Order By ...]" over one table whose
// rows can be changed: no join, no Distinct, no aggregate, no grouping or union.
bool parseSingleTable(const QString &sql, SingleTable *out)
{
    static const QRegularExpression shape(
        QStringLiteral(R"(^\s*select\s+(.+?)\s+from\s+([A-Za-z_][A-Za-z0-9_]*)\s*)"
                       R"(((?:where|order\s+by)\b.*?)?\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption
            | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression aggregate(
        QStringLiteral(R"(^\s*distinct\b|\b(sum|count|avg|min|max|total|group_concat)\s*\()"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression grouping(
        QStringLiteral(R"(\b(group\s+by|having|union|intersect|except)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = shape.match(sql);
    if (!m.hasMatch())
        return false;
    out->list = m.captured(1);
    out->table = m.captured(2);
    out->rest = m.captured(3);
    if (aggregate.match(out->list).hasMatch() || grouping.match(out->rest).hasMatch())
        return false;
    if (out->table.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
        return false;
    return true;
}

} // namespace

// ---------------------------------------------------------------- DbConnection

DbConnection::~DbConnection()
{
    Close();
}

bool DbConnection::Open(const QString &path, const QString &password)
{
    Close();
    m_error.clear();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        m_error = QStringLiteral("数据库文件不存在：%1").arg(path);
        return false;
    }
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK) {
        m_error = engineError(db);
        sqlite3_close(db);
        return false;
    }
    const QByteArray key = password.toUtf8();
    sqlite3_key(db, key.constData(), key.size());
    sqlite3_busy_timeout(db, 5000);

    // A wrong password or a file that is no database shows at the first read.
    int found = -1;
    {
        QString names;
        for (const char *t : OurTables)
            names += (names.isEmpty() ? QString() : QStringLiteral(",")) + Quoted(t);
        QString err;
        Statement st(db, QStringLiteral("SELECT count(*) FROM sqlite_master "
                                        "WHERE type = 'table' AND name IN (%1)").arg(names),
                     &err);
        if (st && sqlite3_step(st.get()) == SQLITE_ROW)
            found = sqlite3_column_int(st.get(), 0);
        else
            m_error = err.isEmpty() ? engineError(db) : err;
    }
    if (!m_error.isEmpty() || found != int(std::size(OurTables))) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("文件中没有本软件的数据表");
        sqlite3_close(db);
        return false;
    }
    m_db = db;
    m_path = path;
    return true;
}

void DbConnection::Close()
{
    if (m_db) {
        if (m_inTransaction)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    m_db = nullptr;
    m_inTransaction = false;
}

bool DbConnection::execute(const char *sql)
{
    if (!m_db) {
        m_error = engineError(nullptr);
        return false;
    }
    char *err = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        m_error = QString::fromUtf8(err ? err : "?");
        sqlite3_free(err);
        return false;
    }
    return true;
}

bool DbConnection::BeginTrans()
{
    if (m_inTransaction) {
        m_error = QStringLiteral("事务已经开始");
        return false;
    }
    m_inTransaction = execute("BEGIN IMMEDIATE");
    return m_inTransaction;
}

bool DbConnection::CommitTrans()
{
    if (!m_inTransaction)
        return false;
    if (!execute("COMMIT"))
        return false;
    m_inTransaction = false;
    return true;
}

bool DbConnection::RollbackTrans()
{
    if (!m_inTransaction)
        return false;
    m_inTransaction = false;
    return execute("ROLLBACK");
}

// ---------------------------------------------------------------- DbField

QString DbField::AsString() const
{
    switch (m_value.typeId()) {
    case QMetaType::UnknownType:
        return QString();
    case QMetaType::Double:
        return QString::number(m_value.toDouble(), 'g', 15);
    case QMetaType::QByteArray:
        return QString::fromUtf8(m_value.toByteArray());
    default:
        return m_value.toString();
    }
}

double DbField::AsFloat() const
{
    return m_value.isNull() ? 0.0 : m_value.toDouble();
}

qint64 DbField::AsInteger() const
{
    if (m_value.isNull())
        return 0;
    if (m_value.typeId() == QMetaType::Double)
        return qRound64(m_value.toDouble());
    return m_value.toLongLong();
}

QDateTime DbField::AsDateTime() const
{
    static const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0));
    if (m_value.isNull())
        return zero;
    if (m_value.typeId() == QMetaType::Double || m_value.typeId() == QMetaType::LongLong) {
        const double days = m_value.toDouble();
        return zero.addMSecs(qRound64(days * 86400000.0));
    }
    const QString t = m_value.toString().trimmed();
    for (const char *f : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd", "yyyy-MM-ddTHH:mm:ss",
                          "yyyy-MM-dd HH:mm"}) {
        const QDateTime dt = QDateTime::fromString(t, QLatin1String(f));
        if (dt.isValid())
            return dt;
    }
    return zero;
}

bool DbField::AsBoolean() const
{
    if (m_value.isNull())
        return false;
    switch (m_value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Double:
        return m_value.toDouble() != 0.0;
    default: {
        const QString t = m_value.toString().trimmed().toLower();
        return t == QLatin1String("true") || t == QLatin1String("yes")
            || (!t.isEmpty() && t.toDouble() != 0.0);
    }
    }
}

// ---------------------------------------------------------------- DbQuery

bool DbQuery::Open()
{
    Close();
    if (!m_conn || !m_conn->Connected()) {
        m_error = QStringLiteral("数据库没有连接");
        return false;
    }
    const QString sql = TranslateDialect(m_sql);
    SingleTable single;
    const bool updatable = parseSingleTable(sql, &single);
    const QString text = updatable
        ? QStringLiteral("SELECT rowid AS %1, %2 FROM %3 %4")
              .arg(QLatin1String(RowIdColumn), single.list, single.table, single.rest)
        : sql;
    QString err;
    Statement st(m_conn->Handle(), text, &err);
    if (!st) {
        m_error = err;
        return false;
    }
    if (!sqlite3_stmt_readonly(st.get())) {
        m_error = QStringLiteral("只能执行查询语句");
        return false;
    }
    const int first = updatable ? 1 : 0;
    const int cols = sqlite3_column_count(st.get());
    for (int c = first; c < cols; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(st.get(), c));
        m_names << name;
        const QString key = name.toLower();
        if (!m_index.contains(key))
            m_index.insert(key, c - first);
    }
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        QVector<QVariant> row;
        row.reserve(cols - first);
        for (int c = first; c < cols; ++c)
            row << columnValue(st.get(), c);
        m_rows.push_back(std::move(row));
        if (updatable)
            m_rowids.push_back(sqlite3_column_int64(st.get(), 0));
    }
    if (rc != SQLITE_DONE) {
        m_error = engineError(m_conn->Handle());
        Close();
        return false;
    }
    if (updatable)
        m_table = single.table;
    m_active = true;
    m_pos = 0;
    m_error.clear();
    return true;
}

void DbQuery::Close()
{
    m_active = false;
    m_names.clear();
    m_index.clear();
    m_rows.clear();
    m_rowids.clear();
    m_table.clear();
    m_tableColumns.clear();
    m_pos = 0;
    m_state = State::Browse;
    m_pending.clear();
}

bool DbQuery::MoveTo(int row)
{
    if (row < 0 || row > RecordCount())
        return false;
    m_pos = row;
    return true;
}

int DbQuery::columnOf(const QString &name) const
{
    return m_index.value(name.toLower(), -1);
}

bool DbQuery::HasField(const QString &name) const
{
    return columnOf(name) >= 0;
}

DbField DbQuery::FieldByName(const QString &name) const
{
    const int col = columnOf(name);
    if (m_state != State::Browse) {
        for (auto it = m_pending.crbegin(); it != m_pending.crend(); ++it)
            if (it->first.compare(name, Qt::CaseInsensitive) == 0)
                return DbField(it->second);
        if (m_state == State::Insert)
            return DbField(QVariant(), col >= 0);
    }
    if (col < 0 || Eof() || !m_active)
        return DbField(QVariant(), col >= 0);
    return DbField(m_rows[size_t(m_pos)][col]);
}

bool DbQuery::refuseChange(const char *what)
{
    if (!m_active) {
        m_error = QStringLiteral("查询没有打开，不能%1").arg(QString::fromUtf8(what));
        return false;
    }
    if (m_table.isEmpty()) {
        m_error = QStringLiteral("多表或统计查询的结果是只读的，不能%1")
                      .arg(QString::fromUtf8(what));
        return false;
    }
    return true;
}

bool DbQuery::Append()
{
    if (!refuseChange("新增记录"))
        return false;
    m_pending.clear();
    m_state = State::Insert;
    return true;
}

bool DbQuery::Edit()
{
    if (!refuseChange("修改记录"))
        return false;
    if (Eof()) {
        m_error = QStringLiteral("没有当前记录，不能修改");
        return false;
    }
    m_pending.clear();
    m_state = State::Edit;
    return true;
}

void DbQuery::SetField(const QString &name, const QVariant &value)
{
    m_pending.append({name, value});
}

void DbQuery::Cancel()
{
    m_pending.clear();
    m_state = State::Browse;
}

bool DbQuery::tableColumns(QStringList *columns)
{
    if (m_tableColumns.isEmpty()) {
        QString err;
        Statement st(m_conn->Handle(),
                     QStringLiteral("PRAGMA table_info(%1)").arg(m_table), &err);
        if (!st) {
            m_error = err;
            return false;
        }
        while (sqlite3_step(st.get()) == SQLITE_ROW)
            m_tableColumns << QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 1)));
    }
    *columns = m_tableColumns;
    return true;
}

bool DbQuery::reloadRow(qint64 rowid, QVector<QVariant> *row)
{
    SingleTable single;
    parseSingleTable(TranslateDialect(m_sql), &single);
    QString err;
    Statement st(m_conn->Handle(),
                 QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(single.list, m_table),
                 &err);
    if (!st) {
        m_error = err;
        return false;
    }
    sqlite3_bind_int64(st.get(), 1, rowid);
    row->clear();
    if (sqlite3_step(st.get()) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(st.get()); ++c)
            *row << columnValue(st.get(), c);
    } else {
        row->fill(QVariant(), m_names.size());
    }
    return true;
}

bool DbQuery::Post()
{
    if (m_state == State::Browse)
        return true;
    QStringList columns;
    if (!tableColumns(&columns))
        return false;
    // Later settings of one field win; names are matched to the table without regard to case.
    QStringList names;
    QVector<QVariant> values;
    for (const auto &p : m_pending) {
        QString real;
        for (const QString &c : columns)
            if (c.compare(p.first, Qt::CaseInsensitive) == 0)
                real = c;
        if (real.isEmpty()) {
            m_error = QStringLiteral("数据表 %1 中没有字段 %2").arg(m_table, p.first);
            return false;
        }
        const int at = names.indexOf(real);
        if (at >= 0) {
            values[at] = p.second;
        } else {
            names << real;
            values << p.second;
        }
    }
    QString sql;
    if (m_state == State::Insert) {
        if (names.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_table);
        } else {
            QStringList quotedNames, marks;
            for (const QString &n : names) {
                quotedNames << QLatin1Char('"') + n + QLatin1Char('"');
                marks << QStringLiteral("?");
            }
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(m_table, quotedNames.join(QLatin1Char(',')),
                           marks.join(QLatin1Char(',')));
        }
    } else {
        if (names.isEmpty()) {
            Cancel();
            return true;
        }
        QStringList sets;
        for (const QString &n : names)
            sets << QLatin1Char('"') + n + QStringLiteral("\" = ?");
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                  .arg(m_table, sets.join(QStringLiteral(", ")));
    }
    QString err;
    Statement st(m_conn->Handle(), sql, &err);
    if (!st) {
        m_error = err;
        return false;
    }
    for (int i = 0; i < values.size(); ++i)
        bindValue(st.get(), i + 1, values[i]);
    if (m_state == State::Edit)
        sqlite3_bind_int64(st.get(), values.size() + 1, m_rowids[size_t(m_pos)]);
    if (sqlite3_step(st.get()) != SQLITE_DONE) {
        m_error = engineError(m_conn->Handle());
        return false;
    }
    const qint64 rowid = m_state == State::Insert ? sqlite3_last_insert_rowid(m_conn->Handle())
                                                  : m_rowids[size_t(m_pos)];
    QVector<QVariant> row;
    if (!reloadRow(rowid, &row))
        return false;
    if (m_state == State::Insert) {
        m_rows.push_back(row);
        m_rowids.push_back(rowid);
        m_pos = RecordCount() - 1;
    } else {
        m_rows[size_t(m_pos)] = row;
    }
    m_pending.clear();
    m_state = State::Browse;
    return true;
}

bool DbQuery::Delete()
{
    if (!refuseChange("删除记录"))
        return false;
    if (Eof()) {
        m_error = QStringLiteral("没有当前记录，不能删除");
        return false;
    }
    Cancel();
    QString err;
    Statement st(m_conn->Handle(), QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(m_table),
                 &err);
    if (!st) {
        m_error = err;
        return false;
    }
    sqlite3_bind_int64(st.get(), 1, m_rowids[size_t(m_pos)]);
    if (sqlite3_step(st.get()) != SQLITE_DONE) {
        m_error = engineError(m_conn->Handle());
        return false;
    }
    m_rows.erase(m_rows.begin() + m_pos);
    m_rowids.erase(m_rowids.begin() + m_pos);
    return true;
}
