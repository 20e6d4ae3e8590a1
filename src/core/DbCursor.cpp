#include "DbCursor.h"

#include "SqlText.h"

#include <sqlite3.h>

namespace {

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

} // namespace

DbCursor::~DbCursor()
{
    Close();
}

void DbCursor::Close()
{
    sqlite3_finalize(m_st);
    m_st = nullptr;
    m_names.clear();
    m_index.clear();
    m_eof = true;
    m_failed = false;
}

bool DbCursor::fail(const QString &why)
{
    m_error = why;
    return false;
}

bool DbCursor::Prepare(const QString &sql)
{
    Close();
    m_error.clear();
    if (!m_conn || !m_conn->Connected())
        return fail(QStringLiteral("数据库没有连接"));
    const QString text = TranslateDialect(sql);
    // Checked before the engine prepares anything: some statements act while they are
    // being prepared (a key change locks the user out of his own data).
    QString why;
    if (!IsSingleSelect(text, &why))
        return fail(why);
    sqlite3 *db = m_conn->Handle();
    const QByteArray utf8 = text.toUtf8();
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()) + 1, &m_st, &tail)
        != SQLITE_OK) {
        m_st = nullptr;
        return fail(QString::fromUtf8(sqlite3_errmsg(db)));
    }
    if (!m_st)
        return fail(QStringLiteral("空语句"));
    if (!sqlite3_stmt_readonly(m_st)) {
        Close();
        return fail(QStringLiteral("只能执行查询语句"));
    }
    const int cols = sqlite3_column_count(m_st);
    for (int c = 0; c < cols; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(m_st, c));
        m_names << name;
        if (!m_index.contains(name.toLower()))
            m_index.insert(name.toLower(), c);
    }
    return true;
}

bool DbCursor::Bind(int position, const QVariant &value)
{
    if (!m_st)
        return fail(QStringLiteral("查询没有打开"));
    sqlite3_reset(m_st);
    m_eof = true;
    int rc;
    if (value.isNull() || !value.isValid()) {
        rc = sqlite3_bind_null(m_st, position);
    } else {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            rc = sqlite3_bind_int64(m_st, position, value.toLongLong());
            break;
        case QMetaType::Bool:
            rc = sqlite3_bind_int(m_st, position, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_st, position, value.toDouble());
            break;
        default: {
            const QString text = value.typeId() == QMetaType::QDate
                ? value.toDate().toString(QStringLiteral("yyyy-MM-dd"))
                : value.toString();
            const QByteArray utf8 = text.toUtf8();
            rc = sqlite3_bind_text(m_st, position, utf8.constData(), int(utf8.size()),
                                   SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        return fail(QString::fromUtf8(sqlite3_errstr(rc)));
    return true;
}

bool DbCursor::step()
{
    const int rc = sqlite3_step(m_st);
    if (rc == SQLITE_ROW) {
        m_eof = false;
        return true;
    }
    m_eof = true;
    if (rc != SQLITE_DONE) {
        m_failed = true;
        m_error = QString::fromUtf8(sqlite3_errmsg(m_conn->Handle()));
    }
    // Done with the rows, or failed: the statement is reset at once so that it holds no
    // read lock while the caller still has the cursor.
    sqlite3_reset(m_st);
    return false;
}

bool DbCursor::Execute()
{
    if (!m_st)
        return fail(QStringLiteral("查询没有打开"));
    sqlite3_reset(m_st);
    m_failed = false;
    step();
    return !m_failed;
}

bool DbCursor::Open(const QString &sql)
{
    return Prepare(sql) && Execute();
}

bool DbCursor::Next()
{
    if (!m_st || m_eof)
        return false;
    return step();
}

QVariant DbCursor::Value(int column) const
{
    if (!m_st || m_eof || column < 0 || column >= FieldCount())
        return QVariant();
    return columnValue(m_st, column);
}

DbField DbCursor::Field(int column) const
{
    return DbField(Value(column), column >= 0 && column < FieldCount());
}

DbField DbCursor::FieldByName(const QString &name) const
{
    return Field(FieldIndex(name));
}
