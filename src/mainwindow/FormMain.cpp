#include "FormMain.h"

#include "Accessible.h"
#include "AccountCards.h"
#include "BookKind.h"
#include "CustomerCards.h"
#include "FormAccount.h"
#include "FormAccountSearch.h"
#include "DailyPage.h"
#include "FormChose.h"
#include "FormCustomer.h"
#include "FormCustomerSearch.h"
#include "FormOnlineChat.h"
#include "MonthStatement.h"
#include "FormWelcome.h"
#include "Globals.h"
#include "Look.h"
#include "PageData.h"
#include "PageSetting.h"
#include "Session.h"
#include "Settings.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

TFormMain *FormMain = nullptr;

namespace {

constexpr int LeftBarWidth = 97;
constexpr int StripWidth = 16;
// The two sizes the window has: the standard client size, and at most this outer size
// for the large layout when maximised.
constexpr QSize StandardSize(784, 536);
constexpr QSize LargeOuterSize(1024, 768);
constexpr int LargeLayoutHeight = 600;   // outer heights above it take the large layout

QToolButton *bigButton(QWidget *parent, const QString &name, const QString &caption,
                       const QString &picture, const QRect &place)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setIcon(LoadIcon(picture));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setGeometry(place);
    return b;
}

QPushButton *pageButton(QWidget *parent, const QString &name, const QString &caption,
                        const QRect &place)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(place);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

QWidget *sheet(const QString &name)
{
    auto *w = new QWidget;
    w->setObjectName(name);
    return w;
}

} // namespace

TFormMain::TFormMain(QWidget *parent)
    : QWidget(parent),
      AccountPage(TCardPage::Kind::Account),
      CustomerPage(TCardPage::Kind::Customer),
      AccountPageIndex(AccountPage.PageIndex),
      CustomerPageIndex(CustomerPage.PageIndex)
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(ProgramTitle);
    FormCreate();
    setFont(ProgramFont());
    buildLeftBar();
    buildPages();
    AccountPage.Attach(TabSheet1, PriorAccount, NextAccount, ImageAccount);
    CustomerPage.Attach(TabSheet2, PriorCustomer, NextCustomer, ImageCustomer);
    // The border is fixed: the window manager may only offer the standard size and, for
    // maximising, the large one (the step between them is the only size increment).
    setMinimumSize(StandardSize);
    setBaseSize(StandardSize);
    holdBorder();
    resize(StandardSize);
    placePanels();
    m_snapBack.setSingleShot(true);
    m_snapBack.setInterval(150);
    connect(&m_snapBack, &QTimer::timeout, this, &TFormMain::snapBack);
}

TFormMain::~TFormMain() = default;

void TFormMain::FormCreate()
{
    if (ProgramDir.isEmpty())
        SetProgramDir(QCoreApplication::applicationDirPath());
    LargeCardPages = false;
    DataChanged = false;
    Closing = false;
}

