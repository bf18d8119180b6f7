#include "ui/Accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QMenu>
#include <QPointer>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace {

class AccessibleSlider : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    AccessibleSlider(QSlider *slider, const SliderMeaning &meaning)
        : QAccessibleWidget(slider, QAccessible::Slider), mMeaning(meaning)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return mMeaning.valueText(slider()->sliderPosition());
        return QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return slider()->sliderPosition() * mMeaning.perStep; }

    // A move of the handle, as a drag makes it: the windows react to it as
    // to the user's own.
    void setCurrentValue(const QVariant &value) override
    {
        slider()->setSliderPosition(int(std::lround(value.toDouble() / mMeaning.perStep)));
    }

    QVariant minimumValue() const override
    {
        return std::min(slider()->minimum() * mMeaning.perStep, slider()->maximum() * mMeaning.perStep);
    }

    QVariant maximumValue() const override
    {
        return std::max(slider()->minimum() * mMeaning.perStep, slider()->maximum() * mMeaning.perStep);
    }

    QVariant minimumStepSize() const override { return std::abs(mMeaning.perStep) * slider()->singleStep(); }

private:
    QSlider *slider() const { return static_cast<QSlider *>(widget()); }

    SliderMeaning mMeaning;
};

// A button that opens a menu. Qt leaves popups out of the application's
// windows, so the open menu is reached as the button's last child; its
// actions open it as a click does.
class AccessibleMenuButton : public QAccessibleWidget
{
public:
    AccessibleMenuButton(QAbstractButton *button, QMenu *menu)
        : QAccessibleWidget(button, QAccessible::ButtonMenu), mMenu(menu)
    {
    }

    QString text(QAccessible::Text type) const override
    {
        const QString text = QAccessibleWidget::text(type);
        if (type != QAccessible::Name || !text.isEmpty())
            return text;
        return static_cast<QAbstractButton *>(widget())->text().remove(QLatin1Char('&'));
    }

    int childCount() const override { return QAccessibleWidget::childCount() + (Open() ? 1 : 0); }

    QAccessibleInterface *child(int index) const override
    {
        if (Open() && index == QAccessibleWidget::childCount())
            return QAccessible::queryAccessibleInterface(mMenu.data());
        return QAccessibleWidget::child(index);
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (Open() && child && child->object() == mMenu)
            return QAccessibleWidget::childCount();
        return QAccessibleWidget::indexOfChild(child);
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }

    void doAction(const QString &actionName) override
    {
        if (actionName == showMenuAction() || actionName == pressAction())
            static_cast<QAbstractButton *>(widget())->click();
    }

private:
    bool Open() const { return mMenu && mMenu->isVisible(); }

    QPointer<QMenu> mMenu;
};

// A window that falls back to a fixed name while it has no title.
class AccessibleWindow : public QAccessibleWidget
{
public:
    AccessibleWindow(QWidget *window, const QString &untitledName)
        : QAccessibleWidget(window, QAccessible::Window), mUntitledName(untitledName)
    {
    }

    QString text(QAccessible::Text type) const override
    {
        const QString text = QAccessibleWidget::text(type);
        return type == QAccessible::Name && text.isEmpty() ? mUntitledName : text;
    }

private:
    QString mUntitledName;
};

QAccessibleInterface *Factory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    // The import window has no title: it probes the source and splits it.
    if (className == QLatin1String("ImportWindow"))
        return new AccessibleWindow(widget, QStringLiteral("Inspecting Audio"));
    if (className == QLatin1String("MainWindow") || className == QLatin1String("ExportWindow")
        || className == QLatin1String("PreviewWindow"))
        return new AccessibleWindow(widget, QString());
    return nullptr;
}

// Qt keeps one interface per object, made by its own factories first (they
// take QSlider before ours would) and made early while a screen reader
// listens: the one made here takes its place.
void Replace(QObject *object, QAccessibleInterface *replacement)
{
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(object))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    QAccessible::registerAccessibleInterface(replacement);
}

} // namespace

void SetSliderMeaning(QSlider *slider, const SliderMeaning &meaning)
{
    Replace(slider, new AccessibleSlider(slider, meaning));
}

void SetMenuOfButton(QAbstractButton *button, QMenu *menu)
{
    Replace(button, new AccessibleMenuButton(button, menu));
}

void NameGroup(QWidget *group, const QString &name)
{
    group->setAccessibleName(name);
    Replace(group, new QAccessibleWidget(group, QAccessible::Grouping));
}

void InstallAccessibility(QWidget *mainWindow)
{
    QAccessible::installFactory(Factory);
    Replace(mainWindow, new AccessibleWindow(mainWindow, QString()));
}
