// A server book of a test's own on the throwaway PostgreSQL server of the tests (fixture
// pgserver): a database made afresh with the book's schema, dropped when the object goes.
#pragma once

#include <QString>

class ServerBook
{
public:
    // name: the database, unique within the run (the process id is added).
    explicit ServerBook(const QString &name, bool withSchema = true);
    ~ServerBook();
    ServerBook(const ServerBook &) = delete;
    ServerBook &operator=(const ServerBook &) = delete;

    // The book's libpq address; empty (with a test failure) when it could not be made.
    QString Address() const { return m_address; }
    // The test server's address for a database.
    static QString AddressOf(const QString &database);
    // Runs SQL on the test server as its administrator, in the database qmtest.
    static bool Psql(const QString &sql);

private:
    QString m_database;
    QString m_address;
};
