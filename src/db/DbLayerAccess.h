// Inside the query layer only: the engine behind a connection, for the recordset, the
// cursor, the copies of a book and the engines' own narrow doors (SqlCipherHandle).
#pragma once

#include "Database.h"

class DbLayerAccess
{
public:
    // Null while the connection has never opened a book.
    static DbEngine *Engine(const DbConnection &connection)
    {
        return connection.m_engine.get();
    }
};
