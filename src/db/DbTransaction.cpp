#include "DbTransaction.h"

#include "Database.h"

DbTransaction::DbTransaction(DbConnection *connection) : m_conn(connection)
{
    if (!m_conn || !m_conn->Connected()) {
        m_error = QStringLiteral("数据库没有连接");
        return;
    }
    m_active = m_conn->BeginTrans();
    if (!m_active) {
        m_error = m_conn->LastError();
        m_fault = m_conn->Fault();
    }
}

DbTransaction::~DbTransaction()
{
    if (m_active)
        m_conn->RollbackTrans();
}

bool DbTransaction::Commit()
{
    if (!m_active) {
        m_error = QStringLiteral("事务没有开始");
        return false;
    }
    if (!m_conn->CommitTrans()) {
        m_error = m_conn->LastError();
        m_fault = m_conn->Fault();
        return false;
    }
    m_active = false;
    return true;
}

bool DbTransaction::Rollback()
{
    if (!m_active) {
        m_error = QStringLiteral("事务没有开始");
        return false;
    }
    m_active = false;
    if (!m_conn->RollbackTrans()) {
        m_error = m_conn->LastError();
        return false;
    }
    return true;
}
