// The main window through the UI seam: start-up and sign-in per role, re-login, the two
// card layouts, resizing and the fixed border, paging, the focus, the hover highlight,
// card clicks, the date buttons and the session the window keeps.
#include "FormChose.h"
#include "FormLogin.h"
#include "FormMain.h"
#include "Program.h"
#include "FormOnlineChat.h"
#include "FormWelcome.h"
#include "Globals.h"
#include "Registry.h"
#include "ScriptedUi.h"
#include "Scripts.h"
#include "Session.h"
#include "Settings.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QToolButton>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

class MainWindow : public ::testing::Test
{
protected:
    // The rows a test adds before start-up go in through the same connection.
    void SetUp() override
    {
        ASSERT_TRUE(dm.ConnectDatabase(folder.Database()));
        RegisterWindows(FormMain, &main, FormLogin, &login, FormWelcome, &welcome, FormChose,
                        &chose, FormOnlineChat, &chat);
    }

    // The administrator gets no book chooser; everyone else does.
    void startAs(const QString &user, const QString &password = QString(), int book = -1)
    {
        ScriptSignIn(ui, user, password);
        if (user != QStringLiteral("管理员"))
            ScriptBook(ui, book);
        EXPECT_EQ(TProgram::SignIn(main, welcome, chose), TProgram::StartResult::SignedIn);
    }

    // A key typed wherever the keyboard focus of the main window is.
    void typeDigit()
    {
        QWidget *target = main.focusWidget() ? main.focusWidget() : &main;
        for (QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent key(t, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
            QCoreApplication::sendEvent(target, &key);
        }
    }

    static void waitFor(const std::function<bool()> &done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    void addRows(const QString &table, int n, const QString &type = QStringLiteral("现金帐"),
                 const QString &owner = QStringLiteral("出纳"))
    {
        DbQuery q(&dm.ADOConnection1);
        q.SetSQL(QStringLiteral("Select * From %1 Where 1 = 0").arg(table));
        ASSERT_TRUE(q.Open());
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(q.Append());
            if (table == QLatin1String("Account")) {
                q.SetField(QStringLiteral("AccountName"), QStringLiteral("帐户%1").arg(i + 1));
                q.SetField(QStringLiteral("AccountType"), type);
                q.SetField(QStringLiteral("AccountPower"), owner);
            } else {
                q.SetField(QStringLiteral("CustomerName"), QStringLiteral("客户%1").arg(i + 1));
                q.SetField(QStringLiteral("CustomerPower"), owner);
            }
            ASSERT_TRUE(q.Post());
        }
    }

    void addUser(const QString &name, const QString &key)
    {
        DbQuery q(&dm.ADOConnection1);
        q.SetSQL(QStringLiteral("Select * From Power"));
        ASSERT_TRUE(q.Open());
        ASSERT_TRUE(q.Append());
        q.SetField(QStringLiteral("PowerName"), name);
        q.SetField(QStringLiteral("PowerKey"), key);
        ASSERT_TRUE(q.Post());
    }

    int shownCards(const TCardPage &page) const
    {
        int n = 0;
        for (const TCard &c : page.Cards)
            n += c.Panel->isHidden() ? 0 : 1;
        return n;
    }

    QList<int> visibleTabs() const
    {
        QList<int> tabs;
        for (int i = 0; i < main.PageControl1->count(); ++i)
            if (main.PageControl1->isTabVisible(i))
                tabs << i;
        return tabs;
    }

    static void moveOver(QWidget *w)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &move);
    }

    static void clickOn(QWidget *w)
    {
        for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(t, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::LeftButton,
                          t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(w, &e);
        }
    }

    TestFolder folder;
    ScriptedUi ui;
    TShareDataModule dm;
    Registration<TShareDataModule> dmSlot{ShareDataModule, &dm};
    TFormMain main;
    TFormLogin login{&main};
    TFormWelcome welcome{&main};
    TFormChose chose{&main};
    TFormOnlineChat chat{&main};
};

