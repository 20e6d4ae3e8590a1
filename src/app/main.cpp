// 澄衡客户管理软件: creates every window once, hidden, in start-up order, and runs until
// the main window closes. The main window's first showing opens the database and signs
// the user in.
#include "FormAsk.h"
#include "FormChose.h"
#include "FormLogin.h"
#include "FormMain.h"
#include "FormOnlineChat.h"
#include "FormProgress.h"
#include "FormWelcome.h"
#include "Globals.h"
#include "Look.h"
#include "ShareDM.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(ProgramTitle);
    SetUpChineseInterface(&app);
    SetProgramDir(QCoreApplication::applicationDirPath());
    QApplication::setWindowIcon(LoadIcon(QStringLiteral("Res/App.ico")));

    TFormMain main;
    TShareDataModule dataModule;
    TFormAsk ask(&main);
    TFormOnlineChat onlineChat(&main);
    TFormLogin login(&main);
    TFormWelcome welcome(&main);
    TFormChose chose(&main);
    TFormProgress progress(&main);

    main.show();
    return QApplication::exec();
}
