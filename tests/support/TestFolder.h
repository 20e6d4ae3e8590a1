// A fresh program folder for one test: a copy of the prepared database, the pictures,
// and no settings file. ProgramDir and SettingsFile point into it while it lives; the
// shared run-time values and the session start afresh.
#pragma once

#include <QString>
#include <QTemporaryDir>

class TestFolder
{
public:
    // withDatabase: copy the prepared database into the folder.
    explicit TestFolder(bool withDatabase = true);
    ~TestFolder();
    QString Path() const { return m_dir.path() + QLatin1Char('/'); }
    QString Database() const { return Path() + QStringLiteral("Quillmark.MDB"); }
    // The prepared database the build made.
    static QString PreparedDatabase();

private:
    QTemporaryDir m_dir;
};

// The shared data module opened on a fresh copy of the prepared database, registered as
// ShareDataModule while it lives.
class TShareDataModule;
template <typename T> class Registration;
class TestDatabase
{
public:
    TestDatabase();
    ~TestDatabase();
    TestFolder folder;
    TShareDataModule *dm;

private:
    Registration<TShareDataModule> *m_slot;
};