TEST_F(MainWindow, FirstStartSignsInTheCashierAndKeepsTheCashBook)
{
    ASSERT_FALSE(QFile::exists(SettingsFile));
    ui.OnModal(QStringLiteral("FormWelcome"), [](QDialog *d) {
        d->findChild<QPushButton *>(QStringLiteral("ButtonLogin"))->click();
    });
    QString preselected;
    ui.OnModal(QStringLiteral("FormLogin"), [&](QDialog *d) {
        preselected = d->findChild<QComboBox *>(QStringLiteral("ComboBox1"))->currentText();
        d->findChild<QPushButton *>(QStringLiteral("ButtonYes"))->click();
    });
    ScriptBook(ui, -1);
    EXPECT_EQ(TProgram::SignIn(main, welcome, chose), TProgram::StartResult::SignedIn);

    EXPECT_EQ(preselected, QStringLiteral("出纳"));
    EXPECT_EQ(ui.Shows(), (QStringList{"FormWelcome", "FormLogin", "FormChose"}));
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(' ').toStdString();
    EXPECT_EQ(main.LabelUser->text(), QStringLiteral("出纳"));
    EXPECT_EQ(main.DateTimePicker1->date(), QDate::currentDate());
    EXPECT_EQ(CurrentAccountBook(), QStringLiteral("现金帐"));
    EXPECT_EQ(AccountFilter, QStringLiteral(" And (AccountType = '现金帐')"));
    EXPECT_FALSE(main.Image1->pixmap().isNull());
    EXPECT_EQ(visibleTabs(), (QList<int>{0, 1, 2, 3}));
    EXPECT_EQ(main.PageControl1->currentIndex(), 0);
    // No accounts and no customers yet: hint pictures and disabled paging.
    EXPECT_FALSE(main.ImageAccount->isHidden());
    EXPECT_FALSE(main.ImageCustomer->isHidden());
    EXPECT_FALSE(main.NextAccount->isEnabled());
    EXPECT_FALSE(main.PriorCustomer->isEnabled());
    EXPECT_EQ(shownCards(main.AccountPage), 0);
}

struct RoleCase
{
    const char *user;
    const char *password;
    QList<int> tabs;
    int current;
    bool chooser;
    const char *accountFilter;
    const char *moneyFilter;
};

class Roles : public MainWindow, public ::testing::WithParamInterface<RoleCase> {};

