// The administrator's sign-in through the whole program: the settings and maintenance
// pages filled, the add and delete buttons as the build allows, and the end of the program
// that the maintenance page asks for.
#include "FormMain.h"
#include "Globals.h"
#include "PageData.h"
#include "PageSetting.h"
#include "Program.h"
#include "ScriptedUi.h"
#include "Scripts.h"
#include "TestFolder.h"

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

class AdminSignIn : public ::testing::TestWithParam<bool> {};

TEST_P(AdminSignIn, FillsBothPages)
{
    TestFolder folder;
    ScriptedUi ui;
    ScriptSignIn(ui, QStringLiteral("管理员"), QStringLiteral("admin"));
    TProgram program;
    UserAdminSwitch = GetParam();   // as a build with user administration has it
    ASSERT_EQ(program.Start(), TProgram::Running);

    TFormMain &main = *FormMain;
    EXPECT_EQ(main.PageControl1->currentIndex(), TFormMain::PageSetting);
    TPageSetting &setting = *main.SettingPage;
    EXPECT_EQ(setting.parentWidget(), main.PanelSetting);
    EXPECT_EQ(setting.Edit1->text(), QStringLiteral("admin"));
    EXPECT_EQ(setting.Edit2->text(), QStringLiteral("1234"));
    EXPECT_EQ(setting.ListBoxOf(1)->count(), 4);
    EXPECT_EQ(setting.ListBoxOf(1)->currentRow(), 3);
    EXPECT_EQ(setting.ComboBox4->currentText(), QStringLiteral("纵向打印"));
    EXPECT_EQ(setting.Button19->isHidden(), !GetParam());
    EXPECT_EQ(setting.Button20->isHidden(), !GetParam());
    EXPECT_TRUE(main.DataPage->GroupBox2->isHidden());
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(' ').toStdString();

    // 单据设计 opens the designer, whose file dialogs start in Frf.
    ui.files << QString();
    ui.OnModal(QStringLiteral("FormDesigner"), [](QDialog *d) {
        d->findChild<QPushButton *>(QStringLiteral("ButtonOpen"))->click();
    });
    setting.ButtonDesign->click();
    EXPECT_EQ(ui.log.constLast().kind, QStringLiteral("open"));
    EXPECT_EQ(ui.log.constLast().text, ProgramDir + QStringLiteral("Frf"));

    // A restore's end closes the main window, which ends the program.
    ASSERT_TRUE(main.isVisible());
    emit main.DataPage->EndProgram();
    EXPECT_FALSE(main.isVisible());
    EXPECT_TRUE(main.Closing);
}

INSTANTIATE_TEST_SUITE_P(BothBuilds, AdminSignIn, ::testing::Bool());

} // namespace
