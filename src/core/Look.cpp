#include "Look.h"

#include "Globals.h"

#include <QApplication>
#include <QGuiApplication>
#include <QBitmap>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QImageReader>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QHash>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QPushButton>

namespace {

// A style that only changes the character a password field shows.
class PasswordCharStyle : public QProxyStyle
{
public:
    explicit PasswordCharStyle(QChar ch) : m_ch(ch) {}
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *ret) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return m_ch.unicode();
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }

private:
    QChar m_ch;
};

QString picturePath(const QString &relative)
{
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return ProgramDir + rel;
}

} // namespace

QPixmap LoadPicture(const QString &relative)
{
    QPixmap pm;
    pm.load(picturePath(relative));
    return pm;
}

QPixmap LoadTransparentPicture(const QString &relative)
{
    QPixmap pm = LoadPicture(relative);
    if (!pm.isNull())
        pm.setMask(pm.createMaskFromColor(QColor(255, 0, 255), Qt::MaskInColor));
    return pm;
}

QIcon LoadIcon(const QString &relative)
{
    const QPixmap pm = LoadPicture(relative);
    return pm.isNull() ? QIcon() : QIcon(pm);
}

QStringList ProgramPictures()
{
    // Names without blanks, one blank between two.
    return QStringLiteral(
        "AccountGet.bmp AccountMoney.bmp AccountPay.bmp AccountSearch.ico App.ico App48.png "
        "Ask.bmp Backup.ico Blue+++.ico Blue++.ico Blue+.ico Cancel.ico Chat.ico "
        "Customer2.ico CustomerSearch.ico DayNext.bmp DayPrev.bmp Delete.ico EditGetIn.bmp "
        "EditGetOut.bmp EditMoneyIn.bmp EditMoneyOut.bmp EditPayIn.bmp EditPayOut.bmp "
        "GetIn.ico GetOut.ico Help.ico HintAccount.bmp HintCustomer.bmp Home.ico LeftBar.bmp "
        "Login.ico Modify.ico Money-.ico Money0.ico MoneyIn.ico MoneyOut.ico Month.ico "
        "MonthClose.ico Network.ico NewGetIn.bmp NewGetOut.bmp NewMoneyIn.bmp NewMoneyOut.bmp "
        "NewPayIn.bmp NewPayOut.bmp Ok.ico PayIn.ico PayOut.ico Print.ico Purple+++.ico "
        "Purple++.ico Purple+.ico Reason.ico Restore.ico RightBar.bmp Save.ico Send.ico "
        "Support.ico TabAccount.ico TabCustomer.ico TabDaily.ico TabData.ico TabReport.ico "
        "TabSetting.ico Welcome.bmp Yellow+++.ico Yellow++.ico Yellow+.ico YellowTower.ico")
        .split(QLatin1Char(' '));
}

QStringList DamagedPictures()
{
    QStringList damaged;
    for (const QString &name : ProgramPictures()) {
        // The reader refuses pictures that claim more than its allocation limit, so a
        // damaged header cannot make the program try to hold gigabytes.
        QImageReader reader(picturePath(QStringLiteral("Res/") + name));
        if (reader.read().isNull())
            damaged << name;
    }
    return damaged;
}

QString PictureProblem()
{
    const QStringList damaged = DamagedPictures();
    if (damaged.isEmpty())
        return QString();
    constexpr int shown = 8;
    QString names = damaged.mid(0, shown).join(QStringLiteral("、"));
    if (damaged.size() > shown)
        names += QStringLiteral(" 等");
    return QStringLiteral("程序文件夹的图片文件夹 %1 中有 %2 个图片缺少或已损坏：\n%3\n\n"
                          "程序照常运行，这些图片的位置会空着。重新安装本软件可以恢复它们。")
        .arg(QDir::toNativeSeparators(ProgramDir + QStringLiteral("Res")))
        .arg(damaged.size())
        .arg(names);
}

void SetPasswordChar(QLineEdit *edit, QChar ch)
{
    if (ch.isNull()) {
        edit->setEchoMode(QLineEdit::Normal);
        return;
    }
    // One style per character for the whole program: the prompt window asks for a
    // password many times, and a style made at each asking would stay until the end.
    static QHash<QChar, QPointer<PasswordCharStyle>> styles;
    QPointer<PasswordCharStyle> &style = styles[ch];
    if (!style) {
        style = new PasswordCharStyle(ch);
        style->setParent(QCoreApplication::instance());
    }
    if (edit->style() != style)
        edit->setStyle(style);
    edit->setEchoMode(QLineEdit::Password);
}

QFont ProgramFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                   QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC")});
    f.setPixelSize(12);
    return f;
}

QStringList KaiFamilies()
{
    return {QStringLiteral("楷体_GB2312"), QStringLiteral("KaiTi"),
            QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UKai TW")};
}

QFont KaiFont(int pixelHeight)
{
    // Only a face that is really installed is named: an unknown family would be replaced
    // by whatever the font configuration likes, a serif face as often as not.
    QFont f = ProgramFont();
    const QStringList installed = QFontDatabase::families();
    for (const QString &family : KaiFamilies()) {
        if (installed.contains(family, Qt::CaseInsensitive)) {
            QStringList families = f.families();
            families.prepend(family);
            f.setFamilies(families);
            break;
        }
    }
    f.setPixelSize(pixelHeight);
    return f;
}

QFrame *RoundedFrame(QWidget *parent, const QRect &place)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("RoundedFrame"));
    frame->setGeometry(place);
    frame->setStyleSheet(QStringLiteral(
        "QFrame#RoundedFrame { border: 1px solid #8c9bb0; border-radius: 8px; }"));
    return frame;
}

QLabel *PlaceLabel(QWidget *parent, const QString &name, const QString &text, const QRect &place,
                   Qt::Alignment align)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(place);
    label->setAlignment(align);
    return label;
}

QLineEdit *PlaceEdit(QWidget *parent, const QString &name, const QRect &place)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(place);
    return edit;
}

QComboBox *PlaceCombo(QWidget *parent, const QString &name, const QRect &place)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(false);
    combo->setGeometry(place);
    return combo;
}

QPushButton *PictureButton(QWidget *parent, const QString &name, const QString &caption,
                           const QString &picture, const QRect &place)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(place);
    button->setCursor(Qt::PointingHandCursor);
    if (!picture.isEmpty()) {
        button->setIcon(LoadIcon(picture));
        const int side = qMin(32, place.height() - 8);
        button->setIconSize(QSize(side, side));
    }
    return button;
}

void SetUpChineseInterface(QApplication *app)
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto *translator = new QTranslator(app);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    app->setFont(ProgramFont());
}

void CentreOnDesktop(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect place = window->frameGeometry();
    place.moveCenter(screen->availableGeometry().center());
    window->move(place.topLeft());
}
