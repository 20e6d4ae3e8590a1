#include "FormProgress.h"

#include <QCoreApplication>
#include <QProgressBar>

TFormProgress *FormProgress = nullptr;

// No close button: the work it shows cannot be stopped halfway.
TFormProgress::TFormProgress(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormProgress"), QStringLiteral("正在处理，请稍候……"),
                   QSize(461, 118), TitleButtons::None, Placement::MainWindow)
{
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(40, 40, 377, 33);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
}

void TFormProgress::SetPosition(int percent)
{
    ProgressBar1->setValue(qBound(0, percent, 100));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ProgressTo(int percent)
{
    if (FormProgress)
        FormProgress->SetPosition(percent);
}

void HideProgress()
{
    if (FormProgress)
        FormProgress->hide();
}