TEST_P(Roles, PagesAndFiltersFollowTheSignedInName)
{
    const RoleCase c = GetParam();
    addUser(QStringLiteral("王五"), QStringLiteral("w5"));
    addUser(QStringLiteral("O'Neil"), QStringLiteral("x"));
    startAs(QString::fromUtf8(c.user), QString::fromUtf8(c.password), 1);
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(' ').toStdString();
    EXPECT_EQ(main.LabelUser->text(), QString::fromUtf8(c.user));
    EXPECT_EQ(visibleTabs(), c.tabs);
    EXPECT_EQ(main.PageControl1->currentIndex(), c.current);
    EXPECT_EQ(ui.Shows().contains(QStringLiteral("FormChose")), c.chooser);
    if (c.chooser) {
        EXPECT_EQ(AccountFilter.toStdString(), c.accountFilter);
        EXPECT_EQ(MoneyFilter.toStdString(), c.moneyFilter);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Roles, ::testing::Values(
    RoleCase{"管理员", "admin", {4, 5}, 4, false, "", ""},
    RoleCase{"出纳", "", {0, 1, 2, 3}, 0, true, " And (AccountType = '应收帐')", ""},
    RoleCase{"查看", "", {0, 1, 2, 3}, 0, true, " And (AccountType = '应收帐')", ""},
    RoleCase{"王五", "w5", {0, 1, 2, 3}, 0, true,
             " And (AccountType = '应收帐') And ((AccountPower = '王五') Or (AccountPower = '出纳'))",
             " And (MoneyPower='王五')"},
    RoleCase{"O'Neil", "x", {0, 1, 2, 3}, 0, true,
             " And (AccountType = '应收帐') And ((AccountPower = 'O''Neil') Or (AccountPower = '出纳'))",
             " And (MoneyPower='O''Neil')"}));

TEST_F(MainWindow, OtherUsersSeeTheirOwnAndTheCashiersAccounts)
{
    addUser(QStringLiteral("王五"), QString());
    addRows(QStringLiteral("Account"), 2, QStringLiteral("现金帐"), QStringLiteral("出纳"));
    addRows(QStringLiteral("Account"), 3, QStringLiteral("现金帐"), QStringLiteral("王五"));
    addRows(QStringLiteral("Account"), 4, QStringLiteral("现金帐"), QStringLiteral("赵六"));
    addRows(QStringLiteral("Account"), 5, QStringLiteral("应付帐"), QStringLiteral("出纳"));
    startAs(QStringLiteral("王五"));
    EXPECT_EQ(shownCards(main.AccountPage), 5);
    ScriptSignIn(ui, QStringLiteral("王五"), QString());
    main.ActionLoginExecute();
    EXPECT_EQ(shownCards(main.AccountPage), 5);
    ScriptSignIn(ui, QStringLiteral("出纳"), QString());
    main.ActionLoginExecute();
    EXPECT_EQ(shownCards(main.AccountPage), 9);
}

TEST_F(MainWindow, SigningInAgainSwitchesPagesAndKeepsTheBook)
{
    startAs(QStringLiteral("出纳"), QString(), 2);
    ASSERT_EQ(CurrentAccountBook(), QStringLiteral("应付帐"));

    // A cancelled re-login changes nothing.
    ui.OnModal(QStringLiteral("FormWelcome"), [](QDialog *) {});
    main.ActionLoginExecute();
    EXPECT_EQ(main.LabelUser->text(), QStringLiteral("出纳"));
    EXPECT_EQ(visibleTabs(), (QList<int>{0, 1, 2, 3}));

    ScriptSignIn(ui, QStringLiteral("管理员"), QStringLiteral("admin"));
    main.ActionLoginExecute();
    EXPECT_EQ(main.LabelUser->text(), QStringLiteral("管理员"));
    EXPECT_EQ(visibleTabs(), (QList<int>{4, 5}));
    EXPECT_EQ(main.PageControl1->currentIndex(), 4);

    ScriptSignIn(ui, QStringLiteral("查看"), QString());
    main.ActionLoginExecute();
    EXPECT_EQ(visibleTabs(), (QList<int>{0, 1, 2, 3}));
    EXPECT_EQ(main.PageControl1->currentIndex(), 0);
    EXPECT_EQ(ui.Shows().count(QStringLiteral("FormChose")), 1);
    EXPECT_EQ(AccountFilter, QStringLiteral(" And (AccountType = '应付帐')"));
}

TEST_F(MainWindow, StartUpEndsWhenTheDatabaseIsMissingOrTheWelcomeIsClosed)
{
    ASSERT_TRUE(QFile::remove(folder.Database()));
    EXPECT_EQ(TProgram::SignIn(main, welcome, chose), TProgram::StartResult::Failed);
    EXPECT_EQ(ui.Messages(), QStringList{MissingDatabaseMessage()});
    EXPECT_TRUE(ui.Shows().isEmpty());
    EXPECT_FALSE(main.isVisible());

    TFormMain second;
    ASSERT_TRUE(QFile::copy(TestFolder::PreparedDatabase(), folder.Database()));
    ui.Clear();
    ui.OnModal(QStringLiteral("FormWelcome"), [](QDialog *) {});
    EXPECT_EQ(TProgram::SignIn(second, welcome, chose), TProgram::StartResult::Cancelled);
    EXPECT_EQ(ui.Shows(), QStringList{QStringLiteral("FormWelcome")});
    EXPECT_FALSE(second.isVisible());
    EXPECT_EQ(second.LabelUser->text(), QStringLiteral("未登录"));
    EXPECT_TRUE(Session::User().isEmpty());
    EXPECT_FALSE(second.AccountPage.Created());
}

// The window is built and signed in while hidden: whoever starts it shows it afterwards,
// with the pages of the signed-in role only.
TEST_F(MainWindow, NothingShowsBeforeSomeoneHasSignedIn)
{
    bool mainVisibleDuringSignIn = true;
    ui.OnModal(QStringLiteral("FormWelcome"), [&](QDialog *d) {
        mainVisibleDuringSignIn = main.isVisible();
        d->findChild<QPushButton *>(QStringLiteral("ButtonLogin"))->click();
    });
    ui.OnModal(QStringLiteral("FormLogin"), [](QDialog *d) {
        auto *combo = d->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        combo->setCurrentIndex(combo->findText(QStringLiteral("管理员")));
        d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("admin"));
        d->findChild<QPushButton *>(QStringLiteral("ButtonYes"))->click();
    });
    EXPECT_EQ(TProgram::SignIn(main, welcome, chose), TProgram::StartResult::SignedIn);
    EXPECT_FALSE(mainVisibleDuringSignIn);
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(visibleTabs(), (QList<int>{4, 5}));
}

