// Small pieces every window uses: pictures from the Res folder, the "#" password echo,
// rounded frames, picture buttons and the fonts of the interface.
#pragma once

#include <QChar>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QStringList>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// ProgramDir + relative ("Res\Money0.ico" and "Res/Money0.ico" both work). A missing or
// unreadable file gives a null pixmap; windows show nothing in its place.
QPixmap LoadPicture(const QString &relative);
// A bitmap whose magenta background is masked out.
QPixmap LoadTransparentPicture(const QString &relative);
QIcon LoadIcon(const QString &relative);

// Every picture the program shows, by its name in Res.
QStringList ProgramPictures();
// Those of them that are missing from Res or do not load as pictures.
QStringList DamagedPictures();
// The message that names them and says what to do; empty when every picture loads.
QString PictureProblem();

// Shows every typed character as ch; a null QChar shows the text itself.
void SetPasswordChar(QLineEdit *edit, QChar ch);

// The window font: 宋体 9 points where it exists, a CJK font that looks alike elsewhere.
QFont ProgramFont();
// 楷体 at a pixel height, for headings: the first Kai face installed (楷体_GB2312, KaiTi,
// AR PL UKai CN), or the window font's face at that height when none is.
QFont KaiFont(int pixelHeight);
// The Kai faces KaiFont looks for, in order.
QStringList KaiFamilies();

// A frame with rounded corners at a place.
QFrame *RoundedFrame(QWidget *parent, const QRect &place);
// A label at a place.
QLabel *PlaceLabel(QWidget *parent, const QString &name, const QString &text, const QRect &place,
                   Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);
// An edit field and a pick-only list at a place, named as the system names them.
QLineEdit *PlaceEdit(QWidget *parent, const QString &name, const QRect &place);
QComboBox *PlaceCombo(QWidget *parent, const QString &name, const QRect &place);
// A push button with a picture, the hand cursor, an object name and a place.
QPushButton *PictureButton(QWidget *parent, const QString &name, const QString &caption,
                           const QString &picture, const QRect &place);

class QApplication;
// Qt's own Chinese texts (file dialogs, context menus) and the program's font.
void SetUpChineseInterface(QApplication *app);

// Moves a window, frame included, to the middle of the screen's free area.
void CentreOnDesktop(QWidget *window);
