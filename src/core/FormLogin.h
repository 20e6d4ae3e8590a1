// Signing in: the user picks a name from the Power table and types its password. The
// name last signed in with is preselected; on success it is stored for the next start.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFormLogin : public QDialog
{
    Q_OBJECT
public:
    explicit TFormLogin(QWidget *parent = nullptr);
    ~TFormLogin() override;

    QLabel *Image1;
    QLabel *Label1;
    QLabel *Label2;
    QComboBox *ComboBox1;
    QLineEdit *Edit1;
    QPushButton *ButtonYes;
    QPushButton *ButtonNo;

    void FormShow();

public slots:
    void ActionYesExecute();
    void ActionNoExecute();

protected:
    void showEvent(QShowEvent *event) override;
};

extern TFormLogin *FormLogin;
