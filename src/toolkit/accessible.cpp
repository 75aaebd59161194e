#include "toolkit/accessible.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QWidget>

namespace toolkit {
namespace {

const char* const kRoleProperty = "zelvanoAccessibleRole";
const char* const kNameProperty = "zelvanoAccessibleName";
const char* const kDescriptionProperty = "zelvanoAccessibleDescription";

class RoleAccessible final : public QAccessibleWidget {
public:
    RoleAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    // A separator is one thing, whatever widgets draw it.
    int childCount() const override {
        return role() == QAccessible::Separator ? 0 : QAccessibleWidget::childCount();
    }
    QAccessibleInterface* child(int index) const override {
        return role() == QAccessible::Separator ? nullptr : QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return role() == QAccessible::Separator ? -1 : QAccessibleWidget::indexOfChild(child);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return role() == QAccessible::Separator ? nullptr : QAccessibleWidget::childAt(x, y);
    }
};

// A menu item that tells its own name and description, and otherwise
// behaves as Qt's menu items do.
class MenuItemAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit MenuItemAccessible(QAction* action) : m_action(action) {}

    bool isValid() const override { return m_action && menu(); }
    QObject* object() const override { return m_action; }
    QWindow* window() const override {
        const QMenu* owner = menu();
        return owner ? owner->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(menu());
    }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!m_action) {
            return {};
        }
        switch (t) {
            case QAccessible::Name:
                return m_action->property(kNameProperty).toString();
            case QAccessible::Description:
                return m_action->property(kDescriptionProperty).toString();
            case QAccessible::Accelerator:
                return m_action->shortcut().toString(QKeySequence::NativeText);
            default:
                return {};
        }
    }
    void setText(QAccessible::Text /*t*/, const QString& /*text*/) override {}

    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        const QMenu* owner = menu();
        if (!m_action || owner == nullptr) {
            state.invalid = true;
            return state;
        }
        state.focusable = true;
        state.focused = owner->activeAction() == m_action;
        state.disabled = !m_action->isEnabled();
        state.invisible = !owner->isVisible() || !m_action->isVisible();
        return state;
    }
    QRect rect() const override {
        const QMenu* owner = menu();
        if (!m_action || owner == nullptr) {
            return {};
        }
        const QRect local = owner->actionGeometry(m_action);
        return {owner->mapToGlobal(local.topLeft()), local.size()};
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override {
        return m_action && m_action->isEnabled() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& actionName) override {
        if (m_action && m_action->isEnabled() && actionName == pressAction()) {
            m_action->trigger();
        }
    }
    QStringList keyBindingsForAction(const QString& /*actionName*/) const override { return {}; }

private:
    QMenu* menu() const { return m_action ? qobject_cast<QMenu*>(m_action->parent()) : nullptr; }

    QPointer<QAction> m_action;
};

QAccessibleInterface* factory(const QString& /*className*/, QObject* object) {
    if (auto* widget = qobject_cast<QWidget*>(object)) {
        const QVariant role = widget->property(kRoleProperty);
        if (role.isValid()) {
            return new RoleAccessible(widget, static_cast<QAccessible::Role>(role.toInt()));
        }
    } else if (auto* action = qobject_cast<QAction*>(object)) {
        if (action->property(kNameProperty).isValid() &&
            qobject_cast<QMenu*>(action->parent()) != nullptr) {
            return new MenuItemAccessible(action);
        }
    }
    return nullptr;
}

void installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace

void setAccessibleRole(QWidget* widget, QAccessible::Role role) {
    installFactory();
    widget->setProperty(kRoleProperty, static_cast<int>(role));
}

QString spokenForm(QStringView text) {
    // About two lines of a braille display, and a few seconds of speech.
    constexpr qsizetype kLongest = 160;
    // Only the start of a long text is looked at: blanks fold into one, so
    // somewhat more than is kept.
    QString spoken = text.left(4 * kLongest).toString();
    for (QChar& ch : spoken) {
        if (ch.category() == QChar::Other_Control) {
            ch = QLatin1Char(' ');
        }
    }
    spoken = spoken.simplified();
    if (spoken.size() > kLongest) {
        const qsizetype blank = spoken.lastIndexOf(QLatin1Char(' '), kLongest);
        spoken.truncate(blank > kLongest / 2 ? blank : kLongest);
        if (spoken.back().isHighSurrogate()) {
            spoken.chop(1);
        }
        spoken += QStringLiteral("…");
    }
    return spoken;
}

void announce(QWidget* window, const QString& text) {
    // Qt 6.4 has no call for this. Orca speaks a notification when it
    // appears, and nothing of a name or text that changes away from the
    // focus.
    static const QString kName = QStringLiteral("zelvanoNotice");
    auto* notice = window->findChild<QWidget*>(kName, Qt::FindDirectChildrenOnly);
    if (notice == nullptr) {
        notice = new QWidget(window);
        notice->setObjectName(kName);
        setAccessibleRole(notice, QAccessible::Notification);
        notice->hide();
    }
    notice->setAccessibleName(spokenForm(text));
    if (!QAccessible::isActive()) {
        return;  // no screen reader listens
    }
    // It appears and goes for the screen reader only: showing the widget
    // itself would have the window repaint for nothing, and each time Qt
    // keeps a little memory.
    for (const QAccessible::Event type : {QAccessible::ObjectShow, QAccessible::ObjectHide}) {
        QAccessibleEvent event(notice, type);
        QAccessible::updateAccessibility(&event);
    }
}

void describeMenuItem(QAction* action, const QString& name, const QString& description) {
    installFactory();
    action->setProperty(kNameProperty, name);
    action->setProperty(kDescriptionProperty, description);
}

}  // namespace toolkit
