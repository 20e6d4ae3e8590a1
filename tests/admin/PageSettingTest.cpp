// The settings page through its controls: the four pick lists with every prompt, message
// and refusal; the user box in both builds (with and without user administration); the
// two passwords; the preferences, written only when and where the page says.
#include "BookRows.h"
#include "Database.h"
#include "FormAsk.h"
#include "Globals.h"
#include "PageSetting.h"
#include "Registry.h"
#include "ScriptedUi.h"
#include "Settings.h"
#include "ShareDM.h"
#include "SqlCipherEngine.h"
#include "SqlText.h"
#include "TestFolder.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

class SettingPage : public ::testing::Test
{
protected:
    void SetUp() override { RegisterWindow(FormAsk, &ask); }

    DbConnection &db() { return t.dm->ADOConnection1; }

    // Rows of a table through a connection of the test's own, in table order.
    QStringList column(const QString &statement, const QString &field)
    {
        return BookRows::Column(&db(), statement, field);
    }
    QStringList values(int type)
    {
        return column(QStringLiteral("Select * From Parameter Where ParameterType = %1").arg(type),
                      QStringLiteral("ParameterValue"));
    }
    QStringList users()
    {
        return column(QStringLiteral("Select * From Power Where PowerIndex <> 4"),
                      QStringLiteral("PowerName"));
    }
    // The stored password, or "<none>" when the row is gone.
    QString keyOf(const QString &name)
    {
        const QStringList keys =
            column(QStringLiteral("Select * From Power Where PowerName = ") + Quoted(name),
                   QStringLiteral("PowerKey"));
        return keys.isEmpty() ? QStringLiteral("<none>") : keys.constFirst();
    }
    void addRow(int type, const QString &value)
    {
        DbQuery q(&db());
        q.SetSQL(QStringLiteral("Select * From Parameter Where 1 = 0"));
        ASSERT_TRUE(q.Open());
        ASSERT_TRUE(q.Append());
        q.SetField(QStringLiteral("ParameterType"), type);
        q.SetField(QStringLiteral("ParameterValue"), value);
        ASSERT_TRUE(q.Post());
    }
    // Removes rows behind the page's back, as another computer would.
    void removeRows(const QString &statement)
    {
        DbQuery q(&db());
        q.SetSQL(statement);
        ASSERT_TRUE(q.Open());
        while (!q.IsEmpty())
            ASSERT_TRUE(q.Delete());
    }
    int writes() { return sqlite3_total_changes(SqlCipherHandle(db())); }

