// The scripted UI is strict: anything a test did not script, and anything it scripted but
// never needed, fails the test.
#include "FormAsk.h"
#include "ScriptedUi.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

TEST(ScriptedUi, UnscriptedModalWindowFailsAndIsRejected)
{
    ScriptedUi ui;
    TFormAsk ask;
    int result = QDialog::Accepted;
    EXPECT_NONFATAL_FAILURE(result = Ui::ShowModal(&ask), "unscripted modal window: FormAsk");
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(ui.Shows(), QStringList{QStringLiteral("FormAsk")});
}

TEST(ScriptedUi, UnscriptedQuestionAndFileDialogFail)
{
    ScriptedUi ui;
    bool yes = true;
    EXPECT_NONFATAL_FAILURE(yes = Ui::Ask(QStringLiteral("确定删除吗？"), QStringLiteral("删除警告")),
                            "unscripted question");
    EXPECT_FALSE(yes);
    QString file = QStringLiteral("x");
    EXPECT_NONFATAL_FAILURE(file = Ui::OpenFile(QStringLiteral("打开"), QString(), QString()),
                            "unscripted open dialog");
    EXPECT_TRUE(file.isEmpty());
    EXPECT_NONFATAL_FAILURE(Ui::SaveFile(QStringLiteral("保存"), QString(), QString()),
                            "unscripted save dialog");
}

TEST(ScriptedUi, LeftoversFailWhenTheTestEnds)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUi ui;
            ui.OnModal(QStringLiteral("FormAsk"), [](QDialog *) {});
        },
        "scripts never run for: FormAsk");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUi ui;
            ui.answers << true;
        },
        "answer(s) to questions never asked");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUi ui;
            ui.files << QStringLiteral("/tmp/a.xlsx");
        },
        "file(s) never asked for: /tmp/a.xlsx");
}

TEST(ScriptedUi, EachScriptRunsForOneShowingInOrder)
{
    ScriptedUi ui;
    TFormAsk ask;
    QStringList ran;
    ui.OnModal(QStringLiteral("FormAsk"), [&ran](QDialog *d) { ran << "first"; d->accept(); });
    ui.OnModal(QStringLiteral("FormAsk"), [&ran](QDialog *) { ran << "second"; });
    ui.answers << true << false;
    ui.files << QStringLiteral("a.frf") << QString();
    EXPECT_EQ(Ui::ShowModal(&ask), QDialog::Accepted);
    EXPECT_EQ(Ui::ShowModal(&ask), QDialog::Rejected);
    EXPECT_EQ(ran, (QStringList{"first", "second"}));
    EXPECT_TRUE(ui.Pending().isEmpty());
    EXPECT_TRUE(Ui::Ask(QStringLiteral("一"), QString()));
    EXPECT_FALSE(Ui::Ask(QStringLiteral("二"), QString()));
    EXPECT_EQ(Ui::OpenFile(QString(), QString(), QString()), QStringLiteral("a.frf"));
    EXPECT_TRUE(Ui::SaveFile(QString(), QString(), QString()).isEmpty());
    EXPECT_NONFATAL_FAILURE(Ui::ShowModal(&ask), "unscripted modal window");
}

} // namespace
