#include "DbEngine.h"

#include "SqlCipherEngine.h"

bool IsServerAddress(const QString &address)
{
    return address.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || address.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

std::unique_ptr<DbEngine> MakeEngine(const QString &address)
{
    // No server engine is built in yet: DbConnection::Open says so for a server address.
    if (IsServerAddress(address))
        return nullptr;
    return std::make_unique<SqlCipherEngine>();
}
