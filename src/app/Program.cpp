#include "Program.h"

#include "BookAddress.h"
#include "DbBackup.h"
#include "pg/PgEngine.h"

#include "Accessible.h"
#include "BookKind.h"
#include "DailyPage.h"
#include "ExcelExport.h"
#include "FormAccount.h"
#include "FormAccount2.h"
#include "FormAccountSearch.h"
#include "FormAsk.h"
#include "FormCake.h"
#include "FormChose.h"
#include "FormCustomer.h"
#include "FormCustomer2.h"
#include "FormCustomerSearch.h"
#include "FormDateChose.h"
#include "FormDesigner.h"
#include "FormGetPay.h"
#include "FormGetPay2.h"
#include "FormLogin.h"
#include "FormMain.h"
#include "FormMakeReport.h"
#include "FormNetwork.h"
#include "FormOnlineChat.h"
#include "FormProgress.h"
#include "FormRecord.h"
#include "FormServerPassword.h"
#include "FormWelcome.h"
#include "Globals.h"
#include "Look.h"
#include "PageSetting.h"
#include "ProgramFolder.h"
#include "Registry.h"
#include "Session.h"
#include "Settings.h"
#include "ShareDM.h"
#include "Ui.h"

#include <QApplication>
#include <QTextStream>
#include <QTabWidget>

// Members are created in start-up order and destroyed in the reverse one, the dialogs
// before the main window they belong to; the data module's registration ends before it.
struct TProgram::Windows
{
    TFormMain main;
    TShareDataModule dataModule;
    Registration<TShareDataModule> dataModuleSlot{ShareDataModule, &dataModule};
    TFormNetwork network{&main};
    TFormServerPassword serverPassword{&main};
    TFormAsk ask{&main};
    TFormOnlineChat onlineChat{&main};
    TFormLogin login{&main};
    TFormWelcome welcome{&main};
    TFormMakeReport makeReport{&main};
    TFormChose chose{&main};
    TFormProgress progress{&main};
    TFormGetPay getPay{&main};
    TFormAccount account{&main};
    TFormAccount2 account2{&main};
    TFormCustomer customer{&main};
    TFormCustomer2 customer2{&main};
    TFormRecord record{&main};
    TFormGetPay2 getPay2{&main};
    TFormDateChose dateChose{&main};
    TFormCustomerSearch customerSearch{&main};
    TFormAccountSearch accountSearch{&main};
    TFormDesigner designer{&main};
    TFormCake cake{&main};

    Windows()
    {
        RegisterWindow(FormMain, &main);
        RegisterWindow(FormNetwork, &network);
        dataModule.AskDatabaseAddress = [this] {
            return Ui::ShowModal(&network) == QDialog::Accepted;
        };
        dataModule.AskServerPassword = [this](const QString &address, const QString &hint,
                                              QString *password) {
            return serverPassword.Ask(address, hint, password);
        };
        RegisterWindow(FormAsk, &ask);
        RegisterWindow(FormOnlineChat, &onlineChat);
        RegisterWindow(FormLogin, &login);
        RegisterWindow(FormWelcome, &welcome);
        RegisterWindow(FormMakeReport, &makeReport);
        RegisterWindow(FormChose, &chose);
        RegisterWindow(FormProgress, &progress);
        RegisterWindow(FormGetPay, &getPay);
        RegisterWindow(FormAccount, &account);
        RegisterWindow(FormAccount2, &account2);
        RegisterWindow(FormCustomer, &customer);
        RegisterWindow(FormCustomer2, &customer2);
        RegisterWindow(FormRecord, &record);
        RegisterWindow(FormGetPay2, &getPay2);
        RegisterWindow(FormDateChose, &dateChose);
        RegisterWindow(FormCustomerSearch, &customerSearch);
        RegisterWindow(FormAccountSearch, &accountSearch);
        RegisterWindow(FormDesigner, &designer);
        RegisterWindow(FormCake, &cake);
        connectWindows();
    }

    // What the main window opens from its pages, and what the account detail window asks
    // of the main window, without either knowing the other's header.
    void connectWindows()
    {
        main.ShowAccountDetail = [this](qint64 account) {
            account2.DetailAccountIndex = account;
            Ui::ShowModal(&account2);
        };
        main.ShowCustomerDetail = [this](qint64 customer) {
            customer2.DetailCustomerIndex = customer;
            Ui::ShowModal(&customer2);
        };
        main.Daily->MakeReport = [this] {
            return Ui::ShowModal(&makeReport) == TFormMakeReport::Built;
        };
        main.SettingPage->ShowDesigner = [this] {
            designer.TemplatePath.clear();
            Ui::ShowModal(&designer);
        };
        main.Daily->ShowCake = [this] {
            cake.ChartCondition = ReportCondition;
            Ui::ShowModal(&cake);
        };
        main.Daily->ExportGrid = [](TRecordGrid *grid) { ExportGridToExcel(grid); };
        account2.ShowReport = [this] {
            main.Daily->FillRecordGrid(main.Daily->DBGridEh2);
            main.PageControl1->setCurrentIndex(TFormMain::PageReport);
        };
    }
};