void TFormMain::buildLeftBar()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Label1 = PlaceLabel(Panel1, QStringLiteral("Label1"), QStringLiteral("当前帐簿"),
                        QRect(8, 8, 81, 25), Qt::AlignCenter);
    Image1 = PlaceLabel(Panel1, QStringLiteral("Image1"), QString(), QRect(9, 32, 80, 60),
                        Qt::AlignCenter);
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setToolTip(QStringLiteral("点击选择帐簿"));
    Image1->installEventFilter(this);
    MakePressable(Image1, QStringLiteral("选择帐簿"), [this] { Image1Click(); });
    Label2 = PlaceLabel(Panel1, QStringLiteral("Label2"), QStringLiteral("当前日期"),
                        QRect(8, 100, 81, 25), Qt::AlignCenter);
    DateTimePicker1 = new QDateEdit(Panel1);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setGeometry(9, 124, 80, 21);
    DateTimePicker1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setStyleSheet(
        QStringLiteral("QDateEdit { padding: 0px; font-size: 11px; }"
                       " QDateEdit::drop-down { width: 12px; }"));
    DateTimePicker1->setDate(QDate::currentDate());
    connect(DateTimePicker1, &QDateEdit::dateChanged, this, &TFormMain::DateTimePicker1Change);
    Label2->setBuddy(DateTimePicker1);
    BitBtn1 = pageButton(Panel1, QStringLiteral("BitBtn1"), QString(), QRect(8, 152, 41, 21));
    BitBtn1->setIcon(LoadIcon(QStringLiteral("Res/DayPrev.bmp")));
    BitBtn1->setToolTip(QStringLiteral("前一天"));
    BitBtn1->setAccessibleName(BitBtn1->toolTip());
    BitBtn2 = pageButton(Panel1, QStringLiteral("BitBtn2"), QString(), QRect(48, 152, 41, 21));
    BitBtn2->setIcon(LoadIcon(QStringLiteral("Res/DayNext.bmp")));
    BitBtn2->setToolTip(QStringLiteral("后一天"));
    BitBtn2->setAccessibleName(BitBtn2->toolTip());
    connect(BitBtn1, &QPushButton::clicked, this, &TFormMain::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormMain::BitBtn2Click);
    Label17 = PlaceLabel(Panel1, QStringLiteral("Label17"), QStringLiteral("当前用户"),
                         QRect(8, 188, 81, 21), Qt::AlignCenter);
    LabelUser = PlaceLabel(Panel1, QStringLiteral("LabelUser"), QStringLiteral("未登录"),
                           QRect(8, 208, 81, 21), Qt::AlignCenter);
    QPalette blue = LabelUser->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    LabelUser->setPalette(blue);
    ButtonLogin = bigButton(Panel1, QStringLiteral("ButtonLogin"), QStringLiteral("重新登录"),
                            QStringLiteral("Res/Login.ico"), QRect(16, 238, 65, 65));
    ButtonOnlineChat = bigButton(Panel1, QStringLiteral("ButtonOnlineChat"),
                                 QStringLiteral("技术支持"), QStringLiteral("Res/Support.ico"),
                                 QRect(16, 382, 65, 65));
    connect(ButtonLogin, &QToolButton::clicked, this, &TFormMain::ActionLoginExecute);
    connect(ButtonOnlineChat, &QToolButton::clicked, this, &TFormMain::ActionOnlineChatExecute);

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Image7 = new QLabel(Panel2);
    Image7->setObjectName(QStringLiteral("Image7"));
    Image7->setAlignment(Qt::AlignCenter);
    Image7->setCursor(Qt::PointingHandCursor);
    Image7->setPixmap(LoadPicture(QStringLiteral("Res/LeftBar.bmp")));
    Image7->setToolTip(QStringLiteral("隐藏左栏"));
    Image7->installEventFilter(this);
    // Named by its tooltip, which says what a press does.
    MakePressable(Image7, QString(), [this] { Image7Click(); });
    Image7Hint = QStringLiteral("LeftBar");
}

