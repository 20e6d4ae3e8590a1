// 澄衡客户管理软件: every window is created by TProgram (Program.cpp) in start-up order;
// the main window shows only after someone has signed in.
#include "Program.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return RunProgram(app);
}
