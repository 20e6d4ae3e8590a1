#include "DbEngine.h"

#include "SqlCipherEngine.h"
#include "pg/PgEngine.h"

bool IsServerAddress(const QString &address)
{
    return address.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || address.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

std::unique_ptr<DbEngine> MakeEngine(const QString &address)
{
    if (IsServerAddress(address))
        return MakePgEngine();
    return std::make_unique<SqlCipherEngine>();
}