namespace {

// The edition switches, before any window is made.
void setEditionSwitches()
{
    UserAdminSwitch = BuiltWithUserAdmin();
    NetworkModeSwitch = BuiltWithNetworkMode();
}

} // namespace

TProgram::TProgram()
{
    setEditionSwitches();
    m_windows = std::make_unique<Windows>();
}

TProgram::~TProgram() = default;

int TProgram::Start()
{
    // Said once, before anyone tries to sign in: otherwise every 确定 would fail on the
    // settings file with a message that does not say what to do.
    const QString folderProblem = UseDataFolder();
    if (!folderProblem.isEmpty()) {
        Ui::Error(folderProblem, QStringLiteral("无法启动"));
        return StartFailed;
    }
    // Signing in writes the settings file: one the program cannot use (binary, enormous,
    // not UTF-8) is named before anyone tries, and left as it is.
    const QString settingsProblem = SettingsFileProblem(SettingsFile);
    if (!settingsProblem.isEmpty()) {
        Ui::Error(settingsProblem, QStringLiteral("无法启动"));
        return StartFailed;
    }
    // Damaged pictures keep nobody from working: said once, and the windows show without.
    const QString pictureProblem = PictureProblem();
    if (!pictureProblem.isEmpty())
        Ui::Message(pictureProblem, QString(), Ui::Icon::Warning);
    switch (SignIn(m_windows->main, m_windows->welcome, m_windows->chose)) {
    case StartResult::Failed:
        return StartFailed;
    case StartResult::Cancelled:
        return Cancelled;
    case StartResult::SignedIn:
        break;
    }
    m_windows->main.show();
    return Running;
}

TProgram::StartResult TProgram::SignIn(TFormMain &main, TFormWelcome &welcome, TFormChose &chose)
{
    if (main.Started())
        return StartResult::SignedIn;
    if (!ShareDataModule || !ShareDataModule->OpenDatabase()) {
        main.EndStartUp();
        return StartResult::Failed;
    }
    if (Ui::ShowModal(&welcome) != QDialog::Accepted) {
        main.EndStartUp();
        return StartResult::Cancelled;
    }
    main.SignIn(welcome.SignedInUser());
    Session::SetBook(CurrentAccountBook());
    main.SetWorkingDate(QDate::currentDate());
    main.CreateCards();
    main.ApplyCardLayout(false);
    Session::SetRefreshAll(&main, [&main] { main.RefreshAll(); });
    main.ApplyRole();
    if (main.IsAdministrator())
        return StartResult::SignedIn;
    if (Ui::ShowModal(&chose) == QDialog::Accepted && chose.ChosenBook())
        Session::SetBook(chose.ChosenBook()->name);
    main.RefreshAll();
    return StartResult::SignedIn;
}

int RunProgram(QApplication &app)
{
    QApplication::setApplicationName(ProgramTitle);
    SetUpChineseInterface(&app);
    InstallAccessibility();
    SetProgramDir(QCoreApplication::applicationDirPath());
    QApplication::setWindowIcon(LoadIcon(QStringLiteral("Res/App.ico")));
    TProgram program;
    const int started = program.Start();
    if (started != TProgram::Running)
        return started;
    return QApplication::exec();
}

int PrepareServerBook(const QString &address)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString problem;
    if (!IsServerBookAddress(address))
        problem = QStringLiteral("“%1”不是数据库服务器的地址。地址的写法是 "
                                 "postgresql://用户名@服务器:端口/数据库名")
                      .arg(address);
    else if (AddressCarriesPassword(address))
        problem = QStringLiteral("地址中不能写密码：请把密码写在 PostgreSQL 的密码文件（~/.pgpass）"
                                 "里，或放在环境变量 PGPASSWORD 中。");
    else
        problem = ServerAddressProblem(address);
    if (problem.isEmpty()
        && !MakeServerBook(address.trimmed(), QString(), BookSchema(true), &problem)
        && problem.isEmpty())
        problem = QStringLiteral("服务器上的数据库没有准备好。");
    if (!problem.isEmpty()) {
        err << problem << Qt::endl;
        return 1;
    }
    out << QStringLiteral("服务器上的数据库已准备好，可以作为帐本使用：%1")
               .arg(AddressForDisplay(address))
        << Qt::endl;
    return 0;
}
