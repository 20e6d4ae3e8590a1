// The program as main() makes it, for the benchmark: every window created once in start-up
// order, then the main window's start-up (open the database, sign in, first refresh). Only
// the main window's public face is used, so that this file follows the program's changes
// with a few lines.
#pragma once

#include <QString>

#include <memory>

class DbConnection;
class TFormMain;

class BenchSession
{
public:
    BenchSession();
    ~BenchSession();
    BenchSession(const BenchSession &) = delete;
    BenchSession &operator=(const BenchSession &) = delete;

    // Opens the book at this address (a server book) instead of the program folder's
    // file, as the network edition does with the address in its settings file.
    void UseAddress(const QString &address) { m_address = address; }
    // Shows the main window and runs its start-up to a filled window. False when it did
    // not end signed in as the cashier.
    bool Start();
    TFormMain &Main();
    DbConnection &Connection();

private:
    struct Windows;
    std::unique_ptr<Windows> m_windows;
    QString m_address;
};