    // The prompt dialog's next showing: what it asked, then the answer typed and 确定, or
    // 取消 when answer is null.
    struct Asked
    {
        QString title, prompt, start;
        bool masked = true;
    };
    void answer(const QString &text, Asked *asked = nullptr)
    {
        ui.OnModal(QStringLiteral("FormAsk"), [text, asked](QDialog *d) {
            auto *edit = d->findChild<QLineEdit *>(QStringLiteral("Edit1"));
            if (asked)
                *asked = {d->windowTitle(),
                          d->findChild<QLabel *>(QStringLiteral("Label1"))->text(), edit->text(),
                          edit->echoMode() != QLineEdit::Normal};
            edit->setText(text);
            const char *button = text.isNull() ? "BitBtn2" : "BitBtn1";
            d->findChild<QPushButton *>(QLatin1String(button))->click();
        });
    }
    QPushButton *button(const QString &name)
    {
        auto *b = page.findChild<QPushButton *>(name);
        EXPECT_NE(b, nullptr) << name.toStdString();
        return b;
    }
    static QStringList items(const QListWidget *list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    static QString selected(const QListWidget *list)
    {
        const QListWidgetItem *item = list->currentItem();
        return item && item->isSelected() ? item->text() : QString();
    }
    static void select(QListWidget *list, const QString &text)
    {
        const auto found = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        list->setCurrentItem(found.constFirst());
    }
    static QStringList comboItems(const QComboBox *combo)
    {
        QStringList out;
        for (int i = 0; i < combo->count(); ++i)
            out << combo->itemText(i);
        return out;
    }

    TestDatabase t;
    ScriptedUi ui;
    QWidget panel;
    TFormAsk ask{&panel};
    TPageSetting page{&panel};
};

// ------------------------------------------------------------------ pick lists

// Every text of one list, as the administrator reads it, and its controls.
struct ListCase
{
    int type;
    const char *add, *edit, *remove;   // button names
    const char *addPrompt, *editPrompt, *empty, *existsAdding, *existsEditing, *noneToEdit,
        *noneToDelete;
    int buttonsTop;
};

const ListCase Lists[] = {
    {1, "Button1", "Button2", "Button3", "请输入种类的名称", "请输入种类的名称", "种类名不能为空",
     "存在同名的种类，请改名", "存在同名的种类，请改名", "请先选中要修改的种类",
     "请先选中要删除的种类", 432},
    {2, "Button4", "Button5", "Button6", "请输入新类别的名称", "请输入类别的名称", "类别名不能为空",
     "存在同名的类别，请改名", "存在同名的类别，请改名", "请先选中要修改的类别",
     "请先选中要删除的类别", 432},
    {3, "Button7", "Button8", "Button9", "请输入新凭证的名称", "请输入凭证的名称", "凭证名不能为空",
     "存在同名的凭证，请改名", "存在同名的凭证，请改名", "请先选中要修改的凭证",
     "请先选中要删除的凭证", 432},
    {4, "Button16", "Button17", "Button18", "请输入要新增的业务员名称", "请输入业务员名称",
     "业务员名称不能为空", "该业务员名称已存在，请改名", "该业务员名称已经存在，请改名",
     "请先选中要修改的业务员名称", "请先选中要删除的业务员名称", 272},
};

class PickList : public SettingPage, public ::testing::WithParamInterface<ListCase>
{
protected:
    QListWidget *list() { return page.ListBoxOf(GetParam().type); }
    void add(const QString &text, Asked *asked = nullptr)
    {
        answer(text, asked);
        button(QLatin1String(GetParam().add))->click();
    }
    void edit(const QString &text, Asked *asked = nullptr)
    {
        answer(text, asked);
        button(QLatin1String(GetParam().edit))->click();
    }
    static QStringList said(const char *text) { return {QString::fromUtf8(text)}; }
};

TEST_P(PickList, ButtonsStandSideBySideUnderTheList)
{
    const ListCase &c = GetParam();
    const QLatin1String names[] = {QLatin1String(c.add), QLatin1String(c.edit),
                                   QLatin1String(c.remove)};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(button(names[i])->pos(), QPoint(list()->x() + 40 * i, c.buttonsTop));
}

TEST_P(PickList, LoadsInTableOrderWithTheLastEntrySelected)
{
    const int type = GetParam().type;
    addRow(type, QStringLiteral("最后一条"));
    page.AdministratorSignedIn();
    EXPECT_EQ(items(list()), values(type));
    EXPECT_EQ(selected(list()), QStringLiteral("最后一条"));
    // An empty list shows nothing and has nothing to change or delete.
    removeRows(QStringLiteral("Select * From Parameter Where ParameterType = %1").arg(type));
    ASSERT_TRUE(page.LoadParameterList(type));
    EXPECT_EQ(list()->count(), 0);
    button(QLatin1String(GetParam().edit))->click();
    button(QLatin1String(GetParam().remove))->click();
    EXPECT_EQ(ui.Messages(), (QStringList{QString::fromUtf8(GetParam().noneToEdit),
                                          QString::fromUtf8(GetParam().noneToDelete)}));
    EXPECT_TRUE(ui.Shows().isEmpty());
}

TEST_P(PickList, AddsOnlyANewNonEmptyNameOfItsOwnList)
{
    const ListCase &c = GetParam();
    addRow(c.type % 4 + 1, QStringLiteral("两表共用"));   // in the next list only
    page.AdministratorSignedIn();
    const QStringList before = values(c.type);

    Asked asked;
    add(QString(), &asked);   // 取消
    EXPECT_EQ(asked.title, QStringLiteral("参数设置"));
    EXPECT_EQ(asked.prompt, QString::fromUtf8(c.addPrompt));
    EXPECT_EQ(asked.start, QString());
    EXPECT_FALSE(asked.masked);
    EXPECT_TRUE(ui.Messages().isEmpty());

    add(QStringLiteral(""));
    add(QStringLiteral("   "));
    EXPECT_EQ(ui.Messages(), QStringList() << said(c.empty) << said(c.empty));
    EXPECT_EQ(values(c.type), before);

    ui.Clear();
    add(QStringLiteral("老王's"));
    add(QStringLiteral("两表共用"));
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(' ').toStdString();
    EXPECT_EQ(values(c.type), before + QStringList({"老王's", "两表共用"}));
    EXPECT_EQ(items(list()), values(c.type));
    EXPECT_EQ(selected(list()), QStringLiteral("两表共用"));

    add(QStringLiteral("老王's"));
    EXPECT_EQ(ui.Messages(), said(c.existsAdding));
    EXPECT_EQ(values(c.type), before + QStringList({"老王's", "两表共用"}));
    EXPECT_EQ(ui.log.constLast().title, QStringLiteral("参数设置"));
}

TEST_P(PickList, ChangesTheSelectedEntryOrSaysWhyNot)
{
    const ListCase &c = GetParam();
    for (const char *v : {"甲", "乙", "cash"})
        addRow(c.type, QString::fromUtf8(v));
    page.AdministratorSignedIn();
    const QStringList before = values(c.type);

    list()->clearSelection();
    button(QLatin1String(c.edit))->click();
    EXPECT_EQ(ui.Messages(), said(c.noneToEdit));
    EXPECT_TRUE(ui.Shows().isEmpty()) << "nothing is asked when nothing is selected";
    ui.Clear();

    select(list(), QStringLiteral("甲"));
    Asked asked;
    int beforeWrites = writes();
    answer(QString(), &asked);   // 取消
    emit list()->itemDoubleClicked(list()->currentItem());
    EXPECT_EQ(asked.title, QStringLiteral("参数设置"));
    EXPECT_EQ(asked.prompt, QString::fromUtf8(c.editPrompt));
    EXPECT_EQ(asked.start, QStringLiteral("甲"));
    edit(QStringLiteral("甲"));   // its own text: nothing to write
    EXPECT_TRUE(ui.Messages().isEmpty());
    EXPECT_EQ(writes(), beforeWrites);

    edit(QStringLiteral(" "));
    select(list(), QStringLiteral("甲"));
    edit(QStringLiteral("乙"));
    EXPECT_EQ(ui.Messages(), QStringList() << said(c.empty) << said(c.existsEditing));
    EXPECT_EQ(values(c.type), before);

    // A change of letter case is not a second entry of the same name.
    ui.Clear();
    select(list(), QStringLiteral("cash"));
    edit(QStringLiteral("Cash"));
    select(list(), QStringLiteral("甲"));
    edit(QStringLiteral("丙"));
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(' ').toStdString();
    QStringList after = before;
    after[after.indexOf(QStringLiteral("甲"))] = QStringLiteral("丙");
    after[after.indexOf(QStringLiteral("cash"))] = QStringLiteral("Cash");
    EXPECT_EQ(values(c.type), after);
    EXPECT_EQ(items(list()), after);
    EXPECT_EQ(selected(list()), after.constLast());

    // The entry went while the page still showed it.
    select(list(), QStringLiteral("乙"));
    removeRows(QStringLiteral("Select * From Parameter Where ParameterValue = '乙'"));
    beforeWrites = writes();
    edit(QStringLiteral("丁"));
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("该参数已经被删除")});
    EXPECT_EQ(writes(), beforeWrites);
}

