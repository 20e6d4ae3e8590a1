#include "ServerBook.h"

#include "BookAddress.h"
#include "BookCopy.h"
#include "Database.h"
#include "DatabaseKey.h"
#include "Settings.h"
#include "pg/PgEngine.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <atomic>

namespace {

QString serverAddress(const QString &database)
{
    QFile file(QStringLiteral(QM_PG_ADDRESS_FILE));
    QString address = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed()
                                                      : QString();
    return address.replace(QStringLiteral(":///qmtest?"),
                           QStringLiteral(":///%1?").arg(database));
}

} // namespace

bool ServerBook::Admin(const QString &sql, QString *out)
{
    QProcess p;
    p.start(QStringLiteral("/usr/lib/postgresql/15/bin/psql"),
            {serverAddress(QStringLiteral("qmtest")), QStringLiteral("-qAtv"),
             QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-c"), sql});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return false;
    if (out)
        *out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    return true;
}

ServerBook::ServerBook(const QString &fileBook)
{
    static std::atomic<int> made{0};
    m_database = QStringLiteral("qmbook%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
    m_address = serverAddress(m_database);
    if (!QFile::exists(QStringLiteral(QM_PG_ADDRESS_FILE))) {
        m_error = QStringLiteral("no test server (fixture pgserver)");
        return;
    }
    if (!Admin(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_database))
        || !Admin(QStringLiteral("CREATE DATABASE %1").arg(m_database))) {
        m_error = QStringLiteral("cannot make database ") + m_database;
        return;
    }
    if (!MakeServerBook(m_address, QString(), BookSchema(true), &m_error) || fileBook.isEmpty())
        return;
    DbConnection file;
    if (!file.Open(fileBook, QString::fromLatin1(DatabasePassword))) {
        m_error = file.LastError();
        return;
    }
    const DbCopyResult moved = MoveBookToServer(file, m_address, QString());
    if (!moved.ok)
        m_error = moved.text;
}

ServerBook::~ServerBook()
{
    Admin(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_database));
}

QString BookAddress(BookEngine engine, const QString &fileBook, std::unique_ptr<ServerBook> *server)
{
    if (engine == BookEngine::File)
        return fileBook;
    *server = std::make_unique<ServerBook>(fileBook);
    return (*server)->Error().isEmpty() ? (*server)->Address() : QString();
}

bool PointSettingsAt(const QString &dir, const QString &address)
{
    return WriteSetting(SettingKey::DatabaseSection, SettingKey::Address, address,
                        dir + QStringLiteral("/Quillmark.ini"));
}

bool OpenBook(DbConnection *db, const QString &address)
{
    return db->Open(address, IsServerBookAddress(address) ? QString()
                                                          : QString::fromLatin1(DatabasePassword));
}

std::string EngineName(BookEngine engine)
{
    return engine == BookEngine::File ? "File" : "Server";
}
