// What the Linux window adds to Qt's own accessibility, so that a pupil who
// listens with a screen reader hears what a sighted pupil sees: the form's
// announcements spoken where the focus is, the chosen item of a list said on
// entering it, and the result boxes read whole.
#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>

class QLabel;

namespace mervalin::qt {

// Installs with Qt the accessible interfaces of the window's own widgets:
// the window as a frame, the diagram as a picture, and the result boxes and
// the notification below. Called once, before the first window is made.
void installAccessibility();

// A read-only line edit that screen readers read whole. Qt 6.4's own
// accessible line edit gives every character a text-attribute run of its
// own that ends where it starts; Orca joins such runs into one that ends
// before the last character, and says "65.4" for 65.45. This box's run
// covers the whole text.
// Reached by Tab, it leaves its text unselected: Qt's line edit selects all
// of it then, and Orca says the number, "selected", the name, the number
// and "selected" again, and "Text unselected" on leaving; this box is said
// once, by its name and number. Ctrl+A selects it for copying.
class ResultBox final : public QLineEdit {
    Q_OBJECT

public:
    explicit ResultBox(QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;
};

// Makes the list say its chosen item when it gets the focus. Qt reports only
// the list as focused then, and Orca, whose cache still holds the item as
// unfocused from when the focus left, says "List with 15 items." and not
// which one is chosen. Once Qt has reported the list, this reports the
// chosen item as focused, as an arrow key would.
void sayChosenItemOnFocus(QListWidget* list);

// Reports the list's chosen item as focused, if the list has the focus: for
// a choice of the row that was current already (the first Down in a list
// with nothing chosen), for which Qt reports nothing.
void sayChosenItem(QListWidget* list);

// Delivers the form's announcements to screen readers without moving the
// focus. Where Qt has an announcement event (6.8 on), it is raised on the
// window. Older Qt has none, and Orca 43 drops alerts, text changes of an
// unfocused box and name or description changes of a list; what it does
// present is the description of the list item that has just become current,
// when it is set in the same event, and a notification that is shown. So the
// text becomes the description of the item the key or click has just made
// current (and is taken off the item that had it, so that an old verdict is
// never read), or, when no item has just become current, a hidden
// notification shown with it. The item's description is taken off again
// when the focus leaves its list, so that coming back does not say the
// verdict a second time.
class Announcer final : public QObject {
public:
    // window holds the lists and the notification, and owns this.
    explicit Announcer(QWidget* window);

    // Says the text without moving the focus.
    void announce(const QString& text);

    // A list whose item, made current by the user, may carry the
    // announcement that follows in the same event.
    void watch(QListWidget* list);

    // The notification that carries announcements no item can carry; hidden
    // between them.
    QLabel* notification() const { return notification_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // An item of a list; persistent, because the clear button empties the
    // lists.
    struct Item {
        QPointer<QListWidget> list;
        QPersistentModelIndex index;
        bool isValid() const { return list && index.isValid(); }
    };

    void describe(const Item& item, const QString& text);
    void notify(const QString& text);

    QWidget* window_;
    QLabel* notification_ = nullptr;
    // The item made current by the event being handled, until it ends.
    Item justCurrent_;
    // The item that carries the last announcement.
    Item described_;
};

}  // namespace mervalin::qt
