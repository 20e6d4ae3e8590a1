#include "ServerBook.h"

#include "DbBackup.h"
#include "pg/PgEngine.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

QString ServerBook::AddressOf(const QString &database)
{
    QFile f(QStringLiteral(QM_PG_ADDRESS_FILE));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    QString address = QString::fromUtf8(f.readAll()).trimmed();
    return address.replace(QStringLiteral(":///qmtest?"), QStringLiteral(":///%1?").arg(database));
}

bool ServerBook::Psql(const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("/usr/lib/postgresql/15/bin/psql"),
            {AddressOf(QStringLiteral("qmtest")), QStringLiteral("-qv"),
             QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-c"), sql});
    return p.waitForFinished(30000) && p.exitCode() == 0;
}

ServerBook::ServerBook(const QString &name, bool withSchema)
    : m_database(QStringLiteral("%1_%2").arg(name).arg(QCoreApplication::applicationPid()))
{
    if (!Psql(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_database))
        || !Psql(QStringLiteral("CREATE DATABASE %1").arg(m_database))) {
        ADD_FAILURE() << "the test server cannot make the database " << m_database.toStdString();
        return;
    }
    QString error;
    if (withSchema
        && !MakeServerBook(AddressOf(m_database), QString(), BookSchema(true), &error)) {
        ADD_FAILURE() << error.toStdString();
        return;
    }
    m_address = AddressOf(m_database);
}

ServerBook::~ServerBook()
{
    Psql(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_database));
}
