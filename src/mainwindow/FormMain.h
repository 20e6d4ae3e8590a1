// The main window: the left bar with the account book, the working date and the user,
// the fold strip, and the six pages; the account and customer card pages with their
// layouts, paging and highlight; signing in again. The program's start (TProgram) signs
// the first user in through it.
#pragma once

#include "CardPage.h"

#include <QDate>
#include <QList>
#include <QTimer>
#include <QWidget>

#include <functional>

class QDateEdit;
class TPageData;
class TPageSetting;
class QFrame;
class QLabel;
class QPushButton;
class QTabWidget;
class QToolButton;
class TDailyPage;

class TFormMain : public QWidget
{
    Q_OBJECT
public:
    enum Page { PageCustomer, PageAccount, PageDaily, PageReport, PageSetting, PageData };

    explicit TFormMain(QWidget *parent = nullptr);
    ~TFormMain() override;

    // Left bar.
    QFrame *Panel1;
    QLabel *Label1;
    QLabel *Image1;
    QLabel *Label2;
    QDateEdit *DateTimePicker1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
    QLabel *Label17;
    QLabel *LabelUser;
    QToolButton *ButtonLogin;
    QToolButton *ButtonOnlineChat;
    // Fold strip.
    QFrame *Panel2;
    QLabel *Image7;
    QString Image7Hint;   // "LeftBar" while the left bar shows, "RightBar" while folded
    // Pages.
    QFrame *Panel3;
    QTabWidget *PageControl1;
    QWidget *TabSheet1;   // 帐户管理
    QWidget *TabSheet2;   // 客户管理
    QWidget *TabSheet3;   // 日记帐簿
    QWidget *TabSheet4;   // 报表中心
    QWidget *TabSheet5;   // 软件设置
    QWidget *TabSheet6;   // 数据维护
    QLabel *AccountSum;
    QPushButton *PriorAccount;
    QPushButton *NewAccount;
    QPushButton *NextAccount;
    QLabel *ImageAccount;
    QToolButton *SpeedButton7;
    QToolButton *SpeedButton3;
    QLabel *CustomerSum;
    QPushButton *PriorCustomer;
    QPushButton *NewCustomer;
    QPushButton *NextCustomer;
    QLabel *ImageCustomer;
    QToolButton *SpeedButton6;
    QWidget *PanelSetting;
    TDailyPage *Daily;    // the journal (日记帐簿) and the report grid (报表中心)
    TPageSetting *SettingPage;   // the contents of PanelSetting
    TPageData *DataPage;         // the contents of TabSheet6

    TCardPage AccountPage;
    TCardPage CustomerPage;
    int &AccountPageIndex;
    int &CustomerPageIndex;
    bool Closing = false;

    // The session's user (Session::User()) and the date in the date field.
    QString User() const;
    QDate WorkingDate() const;
    bool IsAdministrator() const;

    // The steps of start-up and signing in again; the program runs them in their order.
    void FormCreate();
    void FormClose();
    // The user into the session and LabelUser; from then on the window is started.
    void SignIn(const QString &user);
    bool Started() const { return m_started; }
    // A start that ended before anyone signed in: the window stays hidden and ignores
    // resizing from then on.
    void EndStartUp();
    void SetWorkingDate(const QDate &date);
    // Shows the pages of the signed-in user's role; the administrator's are filled.
    void ApplyRole();

    // Cards.
    void CreateCards();
    void ApplyCardLayout(bool large);
    void FormResize();
    void RefreshAll();
    void BuildAccountAndMoneyFilters();
    void BuildCustomerFilter();
    bool FillAccountCards();
    bool FillCustomerCards();
    void HighlightCard(TCardPage::Kind kind, int index);
    void OpenCardDetail(TCardPage::Kind kind, int index);

    // Handlers.
    void ActionLoginExecute();
    void ActionOnlineChatExecute();
    void Image7Click();
    void Image1Click();
    void DateTimePicker1Change();
    void BitBtn1Click();
    void BitBtn2Click();
    void TabSheet1MouseMove();
    void TabSheet2MouseMove();
    void AccountPanel1MouseMove(QWidget *sender);
    void CustomerPanel1MouseMove(QWidget *sender);
    void AccountPanel1Click(QWidget *sender);
    void CustomerPanel1Click(QWidget *sender);
    void PriorAccountClick();
    void NextAccountClick();
    void PriorCustomerClick();
    void NextCustomerClick();
    void NewAccountClick();
    void NewCustomerClick();
    void ActionAccountSearchExecute();
    void ActionCustomerSearchExecute();
    // 帐户月结 (SpeedButton3): the month closing statement of the working date's month.
    void ActionMoneyMonthExecute();

    // Detail windows of later parts of the program are reached through these; while
    // unset a card click only refreshes when data changed.
    std::function<void(qint64)> ShowAccountDetail;
    std::function<void(qint64)> ShowCustomerDetail;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The controls of a card sheet below and beside its cards.
    struct TCardSheet
    {
        QLabel *sum = nullptr;
        QPushButton *prior = nullptr;
        QPushButton *add = nullptr;
        QPushButton *next = nullptr;
        QLabel *hint = nullptr;
        QList<QToolButton *> side;
    };

    void buildLeftBar();
    void buildPages();
    TCardSheet buildCardSheet(QWidget *sheet, const TCardKind &kind);
    void placePanels();
    void placeSheetControls(bool large);
    void moveDate(int days);
    // Focus and arrow keys on a card panel; true when the event was used.
    bool cardKeyOrFocus(QWidget *w, QEvent *event);
    void focusPage();
    void holdBorder();
    void snapBack();
    bool maximisedOrMinimised() const;

    bool m_shown = false;
    bool m_started = false;
    QTimer m_snapBack;
    QPoint m_normalPlace;   // where the window stands when neither maximised nor minimised
};

extern TFormMain *FormMain;
