#include "FixedDialog.h"

#include "Look.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

Qt::WindowFlags flagsFor(TFixedDialog::TitleButtons buttons)
{
    // MSWindowsFixedSizeDialogHint keeps the border thin where the platform knows it; the
    // fixed size below is what stops the dragging everywhere.
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::MSWindowsFixedSizeDialogHint;
    if (buttons == TFixedDialog::TitleButtons::Close)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return flags;
}

} // namespace

TFixedDialog::TFixedDialog(QWidget *parent, const QString &name, const QString &title,
                           QSize client, TitleButtons buttons, Placement placement)
    : QDialog(parent, flagsFor(buttons)), m_buttons(buttons), m_placement(placement)
{
    setObjectName(name);
    setWindowTitle(title);
    setFixedSize(client);
}

void TFixedDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    place();
    FormShow();
}

int TFixedDialog::exec()
{
    const bool wasModal = testAttribute(Qt::WA_ShowModal);
    setAttribute(Qt::WA_ShowModal, true);
    setResult(0);
    show();
    const int shown = isVisible() ? QDialog::exec() : result();
    setAttribute(Qt::WA_ShowModal, wasModal);
    return shown;
}

void TFixedDialog::place()
{
    if (m_placement == Placement::Unchanged)
        return;
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (m_placement == Placement::MainWindow && owner && owner->isVisible()) {
        QRect frame = frameGeometry();
        frame.moveCenter(owner->frameGeometry().center());
        // Never pushed off the screen by a main window that stands near its edge.
        const QScreen *screen = owner->screen() ? owner->screen()
                                                : QGuiApplication::primaryScreen();
        if (screen) {
            const QRect free = screen->availableGeometry();
            frame.moveLeft(qBound(free.left(), frame.left(),
                                  qMax(free.left(), free.right() - frame.width() + 1)));
            frame.moveTop(qBound(free.top(), frame.top(),
                                 qMax(free.top(), free.bottom() - frame.height() + 1)));
        }
        move(frame.topLeft());
        return;
    }
    CentreOnDesktop(this);
}