TEST_P(PickList, DeletesTheSelectedEntryAfterYes)
{
    const ListCase &c = GetParam();
    for (const char *v : {"甲", "乙"})
        addRow(c.type, QString::fromUtf8(v));
    addRow(c.type % 4 + 1, QStringLiteral("甲"));
    page.AdministratorSignedIn();
    const QStringList before = values(c.type);

    list()->clearSelection();
    button(QLatin1String(c.remove))->click();
    EXPECT_EQ(ui.Messages(), said(c.noneToDelete));
    EXPECT_TRUE(ui.Questions().isEmpty());

    select(list(), QStringLiteral("甲"));
    ui.answers << false << true;
    button(QLatin1String(c.remove))->click();
    EXPECT_EQ(values(c.type), before);
    button(QLatin1String(c.remove))->click();
    EXPECT_EQ(ui.Questions(), (QStringList{"确实要删除该参数吗？", "确实要删除该参数吗？"}));
    EXPECT_EQ(ui.log.constLast().title, QStringLiteral("删除警告"));
    EXPECT_EQ(ui.QuestionIcons(), QList<Ui::AskIcon>(2, Ui::AskIcon::None));
    QStringList after = before;
    after.removeOne(QStringLiteral("甲"));
    EXPECT_EQ(values(c.type), after);
    EXPECT_EQ(items(list()), after);
    EXPECT_EQ(values(c.type % 4 + 1).count(QStringLiteral("甲")), 1) << "other lists keep theirs";

    // Gone meanwhile: said before any question.
    ui.Clear();
    select(list(), QStringLiteral("乙"));
    removeRows(QStringLiteral("Select * From Parameter Where ParameterValue = '乙'"));
    button(QLatin1String(c.remove))->click();
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("该记录已不存在")});
    EXPECT_TRUE(ui.Questions().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(FourLists, PickList, ::testing::ValuesIn(Lists));

// ------------------------------------------------------------------ users and passwords

TEST_F(SettingPage, WithoutUserAdministrationOnlyPasswordsChange)
{
    page.AdministratorSignedIn();
    EXPECT_TRUE(page.Button19->isHidden());
    EXPECT_TRUE(page.Button20->isHidden());
    EXPECT_EQ(comboItems(page.ComboBox1), (QStringList{"管理员", "出纳"}));
    EXPECT_EQ(page.ComboBox1->currentText(), QStringLiteral("管理员"));
    EXPECT_EQ(page.Edit1->text(), QStringLiteral("admin"));
    EXPECT_EQ(page.Edit2->text(), QStringLiteral("1234"));
    EXPECT_EQ(page.Edit1->echoMode(), QLineEdit::Normal) << "passwords show in plain text";

    page.ComboBox1->setCurrentIndex(1);
    EXPECT_EQ(page.Edit1->text(), QString());
    page.Edit1->setText(QStringLiteral("Ab'1"));
    ui.answers << false << true;
    page.Button10->click();
    EXPECT_EQ(keyOf(QStringLiteral("出纳")), QString());
    page.Button10->click();
    EXPECT_EQ(ui.Questions(), (QStringList{"确定要把用户出纳的密码修改为 Ab'1 吗？",
                                           "确定要把用户出纳的密码修改为 Ab'1 吗？"}));
    EXPECT_EQ(ui.log.at(0).title, QStringLiteral("修改确认"));
    EXPECT_EQ(ui.QuestionIcons(), QList<Ui::AskIcon>(2, Ui::AskIcon::None));
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("用户密码修改成功")});
    EXPECT_EQ(keyOf(QStringLiteral("出纳")), QStringLiteral("Ab'1"));

    // An empty password is a password too.
    ui.Clear();
    page.Edit1->clear();
    ui.answers << true;
    page.Button10->click();
    EXPECT_EQ(keyOf(QStringLiteral("出纳")), QString());

    ui.Clear();
    page.Edit2->setText(QStringLiteral("9876"));
    ui.answers << false << true;
    page.Button11->click();
    EXPECT_EQ(keyOf(QStringLiteral("修改")), QStringLiteral("1234"));
    page.Button11->click();
    EXPECT_EQ(ui.Questions(), (QStringList{"确定要把该密码修改为 9876 吗？",
                                           "确定要把该密码修改为 9876 吗？"}));
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("密码修改成功")});
    EXPECT_EQ(keyOf(QStringLiteral("修改")), QStringLiteral("9876"));
}

