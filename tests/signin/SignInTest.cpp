// Signing in from the welcome window, and choosing the account book afterwards.
#include "BookKind.h"
#include "FormChose.h"
#include "FormLogin.h"
#include "FormWelcome.h"
#include "Globals.h"
#include "Registry.h"
#include "ScriptedUi.h"
#include "Scripts.h"
#include "Settings.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

const QString Cashier = QStringLiteral("出纳");
const QString Admin = QStringLiteral("管理员");

template <typename T>
T *Child(QDialog *d, const char *name)
{
    T *child = d->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

QComboBox *Users(QDialog *d) { return Child<QComboBox>(d, "ComboBox1"); }
QLineEdit *Password(QDialog *d) { return Child<QLineEdit>(d, "Edit1"); }
void Click(QDialog *d, const char *name) { Child<QPushButton>(d, name)->click(); }

void SignInAs(QDialog *d, const QString &user, const QString &password)
{
    QComboBox *users = Users(d);
    users->setCurrentIndex(users->findText(user));
    Password(d)->setText(password);
    Click(d, "ButtonYes");
}

QString StoredUser()
{
    return ReadSetting(SettingKey::Section, SettingKey::UserPower, QStringLiteral("无"),
                       SettingsFile);
}

TEST(SignIn, FirstStartOffersTheCashierWithAnEmptyPassword)
{
    TestDatabase t;
    ScriptedUi ui;
    TFormLogin login;
    TFormWelcome welcome;
    RegisterWindow(FormLogin, &login);
    ui.OnModal(QStringLiteral("FormWelcome"), [](QDialog *d) { Click(d, "ButtonLogin"); });
    ui.OnModal(QStringLiteral("FormLogin"), [](QDialog *d) {
        QStringList names;
        for (int i = 0; i < Users(d)->count(); ++i)
            names << Users(d)->itemText(i);
        EXPECT_EQ(names, (QStringList{"管理员", "出纳", "查看"}));
        EXPECT_EQ(Users(d)->currentText(), QStringLiteral("出纳"));
        EXPECT_TRUE(Password(d)->text().isEmpty());
        Click(d, "ButtonYes");
    });
    EXPECT_EQ(Ui::ShowModal(&welcome), QDialog::Accepted);
    EXPECT_EQ(ui.Shows(), (QStringList{"FormWelcome", "FormLogin"}));
    EXPECT_TRUE(ui.Messages().isEmpty());
    EXPECT_EQ(StoredUser(), Cashier);
}

struct Attempt
{
    const char *user;
    const char *password;
    bool accepted;
};

class PasswordCheck : public ::testing::TestWithParam<Attempt>
{
};

TEST_P(PasswordCheck, AcceptsOnlyTheExactStoredPassword)
{
    const Attempt a = GetParam();
    TestDatabase t;
    ScriptedUi ui;
    TFormLogin login;
    ui.OnModal(QStringLiteral("FormLogin"), [&a](QDialog *d) {
        SignInAs(d, QString::fromUtf8(a.user), QString::fromUtf8(a.password));
    });
    EXPECT_EQ(Ui::ShowModal(&login), a.accepted ? QDialog::Accepted : QDialog::Rejected);
    if (a.accepted) {
        EXPECT_TRUE(ui.Messages().isEmpty());
        EXPECT_EQ(StoredUser(), QString::fromUtf8(a.user));
        EXPECT_EQ(login.SignedInUser(), QString::fromUtf8(a.user));
    } else {
        EXPECT_TRUE(login.SignedInUser().isEmpty());
        EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("密码错误，请重新操作")});
        EXPECT_FALSE(QFile::exists(SettingsFile));
    }
}

INSTANTIATE_TEST_SUITE_P(Login, PasswordCheck, ::testing::Values(
    Attempt{"管理员", "admin", true},
    Attempt{"管理员", "ADMIN", false},
    Attempt{"管理员", "admin ", false},
    Attempt{"管理员", "", false},
    Attempt{"出纳", "", true},
    Attempt{"出纳", " ", false},
    Attempt{"查看", "", true}));

