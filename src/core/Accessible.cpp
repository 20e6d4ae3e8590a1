#include "Accessible.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace {

// Runs the press of a pressable widget on Enter and Space; a child of the widget.
class PressHandler : public QObject
{
public:
    PressHandler(QWidget *widget, std::function<void()> press)
        : QObject(widget), Press(std::move(press))
    {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (modifiers != Qt::NoModifier
            || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter
                && key->key() != Qt::Key_Space))
            return false;
        if (Press)
            Press();
        return true;
    }
    std::function<void()> Press;
};

PressHandler *pressHandlerOf(QObject *object)
{
    for (QObject *child : object->children())
        if (auto *handler = dynamic_cast<PressHandler *>(child))
            return handler;
    return nullptr;
}

class PressableAccessible : public QAccessibleWidget
{
public:
    explicit PressableAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::Button) { }
    QString text(QAccessible::Text t) const override
    {
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty())
            s = widget()->toolTip();
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        PressHandler *handler = pressHandlerOf(widget());
        if (action == pressAction() && handler && handler->Press)
            handler->Press();
        else
            QAccessibleWidget::doAction(action);
    }
};

// Name from the accessible name or the caption label, value from the chosen entry.
class ComboAccessible : public QAccessibleWidget
{
public:
    explicit ComboAccessible(QComboBox *c) : QAccessibleWidget(c, QAccessible::ComboBox) { }
    QComboBox *combo() const { return static_cast<QComboBox *>(widget()); }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return combo()->isEditable() ? combo()->lineEdit()->text() : combo()->currentText();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override
    {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == showMenuAction())
            combo()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *w = static_cast<QWidget *>(object);
    if (pressHandlerOf(w))
        return new PressableAccessible(w);
    if (className == QLatin1String("QComboBox"))
        return new ComboAccessible(static_cast<QComboBox *>(w));
    return nullptr;
}

} // namespace

void InstallAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

void MakePressable(QWidget *widget, const QString &name, std::function<void()> press)
{
    InstallAccessibility();
    widget->setFocusPolicy(Qt::StrongFocus);
    if (!name.isEmpty())
        widget->setAccessibleName(name);
    new PressHandler(widget, std::move(press));
}

QString AccessibleNameOf(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : widget->accessibleName();
}
