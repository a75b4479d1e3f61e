#include "ui/qt/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QTimer>

#include "ui/qt/picture.h"
#include "ui/qt/text.h"
#include "ui/qt/window.h"

namespace mervalin::qt {

namespace {

// The result box as screen readers see it: a read-only text field whose one
// run of text attributes covers its whole text.
class ResultBoxAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ResultBoxAccessible(QLineEdit* box)
        : QAccessibleWidget(box, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.readOnly = box()->isReadOnly();
        state.selectableText = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) return box()->text();
        return QAccessibleWidget::text(kind);
    }

    // The text interface, over the line edit's own text, selection and
    // cursor.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0 || !box()->hasSelectedText()) return;
        *startOffset = box()->selectionStart();
        *endOffset = *startOffset + box()->selectionLength();
    }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override {
        if (selectionIndex == 0) box()->deselect();
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override {
        if (selectionIndex == 0) box()->setSelection(startOffset, endOffset - startOffset);
    }
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override {
        if (startOffset > endOffset) return {};
        return box()->text().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(box()->text().size()); }

    // Offset -2 is the cursor's, as in Qt's own text interfaces. Past the
    // last character there is no character, word or line to give: Qt 6.4's
    // own search never returns when asked for the word there (Orca asks, for
    // one, when the cursor stands after the number).
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                             int* endOffset) const override {
        return QAccessibleTextInterface::textBeforeOffset(atCursor(offset), boundary, startOffset,
                                                          endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                            int* endOffset) const override {
        offset = atCursor(offset);
        if (offset >= characterCount()) return atEnd(startOffset, endOffset);
        return QAccessibleTextInterface::textAfterOffset(offset, boundary, startOffset, endOffset);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                         int* endOffset) const override {
        offset = atCursor(offset);
        if (offset >= characterCount()) return atEnd(startOffset, endOffset);
        return QAccessibleTextInterface::textAtOffset(offset, boundary, startOffset, endOffset);
    }

    // Where a character stands, for magnifiers and mouse review: the box
    // lays its short text out from the left of its contents, unscrolled.
    QRect characterRect(int offset) const override {
        const QString text = box()->text();
        if (offset < 0 || offset >= text.size()) return {};
        const QFontMetrics metrics = box()->fontMetrics();
        const QRect inside = box()->contentsRect().marginsRemoved(box()->textMargins());
        const QRect character(
            inside.left() + kTextIndent + metrics.horizontalAdvance(text.left(offset)),
            inside.center().y() - metrics.height() / 2, metrics.horizontalAdvance(text.at(offset)),
            metrics.height());
        return QRect(box()->mapToGlobal(character.topLeft()), character.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int, int) override {}

    // The mend: one run, with no attributes of its own, over the whole text.
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        const int count = characterCount();
        if (offset < 0 || offset > count) {
            *startOffset = *endOffset = -1;
        } else {
            *startOffset = 0;
            *endOffset = count;
        }
        return {};
    }

private:
    // Qt's styles indent a line edit's text by this many pixels.
    static constexpr int kTextIndent = 2;

    QLineEdit* box() const { return static_cast<QLineEdit*>(widget()); }
    int atCursor(int offset) const { return offset == -2 ? cursorPosition() : offset; }
    QString atEnd(int* startOffset, int* endOffset) const {
        *startOffset = *endOffset = characterCount();
        return {};
    }
};

// A label that screen readers present as a notification when it is shown,
// named by its text.
class Notification final : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;
};

class NotificationAccessible final : public QAccessibleWidget {
public:
    explicit NotificationAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::Notification) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

// The one accessibility factory of the window's own widget classes.
QAccessibleInterface* accessibleControl(const QString& className, QObject* object) {
    // Screen readers announce a top-level window by its frame and the
    // diagram as a picture; plain widgets would be anonymous fillers.
    if (className == QLatin1String(MainWindow::staticMetaObject.className())) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    if (className == QLatin1String(Picture::staticMetaObject.className())) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
    }
    if (className == QLatin1String(ResultBox::staticMetaObject.className())) {
        return new ResultBoxAccessible(static_cast<ResultBox*>(object));
    }
    if (className == QLatin1String(Notification::staticMetaObject.className())) {
        return new NotificationAccessible(static_cast<Notification*>(object));
    }
    return nullptr;
}

// Reports the list's chosen item as focused, if the list still has the
// focus and its current item is the chosen one.
void reportChosenItem(QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    if (!list->hasFocus() || !item || !item->isSelected()) return;
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(list);
    QAccessibleTableInterface* table = view ? view->tableInterface() : nullptr;
    QAccessibleInterface* cell = table ? table->cellAt(list->row(item), 0) : nullptr;
    if (!cell) return;
    QAccessibleEvent focus(list, QAccessible::Focus);
    focus.setChild(view->indexOfChild(cell));
    QAccessible::updateAccessibility(&focus);
}

class ChosenItemOnFocus final : public QObject {
public:
    explicit ChosenItemOnFocus(QListWidget* list) : QObject(list), list_(list) {
        list->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // Qt reports the list itself after its focus-in handler; the item
        // follows once that is done.
        if (event->type() == QEvent::FocusIn && QAccessible::isActive()) {
            QTimer::singleShot(0, list_, [list = list_] { reportChosenItem(list); });
        }
        return false;
    }

private:
    QListWidget* list_;
};

}  // namespace

void installAccessibility() { QAccessible::installFactory(accessibleControl); }

ResultBox::ResultBox(QWidget* parent) : QLineEdit(parent) {}

void ResultBox::focusInEvent(QFocusEvent* event) {
    if (event->reason() != Qt::TabFocusReason && event->reason() != Qt::BacktabFocusReason) {
        QLineEdit::focusInEvent(event);
        return;
    }
    QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
    QLineEdit::focusInEvent(&plain);
}

void sayChosenItemOnFocus(QListWidget* list) { new ChosenItemOnFocus(list); }

void sayChosenItem(QListWidget* list) {
    if (QAccessible::isActive()) reportChosenItem(list);
}

Announcer::Announcer(QWidget* window) : QObject(window), window_(window) {
    auto* notification = new Notification(window);
    notification->setObjectName(QStringLiteral("announcement"));
    notification->setFocusPolicy(Qt::NoFocus);
    // Shown, it takes no room and draws nothing.
    notification->setGeometry(0, 0, 0, 0);
    notification->hide();
    notification_ = notification;
}

bool Announcer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && described_.list.data() == watched) {
        describe({}, QString());
    }
    return false;
}

void Announcer::watch(QListWidget* list) {
    list->installEventFilter(this);
    connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, list](const QModelIndex& current) {
                justCurrent_ = {list, current};
                // Only for the event that made it current.
                QTimer::singleShot(0, this, [this] { justCurrent_ = {}; });
            });
}

void Announcer::announce(const QString& message) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(window_, message);
    QAccessible::updateAccessibility(&event);
#else
    if (justCurrent_.isValid()) {
        describe(justCurrent_, message);
    } else {
        describe({}, QString());
        notify(message);
    }
#endif
}

void Announcer::describe(const Item& item, const QString& text) {
    if (described_.isValid() && described_.index != item.index) {
        described_.list->model()->setData(described_.index, QString(),
                                          Qt::AccessibleDescriptionRole);
    }
    described_ = item;
    if (item.isValid())
        item.list->model()->setData(item.index, text, Qt::AccessibleDescriptionRole);
}

void Announcer::notify(const QString& text) {
    notification_->hide();
    notification_->setText(text);
    notification_->show();
}

}  // namespace mervalin::qt

#include "accessibility.moc"
