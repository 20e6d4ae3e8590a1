// The query layer on any statement text, on a copy of the prepared database: whatever the
// text, nothing in the database changes and no key or setting of the connection is
// touched; a refusal is a refusal, never a crash.
#include "Database.h"
#include "DatabaseKey.h"
#include "DbCursor.h"
#include "Scratch.h"
#include "SqlCipherEngine.h"

#include <QFile>
#include <QString>

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

DbConnection &connection()
{
    static DbConnection *conn = [] {
        const QString copy = ScratchFile(QStringLiteral("Quillmark.MDB"));
        if (!QFile::copy(QStringLiteral(QM_PREPARED_DATABASE), copy))
            std::abort();
        auto *c = new DbConnection;
        if (!c->Open(copy, QString::fromLatin1(DatabasePassword)))
            std::abort();
        // Keeps a statement from asking for gigabytes: the program's own never come near.
        sqlite3_limit(SqlCipherHandle(*c), SQLITE_LIMIT_LENGTH, 1 << 20);
        return c;
    }();
    return *conn;
}

int schemaVersion(sqlite3 *db)
{
    sqlite3_stmt *st = nullptr;
    int version = -1;
    if (sqlite3_prepare_v2(db, "PRAGMA schema_version", -1, &st, nullptr) == SQLITE_OK
        && sqlite3_step(st) == SQLITE_ROW)
        version = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    return version;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    DbConnection &conn = connection();
    sqlite3 *db = SqlCipherHandle(conn);
    static const int schema = schemaVersion(db);
    const QString sql = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const int changes = sqlite3_total_changes(db);

    DbQuery query(&conn);
    query.SetSQL(sql);
    if (query.Open())
        for (query.First(); !query.Eof(); query.Next())
            for (const QString &field : query.FieldNames())
                query.FieldByName(field).AsString();
    query.Close();
    DbCursor cursor(&conn);
    if (cursor.Open(sql))
        while (cursor.Next()) {
        }
    cursor.Close();

    if (sqlite3_total_changes(db) != changes || schemaVersion(db) != schema
        || !sqlite3_get_autocommit(db))
        Broken();
    return 0;
}
