// The window of "移到服务器…" on the maintenance page: asks for the address of an empty book
// on a database server, confirms, and moves the open book file into it with a progress bar
// and a cancel. Closes with OK once the book is on the server and its address stored.
#pragma once

#include "DbBackup.h"
#include "FixedDialog.h"

#include <functional>

class DbConnection;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

class TFormMoveToServer : public TFixedDialog
{
    Q_OBJECT
public:
    using Mover = std::function<DbCopyResult(DbConnection &from, const QString &address,
                                             const QString &password,
                                             const DbCopyProgress &progress)>;

    explicit TFormMoveToServer(QWidget *parent = nullptr);

    QLabel *Label1;
    QLineEdit *Edit1;          // the server address
    QLabel *LabelState;        // what the move is doing
    QProgressBar *ProgressBar1;
    QPushButton *ButtonYes;
    QPushButton *ButtonNo;     // 取消: closes, or while moving stops the move

    // The move itself: MoveBookToServer, or a test's own.
    Mover Move;
    // The address the book was moved to, after OK.
    QString MovedTo() const { return m_movedTo; }
    bool Moving() const { return m_moving; }

    void FormShow() override;
    void ActionYesExecute();
    void ActionNoExecute();

protected:
    // Escape and the close button stop a move rather than leave it running unseen.
    void reject() override;

private:
    void setMoving(bool moving);

    bool m_moving = false;
    QString m_movedTo;
};
