#include "FormMain.h"
TFormMain::TFormMain(QWidget *parent) : QWidget(parent) {}
