// The follow-up entry window: the entry window again, opened by its write-off question for
// the matching receivable or payable 出帐, and never asking that question itself.
#pragma once

#include "FormGetPay.h"

class TFormGetPay2 : public TFormGetPay
{
    Q_OBJECT
public:
    explicit TFormGetPay2(QWidget *parent = nullptr);

protected:
    bool OffersWriteOff() const override { return false; }
};

extern TFormGetPay2 *FormGetPay2;
