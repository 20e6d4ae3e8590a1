// Choosing the account book to work in: cash, receivables or payables. The choice is
// handed to the caller (ChosenBook) and kept in the settings file for the next start.
#pragma once

#include "FixedDialog.h"

class QLabel;
struct TBookKind;
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
    // The book of the last choice; nullptr before one was made.
    const TBookKind *ChosenBook() const { return m_chosen; }

public slots:
    // book: 0 cash, 1 receivables, 2 payables.
    void ImageClick(int book);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    const TBookKind *m_chosen = nullptr;
};

extern TFormChose *FormChose;
