// What a screen reader hears and what the keyboard reaches: pictures and panels that work
// as buttons, and drop-down lists announced by their caption rather than by their value.
#pragma once

#include <QString>

#include <functional>

class QWidget;

// Drop-down lists are announced by their accessible name, or else by the caption label
// whose buddy they are, with the chosen entry as their value. (Qt's own reading on this
// platform gives the chosen entry as the name, so a list of "所有" is heard as "所有".)
// Installed once; the program does it at start and MakePressable does it too.
void InstallAccessibility();

// A picture or a panel that works as a button: it takes the focus, Enter and Space run
// press, and a screen reader hears it as a button called name with a press action. The
// name may change later through setAccessibleName.
void MakePressable(QWidget *widget, const QString &name, std::function<void()> press);

// The name a screen reader hears for the widget: its accessible name, or else what its
// accessible interface reports.
QString AccessibleNameOf(QWidget *widget);
