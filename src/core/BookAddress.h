// A book's address as the settings file keeps it (key Address of "数据库内容"): the path of
// a book file, or the address of a book on a PostgreSQL server,
//   postgresql://user@host:port/database?sslmode=require
//   postgresql:///database?host=/run/postgresql        (a local server's socket folder)
// The server password is never part of a stored address: libpq takes it from the user's
// password file (~/.pgpass, PGPASSFILE), or the program asks for it and keeps it in memory.
#pragma once

#include <QString>

// Whether the address names a server book (postgresql:// or postgres://, in any case of
// the letters) rather than a file.
bool IsServerBookAddress(const QString &address);

// Why a server address cannot be used or stored, in words for the user; empty when it
// can. A password in the address (user:secret@, ?password=) is refused: it would be
// written to the settings file.
QString ServerAddressProblem(const QString &address);

// Whether the address carries a password (user:secret@ or a password= parameter).
bool AddressCarriesPassword(const QString &address);

// The address as the user may see it: a file path in the system's way of writing it; a
// server address without any password it carries.
QString AddressForDisplay(const QString &address);
