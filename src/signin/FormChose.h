// Choosing the account book to work in: cash, receivables or payables. The choice is
// kept in the settings file, where the main window reads it.
#pragma once

#include "FixedDialog.h"

class QLabel;
class QPushButton;

class TFormChose : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormChose(QWidget *parent = nullptr);

    QLabel *LabelTitle;
    QPushButton *Image1;
    QPushButton *Image2;
    QPushButton *Image3;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;

    void FormShow() override;

public slots:
    // book: 0 cash, 1 receivables, 2 payables.
    void ImageClick(int book);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

extern TFormChose *FormChose;