void TFormMain::buildPages()
{
    Panel3 = new QFrame(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    PageControl1 = new QTabWidget(Panel3);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setIconSize(QSize(32, 32));
    TabSheet2 = sheet(QStringLiteral("TabSheet2"));
    TabSheet1 = sheet(QStringLiteral("TabSheet1"));
    TabSheet3 = sheet(QStringLiteral("TabSheet3"));
    TabSheet4 = sheet(QStringLiteral("TabSheet4"));
    TabSheet5 = sheet(QStringLiteral("TabSheet5"));
    TabSheet6 = sheet(QStringLiteral("TabSheet6"));
    PageControl1->addTab(TabSheet2, LoadIcon(QStringLiteral("Res/TabCustomer.ico")),
                         QStringLiteral("客户管理"));
    PageControl1->addTab(TabSheet1, LoadIcon(QStringLiteral("Res/TabAccount.ico")),
                         QStringLiteral("帐户管理"));
    PageControl1->addTab(TabSheet3, LoadIcon(QStringLiteral("Res/TabDaily.ico")),
                         QStringLiteral("日记帐簿"));
    PageControl1->addTab(TabSheet4, LoadIcon(QStringLiteral("Res/TabReport.ico")),
                         QStringLiteral("报表中心"));
    PageControl1->addTab(TabSheet5, LoadIcon(QStringLiteral("Res/TabSetting.ico")),
                         QStringLiteral("软件设置"));
    PageControl1->addTab(TabSheet6, LoadIcon(QStringLiteral("Res/TabData.ico")),
                         QStringLiteral("数据维护"));
    // A page that has the focus is announced by its tab's caption.
    PageControl1->setAccessibleName(QStringLiteral("功能页"));
    for (int page = 0; page < PageControl1->count(); ++page)
        PageControl1->widget(page)->setAccessibleName(PageControl1->tabText(page));
    const TCardSheet accounts = buildCardSheet(TabSheet1, CardKindOf(CardKindId::Account));
    AccountSum = accounts.sum;
    PriorAccount = accounts.prior;
    NewAccount = accounts.add;
    NextAccount = accounts.next;
    ImageAccount = accounts.hint;
    SpeedButton7 = accounts.side.value(0);
    SpeedButton3 = accounts.side.value(1);
    const TCardSheet customers = buildCardSheet(TabSheet2, CardKindOf(CardKindId::Customer));
    CustomerSum = customers.sum;
    PriorCustomer = customers.prior;
    NewCustomer = customers.add;
    NextCustomer = customers.next;
    ImageCustomer = customers.hint;
    SpeedButton6 = customers.side.value(0);
    connect(PriorAccount, &QPushButton::clicked, this, &TFormMain::PriorAccountClick);
    connect(NextAccount, &QPushButton::clicked, this, &TFormMain::NextAccountClick);
    connect(PriorCustomer, &QPushButton::clicked, this, &TFormMain::PriorCustomerClick);
    connect(NextCustomer, &QPushButton::clicked, this, &TFormMain::NextCustomerClick);
    connect(NewAccount, &QPushButton::clicked, this, &TFormMain::NewAccountClick);
    connect(NewCustomer, &QPushButton::clicked, this, &TFormMain::NewCustomerClick);
    SpeedButton7->setEnabled(true);
    SpeedButton3->setEnabled(true);
    connect(SpeedButton3, &QToolButton::clicked, this, &TFormMain::ActionMoneyMonthExecute);
    SpeedButton6->setEnabled(true);
    connect(SpeedButton7, &QToolButton::clicked, this, &TFormMain::ActionAccountSearchExecute);
    connect(SpeedButton6, &QToolButton::clicked, this, &TFormMain::ActionCustomerSearchExecute);
    PanelSetting = new QWidget(TabSheet5);
    PanelSetting->setObjectName(QStringLiteral("PanelSetting"));
    PanelSetting->setGeometry(0, 0, 660, 470);
    SettingPage = new TPageSetting(PanelSetting);
    DataPage = new TPageData(TabSheet6);
    connect(DataPage, &TPageData::EndProgram, this, &QWidget::close);
    Daily = new TDailyPage(TabSheet3, TabSheet4, AccountSum, this);
    placeSheetControls(false);
}

TFormMain::TCardSheet TFormMain::buildCardSheet(QWidget *page, const TCardKind &kind)
{
    page->setMouseTracking(true);
    page->installEventFilter(this);
    // The sheet takes the focus when a paging button turns itself off or after signing
    // in again, so that typing never lands in the date field unasked.
    page->setFocusPolicy(Qt::ClickFocus);
    const QString &what = kind.prefix;
    TCardSheet sheet;
    sheet.sum = PlaceLabel(page, what + QStringLiteral("Sum"), QStringLiteral("总金额：0 元"),
                           QRect(24, 444, 121, 33), Qt::AlignLeft | Qt::AlignVCenter);
    sheet.prior = pageButton(page, QStringLiteral("Prior") + what, QStringLiteral("上一页"),
                             QRect(184, 444, 121, 33));
    sheet.add = pageButton(page, QStringLiteral("New") + what, kind.newCaption,
                           QRect(336, 444, 121, 33));
    sheet.next = pageButton(page, QStringLiteral("Next") + what, QStringLiteral("下一页"),
                            QRect(488, 444, 121, 33));
    sheet.hint = PlaceLabel(page, QStringLiteral("Image") + what, QString(),
                            QRect(152, 292, 350, 150), Qt::AlignCenter);
    sheet.hint->setPixmap(LoadTransparentPicture(kind.hint));
    sheet.hint->hide();
    sheet.prior->setEnabled(false);
    sheet.next->setEnabled(false);
    // A side button comes alive with the window it opens.
    for (const TSideButton &b : kind.sideButtons) {
        QToolButton *button = bigButton(page, b.name, b.caption, b.picture,
                                        QRect(672, b.top, 65, 65));
        button->setEnabled(false);
        sheet.side << button;
    }
    return sheet;
}

void TFormMain::placeSheetControls(bool large)
{
    // The large places are the standard ones moved by fixed offsets.
    const QPoint sumShift = large ? QPoint(20, 174) : QPoint();
    const QPoint shift = large ? QPoint(40, 174) : QPoint();
    const int side = large ? 902 : 672;
    AccountSum->move(QPoint(24, 444) + sumShift);
    CustomerSum->move(QPoint(24, 444) + sumShift);
    ImageAccount->move(QPoint(152, 292) + shift);
    ImageCustomer->move(QPoint(152, 292) + shift);
    PriorAccount->move(QPoint(184, 444) + shift);
    PriorCustomer->move(QPoint(184, 444) + shift);
    NewAccount->move(QPoint(336, 444) + shift);
    NewCustomer->move(QPoint(336, 444) + shift);
    NextAccount->move(QPoint(488, 444) + shift);
    NextCustomer->move(QPoint(488, 444) + shift);
    SpeedButton7->move(side, 15);
    SpeedButton3->move(side, 95);
    SpeedButton6->move(side, 15);
    PanelSetting->move(large ? QPoint(120, 60) : QPoint(0, 0));
}

void TFormMain::placePanels()
{
    const int left = Image7Hint == QLatin1String("LeftBar") ? LeftBarWidth : 0;
    Panel1->setGeometry(0, 0, left, height());
    Panel1->setVisible(left > 0);
    Panel2->setGeometry(left, 0, StripWidth, height());
    Image7->setGeometry(0, 0, StripWidth, height());
    Panel3->setGeometry(left + StripWidth, 0, width() - left - StripWidth, height());
    PageControl1->setGeometry(0, 0, Panel3->width(), Panel3->height());
}

QString TFormMain::User() const
{
    return Session::User();
}

QDate TFormMain::WorkingDate() const
{
    return DateTimePicker1->date();
}

bool TFormMain::IsAdministrator() const
{
    return Session::IsAdministrator();
}

void TFormMain::focusPage()
{
    if (QWidget *page = PageControl1->currentWidget())
        page->setFocus();
}

// ---------------------------------------------------------------- start-up

void TFormMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    CentreOnDesktop(this);
}

