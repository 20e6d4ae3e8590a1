// 澄衡客户管理软件: every window is created by TProgram (Program.cpp) in start-up order;
// the main window shows only after someone has signed in.
#include "Program.h"

#include <QApplication>

#include <cstring>

int main(int argc, char **argv)
{
    // quillmark --prepare-server-book postgresql://user@host/database: the empty server
    // database becomes a book, without a window.
    if (argc == 3 && std::strcmp(argv[1], "--prepare-server-book") == 0) {
        QCoreApplication core(argc, argv);
        return PrepareServerBook(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    return RunProgram(app);
}
