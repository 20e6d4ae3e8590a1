#include "DbCursor.h"

#include "DbLayerAccess.h"
#include "SqlText.h"

DbCursor::~DbCursor()
{
    Close();
}

void DbCursor::Close()
{
    m_st.reset();
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

// The engine's account of what just failed.
bool DbCursor::engineFailed()
{
    const DbEngine *engine = m_conn ? DbLayerAccess::Engine(*m_conn) : nullptr;
    m_fault = engine ? engine->Fault() : DbFault::None;
    return fail(engine ? engine->LastError() : QStringLiteral("数据库没有连接"));
}

bool DbCursor::Prepare(const QString &sql)
{
    Close();
    m_error.clear();
    m_fault = DbFault::None;
    if (!m_conn || !m_conn->Connected())
        return fail(QStringLiteral("数据库没有连接"));
    DbEngine *engine = DbLayerAccess::Engine(*m_conn);
    const QString text = engine->Translate(sql);
    // Checked before the engine prepares anything: some statements act while they are
    // being prepared (a key change locks the user out of his own data).
    QString why;
    if (!IsSingleSelect(text, &why))
        return fail(why);
    m_st = engine->Prepare(text);
    if (!m_st)
        return engineFailed();
    if (!m_st->ReadsOnly()) {
        Close();
        return fail(QStringLiteral("只能执行查询语句"));
    }
    const int cols = m_st->ColumnCount();
    for (int c = 0; c < cols; ++c) {
        const QString name = m_st->ColumnName(c);
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
    m_eof = true;
    return m_st->Bind(position, value) || engineFailed();
}

bool DbCursor::step()
{
    switch (m_st->Next()) {
    case DbEngineStatement::Step::Row:
        m_eof = false;
        return true;
    case DbEngineStatement::Step::Failed:
        m_failed = true;
        engineFailed();
        break;
    case DbEngineStatement::Step::Done:
        break;
    }
    m_eof = true;
    return false;
}

bool DbCursor::Execute()
{
    if (!m_st)
        return fail(QStringLiteral("查询没有打开"));
    m_st->Reset();
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
    return m_st->Column(column);
}

DbCursor::Raw DbCursor::RawValue(int column) const
{
    if (!m_st || m_eof || column < 0 || column >= FieldCount())
        return Raw();
    return m_st->RawColumn(column);
}

DbField DbCursor::Field(int column) const
{
    return DbField(Value(column), column >= 0 && column < FieldCount());
}

DbField DbCursor::FieldByName(const QString &name) const
{
    return Field(FieldIndex(name));
}
