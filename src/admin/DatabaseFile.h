// What the maintenance page and the database address window say about database files:
// the filter of their file dialogs and why a chosen file cannot be used.
#pragma once

#include <QString>

class DbConnection;

// The file dialogs' one filter: Mdb Files, in either case of the extension.
QString DatabaseFileFilter();

// Why path did not open on connection (just refused by DbConnection::Open), in words for
// the user, with the file's path.
QString UnusableDatabaseMessage(const DbConnection &connection, const QString &path);
