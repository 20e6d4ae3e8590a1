#include "DatabaseDump.h"

#include "Database.h"
#include "DatabaseKey.h"

QStringList DumpDatabase(DbConnection &connection)
{
    QStringList lines;
    for (const char *table : {"Account", "Customer", "MoneyTable", "Parameter", "Setting",
                              "Power", "PrintTable", "PrintReport"}) {
        DbQuery q(&connection);
        q.SetSQL(QStringLiteral("Select * From %1").arg(QLatin1String(table)));
        if (!q.Open())
            return {};
        for (q.First(); !q.Eof(); q.Next()) {
            QStringList values{QLatin1String(table)};
            for (const QString &field : q.FieldNames())
                values << q.FieldByName(field).Value().toString();
            lines << values.join(QLatin1Char('|'));
        }
    }
    return lines;
}

QStringList DumpDatabaseFile(const QString &path)
{
    DbConnection connection;
    if (!connection.Open(path, QString::fromLatin1(DatabasePassword)))
        return {};
    return DumpDatabase(connection);
}
