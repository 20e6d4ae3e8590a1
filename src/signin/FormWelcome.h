// The first window after start-up: the welcome picture, the way to sign in, the home page
// and the manual. Accepted once a user has signed in through the login window (FormLogin).
#pragma once

#include "FixedDialog.h"

class QLabel;
class QPushButton;

class TFormWelcome : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormWelcome(QWidget *parent = nullptr);

    QLabel *Image1;
    QLabel *LabelTitle;
    QLabel *LabelPhone;
    QPushButton *ButtonLogin;
    QPushButton *ButtonHomePage;
    QPushButton *ButtonInstruction;

    void FormShow() override;
    // Who signed in through the login window when this window closed with OK.
    QString SignedInUser() const { return m_user; }

public slots:
    void ActionLoginExecute();
    void ActionHomePageExecute();
    void ActionInstructionExecute();

private:
    QString m_user;
};

extern TFormWelcome *FormWelcome;