void TFormMain::EndStartUp()
{
    Closing = true;
    hide();
}

void TFormMain::SignIn(const QString &user)
{
    m_started = true;
    Session::SetUser(user);
    LabelUser->setText(Session::User());
}

void TFormMain::ApplyRole()
{
    const bool admin = IsAdministrator();
    for (int page = PageCustomer; page <= PageData; ++page)
        PageControl1->setTabVisible(page, admin == (page >= PageSetting));
    PageControl1->setCurrentIndex(admin ? PageSetting : PageCustomer);
    focusPage();
    if (admin) {
        SettingPage->AdministratorSignedIn();
        DataPage->AdministratorSignedIn();
    }
}

// Signing in again keeps the book chosen at start-up.
void TFormMain::ActionLoginExecute()
{
    if (!FormWelcome || Ui::ShowModal(FormWelcome) != QDialog::Accepted)
        return;
    SignIn(FormWelcome->SignedInUser());
    ApplyRole();
    if (!IsAdministrator())
        RefreshAll();
}

void TFormMain::ActionOnlineChatExecute()
{
    if (FormOnlineChat)
        Ui::ShowModal(FormOnlineChat);
}

void TFormMain::FormClose()
{
    Closing = true;
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    FormClose();
    QWidget::closeEvent(event);
    // Closing the main window ends the program, hidden windows included.
    QCoreApplication::quit();
}

// ---------------------------------------------------------------- cards

