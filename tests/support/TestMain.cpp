// Runs the tests inside a QApplication on the offscreen platform with a fixed locale.
#include <gtest/gtest.h>

#include "Ui.h"

#include <QApplication>
#include <QDialog>
#include <QLocale>

namespace {

// Outside a ScriptedUi no test may reach a real message box or modal window: it would
// wait for a click that never comes.
class RefusingUi : public UiBackend
{
public:
    void Message(const QString &text, const QString &, Icon) override { fail("message", text); }
    bool Ask(const QString &text, const QString &, AskIcon) override
    {
        fail("question", text);
        return false;
    }
    QString OpenFile(const QString &title, const QString &, const QString &,
                     const QString &) override { fail("open dialog", title); return {}; }
    QString SaveFile(const QString &title, const QString &, const QString &,
                     const QString &) override { fail("save dialog", title); return {}; }
    bool OpenExternally(const QString &what) override { fail("external open", what); return false; }
    int ShowModal(QDialog *d) override { fail("modal window", d->objectName()); return 0; }

private:
    static void fail(const char *what, const QString &text)
    {
        ADD_FAILURE() << "unscripted " << what << ": " << text.toStdString();
    }
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    RefusingUi refusing;
    Ui::Install(&refusing);
    return RUN_ALL_TESTS();
}