TEST_F(SettingPage, APasswordWhoseRowWentWritesNothing)
{
    page.AdministratorSignedIn();
    page.ComboBox1->setCurrentIndex(1);
    removeRows(QStringLiteral("Select * From Power Where PowerName = '出纳'"));
    removeRows(QStringLiteral("Select * From Power Where PowerName = '修改'"));
    const int before = writes();
    ui.answers << true << true;
    page.Button10->click();
    page.Button11->click();
    EXPECT_EQ(ui.Messages(), (QStringList{"该用户密码已被删除", "该密码已被删除"}));
    EXPECT_EQ(writes(), before);
}

TEST_F(SettingPage, AddsAUserAndLeavesTheAddingStateOnlyAfterANameWasTried)
{
    UserAdminSwitch = true;
    page.AdministratorSignedIn();
    EXPECT_FALSE(page.Button19->isHidden());
    EXPECT_FALSE(page.Button20->isHidden());

    page.Button19->click();
    auto adding = [this] {
        return page.AddingUser() && page.ComboBox1->isHidden() && !page.Edit4->isHidden()
            && !page.Button19->isEnabled() && !page.Button20->isEnabled()
            && page.Button10->text() == QStringLiteral("确  定");
    };
    EXPECT_TRUE(adding());
    EXPECT_EQ(page.Edit4->text(), QString());
    EXPECT_EQ(page.Edit1->text(), QString());

    page.Edit4->setText(QStringLiteral("  "));
    page.Button10->click();
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("用户名不能为空")});
    EXPECT_TRUE(adding());
    // Signing in again does not end it either.
    page.AdministratorSignedIn();
    EXPECT_TRUE(adding());

    ui.Clear();
    page.Edit4->setText(QStringLiteral("O'Neil 张"));
    page.Edit1->setText(QStringLiteral("pw"));
    page.Button10->click();
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("用户新增成功")});
    EXPECT_FALSE(page.AddingUser());
    EXPECT_FALSE(page.ComboBox1->isHidden());
    EXPECT_TRUE(page.Edit4->isHidden());
    EXPECT_TRUE(page.Button19->isEnabled());
    EXPECT_EQ(page.Button10->text(), QStringLiteral("修改密码"));
    EXPECT_EQ(keyOf(QStringLiteral("O'Neil 张")), QStringLiteral("pw"));
    EXPECT_EQ(comboItems(page.ComboBox1), (QStringList{"管理员", "出纳", "查看", "O'Neil 张"}));
    EXPECT_EQ(page.ComboBox1->currentIndex(), 0);
    EXPECT_EQ(page.Edit1->text(), QStringLiteral("admin"));

    // A name that exists is refused, and the box is back to normal all the same.
    ui.Clear();
    page.Button19->click();
    page.Edit4->setText(QStringLiteral("出纳"));
    page.Edit1->setText(QStringLiteral("other"));
    page.Button10->click();
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("该用户名已经存在，请重新操作")});
    EXPECT_FALSE(adding());
    EXPECT_EQ(page.Button10->text(), QStringLiteral("修改密码"));
    EXPECT_EQ(keyOf(QStringLiteral("出纳")), QString());
    EXPECT_EQ(users(), (QStringList{"管理员", "出纳", "查看", "O'Neil 张"}));
}