void TFormMain::CreateCards()
{
    AccountPage.CreateCards(this,
                            [this](int slot) { OpenCardDetail(TCardPage::Kind::Account, slot); });
    CustomerPage.CreateCards(this,
                             [this](int slot) { OpenCardDetail(TCardPage::Kind::Customer, slot); });
    // Tab reaches the cards first, then the buttons under and beside them.
    const auto cardsFirst = [](const TCardPage &page, QList<QWidget *> after) {
        QWidget *previous = page.Cards[TCardPage::SlotCount - 1].Panel;
        for (QWidget *w : after)
            if (w) {
                setTabOrder(previous, w);
                previous = w;
            }
    };
    cardsFirst(AccountPage, {PriorAccount, NewAccount, NextAccount, SpeedButton7, SpeedButton3});
    cardsFirst(CustomerPage, {PriorCustomer, NewCustomer, NextCustomer, SpeedButton6});
}

void TFormMain::ApplyCardLayout(bool large)
{
    LargeCardPages = large;
    AccountPage.Layout(large);
    CustomerPage.Layout(large);
    placeSheetControls(large);
    if (FillAccountCards())
        FillCustomerCards();
}

void TFormMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placePanels();
    FormResize();
    // A size the user dragged to, or that the window manager gave a window that is not
    // maximised, does not stay: once the dragging is over the standard size returns.
    if (isVisible() && !Closing && !maximisedOrMinimised() && size() != StandardSize)
        m_snapBack.start();
}

void TFormMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || Closing)
        return;
    // Restoring returns to the standard size, whatever the window manager restored, at
    // the place the window had before; once the window manager has settled the restore.
    if (!maximisedOrMinimised()) {
        resize(StandardSize);
        QTimer::singleShot(0, this, [this] {
            if (Closing || maximisedOrMinimised())
                return;
            if (m_normalPlace.isNull())
                resize(StandardSize);
            else
                setGeometry(QRect(m_normalPlace, StandardSize));
        });
    }
}

void TFormMain::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // Only a window at the standard size, not maximised, tells where it stands normally.
    if (isVisible() && !maximisedOrMinimised() && size() == StandardSize)
        m_normalPlace = geometry().topLeft();
}

bool TFormMain::maximisedOrMinimised() const
{
    return windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen);
}

void TFormMain::snapBack()
{
    if (!Closing && !maximisedOrMinimised() && size() != StandardSize)
        resize(StandardSize);
}

void TFormMain::holdBorder()
{
    // The large layout's limit is an outer size; the frame is only known once the window
    // manager has framed the window, so the client limit follows it.
    const QRect outer = frameGeometry();
    const QSize large(LargeOuterSize.width() - (outer.width() - width()),
                      LargeOuterSize.height() - (outer.height() - height()));
    if (maximumSize() == large)
        return;
    setMaximumSize(large);
    setSizeIncrement(large - StandardSize);
}

void TFormMain::FormResize()
{
    if (Closing)
        return;
    holdBorder();
    if (!AccountPage.Created())
        return;
    const QRect outer = frameGeometry();
    if (outer.height() <= LargeLayoutHeight) {
        if (LargeCardPages)
            ApplyCardLayout(false);
        return;
    }
    if (outer.width() > LargeOuterSize.width() || outer.height() > LargeOuterSize.height())
        resize(qMin(width(), maximumWidth()), qMin(height(), maximumHeight()));
    if (!LargeCardPages)
        ApplyCardLayout(true);
}

void TFormMain::RefreshAll()
{
    AccountPageIndex = 0;
    BuildAccountAndMoneyFilters();
    if (!FillAccountCards())
        return;
    BuildCustomerFilter();
    if (FillCustomerCards())
        Daily->FillRecordGrids();
}

void TFormMain::BuildAccountAndMoneyFilters()
{
    const QString book = Session::Book();
    Image1->setPixmap(LoadPicture(BookKindOrCash(book).Picture()));
    Image1->setAccessibleName(QStringLiteral("当前帐簿：%1，按下可选择帐簿").arg(book));
    AccountFilter = QStringLiteral(" And (AccountType = %1)").arg(Quoted(book));
    const QString u = User();
    if (SeesOwnRowsOnly(u)) {
        AccountFilter += QStringLiteral(" And ((AccountPower = %1) Or (AccountPower = '出纳'))")
                             .arg(Quoted(u));
        MoneyFilter = QStringLiteral(" And (MoneyPower=%1)").arg(Quoted(u));
    } else {
        MoneyFilter.clear();
    }
}