struct PlaceCase { const char *control; QPoint standard; QPoint large; };

class ControlPlaces : public MainWindow, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(ControlPlaces, StandardAndLargeLayouts)
{
    startAs(QStringLiteral("出纳"));
    auto *w = main.findChild<QWidget *>(QString::fromUtf8(GetParam().control));
    ASSERT_NE(w, nullptr) << GetParam().control;
    main.ApplyCardLayout(true);
    main.ApplyCardLayout(true);
    EXPECT_EQ(w->pos(), GetParam().large);
    main.ApplyCardLayout(false);
    main.ApplyCardLayout(false);
    EXPECT_EQ(w->pos(), GetParam().standard);
}

INSTANTIATE_TEST_SUITE_P(Table, ControlPlaces, ::testing::Values(
    PlaceCase{"AccountSum", {24, 444}, {44, 618}}, PlaceCase{"CustomerSum", {24, 444}, {44, 618}},
    PlaceCase{"ImageAccount", {152, 292}, {192, 466}},
    PlaceCase{"ImageCustomer", {152, 292}, {192, 466}},
    PlaceCase{"PriorAccount", {184, 444}, {224, 618}},
    PlaceCase{"NewCustomer", {336, 444}, {376, 618}},
    PlaceCase{"NextAccount", {488, 444}, {528, 618}},
    PlaceCase{"NextCustomer", {488, 444}, {528, 618}},
    PlaceCase{"SpeedButton7", {672, 15}, {902, 15}}, PlaceCase{"SpeedButton3", {672, 95}, {902, 95}},
    PlaceCase{"SpeedButton6", {672, 15}, {902, 15}}, PlaceCase{"PanelSetting", {0, 0}, {120, 60}},
    PlaceCase{"AccountPanel1", {8, 8}, {8, 8}}, PlaceCase{"AccountPanel3", {440, 8}, {440, 8}},
    PlaceCase{"AccountPanel4", {8, 94}, {656, 8}}, PlaceCase{"CustomerPanel5", {224, 94}, {8, 94}},
    PlaceCase{"CustomerPanel15", {440, 352}, {440, 266}},
    PlaceCase{"AccountPanel28", {8, 782}, {656, 524}}));

TEST_F(MainWindow, CardsShareOnePlacePerSlotAndTheStandardLayoutHidesTheLastThirteen)
{
    addRows(QStringLiteral("Account"), 28);
    addRows(QStringLiteral("Customer"), 28);
    startAs(QStringLiteral("出纳"));
    EXPECT_EQ(shownCards(main.AccountPage), 15);
    EXPECT_EQ(shownCards(main.CustomerPage), 15);
    main.ApplyCardLayout(true);
    EXPECT_EQ(shownCards(main.AccountPage), 28);
    EXPECT_EQ(shownCards(main.CustomerPage), 28);
    for (int i = 0; i < TCardPage::SlotCount; ++i)
        EXPECT_EQ(main.AccountPage.Cards[size_t(i)].Panel->pos(),
                  main.CustomerPage.Cards[size_t(i)].Panel->pos()) << i;
    main.ApplyCardLayout(false);
    EXPECT_EQ(shownCards(main.AccountPage), 15);
    EXPECT_TRUE(main.AccountPage.Cards[15].Panel->isHidden());
}