class FixedUser : public SettingPage, public ::testing::WithParamInterface<const char *> {};

TEST_P(FixedUser, IsNeverDeletedAndNothingIsAsked)
{
    UserAdminSwitch = true;
    page.AdministratorSignedIn();
    ASSERT_TRUE(page.LoadUserList(QStringLiteral("获取用户列表时出错")));
    page.ComboBox1->setCurrentIndex(page.ComboBox1->findText(QString::fromUtf8(GetParam())));
    page.Button20->click();
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("管理员、出纳、查看帐号不能删除!")});
    EXPECT_TRUE(ui.Questions().isEmpty());
    EXPECT_EQ(users(), (QStringList{"管理员", "出纳", "查看"}));
}

INSTANTIATE_TEST_SUITE_P(Three, FixedUser, ::testing::Values("管理员", "出纳", "查看"));

TEST_F(SettingPage, DeletingAUserKeepsWhatHeEntered)
{
    UserAdminSwitch = true;
    {
        DbQuery q(&db());
        q.SetSQL(QStringLiteral("Select * From Power"));
        ASSERT_TRUE(q.Open());
        ASSERT_TRUE(q.Append());
        q.SetField(QStringLiteral("PowerName"), QStringLiteral("小李"));
        ASSERT_TRUE(q.Post());
        DbQuery a(&db());
        a.SetSQL(QStringLiteral("Select * From Account Where 1 = 0"));
        ASSERT_TRUE(a.Open());
        ASSERT_TRUE(a.Append());
        a.SetField(QStringLiteral("AccountName"), QStringLiteral("小李的帐户"));
        a.SetField(QStringLiteral("AccountPower"), QStringLiteral("小李"));
        ASSERT_TRUE(a.Post());
    }
    page.AdministratorSignedIn();
    ASSERT_TRUE(page.LoadUserList(QStringLiteral("获取用户列表时出错")));
    page.ComboBox1->setCurrentIndex(page.ComboBox1->findText(QStringLiteral("小李")));

    ui.answers << false << true;
    page.Button20->click();
    EXPECT_EQ(users(), (QStringList{"管理员", "出纳", "查看", "小李"}));
    page.Button20->click();
    ASSERT_EQ(ui.Questions().size(), 2);
    const QString question = ui.Questions().constFirst();
    EXPECT_TRUE(question.startsWith(QStringLiteral("确定要删除用户 小李 吗？")));
    // It says what happens: the records stay.
    EXPECT_FALSE(question.contains(QStringLiteral("同时删除")));
    EXPECT_TRUE(question.contains(QStringLiteral("不会删除")));
    EXPECT_EQ(ui.log.at(0).title, QStringLiteral("修改确认"));
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("用户删除成功")});
    EXPECT_EQ(users(), (QStringList{"管理员", "出纳", "查看"}));
    EXPECT_EQ(comboItems(page.ComboBox1), (QStringList{"管理员", "出纳", "查看"}));
    EXPECT_EQ(column(QStringLiteral("Select * From Account Where AccountPower = '小李'"),
                     QStringLiteral("AccountName")),
              QStringList{QStringLiteral("小李的帐户")});
}

