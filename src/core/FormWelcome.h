// The first window after start-up: the welcome picture, the way to sign in, the home page
// and the manual. Accepted once a user has signed in.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TFormWelcome : public QDialog
{
    Q_OBJECT
public:
    explicit TFormWelcome(QWidget *parent = nullptr);
    ~TFormWelcome() override;

    QLabel *Image1;
    QLabel *LabelTitle;
    QLabel *LabelPhone;
    QPushButton *ButtonLogin;
    QPushButton *ButtonHomePage;
    QPushButton *ButtonInstruction;

    void FormShow();

public slots:
    void ActionLoginExecute();
    void ActionHomePageExecute();
    void ActionInstructionExecute();

protected:
    void showEvent(QShowEvent *event) override;
};

extern TFormWelcome *FormWelcome;
