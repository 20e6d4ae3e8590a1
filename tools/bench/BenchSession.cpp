#include "BenchSession.h"

#include "FormAsk.h"
#include "FormChose.h"
#include "FormLogin.h"
#include "FormMain.h"
#include "FormOnlineChat.h"
#include "FormProgress.h"
#include "FormWelcome.h"
#include "ShareDM.h"

#include <QCoreApplication>
#include <QLabel>

// In the order main() creates them.
struct BenchSession::Windows
{
    TFormMain main;
    TShareDataModule dataModule;
    TFormAsk ask{&main};
    TFormOnlineChat onlineChat{&main};
    TFormLogin login{&main};
    TFormWelcome welcome{&main};
    TFormChose chose{&main};
    TFormProgress progress{&main};
};

BenchSession::BenchSession() : m_windows(new Windows) {}

BenchSession::~BenchSession() = default;

bool BenchSession::Start()
{
    TFormMain &main = m_windows->main;
    main.show();
    main.FormShow();
    QCoreApplication::processEvents();
    return m_windows->dataModule.ADOConnection1.Connected()
        && main.LabelUser->text() == QStringLiteral("出纳");
}

TFormMain &BenchSession::Main()
{
    return m_windows->main;
}

DbConnection &BenchSession::Connection()
{
    return m_windows->dataModule.ADOConnection1;
}
