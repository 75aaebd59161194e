#pragma once

#include <QAccessible>
#include <QString>
#include <QStringView>

class QAction;
class QWidget;

namespace toolkit {

// What screen readers are told beyond what Qt's own accessible interfaces
// say. Each installs the program's accessible interface factory on first use.

// Gives a widget an accessible role of the program's choice: a hand-drawn
// label is static text rather than a filler, a drawn line a separator (with
// no parts of its own), a container of option buttons their group.
void setAccessibleRole(QWidget* widget, QAccessible::Role role);

// A menu item's accessible name and description; Qt's own menu items tell
// only their caption.
void describeMenuItem(QAction* action, const QString& name, const QString& description);

// Tells a screen reader the outcome of a command without moving the focus: a
// notification inside the window (the hidden widget "zelvanoNotice", whose
// name is the text) appears and goes again at once for the screen reader,
// which speaks it. Control characters become blanks, runs of blanks one, and
// a long text is cut to its start.
void announce(QWidget* window, const QString& text);

// The text that announce() hands on; it looks at the start of a long text only.
QString spokenForm(QStringView text);

}  // namespace toolkit
