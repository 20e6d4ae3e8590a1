#include "BenchSession.h"

#include "FormMain.h"
#include "Globals.h"
#include "Program.h"
#include "ProgramFolder.h"
#include "Settings.h"
#include "ShareDM.h"

#include <QCoreApplication>
#include <QLabel>

struct BenchSession::Windows
{
    TProgram program;
};

BenchSession::BenchSession() : m_windows(new Windows) {}

BenchSession::~BenchSession() = default;

bool BenchSession::Start()
{
    if (!m_address.isEmpty()) {
        NetworkModeSwitch = true;
        UseDataFolder();
        WriteSetting(SettingKey::DatabaseSection, SettingKey::Address, m_address, SettingsFile);
    }
    const int started = m_windows->program.Start();
    QCoreApplication::processEvents();
    return started == TProgram::Running && ShareDataModule->ADOConnection1.Connected()
        && FormMain->LabelUser->text() == QStringLiteral("出纳");
}

TFormMain &BenchSession::Main()
{
    return *FormMain;
}

DbConnection &BenchSession::Connection()
{
    return ShareDataModule->ADOConnection1;
}
