// A book on the throwaway test server (fixture pgserver): a database of its own, made from
// a book file the test prepared as usual (its rows moved onto the server as 数据维护 moves
// them) and dropped again when this goes. Tests run on either engine with it: the file
// book stays where it is, the server book's address is what the program is given.
#pragma once

#include <QString>

#include <memory>
#include <string>

enum class BookEngine { File, Server };

class ServerBook
{
public:
    // Moves the rows of the book file at fileBook onto a new server database; with no
    // file, the new server book is left as the schema makes it.
    explicit ServerBook(const QString &fileBook = QString());
    ~ServerBook();
    ServerBook(const ServerBook &) = delete;
    ServerBook &operator=(const ServerBook &) = delete;

    // Empty when the book was made; else why not.
    QString Error() const { return m_error; }
    QString Address() const { return m_address; }
    QString Database() const { return m_database; }

    // Runs statements on the server as its administrator (psql); false when they fail.
    // *out gets the rows, one a line, columns separated by '|'.
    static bool Admin(const QString &sql, QString *out = nullptr);

private:
    QString m_database;
    QString m_address;
    QString m_error;
};

// The book's address and password for the program: the file, or the server book made
// from it (held in *server while the test runs).
QString BookAddress(BookEngine engine, const QString &fileBook,
                    std::unique_ptr<ServerBook> *server);

// Writes the address into the settings file of the program folder at dir, as TFormNetwork
// stores it.
bool PointSettingsAt(const QString &dir, const QString &address);

// Opens the book at the address: a file with the file's password, a server book with the
// user's own credentials.
class DbConnection;
bool OpenBook(DbConnection *db, const QString &address);

// For gtest's parameter names: File, Server.
std::string EngineName(BookEngine engine);
