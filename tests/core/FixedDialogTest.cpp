// The base of the fixed dialogs: the border cannot be dragged, the title-bar buttons are
// the ones asked for, FormShow runs on every showing, and the window stands in the middle
// of the desktop or of the main window.
#include "FixedDialog.h"
#include "Look.h"

#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class Probe : public TFixedDialog
{
public:
    using TFixedDialog::TFixedDialog;
    void FormShow() override { ++shows; }
    int shows = 0;
};

struct Kind { TFixedDialog::TitleButtons buttons; bool closeButton; };

class FixedDialogButtons : public ::testing::TestWithParam<Kind> {};

TEST_P(FixedDialogButtons, BorderCannotBeDraggedAndButtonsAreTheOnesAskedFor)
{
    Probe d(nullptr, QStringLiteral("FormProbe"), QStringLiteral("标题"), QSize(300, 200),
            GetParam().buttons);
    EXPECT_EQ(d.objectName(), QStringLiteral("FormProbe"));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("标题"));
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    EXPECT_EQ(d.size(), QSize(300, 200));
    EXPECT_EQ(bool(d.windowFlags() & Qt::WindowCloseButtonHint), GetParam().closeButton);
    EXPECT_FALSE(d.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(d.windowFlags() & Qt::WindowMinimizeButtonHint);
    d.resize(500, 400);
    EXPECT_EQ(d.size(), QSize(300, 200));
}

INSTANTIATE_TEST_SUITE_P(Table, FixedDialogButtons, ::testing::Values(
    Kind{TFixedDialog::TitleButtons::Close, true}, Kind{TFixedDialog::TitleButtons::None, false}));

TEST(FixedDialog, FormShowRunsOnEveryShowing)
{
    Probe d(nullptr, QStringLiteral("FormProbe"), QString(), QSize(200, 100));
    for (int i = 1; i <= 3; ++i) {
        d.show();
        d.hide();
        EXPECT_EQ(d.shows, i);
    }
}

// A window whose FormShow finds nothing to show closes itself with a result; shown modally
// it must come back with that result instead of waiting for a window nobody sees.
TEST(FixedDialog, AWindowClosedByItsFormShowReturnsAtOnce)
{
    class Closing : public TFixedDialog
    {
    public:
        using TFixedDialog::TFixedDialog;
        void FormShow() override
        {
            if (closes)
                done(2);
        }
        bool closes = true;
    };
    Closing d(nullptr, QStringLiteral("FormProbe"), QString(), QSize(200, 100));
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(3000, &d, [&d] { d.done(7); });   // a hang ends as 7
    EXPECT_EQ(d.exec(), 2);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(d.isVisible());
    EXPECT_FALSE(d.testAttribute(Qt::WA_ShowModal));

    d.closes = false;
    QTimer::singleShot(0, &d, [&d] { d.done(5); });
    EXPECT_EQ(d.exec(), 5);
}

TEST(FixedDialog, StandsInTheMiddleOfTheDesktopOrOfTheMainWindow)
{
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget main;
    main.setGeometry(desktop.left() + 40, desktop.top() + 30, 500, 400);
    Probe onDesktop(&main, QStringLiteral("A"), QString(), QSize(200, 100));
    Probe onMain(&main, QStringLiteral("B"), QString(), QSize(200, 100),
                 TFixedDialog::TitleButtons::Close, TFixedDialog::Placement::MainWindow);

    // While the main window is hidden the desktop is all there is.
    onMain.show();
    EXPECT_LE((onMain.frameGeometry().center() - desktop.center()).manhattanLength(), 2);
    onMain.hide();

    main.show();
    onDesktop.show();
    onMain.show();
    EXPECT_LE((onDesktop.frameGeometry().center() - desktop.center()).manhattanLength(), 2);
    EXPECT_LE((onMain.frameGeometry().center() - main.frameGeometry().center())
                  .manhattanLength(), 2);
}

// Headings ask for a Kai face: an installed one is used, and without one the window's own
// face, never whatever the font configuration substitutes for an unknown name.
TEST(KaiFont, UsesAnInstalledKaiFaceOrTheWindowFont)
{
    const QStringList installed = QFontDatabase::families();
    QString expected;
    for (const QString &family : KaiFamilies())
        if (expected.isEmpty() && installed.contains(family, Qt::CaseInsensitive))
            expected = family;
    const QFontInfo kai(KaiFont(24));
    if (expected.isEmpty())
        EXPECT_EQ(kai.family(), QFontInfo(ProgramFont()).family());
    else
        EXPECT_EQ(kai.family().toLower(), expected.toLower());
    EXPECT_EQ(kai.pixelSize(), 24);
}

} // namespace