TEST_F(MainWindow, ResizingChoosesTheLayoutByOuterHeight)
{
    main.show();
    main.resize(1280, 1024);   // before the cards exist: nothing to lay out
    EXPECT_FALSE(LargeCardPages);
    addRows(QStringLiteral("Account"), 30);
    startAs(QStringLiteral("出纳"));
    main.resize(784, 536);
    EXPECT_FALSE(LargeCardPages);

    main.resize(1280, 1024);
    EXPECT_LE(main.frameGeometry().width(), 1024);
    EXPECT_LE(main.frameGeometry().height(), 768);
    EXPECT_TRUE(LargeCardPages);
    EXPECT_EQ(shownCards(main.AccountPage), 28);
    EXPECT_EQ(main.NextAccount->pos(), QPoint(528, 618));

    main.resize(784, 536);
    EXPECT_FALSE(LargeCardPages);
    EXPECT_EQ(shownCards(main.AccountPage), 15);
    EXPECT_EQ(main.NextAccount->pos(), QPoint(488, 444));

    main.resize(1000, 700);
    main.resize(784, 536);
    main.resize(1000, 700);
    EXPECT_TRUE(LargeCardPages);
    EXPECT_EQ(main.NextAccount->pos(), QPoint(528, 618));

    main.close();
    EXPECT_TRUE(main.Closing);
    main.resize(784, 536);
    EXPECT_TRUE(LargeCardPages);
}

struct PagingCase { int rows; int firstPage; bool next; bool hint; int secondPage; };

class Paging : public MainWindow, public ::testing::WithParamInterface<PagingCase> {};

TEST_P(Paging, PagesOfFifteen)
{
    const PagingCase c = GetParam();
    addRows(QStringLiteral("Account"), c.rows);
    startAs(QStringLiteral("出纳"));
    EXPECT_EQ(shownCards(main.AccountPage), c.firstPage);
    EXPECT_EQ(main.NextAccount->isEnabled(), c.next);
    EXPECT_FALSE(main.PriorAccount->isEnabled());
    EXPECT_EQ(main.ImageAccount->isHidden(), !c.hint);
    if (!c.next)
        return;
    main.NextAccount->click();
    EXPECT_EQ(shownCards(main.AccountPage), c.secondPage);
    EXPECT_TRUE(main.ImageAccount->isHidden());
    EXPECT_TRUE(main.PriorAccount->isEnabled());
    EXPECT_FALSE(main.NextAccount->isEnabled());
    EXPECT_EQ(main.AccountPage.Cards[0].NameValue->text(),
              c.secondPage ? QStringLiteral("帐户16") : QStringLiteral("帐户1"));
    main.PriorAccount->click();
    EXPECT_EQ(shownCards(main.AccountPage), 15);
    EXPECT_EQ(main.AccountPage.Cards[0].NameValue->text(), QStringLiteral("帐户1"));
}

INSTANTIATE_TEST_SUITE_P(Table, Paging,
                         ::testing::Values(PagingCase{15, 15, false, false, 0},
                                           PagingCase{16, 15, true, false, 1},
                                           PagingCase{0, 0, false, true, 0},
                                           PagingCase{7, 7, false, false, 0}));

TEST_F(MainWindow, RefreshKeepsTheCustomerPageAndResetsTheAccountPage)
{
    addRows(QStringLiteral("Account"), 20);
    addRows(QStringLiteral("Customer"), 20);
    startAs(QStringLiteral("出纳"));
    main.NextAccount->click();
    main.NextCustomer->click();
    main.BitBtn2->click();
    EXPECT_EQ(main.AccountPageIndex, 0);
    EXPECT_EQ(main.CustomerPageIndex, 1);
    EXPECT_EQ(shownCards(main.CustomerPage), 5);
    EXPECT_EQ(shownCards(main.AccountPage), 15);
}