// ------------------------------------------------------------------ preferences

struct PreferenceCase
{
    const char *print, *income, *expense;   // stored texts; nullptr: no such key
    const char *shownPrint, *shownIncome, *shownExpense;
};

class Preferences : public SettingPage, public ::testing::WithParamInterface<PreferenceCase> {};

TEST_P(Preferences, ShowWhatIsStoredAndWriteNothing)
{
    const PreferenceCase &c = GetParam();
    const struct { const char *value; QString key; } stored[] = {
        {c.print, SettingKey::PrintType},
        {c.income, SettingKey::IncomePrompt},
        {c.expense, SettingKey::ExpensePrompt}};
    for (const auto &s : stored) {
        if (s.value) {
            ASSERT_TRUE(WriteSetting(SettingKey::Section, s.key, QString::fromUtf8(s.value),
                                     SettingsFile));
        }
    }
    QFile file(SettingsFile);
    const QByteArray before = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();

    page.AdministratorSignedIn();
    EXPECT_EQ(page.ComboBox4->currentText(), QString::fromUtf8(c.shownPrint));
    EXPECT_EQ(page.ComboBox2->currentText(), QString::fromUtf8(c.shownIncome));
    EXPECT_EQ(page.ComboBox5->currentText(), QString::fromUtf8(c.shownExpense));
    EXPECT_TRUE(ui.Messages().isEmpty());
    EXPECT_EQ(QFile::exists(SettingsFile), !before.isEmpty());
    if (file.open(QIODevice::ReadOnly)) {
        EXPECT_EQ(file.readAll(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Preferences, ::testing::Values(
    PreferenceCase{nullptr, nullptr, nullptr, "纵向打印", "提示", "提示"},
    PreferenceCase{"横向打印", "不提示", "提示", "横向打印", "不提示", "提示"},
    PreferenceCase{"portrait", "是", "", "横向打印", "不提示", "不提示"}));

TEST_F(SettingPage, PrintOrientationIsSavedByItsButtonAndPromptsWhenChanged)
{
    page.AdministratorSignedIn();
    auto stored = [](const QString &key) {
        return ReadSetting(SettingKey::Section, key, QStringLiteral("<none>"), SettingsFile);
    };
    page.ComboBox4->setCurrentIndex(1);
    EXPECT_FALSE(QFile::exists(SettingsFile));
    page.Button12->click();
    EXPECT_EQ(stored(SettingKey::PrintType), QStringLiteral("横向打印"));
    EXPECT_EQ(stored(SettingKey::IncomePrompt), QStringLiteral("<none>"));

    page.ComboBox2->setCurrentIndex(1);
    EXPECT_EQ(stored(SettingKey::IncomePrompt), QStringLiteral("不提示"));
    EXPECT_EQ(stored(SettingKey::ExpensePrompt), QStringLiteral("<none>"));
    page.ComboBox5->setCurrentIndex(1);
    page.ComboBox5->setCurrentIndex(0);
    EXPECT_EQ(stored(SettingKey::ExpensePrompt), QStringLiteral("提示"));
    EXPECT_EQ(ui.Messages(), (QStringList{"打印方式设置为：横向打印", "收入出帐提示设置为：不提示",
                                          "支出出帐提示设置为：不提示", "支出出帐提示设置为：提示"}));
}

TEST_F(SettingPage, APreferenceThatCannotBeWrittenIsNotShownAsSaved)
{
    page.AdministratorSignedIn();
    ASSERT_TRUE(QDir().mkdir(SettingsFile));   // a folder where the file should be
    page.ComboBox2->setCurrentIndex(1);
    page.Button12->click();
    ASSERT_EQ(ui.Messages().size(), 2);
    EXPECT_EQ(ui.Messages().at(0), SettingsNotWritten());
    EXPECT_EQ(ui.Messages().at(1), SettingsNotWritten());
    EXPECT_EQ(page.ComboBox2->currentText(), QStringLiteral("提示"));
}

} // namespace
