#include "TestFolder.h"

#include "Globals.h"
#include "Registry.h"
#include "Session.h"
#include "ShareDM.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

TestFolder::TestFolder(bool withDatabase)
{
    if (!m_dir.isValid())
        std::abort();
    if (withDatabase && !QFile::copy(PreparedDatabase(), Database()))
        std::abort();
    // Pictures are only read, so a link to the built ones is enough.
    QFile::link(QStringLiteral(QM_BUILD_DIR "/Res"), Path() + QStringLiteral("Res"));
    SetProgramDir(m_dir.path());
    DataChanged = false;
    AccountFilter.clear();
    MoneyFilter.clear();
    CustomerFilter.clear();
    ReportCondition.clear();
    LargeCardPages = false;
    UserAdminSwitch = false;
    NetworkModeSwitch = false;
    Session::Reset();
}

TestFolder::~TestFolder() = default;

QString TestFolder::PreparedDatabase()
{
    return QStringLiteral(QM_PREPARED_DATABASE);
}

TestDatabase::TestDatabase()
    : dm(new TShareDataModule), m_slot(new Registration<TShareDataModule>(ShareDataModule, dm))
{
    if (!dm->ConnectDatabase(folder.Database()))
        std::abort();
}

TestDatabase::~TestDatabase()
{
    delete m_slot;
    delete dm;
}
