#include "FormGetPay2.h"

TFormGetPay2 *FormGetPay2 = nullptr;

TFormGetPay2::TFormGetPay2(QWidget *parent) : TFormGetPay(parent, QStringLiteral("FormGetPay2")) {}
