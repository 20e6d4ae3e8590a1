// The program's start: every window created and registered once, nothing left pointing at
// a window that went, and the exit status of every way a start can end. The main window
// never shows before someone signed in.
#include "FormAccount.h"
#include "FormAccount2.h"
#include "FormAccountSearch.h"
#include "FormAsk.h"
#include "FormChose.h"
#include "FormCustomer.h"
#include "FormCustomer2.h"
#include "FormCustomerSearch.h"
#include "FormDateChose.h"
#include "FormGetPay.h"
#include "FormGetPay2.h"
#include "FormLogin.h"
#include "FormMain.h"
#include "FormMakeReport.h"
#include "FormNetwork.h"
#include "FormOnlineChat.h"
#include "FormProgress.h"
#include "FormRecord.h"
#include "FormWelcome.h"
#include "Globals.h"
#include "Program.h"
#include "ProgramFolder.h"
#include "ScriptedUi.h"
#include "Scripts.h"
#include "Session.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// Every registered pointer, as plain addresses.
QList<const void *> Registered()
{
    return {FormMain, ShareDataModule, FormNetwork, FormAsk, FormOnlineChat, FormLogin,
            FormWelcome, FormMakeReport, FormChose, FormProgress, FormGetPay, FormAccount,
            FormAccount2, FormCustomer, FormCustomer2, FormRecord, FormGetPay2, FormDateChose,
            FormCustomerSearch, FormAccountSearch};
}

TEST(Program, RegistersEveryWindowOnceAndLeavesNothingBehind)
{
    TestFolder folder;
    for (const void *p : Registered())
        ASSERT_EQ(p, nullptr);
    QList<const void *> first;
    {
        TProgram program;
        first = Registered();
        for (const void *p : first)
            EXPECT_NE(p, nullptr);
        {
            // A second set of windows does not take the places of the first.
            TProgram second;
            EXPECT_EQ(Registered(), first);
        }
        EXPECT_EQ(Registered(), first);
        EXPECT_EQ(FormAsk->parentWidget(), FormMain);
    }
    for (const void *p : Registered())
        EXPECT_EQ(p, nullptr);
}

// Counts the showings of the main window.
class ShowCounter : public QObject
{
public:
    int shows = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

enum class Start { SignIn, CloseWelcome, NoDatabase, ForeignDatabase, UnwritableFolder };

struct StartCase
{
    Start start;
    int status;
    QStringList shows;
    const char *message;   // start of the one message shown, or empty for none
};

class ProgramStart : public ::testing::TestWithParam<StartCase> {};

TEST_P(ProgramStart, EndsWithItsExitStatus)
{
    const StartCase c = GetParam();
    TestFolder folder;
    ScriptedUi ui;
    switch (c.start) {
    case Start::NoDatabase:
        ASSERT_TRUE(QFile::remove(folder.Database()));
        break;
    case Start::ForeignDatabase: {
        QFile f(folder.Database());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        break;
    }
    case Start::UnwritableFolder:
        // The settings file cannot be written: signing in could never succeed.
        ASSERT_TRUE(QDir().mkdir(SettingsFile));
        break;
    case Start::SignIn:
        ScriptSignIn(ui, QStringLiteral("出纳"));
        ScriptBook(ui, -1);
        break;
    case Start::CloseWelcome:
        ui.OnModal(QStringLiteral("FormWelcome"), [](QDialog *) {});
        break;
    }
    TProgram program;
    ShowCounter counter;
    FormMain->installEventFilter(&counter);
    bool mainShownBeforeSignIn = false;
    const int status = program.Start();
    mainShownBeforeSignIn = c.start != Start::SignIn && counter.shows > 0;

    EXPECT_EQ(status, c.status);
    EXPECT_EQ(ui.Shows(), c.shows);
    EXPECT_FALSE(mainShownBeforeSignIn);
    EXPECT_EQ(FormMain->isVisible(), c.start == Start::SignIn);
    if (QString::fromUtf8(c.message).isEmpty()) {
        EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(' ').toStdString();
    } else {
        ASSERT_EQ(ui.Messages().size(), 1);
        EXPECT_TRUE(ui.Messages().constFirst().startsWith(QString::fromUtf8(c.message)))
            << ui.Messages().constFirst().toStdString();
    }
    if (c.start == Start::SignIn) {
        EXPECT_EQ(Session::User(), QStringLiteral("出纳"));
        EXPECT_EQ(FormMain->LabelUser->text(), QStringLiteral("出纳"));
    }
    FormMain->removeEventFilter(&counter);
    FormMain->Closing = true;
}

INSTANTIATE_TEST_SUITE_P(Table, ProgramStart, ::testing::Values(
    StartCase{Start::SignIn, TProgram::Running, {"FormWelcome", "FormLogin", "FormChose"}, ""},
    StartCase{Start::CloseWelcome, 0, {"FormWelcome"}, ""},
    StartCase{Start::NoDatabase, 1, {}, "数据库文件找不到"},
    StartCase{Start::ForeignDatabase, 1, {}, "数据库无法打开"},
    StartCase{Start::UnwritableFolder, 1, {}, "程序文件夹中的文件不能写入"}));

} // namespace
