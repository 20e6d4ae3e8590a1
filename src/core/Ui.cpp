#include "Ui.h"

#include "Globals.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace {

UiBackend *installed = nullptr;

QWidget *activeParent()
{
    return QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                             : QApplication::activeWindow();
}

QString fileDialog(bool save, const QString &title, const QString &dir, const QString &filter,
                   const QString &suffix)
{
    QFileDialog dlg(activeParent(), title, dir, filter);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!suffix.isEmpty())
        dlg.setDefaultSuffix(suffix);
    dlg.setLabelText(QFileDialog::Accept, save ? QStringLiteral("保存") : QStringLiteral("打开"));
    dlg.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().constFirst();
}

} // namespace

namespace Ui {

UiBackend *Install(UiBackend *backend)
{
    UiBackend *previous = installed;
    installed = backend;
    return previous;
}

UiBackend &Backend()
{
    static DesktopUi desktop;
    return installed ? *installed : desktop;
}

void Message(const QString &text, const QString &title, Icon icon)
{
    Backend().Message(text, title.isEmpty() ? ProgramTitle : title, icon);
}

void Error(const QString &text, const QString &title)
{
    Message(text, title.isEmpty() ? QStringLiteral("错误") : title, Icon::Error);
}

bool Ask(const QString &text, const QString &title, AskIcon icon)
{
    return Backend().Ask(text, title, icon);
}

Choice AskYesNoCancel(const QString &text, const QString &title)
{
    return Backend().AskYesNoCancel(text, title);
}

QString OpenFile(const QString &title, const QString &dir, const QString &filter,
                 const QString &defaultSuffix)
{
    return Backend().OpenFile(title, dir, filter, defaultSuffix);
}

QString SaveFile(const QString &title, const QString &dir, const QString &filter,
                 const QString &defaultSuffix)
{
    return Backend().SaveFile(title, dir, filter, defaultSuffix);
}

bool OpenExternally(const QString &pathOrUrl)
{
    return Backend().OpenExternally(pathOrUrl);
}

int ShowModal(QDialog *dialog)
{
    return Backend().ShowModal(dialog);
}

} // namespace Ui

void DesktopUi::Message(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(icon == Icon::Error     ? QMessageBox::Critical
                    : icon == Icon::Warning ? QMessageBox::Warning
                                            : QMessageBox::Information,
                    title, text, QMessageBox::NoButton, activeParent());
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

bool DesktopUi::Ask(const QString &text, const QString &title, AskIcon icon)
{
    QMessageBox box(icon == AskIcon::None              ? QMessageBox::NoIcon
                        : icon == AskIcon::Information ? QMessageBox::Information
                                                       : QMessageBox::Question,
                    title, text, QMessageBox::NoButton, activeParent());
    QPushButton *yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

UiBackend::Choice DesktopUi::AskYesNoCancel(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, activeParent());
    QPushButton *yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
    QPushButton *cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return Choice::Yes;
    return box.clickedButton() == no ? Choice::No : Choice::Cancel;
}

QString DesktopUi::OpenFile(const QString &title, const QString &dir, const QString &filter,
                            const QString &defaultSuffix)
{
    return fileDialog(false, title, dir, filter, defaultSuffix);
}

QString DesktopUi::SaveFile(const QString &title, const QString &dir, const QString &filter,
                            const QString &defaultSuffix)
{
    return fileDialog(true, title, dir, filter, defaultSuffix);
}

bool DesktopUi::OpenExternally(const QString &pathOrUrl)
{
    const QUrl url = pathOrUrl.contains(QLatin1String("://"))
            || pathOrUrl.startsWith(QLatin1String("mailto:"))
        ? QUrl(pathOrUrl)
        : QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}

int DesktopUi::ShowModal(QDialog *dialog)
{
    return dialog->exec();
}
