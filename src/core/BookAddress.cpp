#include "BookAddress.h"

#include "DbEngine.h"

#include <QDir>
#include <QStringList>
#include <QUrl>

#include <algorithm>

namespace {

const QStringList Schemes{QStringLiteral("postgresql://"), QStringLiteral("postgres://")};

// The parameters libpq takes in an address that a shop's book may need. password is not
// among them: it is refused separately.
const QStringList KnownParameters{
    QStringLiteral("host"),        QStringLiteral("hostaddr"),
    QStringLiteral("port"),        QStringLiteral("user"),
    QStringLiteral("dbname"),      QStringLiteral("sslmode"),
    QStringLiteral("sslrootcert"), QStringLiteral("sslcert"),
    QStringLiteral("sslkey"),      QStringLiteral("sslcrl"),
    QStringLiteral("connect_timeout"), QStringLiteral("application_name"),
    QStringLiteral("passfile"),    QStringLiteral("target_session_attrs"),
    QStringLiteral("keepalives"),  QStringLiteral("keepalives_idle")};

const QStringList SslModes{QStringLiteral("disable"), QStringLiteral("allow"),
                           QStringLiteral("prefer"), QStringLiteral("require"),
                           QStringLiteral("verify-ca"), QStringLiteral("verify-full")};

// An address cut at its separators; the texts still percent-encoded.
struct ServerParts
{
    QString scheme;
    QString user;        // before '@', without the password
    bool hasUser = false;
    bool hasPassword = false;
    QString hosts;       // host[:port][,host[:port]...]
    QString database;
    bool hasDatabase = false;
    QStringList parameters;   // key=value
};

ServerParts split(const QString &address)
{
    ServerParts p;
    QString rest = address.trimmed();
    for (const QString &scheme : Schemes)
        if (rest.startsWith(scheme, Qt::CaseInsensitive)) {
            p.scheme = rest.left(scheme.size());
            rest = rest.mid(scheme.size());
            break;
        }
    const int query = rest.indexOf(QLatin1Char('?'));
    if (query >= 0) {
        p.parameters = rest.mid(query + 1).split(QLatin1Char('&'), Qt::SkipEmptyParts);
        rest = rest.left(query);
    }
    const int slash = rest.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        p.hasDatabase = true;
        p.database = rest.mid(slash + 1);
        rest = rest.left(slash);
    }
    const int at = rest.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        p.hasUser = true;
        QString user = rest.left(at);
        const int colon = user.indexOf(QLatin1Char(':'));
        if (colon >= 0) {
            p.hasPassword = true;
            user = user.left(colon);
        }
        p.user = user;
        rest = rest.mid(at + 1);
    }
    p.hosts = rest;
    return p;
}

QString decoded(const QString &text)
{
    return QUrl::fromPercentEncoding(text.toUtf8());
}

bool isPort(const QString &text)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    return ok && port >= 1 && port <= 65535
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

bool isHostName(const QString &host)
{
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        return host.size() > 2;   // an IPv6 address, which libpq reads itself
    for (const QChar c : host)
        if (!(c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('-')
              || c == QLatin1Char('_') || c == QLatin1Char('%')))
            return false;
    return true;
}

// Why one host[:port] of the address is wrong; empty when it is right.
QString hostProblem(const QString &spec)
{
    QString host = spec;
    QString port;
    const int close = spec.lastIndexOf(QLatin1Char(']'));
    const int colon = spec.lastIndexOf(QLatin1Char(':'));
    if (colon > close) {
        host = spec.left(colon);
        port = spec.mid(colon + 1);
        if (!isPort(port))
            return QStringLiteral("端口号“%1”不对，应当是 1 到 65535 之间的数字").arg(port);
    }
    if (!isHostName(host))
        return QStringLiteral("服务器名“%1”不对").arg(host);
    return QString();
}

