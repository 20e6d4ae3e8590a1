// The program as a whole: the one place that creates every window, in start-up order, and
// assigns its global pointer (FormMain, ShareDataModule, FormAsk, …). Windows never
// register themselves; each pointer is cleared when its window goes.
#pragma once

#include <QString>

#include <memory>

class QApplication;
class TFormChose;
class TFormMain;
class TFormWelcome;

class TProgram
{
public:
    // Creates every window, hidden. ProgramDir must be set.
    TProgram();
    ~TProgram();
    TProgram(const TProgram &) = delete;
    TProgram &operator=(const TProgram &) = delete;

    // Exit statuses of a start that does not reach the main window.
    static constexpr int Cancelled = 0;      // the welcome window was closed
    static constexpr int StartFailed = 1;    // the folder, the database: a message said why
    static constexpr int Running = -1;       // signed in: the main window shows

    // Checks the program folder, opens the database and signs the user in, with the main
    // window hidden throughout; shows it and returns Running when someone signed in,
    // otherwise the exit status.
    int Start();

    // How the sign-in at start-up ended.
    enum class StartResult { SignedIn, Cancelled, Failed };
    // The start-up sequence on these windows, the main window hidden throughout: open the
    // database, the welcome and login windows, the user into the main window, today as the
    // working date, the cards, the role's pages; a business user then chooses the book
    // and the pages are filled. The book stored by an earlier run is in force until then.
    static StartResult SignIn(TFormMain &main, TFormWelcome &welcome, TFormChose &chose);

private:
    struct Windows;
    std::unique_ptr<Windows> m_windows;
};

// main(): the application, the program folder, the start and the event loop. Returns the
// program's exit status.
int RunProgram(QApplication &app);

// Prepares the empty server database at address as a book (tables, indexes, reserved rows),
// telling the outcome in Chinese on the terminal: 0 when done, 1 otherwise. The password
// comes from the user's PostgreSQL password file or PGPASSWORD, never from the command line.
int PrepareServerBook(const QString &address);
