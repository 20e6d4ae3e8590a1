// Who works, on which day and in which account book: set by the main window at sign-in,
// by its date field and by the book chooser, read by every other window through core,
// so no window needs the main window's header. Also the one "refresh everything" that a
// window calls after it changed stored data.
#pragma once

#include <QDate>
#include <QString>

#include <functional>

class QObject;

class Session
{
public:
    Session() = delete;

    // The signed-in user's name (his role for 管理员, 出纳 and 查看); empty before sign-in.
    static QString User();
    static void SetUser(const QString &user);
    static bool IsAdministrator();

    // The working date; today until the main window sets it.
    static QDate WorkingDate();
    static void SetWorkingDate(const QDate &date);

    // The account book, a name of BookKinds(); the cash book until one is chosen.
    static QString Book();
    static void SetBook(const QString &book);

    // Runs the refresh that owner registered (the main window's RefreshAll). The hook is
    // dropped when its owner is destroyed; without one nothing happens.
    static void SetRefreshAll(QObject *owner, std::function<void()> refresh);
    static void RefreshAll();
    static bool HasRefreshAll();

    // Back to nobody signed in, today, the cash book and no refresh: for tests.
    static void Reset();
};
