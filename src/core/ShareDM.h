// The shared data module: the one connection to the database, the two scratch queries
// every window may use, the run-query helper and the document-number routines.
#pragma once

#include "Database.h"
#include "BookOpen.h"

#include <QHash>
#include <QString>

#include <functional>

class TShareDataModule
{
public:
    TShareDataModule();
    ~TShareDataModule();
    TShareDataModule(const TShareDataModule &) = delete;
    TShareDataModule &operator=(const TShareDataModule &) = delete;

    DbConnection ADOConnection1;
    DbQuery ADOQueryTemp{&ADOConnection1};
    DbQuery ADOQueryTemp2{&ADOConnection1};

    // Opens the database at start-up: Quillmark.MDB beside the program, or with network
    // mode on the path kept in the settings file. Shows what went wrong and returns false
    // when the program cannot go on.
    bool OpenDatabase();
    // Opens the connection on one book: a file with the database password, or a server
    // book (OpenServerBook); a clear message and false when it will not open.
    bool ConnectDatabase(const QString &address);

    // Opens the server book at address on connection. When the server asks for a password
    // that the user's password file does not give, asks for it (AskServerPassword), and
    // again after a wrong one, three times at most; a password that opened the book is
    // kept in memory for that address until the program ends, never written anywhere.
    // Shows what went wrong and returns false; false without a message when the user
    // cancels the password window.
    bool OpenServerBook(DbConnection &connection, const QString &address);
    // The server password typed for the address during this run; empty when none was.
    QString ServerPassword(const QString &address) const;

    // Asks for the server password of the address shown; hint, when not empty, says why
    // it asks again. False when the user cancels.
    std::function<bool(const QString &shownAddress, const QString &hint, QString *password)>
        AskServerPassword;
    // How a book is opened on a connection; tests put a server of their own here.
    std::function<BookOpenFailure(DbConnection &, const QString &address,
                                const QString &password)>
        OpenBook = OpenBookAt;

    // Asked with network mode on when no database is found at the stored address: shows
    // the database address window, which connects itself; false when cancelled.
    std::function<bool()> AskDatabaseAddress;

private:
    QHash<QString, QString> m_serverPasswords;
};

extern TShareDataModule *ShareDataModule;

// Closes the query, sets its statement and opens it. When any step fails, shows message
// once in a plain box and returns false; the caller then reads and writes nothing.
bool RunQuery(DbQuery &query, const QString &statement, const QString &message);

// Appends the names of the customers the user may see (CustomerFilter), in the order they
// were made, read through a cursor: a book may hold tens of thousands of customers. When
// they cannot be read, shows "客户读入失败" as RunQuery would and returns false.
bool ReadCustomerNames(QStringList *names);

// Appends the values of the pick list of that type (Parameter, 1 to 4), in table order.
// When they cannot be read, shows "参数读入失败" as RunQuery does and returns false.
bool ReadPickList(int type, QStringList *values);

// The database file in a program folder: Quillmark.MDB, or a file whose name differs from
// it only in the case of its letters (Quillmark.mdb); Quillmark.MDB when there is none.
QString DatabaseFileIn(const QString &dir);

// The message shown when the database file is not where it should be.
QString MissingDatabaseMessage();

// Why the server book at address did not open, in words for the user; error is the
// server's own text, added for whoever looks after the server.
QString ServerOpenMessage(BookOpenFailure failure, const QString &address, const QString &error);

// The document number after last: the tail from the first digit 1-9 counted up by one,
// after the prefix kept as it stands (NO0009 gives NO00010). Empty when last is empty,
// has no digit 1-9, or its tail is not a number whose next one stays within
// 2147483647.
QString NextDocumentNumber(const QString &last);

// True when the text is empty, holds no digit 1-9, or is all digits from its first digit
// 1-9 on: letters and signs may only stand before the first non-zero digit.
bool IsValidDocumentNumber(const QString &text);
