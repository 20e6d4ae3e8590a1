#include "FormMain.h"
#include <QApplication>
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TFormMain w;
    w.show();
    return app.exec();
}