void TFormMain::BuildCustomerFilter()
{
    CustomerFilter.clear();
    const QString u = User();
    if (SeesOwnRowsOnly(u))
        CustomerFilter = QStringLiteral(" And ((CustomerPower = %1) Or (CustomerPower = '出纳'))")
                             .arg(Quoted(u));
}

bool TFormMain::FillAccountCards()
{
    return AccountPage.Fill(FillAccountCard,
                            FormAccountSearch ? FormAccountSearch->AccountSearchCondition
                                              : QString());
}

bool TFormMain::FillCustomerCards()
{
    return CustomerPage.Fill(FillCustomerCard,
                             FormCustomerSearch ? FormCustomerSearch->CustomerSearchCondition
                                                : QString());
}

void TFormMain::NewAccountClick()
{
    if (!FormAccount)
        return;
    FormAccount->DialogAccountIndex = 0;
    if (Ui::ShowModal(FormAccount) != QDialog::Accepted)
        return;
    if (AddAccount(FormAccount->DialogAccountName, FormAccount->DialogAccountBase))
        RefreshAll();
}

void TFormMain::NewCustomerClick()
{
    if (!FormCustomer)
        return;
    FormCustomer->DialogCustomerIndex = 0;
    if (Ui::ShowModal(FormCustomer) == TFormCustomer::Written)
        RefreshAll();
}

void TFormMain::ActionMoneyMonthExecute()
{
    PrintMonthStatement(WorkingDate(), this);
}

void TFormMain::ActionAccountSearchExecute()
{
    if (FormAccountSearch && Ui::ShowModal(FormAccountSearch) == QDialog::Accepted)
        FillAccountCards();
}

void TFormMain::ActionCustomerSearchExecute()
{
    if (FormCustomerSearch && Ui::ShowModal(FormCustomerSearch) == QDialog::Accepted)
        FillCustomerCards();
}

void TFormMain::HighlightCard(TCardPage::Kind kind, int index)
{
    (kind == TCardPage::Kind::Account ? AccountPage : CustomerPage).Highlight(index);
}

void TFormMain::OpenCardDetail(TCardPage::Kind kind, int index)
{
    const bool account = kind == TCardPage::Kind::Account;
    const qint64 key = (account ? AccountPage : CustomerPage).Cards[size_t(index)].Tag();
    const auto &show = account ? ShowAccountDetail : ShowCustomerDetail;
    if (show)
        show(key);
    if (DataChanged) {
        DataChanged = false;
        RefreshAll();
    }
}

// ---------------------------------------------------------------- handlers

bool TFormMain::cardKeyOrFocus(QWidget *w, QEvent *event)
{
    TCardPage *page = AccountPage.SlotOf(w) >= 0 ? &AccountPage
        : CustomerPage.SlotOf(w) >= 0            ? &CustomerPage
                                                 : nullptr;
    const int slot = page ? page->SlotOf(w) : -1;
    if (slot < 0 || page->Cards[size_t(slot)].Panel != w)
        return false;
    // The focused card looks as the card under the mouse does.
    if (event->type() == QEvent::FocusIn) {
        page->Highlight(slot);
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        page->ClearHighlight();
        return false;
    }
    const int columns = LargeCardPages ? 4 : 3;
    int step = 0;
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Right:
        step = 1;
        break;
    case Qt::Key_Up:
        step = -columns;
        break;
    case Qt::Key_Down:
        step = columns;
        break;
    default:
        return false;
    }
    const int next = page->NeighbourOf(slot, step);
    if (next >= 0)
        page->Cards[size_t(next)].Panel->setFocus(Qt::OtherFocusReason);
    return true;
}