TEST_F(MainWindow, HoverMovesTheHighlightFromCardToCard)
{
    addRows(QStringLiteral("Customer"), 3);
    startAs(QStringLiteral("出纳"));
    const TCardPage &page = main.CustomerPage;
    moveOver(page.Cards[0].Icon);
    EXPECT_EQ(page.CardColour(0), TCardPage::HighlightColour());
    moveOver(page.Cards[1].NameValue);
    EXPECT_EQ(page.CardColour(0), TCardPage::ButtonFace());
    EXPECT_EQ(page.CardColour(1), TCardPage::HighlightColour());
    moveOver(page.Cards[1].Panel);
    EXPECT_EQ(page.CardColour(1), TCardPage::HighlightColour());
    moveOver(main.TabSheet2);
    for (int i = 0; i < TCardPage::SlotCount; ++i)
        EXPECT_EQ(page.CardColour(i), TCardPage::ButtonFace()) << i;
}

TEST_F(MainWindow, CardClickOpensTheRowAndRefreshesOnlyAfterAChange)
{
    addRows(QStringLiteral("Account"), 20);
    startAs(QStringLiteral("出纳"));
    QList<qint64> opened;
    main.ShowAccountDetail = [&](qint64 key) { opened << key; };
    main.NextAccount->click();
    clickOn(main.AccountPage.Cards[2].ThirdValue);
    EXPECT_EQ(opened, QList<qint64>{2 + 15 + 2});
    EXPECT_EQ(main.AccountPageIndex, 1);   // nothing changed, nothing refreshed

    main.ShowAccountDetail = [&](qint64 key) { opened << key; DataChanged = true; };
    clickOn(main.AccountPage.Cards[0].Icon);
    EXPECT_EQ(opened.last(), 2 + 15);
    EXPECT_FALSE(DataChanged);
    EXPECT_EQ(main.AccountPageIndex, 0);
}

TEST_F(MainWindow, DateButtonsMoveTheDayAndRefreshBusinessUsersOnly)
{
    startAs(QStringLiteral("出纳"));
    const QDate today = QDate::currentDate();
    addRows(QStringLiteral("Account"), 1);
    main.BitBtn1->click();
    EXPECT_EQ(main.WorkingDate(), today.addDays(-1));
    EXPECT_EQ(shownCards(main.AccountPage), 1);

    ScriptSignIn(ui, QStringLiteral("管理员"), QStringLiteral("admin"));
    main.ActionLoginExecute();
    addRows(QStringLiteral("Account"), 1);
    main.BitBtn2->click();
    main.BitBtn2->click();
    EXPECT_EQ(main.WorkingDate(), today.addDays(1));
    EXPECT_EQ(shownCards(main.AccountPage), 1);   // no query for the administrator
    main.DateTimePicker1->setDate(today.addDays(5));
    EXPECT_EQ(shownCards(main.AccountPage), 1);
}

TEST_F(MainWindow, BookPictureOpensTheChooserExceptForTheAdministrator)
{
    addRows(QStringLiteral("Account"), 2, QStringLiteral("应收帐"));
    startAs(QStringLiteral("出纳"));
    EXPECT_EQ(shownCards(main.AccountPage), 0);
    ScriptBook(ui, 1);
    clickOn(main.Image1);
    EXPECT_EQ(CurrentAccountBook(), QStringLiteral("应收帐"));
    EXPECT_EQ(shownCards(main.AccountPage), 2);

    ScriptSignIn(ui, QStringLiteral("管理员"), QStringLiteral("admin"));
    main.ActionLoginExecute();
    const int chooserShows = ui.Shows().count(QStringLiteral("FormChose"));
    clickOn(main.Image1);
    EXPECT_EQ(ui.Shows().count(QStringLiteral("FormChose")), chooserShows);
}

