#pragma once
#include <QWidget>
class TFormMain : public QWidget
{
    Q_OBJECT
public:
    explicit TFormMain(QWidget *parent = nullptr);
};