// Why the parts do not make an address the program can use; the password aside.
QString formProblem(const ServerParts &p)
{
    const QStringList hosts = p.hosts.split(QLatin1Char(','));
    for (const QString &host : hosts) {
        if (host.isEmpty() && hosts.size() > 1)
            return QStringLiteral("服务器名不能是空的");
        if (!host.isEmpty()) {
            const QString problem = hostProblem(host);
            if (!problem.isEmpty())
                return problem;
        }
    }
    if (p.hasUser && p.user.isEmpty())
        return QStringLiteral("“@”前面没有写用户名");
    bool databaseParameter = false;
    for (const QString &parameter : p.parameters) {
        const int equals = parameter.indexOf(QLatin1Char('='));
        const QString key = parameter.left(equals);
        const QString value = equals < 0 ? QString() : decoded(parameter.mid(equals + 1));
        if (!KnownParameters.contains(key))
            return QStringLiteral("不认识参数“%1”").arg(key);
        if (value.isEmpty())
            return QStringLiteral("参数“%1”没有值").arg(key);
        if (key == QLatin1String("sslmode") && !SslModes.contains(value))
            return QStringLiteral("sslmode 的值“%1”不对，应当是 %2 之一")
                .arg(value, SslModes.join(QStringLiteral("、")));
        if (key == QLatin1String("port") && !isPort(value))
            return QStringLiteral("端口号“%1”不对，应当是 1 到 65535 之间的数字").arg(value);
        if (key == QLatin1String("dbname"))
            databaseParameter = true;
    }
    if (p.database.contains(QLatin1Char('/')))
        return QStringLiteral("数据库名“%1”中不能有“/”").arg(decoded(p.database));
    if (p.database.isEmpty() && !databaseParameter)
        return QStringLiteral("没有写数据库名");
    return QString();
}

bool passwordParameter(const QString &parameter)
{
    return parameter.section(QLatin1Char('='), 0, 0) == QLatin1String("password");
}

} // namespace

bool IsServerBookAddress(const QString &address)
{
    return IsServerAddress(address.trimmed());
}

bool AddressCarriesPassword(const QString &address)
{
    if (!IsServerBookAddress(address))
        return false;
    const ServerParts p = split(address);
    return p.hasPassword || std::any_of(p.parameters.begin(), p.parameters.end(), passwordParameter);
}

QString ServerAddressProblem(const QString &address)
{
    if (!IsServerBookAddress(address))
        return QStringLiteral("“%1”不是数据库服务器的地址").arg(address);
    if (AddressCarriesPassword(address))
        return QStringLiteral("服务器地址中不能写密码：地址会保存在设置文件中，密码不能保存在那里。\n"
                              "请去掉地址中的密码（“用户名:密码@”中的冒号和密码），把密码写进 "
                              "PostgreSQL 的密码文件（~/.pgpass），或者在软件启动时按提示输入。");
    const QString trimmed = address.trimmed();
    QString problem;
    if (std::any_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c.isSpace(); }))
        problem = QStringLiteral("地址中不能有空格");
    else
        problem = formProblem(split(trimmed));
    if (problem.isEmpty())
        return QString();
    return QStringLiteral("服务器地址的格式不对：%1。\n地址应当像这样："
                          "postgresql://用户名@服务器:5432/数据库名?sslmode=require")
        .arg(problem);
}

QString AddressForDisplay(const QString &address)
{
    if (!IsServerBookAddress(address))
        return QDir::toNativeSeparators(address);
    const ServerParts p = split(address);
    QString shown = p.scheme;
    if (p.hasUser)
        shown += p.user + QLatin1Char('@');
    shown += p.hosts;
    if (p.hasDatabase)
        shown += QLatin1Char('/') + p.database;
    QStringList kept;
    for (const QString &parameter : p.parameters)
        if (!passwordParameter(parameter))
            kept << parameter;
    if (!kept.isEmpty())
        shown += QLatin1Char('?') + kept.join(QLatin1Char('&'));
    return shown;
}
