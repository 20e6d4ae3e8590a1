// The base of the system's small fixed windows (welcome, login, book chooser, prompt,
// progress, support contact and the dialogs still to come): a border that cannot be
// dragged, a client area of a given size, centred when it shows, and FormShow run on
// every showing, so that a window is its controls and its logic.
#pragma once

#include <QDialog>

class TFixedDialog : public QDialog
{
    Q_OBJECT
public:
    // The title bar's buttons: the close button (and the system menu), or none at all,
    // for a window that is left only through its own buttons.
    enum class TitleButtons { Close, None };
    // Where the window stands when it shows: the middle of the desktop's free area, the
    // middle of the main window (the desktop while that is hidden), or where it was.
    enum class Placement { Desktop, MainWindow, Unchanged };

    TFixedDialog(QWidget *parent, const QString &name, const QString &title, QSize client,
                 TitleButtons buttons = TitleButtons::Close,
                 Placement placement = Placement::Desktop);

    TitleButtons Buttons() const { return m_buttons; }
    Placement WhereShown() const { return m_placement; }

    // Runs on every showing, after the window is placed: fill the controls, set the focus.
    // It may close the window (done) when there is nothing to show.
    virtual void FormShow() {}

    // A window that FormShow closed returns its result at once instead of waiting in an
    // event loop for a window that is already gone.
    int exec() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void place();

    TitleButtons m_buttons;
    Placement m_placement;
};