TEST_F(MainWindow, FoldingTheLeftBarWidensThePages)
{
    startAs(QStringLiteral("出纳"));
    main.resize(784, 536);
    const int wide = main.PageControl1->width();
    clickOn(main.Image7);
    EXPECT_EQ(main.Image7Hint, QStringLiteral("RightBar"));
    EXPECT_EQ(main.Panel1->width(), 0);
    EXPECT_EQ(main.PageControl1->width(), wide + 97);
    clickOn(main.Image7);
    EXPECT_EQ(main.Image7Hint, QStringLiteral("LeftBar"));
    EXPECT_EQ(main.Panel1->width(), 97);
    EXPECT_EQ(main.PageControl1->width(), wide);
}

TEST_F(MainWindow, SupportButtonShowsTheContactWindow)
{
    startAs(QStringLiteral("出纳"));
    ui.OnModal(QStringLiteral("FormOnlineChat"), [](QDialog *) {});
    main.ButtonOnlineChat->click();
    EXPECT_EQ(ui.Shows().last(), QStringLiteral("FormOnlineChat"));
}

} // namespace

namespace {

// An installation whose Res folder is gone still starts and works, without pictures.
TEST(MainWindowWithoutPictures, StartsAndWorks)
{
    TestFolder folder;
    ASSERT_TRUE(QFile::remove(folder.Path() + QStringLiteral("Res")));
    ScriptedUi ui;
    TShareDataModule dm;
    Registration<TShareDataModule> dmSlot(ShareDataModule, &dm);
    TFormMain main;
    TFormLogin login(&main);
    TFormWelcome welcome(&main);
    TFormChose chose(&main);
    RegisterWindows(FormLogin, &login, FormWelcome, &welcome, FormChose, &chose);
    ScriptSignIn(ui, QStringLiteral("出纳"));
    ScriptBook(ui, 2);
    EXPECT_EQ(TProgram::SignIn(main, welcome, chose), TProgram::StartResult::SignedIn);
    EXPECT_EQ(main.LabelUser->text(), QStringLiteral("出纳"));
    EXPECT_TRUE(main.Image1->pixmap().isNull());
    main.Image7Click();
    main.Image7Click();
    main.ApplyCardLayout(true);
    EXPECT_TRUE(main.AccountPage.Cards[0].Icon->pixmap().isNull());
    EXPECT_TRUE(ui.Messages().isEmpty());
}

} // namespace

