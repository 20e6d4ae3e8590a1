// The session: what nobody has set yet, what was set, and a refresh hook that goes with
// the window that registered it.
#include "Session.h"

#include <QObject>

#include <gtest/gtest.h>

namespace {

TEST(Session, StartsSignedOutOnTodayInTheCashBook)
{
    Session::SetUser(QStringLiteral("出纳"));
    Session::SetBook(QStringLiteral("应收帐"));
    Session::SetWorkingDate(QDate(2008, 2, 15));
    Session::Reset();
    EXPECT_TRUE(Session::User().isEmpty());
    EXPECT_FALSE(Session::IsAdministrator());
    EXPECT_EQ(Session::WorkingDate(), QDate::currentDate());
    EXPECT_EQ(Session::Book(), QStringLiteral("现金帐"));
    EXPECT_FALSE(Session::HasRefreshAll());
}

TEST(Session, RefreshRunsTheRegisteredHookUntilItsOwnerGoes)
{
    Session::Reset();
    Session::RefreshAll();   // nothing registered: nothing happens
    int first = 0;
    int second = 0;
    auto *owner = new QObject;
    Session::SetRefreshAll(owner, [&first] { ++first; });
    Session::RefreshAll();
    EXPECT_EQ(first, 1);

    QObject other;
    Session::SetRefreshAll(&other, [&second] { ++second; });
    Session::RefreshAll();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);

    Session::SetRefreshAll(owner, [&first] { ++first; });
    delete owner;
    EXPECT_FALSE(Session::HasRefreshAll());
    Session::RefreshAll();
    EXPECT_EQ(first, 1);
    Session::Reset();
}

} // namespace
