#include "FormProgress.h"

#include <QCoreApplication>
#include <QProgressBar>

TFormProgress *FormProgress = nullptr;

TFormProgress::TFormProgress(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FormProgress"));
    setWindowTitle(QStringLiteral("正在处理，请稍候……"));
    setFixedSize(461, 118);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(40, 40, 377, 33);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    if (!FormProgress)
        FormProgress = this;
}

void TFormProgress::SetPosition(int percent)
{
    ProgressBar1->setValue(qBound(0, percent, 100));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
