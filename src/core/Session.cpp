// The session's values live here and nowhere else; the main window's controls show them.
#include "Session.h"

#include "BookKind.h"

#include <QObject>
#include <QPointer>

namespace {

struct State
{
    QString user;
    QDate date;
    QString book;
    QPointer<QObject> owner;
    std::function<void()> refresh;
};

State &state()
{
    static State s;
    return s;
}

} // namespace

QString Session::User()
{
    return state().user;
}

void Session::SetUser(const QString &user)
{
    state().user = user;
}

bool Session::IsAdministrator()
{
    return state().user == QStringLiteral("管理员");
}

QDate Session::WorkingDate()
{
    return state().date.isValid() ? state().date : QDate::currentDate();
}

void Session::SetWorkingDate(const QDate &date)
{
    state().date = date;
}

QString Session::Book()
{
    return state().book.isEmpty() ? BookKindOf(BookId::Cash).name : state().book;
}

void Session::SetBook(const QString &book)
{
    state().book = book;
}

void Session::SetRefreshAll(QObject *owner, std::function<void()> refresh)
{
    state().owner = owner;
    state().refresh = owner ? std::move(refresh) : std::function<void()>();
}

bool Session::HasRefreshAll()
{
    return state().owner && state().refresh;
}

void Session::RefreshAll()
{
    // A copy: the refresh may sign someone in again and replace the hook.
    if (!HasRefreshAll())
        return;
    const std::function<void()> refresh = state().refresh;
    refresh();
}

void Session::Reset()
{
    state() = State();
}