TEST(SignIn, WrongPasswordEmptiesTheFieldAndAllowsAnotherTry)
{
    TestDatabase t;
    ScriptedUi ui;
    TFormLogin login;
    ui.OnModal(QStringLiteral("FormLogin"), [](QDialog *d) {
        SignInAs(d, QStringLiteral("管理员"), QStringLiteral("guess"));
        EXPECT_TRUE(d->isVisible());
        EXPECT_TRUE(Password(d)->text().isEmpty());
        EXPECT_EQ(Users(d)->currentText(), QStringLiteral("管理员"));
        Password(d)->setText(QStringLiteral("admin"));
        Click(d, "ButtonYes");
    });
    EXPECT_EQ(Ui::ShowModal(&login), QDialog::Accepted);
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("密码错误，请重新操作")});
    EXPECT_EQ(StoredUser(), Admin);
}

TEST(SignIn, RemembersTheLastUserAndDropsOneThatIsGone)
{
    TestDatabase t;
    ScriptedUi ui;
    TFormLogin login;
    ui.OnModal(QStringLiteral("FormLogin"), [](QDialog *d) {
        EXPECT_EQ(Users(d)->currentText(), QStringLiteral("查看"));
    });
    ui.OnModal(QStringLiteral("FormLogin"), [](QDialog *d) {
        EXPECT_EQ(Users(d)->currentIndex(), -1);
        EXPECT_EQ(Users(d)->count(), 3);
        Click(d, "ButtonYes");
        EXPECT_TRUE(d->isVisible());
    });
    ASSERT_TRUE(WriteSetting(SettingKey::Section, SettingKey::UserPower, QStringLiteral("查看"),
                             SettingsFile));
    Ui::ShowModal(&login);
    ASSERT_TRUE(WriteSetting(SettingKey::Section, SettingKey::UserPower, QStringLiteral("老王"),
                             SettingsFile));
    EXPECT_EQ(Ui::ShowModal(&login), QDialog::Rejected);
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("数据库中找不到当前用户")});
    EXPECT_EQ(StoredUser(), QStringLiteral("老王"));
}

TEST(SignIn, UserNameWithAQuote)
{
    TestDatabase t;
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    ASSERT_TRUE(RunQuery(q, QStringLiteral("Select * From Power"), QStringLiteral("失败")));
    ASSERT_TRUE(q.Append());
    q.SetField(QStringLiteral("PowerName"), QStringLiteral("O'Neil"));
    q.SetField(QStringLiteral("PowerKey"), QStringLiteral("x"));
    ASSERT_TRUE(q.Post()) << q.LastError().toStdString();

    ScriptedUi ui;
    TFormLogin login;
    ui.OnModal(QStringLiteral("FormLogin"), [](QDialog *d) {
        SignInAs(d, QStringLiteral("O'Neil"), QStringLiteral("x"));
    });
    EXPECT_EQ(Ui::ShowModal(&login), QDialog::Accepted);
    EXPECT_TRUE(ui.Messages().isEmpty());
    EXPECT_EQ(StoredUser(), QStringLiteral("O'Neil"));
}

TEST(Welcome, CancelledLoginKeepsTheWelcomeOpen)
{
    TestDatabase t;
    ScriptedUi ui;
    TFormLogin login;
    TFormWelcome welcome;
    RegisterWindow(FormLogin, &login);
    ui.OnModal(QStringLiteral("FormWelcome"), [](QDialog *d) {
        Click(d, "ButtonLogin");
        EXPECT_TRUE(d->isVisible());
        Click(d, "ButtonLogin");
        EXPECT_TRUE(d->isVisible());
    });
    ui.OnModal(QStringLiteral("FormLogin"), [](QDialog *d) { Click(d, "ButtonNo"); });
    ui.OnModal(QStringLiteral("FormLogin"), [](QDialog *d) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(d, &esc);
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(Ui::ShowModal(&welcome), QDialog::Rejected);
    EXPECT_EQ(ui.Shows(), (QStringList{"FormWelcome", "FormLogin", "FormLogin"}));
    EXPECT_FALSE(QFile::exists(SettingsFile));
}

TEST(Welcome, OpensTheManualAndTheHomePage)
{
    TestFolder folder;
    ScriptedUi ui;
    TFormWelcome welcome;
    const QString manual = ProgramDir + QStringLiteral("Help.html");

    Click(&welcome, "ButtonInstruction");
    EXPECT_TRUE(ui.Opened().isEmpty());
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("找不到使用说明文件：") + manual});

    ui.Clear();
    QFile file(manual);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    Click(&welcome, "ButtonInstruction");
    Click(&welcome, "ButtonHomePage");
    EXPECT_EQ(ui.Opened(), (QStringList{manual, HomePage}));
    EXPECT_TRUE(ui.Messages().isEmpty());

    ui.Clear();
    ui.externalResult = false;
    Click(&welcome, "ButtonHomePage");
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("无法打开主页，请检查是否安装了浏览器")});
}