bool TFormMain::eventFilter(QObject *watched, QEvent *event)
{
    auto *w = qobject_cast<QWidget *>(watched);
    const QEvent::Type type = event->type();
    if (w && (type == QEvent::FocusIn || type == QEvent::FocusOut || type == QEvent::KeyPress))
        return cardKeyOrFocus(w, event) || QWidget::eventFilter(watched, event);
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress
        && type != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const bool click = type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton
        && w->rect().contains(mouse->position().toPoint());
    if (w == TabSheet1 || w == TabSheet2) {
        if (type == QEvent::MouseMove)
            w == TabSheet1 ? TabSheet1MouseMove() : TabSheet2MouseMove();
        return false;
    }
    if (w == Image7 || w == Image1) {
        if (click)
            w == Image7 ? Image7Click() : Image1Click();
        return type != QEvent::MouseMove;
    }
    const bool account = AccountPage.SlotOf(w) >= 0;
    if (!account && CustomerPage.SlotOf(w) < 0)
        return QWidget::eventFilter(watched, event);
    if (type == QEvent::MouseMove)
        account ? AccountPanel1MouseMove(w) : CustomerPanel1MouseMove(w);
    else if (click)
        account ? AccountPanel1Click(w) : CustomerPanel1Click(w);
    return true;
}

void TFormMain::Image7Click()
{
    if (Image7Hint == QLatin1String("LeftBar")) {
        Image7Hint = QStringLiteral("RightBar");
        Image7->setPixmap(LoadPicture(QStringLiteral("Res/RightBar.bmp")));
        Image7->setToolTip(QStringLiteral("显示左栏"));
    } else {
        Image7Hint = QStringLiteral("LeftBar");
        Image7->setPixmap(LoadPicture(QStringLiteral("Res/LeftBar.bmp")));
        Image7->setToolTip(QStringLiteral("隐藏左栏"));
    }
    placePanels();
}

void TFormMain::Image1Click()
{
    if (IsAdministrator() || !FormChose)
        return;
    if (Ui::ShowModal(FormChose) == QDialog::Accepted && FormChose->ChosenBook()) {
        Session::SetBook(FormChose->ChosenBook()->name);
        RefreshAll();
    }
}

void TFormMain::SetWorkingDate(const QDate &date)
{
    const QSignalBlocker quiet(DateTimePicker1);
    DateTimePicker1->setDate(date);
    Session::SetWorkingDate(DateTimePicker1->date());
}

void TFormMain::DateTimePicker1Change()
{
    Session::SetWorkingDate(DateTimePicker1->date());
    if (!IsAdministrator() && m_started)
        RefreshAll();
}

void TFormMain::moveDate(int days)
{
    SetWorkingDate(WorkingDate().addDays(days));
    if (!IsAdministrator())
        RefreshAll();
}

void TFormMain::BitBtn1Click()
{
    moveDate(-1);
}

void TFormMain::BitBtn2Click()
{
    moveDate(1);
}

void TFormMain::TabSheet1MouseMove()
{
    AccountPage.ClearHighlight();
}

void TFormMain::TabSheet2MouseMove()
{
    CustomerPage.ClearHighlight();
}

void TFormMain::AccountPanel1MouseMove(QWidget *sender)
{
    HighlightCard(TCardPage::Kind::Account, AccountPage.SlotOf(sender));
}

void TFormMain::CustomerPanel1MouseMove(QWidget *sender)
{
    HighlightCard(TCardPage::Kind::Customer, CustomerPage.SlotOf(sender));
}

void TFormMain::AccountPanel1Click(QWidget *sender)
{
    const int slot = AccountPage.SlotOf(sender);
    if (slot >= 0)
        OpenCardDetail(TCardPage::Kind::Account, slot);
}

void TFormMain::CustomerPanel1Click(QWidget *sender)
{
    const int slot = CustomerPage.SlotOf(sender);
    if (slot >= 0)
        OpenCardDetail(TCardPage::Kind::Customer, slot);
}

void TFormMain::PriorAccountClick()
{
    --AccountPageIndex;
    FillAccountCards();
}

void TFormMain::NextAccountClick()
{
    ++AccountPageIndex;
    FillAccountCards();
}

void TFormMain::PriorCustomerClick()
{
    --CustomerPageIndex;
    FillCustomerCards();
}

void TFormMain::NextCustomerClick()
{
    ++CustomerPageIndex;
    FillCustomerCards();
}
