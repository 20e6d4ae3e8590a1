#include "DbCursor.h"

#include "EngineValue.h"
#include "SqlText.h"

#include <sqlite3.h>

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
    m_fault = DbFault::None;
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
        return fail(EngineFailure(db, &m_fault));
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
    const int rc = BindEngineValue(m_st, position, value);
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
        m_error = EngineFailure(m_conn->Handle(), &m_fault);
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
    m_fault = DbFault::None;
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
    return EngineColumnValue(m_st, column);
}

DbCursor::Raw DbCursor::RawValue(int column) const
{
    Raw raw;
    if (!m_st || m_eof || column < 0 || column >= FieldCount())
        return raw;
    switch (sqlite3_column_type(m_st, column)) {
    case SQLITE_INTEGER:
        raw.kind = Raw::Integer;
        raw.number = double(sqlite3_column_int64(m_st, column));
        break;
    case SQLITE_FLOAT:
        raw.kind = Raw::Float;
        raw.number = sqlite3_column_double(m_st, column);
        break;
    case SQLITE_TEXT:
        raw.kind = Raw::Text;
        raw.text = reinterpret_cast<const char *>(sqlite3_column_text(m_st, column));
        raw.bytes = sqlite3_column_bytes(m_st, column);
        break;
    default:
        break;
    }
    return raw;
}

DbField DbCursor::Field(int column) const
{
    return DbField(Value(column), column >= 0 && column < FieldCount());
}

DbField DbCursor::FieldByName(const QString &name) const
{
    return Field(FieldIndex(name));
}