struct BookChoice
{
    const char *picture;
    Qt::Key key;
    const char *book;
};

class ChoseBook : public ::testing::TestWithParam<BookChoice>
{
};

TEST_P(ChoseBook, ByPictureAndByKey)
{
    const BookChoice c = GetParam();
    TestFolder folder;
    ScriptedUi ui;
    TFormChose chose;
    ui.OnModal(QStringLiteral("FormChose"), [&c](QDialog *d) { Click(d, c.picture); });
    EXPECT_EQ(Ui::ShowModal(&chose), QDialog::Accepted);
    EXPECT_EQ(CurrentAccountBook(), QString::fromUtf8(c.book));
    ASSERT_TRUE(chose.ChosenBook());
    EXPECT_EQ(chose.ChosenBook()->name, QString::fromUtf8(c.book));

    ASSERT_TRUE(QFile::remove(SettingsFile));
    ui.OnModal(QStringLiteral("FormChose"), [&c](QDialog *d) {
        QKeyEvent key(QEvent::KeyPress, c.key, Qt::NoModifier);
        QCoreApplication::sendEvent(d->focusWidget() ? d->focusWidget() : d, &key);
    });
    EXPECT_EQ(Ui::ShowModal(&chose), QDialog::Accepted);
    EXPECT_EQ(CurrentAccountBook(), QString::fromUtf8(c.book));
}

INSTANTIATE_TEST_SUITE_P(Chose, ChoseBook, ::testing::Values(
    BookChoice{"Image1", Qt::Key_1, "现金帐"},
    BookChoice{"Image2", Qt::Key_2, "应收帐"},
    BookChoice{"Image3", Qt::Key_3, "应付帐"}));

TEST(Chose, ClosingChoosesNothing)
{
    TestFolder folder;
    ScriptedUi ui;
    TFormChose chose;
    ScriptBook(ui, -1);
    EXPECT_EQ(Ui::ShowModal(&chose), QDialog::Rejected);
    EXPECT_EQ(CurrentAccountBook(), QStringLiteral("现金帐"));
    EXPECT_EQ(chose.ChosenBook(), nullptr);
    EXPECT_FALSE(QFile::exists(SettingsFile));
}

} // namespace

namespace {

// With a settings file that cannot be written, neither a sign-in nor a book choice may
// pass as done: the windows read both back from the file.
TEST(SignIn, UnwritableSettingsRefuseTheSignInAndTheBook)
{
    TestDatabase t;
    ASSERT_TRUE(QDir().mkdir(SettingsFile));   // a folder where the file should be
    ScriptedUi ui;
    TFormLogin login;
    ui.OnModal(QStringLiteral("FormLogin"), [](QDialog *d) {
        SignInAs(d, QStringLiteral("查看"), QString());
    });
    EXPECT_EQ(Ui::ShowModal(&login), QDialog::Rejected);
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages().constFirst().startsWith(QStringLiteral("无法写入设置文件")));

    ui.Clear();
    TFormChose chose;
    ScriptBook(ui, 1);
    EXPECT_EQ(Ui::ShowModal(&chose), QDialog::Rejected);
    EXPECT_EQ(ui.Messages().size(), 1);
    EXPECT_EQ(CurrentAccountBook(), QStringLiteral("现金帐"));
}

} // namespace
