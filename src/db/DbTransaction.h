// A transaction that rolls back unless it is committed: bulk rewrites (the printouts'
// scratch tables) and other changes that must not half-happen run inside one.
//
//     DbTransaction trans(&ShareDataModule->ADOConnection1);
//     if (!trans.Active()) ... report trans.LastError()
//     ... Edit, SetField, Post through a DbQuery; return on the first failure ...
//     if (!trans.Commit()) ... report trans.LastError()
//
// Leaving the scope early, on a failure or an exception, rolls back every change made
// since the start. Writing row by row inside one transaction is also what makes a
// rewrite of thousands of rows fast: the file is synced once, at the commit.
#pragma once

#include "Database.h"

#include <QString>

class DbTransaction
{
public:
    // Begins a transaction on the connection; Active() is false, with LastError(), when
    // it could not begin (no connection, or a transaction already running).
    explicit DbTransaction(DbConnection *connection);
    ~DbTransaction();
    DbTransaction(const DbTransaction &) = delete;
    DbTransaction &operator=(const DbTransaction &) = delete;

    bool Active() const { return m_active; }
    // Makes the changes permanent. False, with LastError(), when the engine refuses; the
    // transaction then stays open and is rolled back at the end of the scope.
    bool Commit();
    // Undoes the changes now.
    bool Rollback();
    QString LastError() const { return m_error; }
    // The fault behind the last failure to begin or commit (another computer holding the
    // file, a damaged file, …); None when there was none or the cause was another.
    DbFault Fault() const { return m_fault; }

private:
    DbConnection *m_conn;
    bool m_active = false;
    QString m_error;
    DbFault m_fault = DbFault::None;
};