namespace {

// What the main window puts into the session: the user at sign-in, the date from the date
// field, the book from the chooser, and its RefreshAll as the refresh every window calls.
TEST_F(MainWindow, KeepsTheSessionThatOtherWindowsRead)
{
    addUser(QStringLiteral("王五"), QString());
    startAs(QStringLiteral("王五"), QString(), 2);
    EXPECT_EQ(Session::User(), QStringLiteral("王五"));
    EXPECT_EQ(Session::Book(), QStringLiteral("应付帐"));
    EXPECT_EQ(Session::WorkingDate(), QDate::currentDate());

    main.BitBtn1->click();
    EXPECT_EQ(Session::WorkingDate(), QDate::currentDate().addDays(-1));
    main.DateTimePicker1->setDate(QDate(2008, 2, 29));
    EXPECT_EQ(Session::WorkingDate(), QDate(2008, 2, 29));

    ScriptBook(ui, 0);
    clickOn(main.Image1);
    EXPECT_EQ(Session::Book(), QStringLiteral("现金帐"));

    // A window that changed data refreshes through the session: the new account shows.
    addRows(QStringLiteral("Account"), 3, QStringLiteral("现金帐"), QStringLiteral("王五"));
    EXPECT_EQ(shownCards(main.AccountPage), 0);
    Session::RefreshAll();
    EXPECT_EQ(shownCards(main.AccountPage), 3);

    ScriptSignIn(ui, QStringLiteral("管理员"), QStringLiteral("admin"));
    main.ActionLoginExecute();
    EXPECT_EQ(Session::User(), QStringLiteral("管理员"));
    EXPECT_TRUE(Session::IsAdministrator());
}

TEST_F(MainWindow, RefreshThroughTheSessionEndsWithTheWindow)
{
    {
        TFormMain other;
        ScriptSignIn(ui, QStringLiteral("出纳"));
        ScriptBook(ui, -1);
        ASSERT_EQ(TProgram::SignIn(other, welcome, chose), TProgram::StartResult::SignedIn);
        EXPECT_TRUE(Session::HasRefreshAll());
    }
    EXPECT_FALSE(Session::HasRefreshAll());
    Session::RefreshAll();   // nothing left to call: must not touch the window that went
}

// Typing a digit must never change the working date unasked: after signing in again the
// keyboard focus is on the page, not in the date field.
TEST_F(MainWindow, SigningInAgainLeavesTheFocusOnThePage)
{
    main.show();
    startAs(QStringLiteral("出纳"));
    QApplication::setActiveWindow(&main);
    const QDate day = main.WorkingDate();
    for (const char *user : {"查看", "管理员", "出纳"}) {
        ScriptSignIn(ui, QString::fromUtf8(user),
                     QString::fromUtf8(user) == QStringLiteral("管理员") ? QStringLiteral("admin")
                                                                         : QString());
        main.ActionLoginExecute();
        EXPECT_EQ(main.focusWidget(), main.PageControl1->currentWidget()) << user;
        typeDigit();
        EXPECT_EQ(main.WorkingDate(), day) << user;
    }
}

struct FocusCase { int rows; int clicks; bool nextKeepsFocus; };

class PagingFocus : public MainWindow, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(PagingFocus, ANextButtonThatTurnsItselfOffHandsTheFocusToTheSheet)
{
    const FocusCase c = GetParam();
    addRows(QStringLiteral("Account"), c.rows);
    main.show();
    startAs(QStringLiteral("出纳"));
    main.PageControl1->setCurrentWidget(main.TabSheet1);
    QApplication::setActiveWindow(&main);
    const QDate day = main.WorkingDate();
    main.NextAccount->setFocus();
    for (int i = 0; i < c.clicks; ++i)
        main.NextAccount->click();
    EXPECT_EQ(main.NextAccount->isEnabled(), c.nextKeepsFocus);
    EXPECT_EQ(main.focusWidget(),
              c.nextKeepsFocus ? static_cast<QWidget *>(main.NextAccount) : main.TabSheet1);
    typeDigit();
    EXPECT_EQ(main.WorkingDate(), day);
}

INSTANTIATE_TEST_SUITE_P(Table, PagingFocus, ::testing::Values(
    FocusCase{16, 1, false}, FocusCase{31, 1, true}, FocusCase{31, 2, false}));

// The border is fixed: a size the user drags to does not stay; maximising gives the one
// large size, restoring the standard one.
TEST_F(MainWindow, OnlyTheStandardSizeStaysWhenNotMaximised)
{
    addRows(QStringLiteral("Account"), 20);
    main.show();
    startAs(QStringLiteral("出纳"));
    for (const QSize dragged : {QSize(900, 620), QSize(1000, 700), QSize(790, 540)}) {
        main.resize(dragged);
        waitFor([this] { return main.size() == QSize(784, 536); });
        EXPECT_EQ(main.size(), QSize(784, 536)) << dragged.width() << "x" << dragged.height();
        EXPECT_FALSE(LargeCardPages);
        EXPECT_EQ(shownCards(main.AccountPage), 15);
    }

    main.showMaximized();
    waitFor([this] { return main.isMaximized(); });
    ASSERT_TRUE(main.isMaximized());
    QCoreApplication::processEvents();
    EXPECT_LE(main.frameGeometry().width(), 1024);
    EXPECT_LE(main.frameGeometry().height(), 768);
    const QSize maximised = main.size();
    waitFor([] { return false; });   // the snap-back would have come by now
    EXPECT_EQ(main.size(), maximised);

    main.showNormal();
    waitFor([this] { return !main.isMaximized(); });
    EXPECT_EQ(main.size(), QSize(784, 536));
    EXPECT_FALSE(LargeCardPages);
}

} // namespace
