// Every window as a keyboard and screen-reader user meets it, through QAccessible: each
// control the keyboard reaches has a name, the cards are reached and opened from the
// keyboard, and the captions read exactly as the windows' statements give them.
#include "BookRows.h"
#include "CardPage.h"
#include "Database.h"
#include "DatabaseKey.h"
#include "FormMain.h"
#include "Program.h"
#include "ScriptedUi.h"
#include "Scripts.h"
#include "TestFolder.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>

#include <gtest/gtest.h>

namespace {

class Access : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DbConnection db;
        ASSERT_TRUE(db.Open(folder.Database(), QString::fromLatin1(DatabasePassword)));
        const qint64 owed =
            BookRows::Account(&db, QStringLiteral("甲应收"), QStringLiteral("应收帐"));
        BookRows::Customer(&db, QStringLiteral("O'Brien商行"));
        BookRows::Customer(&db, QStringLiteral("乙商行"));
        BookRows::Record(&db, owed, QDate::currentDate(), 150, QStringLiteral("O'Brien商行"));
        db.Close();
        ScriptSignIn(ui, QStringLiteral("出纳"));
        ScriptBook(ui, -1);
        program = std::make_unique<TProgram>();
        ASSERT_EQ(program->Start(), TProgram::Running);
    }
    void TearDown() override
    {
        FormMain->Closing = true;
        program.reset();
    }

    // The main window and every dialog of the program.
    static QList<QWidget *> windows()
    {
        QList<QWidget *> out{FormMain};
        for (QDialog *d : FormMain->findChildren<QDialog *>(Qt::FindDirectChildrenOnly))
            out << d;
        return out;
    }

    static void press(QWidget *w, Qt::Key key)
    {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &down);
    }

    TestFolder folder;
    ScriptedUi ui;
    std::unique_ptr<TProgram> program;
};

// Parts Qt builds inside a control (a list's scroll bars, a date field's editor, the tabs
// of a tab bar, a view's viewport) are announced through the control itself.
bool insideComposite(const QWidget *w, const QWidget *window)
{
    for (const QWidget *p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QComboBox *>(p) || qobject_cast<const QAbstractSpinBox *>(p)
            || qobject_cast<const QAbstractItemView *>(p) || qobject_cast<const QTabBar *>(p))
            return true;
    // A scroll area's viewport (a page view, a chart) is read through the area.
    const auto *area = qobject_cast<const QAbstractScrollArea *>(w->parentWidget());
    return qobject_cast<const QTabBar *>(w) || (area && area->viewport() == w);
}

TEST_F(Access, EveryControlTheKeyboardReachesHasAName)
{
    QStringList unnamed;
    for (QWidget *window : windows())
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (w->window() != window || w->isHidden() || insideComposite(w, window))
                continue;
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
            if (!iface || !iface->state().focusable)
                continue;
            if (iface->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << window->objectName() + QLatin1Char('/') + w->objectName()
                        + QLatin1Char('/') + QLatin1String(w->metaObject()->className());
        }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral("\n")).toStdString();
}

// A customer card is reached with Tab and the arrow keys, read as it shows, highlighted
// while it has the focus, and opened by Enter, Space and a screen reader's press.
TEST_F(Access, ACardOpensFromTheKeyboardAlone)
{
    TFormMain &main = *FormMain;
    const TCardPage &page = main.CustomerPage;
    QWidget *first = page.Cards[0].Panel;
    QWidget *second = page.Cards[1].Panel;
    EXPECT_EQ(QAccessible::queryAccessibleInterface(first)->text(QAccessible::Name),
              QStringLiteral("O'Brien商行，应收 150 元，应付 0 元"));
    QApplication::setActiveWindow(&main);
    ASSERT_EQ(main.focusWidget(), main.TabSheet2);
    press(main.TabSheet2, Qt::Key_Tab);
    EXPECT_EQ(main.focusWidget(), first) << main.focusWidget()->objectName().toStdString();
    first->setFocus();
    EXPECT_EQ(page.CardColour(0), TCardPage::HighlightColour());
    press(first, Qt::Key_Tab);
    EXPECT_EQ(main.focusWidget(), second);
    press(second, Qt::Key_Left);
    EXPECT_EQ(main.focusWidget(), first);
    press(first, Qt::Key_Right);
    EXPECT_EQ(main.focusWidget(), second);
    EXPECT_EQ(page.CardColour(0), TCardPage::ButtonFace());
    EXPECT_EQ(page.CardColour(1), TCardPage::HighlightColour());

    QStringList opened;
    for (int i = 0; i < 3; ++i)
        ui.OnModal(QStringLiteral("FormCustomer2"), [&opened](QDialog *d) {
            opened << d->findChild<QLabel *>(QStringLiteral("LabelName"))->text();
        });
    press(second, Qt::Key_Return);
    press(first, Qt::Key_Space);
    QAccessibleInterface *card = QAccessible::queryAccessibleInterface(second);
    ASSERT_TRUE(card->actionInterface());
    card->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(opened, (QStringList{"乙商行", "O'Brien商行", "乙商行"}));
}

// Captions stand exactly as given: no "：" added where the windows' statements have none.
struct CaptionCase
{
    const char *window;
    QList<const char *> captions;
};

class Captions : public Access, public ::testing::WithParamInterface<CaptionCase>
{ };

TEST_P(Captions, StandExactly)
{
    QStringList texts;
    for (QWidget *window : windows())
        if (window->objectName() == QLatin1String(GetParam().window))
            for (const QLabel *label : window->findChildren<QLabel *>())
                texts << label->text();
    for (const char *caption : GetParam().captions)
        EXPECT_TRUE(texts.contains(QString::fromUtf8(caption))) << caption;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Captions,
    ::testing::Values(CaptionCase{"FormGetPay",
                                  {"单据编号", "帐户名称", "客户名称", "录入时间", "金额",
                                   "收支种类", "业务员", "款项类别", "凭证", "备注"}},
                      CaptionCase{"FormAccount2", {"帐户名称", "帐户余额", "记录总数", "当月收支"}},
                      CaptionCase{"FormCustomer2",
                                  {"客户名称", "省份地区", "电话号码", "传真号码", "联 系 人",
                                   "联系手机", "电子邮箱", "QQ/MSN", "联系地址", "备注信息",
                                   "应收帐款：", "应付帐款：", "当前欠款："}},
                      CaptionCase{"FormMakeReport",
                                  {"单据类型", "单据编号", "客户名称", "帐户名称", "收支种类",
                                   "类别", "凭证", "业务员", "备注"}}));

} // namespace
