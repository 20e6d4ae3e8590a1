// A main window with every window its card pages open (account and customer dialogs, the
// two searches), on a fresh prepared database, signed in through the scripted UI; and the
// rows and cards a card test looks at.
#pragma once

#include "BookRows.h"
#include "FormAccount.h"
#include "FormAccountSearch.h"
#include "FormChose.h"
#include "FormCustomer.h"
#include "FormCustomerSearch.h"
#include "FormLogin.h"
#include "FormMain.h"
#include "Program.h"
#include "FormWelcome.h"
#include "Registry.h"
#include "ScriptedUi.h"
#include "Scripts.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

class CardsTest : public ::testing::Test
{
protected:
    // The day the tests work on: mid-month, so that a month has days on both sides of it.
    static QDate Day() { return QDate(2024, 6, 14); }
    static const QString &Cash() { static const QString s = QStringLiteral("现金帐"); return s; }
    static const QString &Get() { static const QString s = QStringLiteral("应收帐"); return s; }
    static const QString &Pay() { static const QString s = QStringLiteral("应付帐"); return s; }

    void SetUp() override
    {
        RegisterWindows(FormMain, &main, FormLogin, &login, FormWelcome, &welcome, FormChose,
                        &chose, FormAccount, &account, FormCustomer, &customer, FormCustomerSearch,
                        &customerSearch, FormAccountSearch, &accountSearch);
    }

    DbConnection *db() { return &data.dm->ADOConnection1; }

    // Signs in (a user without a password), chooses the book (0 cash, 1 receivable,
    // 2 payable) and sets the working day; the cards are then filled for that day.
    void startAs(const QString &user, int book = 0)
    {
        ScriptSignIn(ui, user);
        ScriptBook(ui, book);
        ASSERT_EQ(TProgram::SignIn(main, welcome, chose), TProgram::StartResult::SignedIn);
        main.DateTimePicker1->setDate(Day());
    }

    // The cards on show, in slot order.
    static QList<const TCard *> shown(const TCardPage &page)
    {
        QList<const TCard *> cards;
        for (const TCard &c : page.Cards)
            if (!c.Panel->isHidden())
                cards << &c;
        return cards;
    }
    static QStringList names(const TCardPage &page)
    {
        QStringList out;
        for (const TCard *c : shown(page))
            out << c->NameValue->text();
        return out;
    }
    // The card showing name, or nullptr (with a failure).
    static const TCard *card(const TCardPage &page, const QString &name)
    {
        for (const TCard *c : shown(page))
            if (c->NameValue->text() == name)
                return c;
        ADD_FAILURE() << "no card " << name.toStdString();
        return nullptr;
    }
    static QColor colour(const QLabel *label)
    {
        return label->palette().color(QPalette::WindowText);
    }
    static QColor Red() { return QColor(255, 0, 0); }
    static QColor Blue() { return QColor(0, 0, 255); }

    TestDatabase data;
    ScriptedUi ui;
    TFormMain main;
    TFormLogin login{&main};
    TFormWelcome welcome{&main};
    TFormChose chose{&main};
    TFormAccount account{&main};
    TFormCustomer customer{&main};
    TFormCustomerSearch customerSearch{&main};
    TFormAccountSearch accountSearch{&main};
};
