#include "ui/qt/window.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>
#include <utility>

#include "ui/layout.h"
#include "ui/qt/accessibility.h"
#include "ui/qt/picture.h"
#include "ui/qt/text.h"

// The artwork is compiled into this static library, so its resources must be
// registered by hand before the first use.
static void initArtwork() { Q_INIT_RESOURCE(mervalin); }

namespace mervalin::qt {

namespace {

QColor toQColor(layout::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

// Design units are twips; Qt lays out in device-independent pixels and
// scales those itself on high-DPI screens.
int toPixels(int twips) { return layout::toPixels(twips, 96); }

QRect rectOf(const layout::Placement& placement) {
    return QRect(toPixels(placement.left), toPixels(placement.top), toPixels(placement.width),
                 toPixels(placement.height));
}

// Reads one of the program's own images. With its format named and guessing
// turned off, Qt goes straight to the reader for that format; otherwise it
// loads every image plugin it has to ask each whether it can read the file.
QPixmap loadImage(const QString& path, const char* format) {
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

void fillBackground(QWidget* widget, QPalette::ColorRole role, layout::Rgb rgb) {
    QPalette palette = widget->palette();
    palette.setColor(role, toQColor(rgb));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A list box that reports the user's presses, raw, and nothing else: a
// click on an item, once the button comes up, with the item then selected
// (wherever a drag took it), and each key, with the item the key left
// selected. The model decides what they mean; the binding then shows its
// selection.
class ChoiceList final : public QListWidget {
public:
    using QListWidget::QListWidget;

    // The row the press left selected, or -1 when it pressed no item; the
    // list shows the model's choice afterwards either way.
    std::function<void(int row, ListBox::Input input)> onPress;

protected:
    // Qt takes the selection away on a press below the last item; that is no
    // press on an item, and the list shows the model's choice again at once.
    void mousePressEvent(QMouseEvent* event) override {
        pressedOnItem_ = indexAt(event->position().toPoint()).isValid();
        QListWidget::mousePressEvent(event);
        if (!pressedOnItem_ && onPress) onPress(-1, ListBox::Input::Mouse);
    }
    // The second press of a double click comes as this instead.
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        pressedOnItem_ = indexAt(event->position().toPoint()).isValid();
        QListWidget::mouseDoubleClickEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QListWidget::mouseReleaseEvent(event);
        const bool onItem = std::exchange(pressedOnItem_, false);
        if (onPress) onPress(onItem ? selectedRow() : -1, ListBox::Input::Mouse);
    }
    void keyPressEvent(QKeyEvent* event) override {
        QListWidget::keyPressEvent(event);
        int row = selectedRow();
        // A list box's moving keys always leave an item selected; Qt's leave
        // none when the current row stays where it was (Home on the first
        // row of a list nobody has chosen from yet).
        if (row < 0 && isMovingKey(event->key())) row = currentRow();
        if (onPress) onPress(row, ListBox::Input::Keyboard);
    }

private:
    int selectedRow() const {
        const QModelIndexList rows = selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    }
    static bool isMovingKey(int key) {
        switch (key) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
                return true;
            default:
                return false;
        }
    }

    bool pressedOnItem_ = false;
};

}  // namespace

void setUpApplication() {
    installAccessibility();
    // Fusion draws buttons in their palette colour on every desktop.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setFont(QFont(toQString(layout::kFontFamily), layout::kFontPoints));
}

// Keeps a QListWidget showing its model list, and reports the user's
// presses to the model.
class MainWindow::ListBinding final : public ListBoxObserver {
public:
    ListBinding(ListBox& list, ChoiceList* widget) : list_(list), widget_(widget) {
        for (const std::string& item : list.items()) widget->addItem(toQString(item));
        showSelection(list.selectedIndex());
        list.setObserver(this);
        widget->onPress = [this](int row, ListBox::Input input) { pressed(row, input); };
    }
    ~ListBinding() { list_.setObserver(nullptr); }

    void itemInserted(int index) override {
        widget_->insertItem(index, toQString(list_.item(index)));
    }
    void cleared() override { widget_->clear(); }
    void selectionChanged(int index) override { showSelection(index); }

private:
    // The choice is the selected row, not the current one: Qt makes the
    // first row current when the list gets the focus, and that is no choice.
    void pressed(int row, ListBox::Input input) {
        if (row >= 0) list_.press(row, input);
        // Whatever the widget did meanwhile (Ctrl+click takes the selection
        // away), it shows the model's choice.
        const QModelIndexList rows = widget_->selectionModel()->selectedRows();
        const int shown = rows.isEmpty() ? -1 : rows.front().row();
        if (shown != list_.selectedIndex()) showSelection(list_.selectedIndex());
    }

    // Nothing chosen leaves the current row where it is, so that the keys
    // go on from it.
    void showSelection(int index) {
        if (index >= 0) {
            widget_->setCurrentRow(index);
            widget_->scrollToItem(widget_->item(index));
        } else {
            widget_->clearSelection();
        }
    }

    ListBox& list_;
    ChoiceList* widget_;
};

// Keeps a text widget showing its model text box.
class MainWindow::TextBinding final : public TextBoxObserver {
public:
    TextBinding(TextBox& box, QLineEdit* widget) : box_(box), line_(widget) { attach(); }
    TextBinding(TextBox& box, QPlainTextEdit* widget) : box_(box), plain_(widget) { attach(); }
    ~TextBinding() { box_.setObserver(nullptr); }

    void textChanged() override {
        const QString text = toQString(box_.text());
        if (line_) {
            line_->setText(text);
            line_->setCursorPosition(0);
        } else {
            // The model breaks lines with CR LF; Qt's text widgets with LF.
            plain_->setPlainText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        }
    }

private:
    void attach() {
        textChanged();
        box_.setObserver(this);
    }

    TextBox& box_;
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* plain_ = nullptr;
};

MainWindow::MainWindow(Mervalin& form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName(QStringLiteral("Mervalin"));
    setWindowTitle(toQString(layout::kCaption));
    initArtwork();
    // The window manager is handed every size of the icon, decoded; the
    // large ones are for the desktop's launchers, which read the installed
    // icon files instead, so they are left out here.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        icon.addPixmap(loadImage(QStringLiteral(":/mervalin/icon-%1.png").arg(size), "png"));
    }
    setWindowIcon(icon);
    setFont(QFont(toQString(layout::kFontFamily), layout::kFontPoints));
    fillBackground(this, QPalette::Window, layout::kWindowColour);
    setFixedSize(toPixels(layout::kClientWidth), toPixels(layout::kClientHeight));

    // Created in the design's order, which is also the Tab order.
    QWidget* previous = nullptr;
    for (const layout::Placement& placement : layout::kControls) {
        QWidget* widget = nullptr;
        switch (placement.array) {
            case layout::Array::Label1: {
                auto* label = new QLabel(toQString(form.Label1(placement.index).caption), this);
                label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
                fillBackground(label, QPalette::Window, layout::kLabelColour);
                labels_[static_cast<std::size_t>(placement.index)] = label;
                widget = label;
                break;
            }
            case layout::Array::List1: {
                QListWidget* list = bindList(form.List1(placement.index), placement);
                (placement.index == Mervalin::kMetalChoice ? metalList_ : weightList_) = list;
                widget = list;
                break;
            }
            case layout::Array::List2:
                sizeList_ = bindList(form.List2(), placement);
                widget = sizeList_;
                break;
            case layout::Array::Text1: {
                messageBox_ = new QPlainTextEdit(this);
                messageBox_->setReadOnly(true);
                messageBox_->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                                     Qt::TextSelectableByKeyboard);
                messageBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
                messageBox_->setTabChangesFocus(true);
                textBindings_.push_back(std::make_unique<TextBinding>(form.Text1(0), messageBox_));
                widget = messageBox_;
                break;
            }
            case layout::Array::Text2: {
                auto* box = new ResultBox(this);
                box->setReadOnly(true);
                resultBoxes_[static_cast<std::size_t>(placement.index)] = box;
                textBindings_.push_back(
                    std::make_unique<TextBinding>(form.Text2(placement.index), box));
                widget = box;
                break;
            }
            case layout::Array::Command1: {
                clearButton_ = new QPushButton(toQString(form.Command1(0).caption()), this);
                // A style sheet, because styles shade a palette colour
                // into a gradient that no longer reads as the button's own.
                const QColor colour = toQColor(layout::kButtonColour);
                clearButton_->setStyleSheet(
                    QStringLiteral("QPushButton { background-color: %1; color: black;"
                                   " border: 1px solid %2; border-radius: 3px; }"
                                   "QPushButton:focus { border: 2px solid %3; }"
                                   "QPushButton:pressed { background-color: %2; }")
                        .arg(colour.name(), colour.darker(160).name(), colour.darker(300).name()));
                connect(clearButton_, &QPushButton::clicked, this,
                        [this] { form_.Command1(0).press(); });
                widget = clearButton_;
                break;
            }
            case layout::Array::Picture1:
                picture_ = new Picture(this);
                widget = picture_;
                break;
        }
        widget->setGeometry(rectOf(placement));
        const std::string_view name = layout::accessibleName(placement, form);
        if (!name.empty()) widget->setAccessibleName(toQString(name));
        if (placement.namedBy != layout::kNoLabel) {
            labels_[static_cast<std::size_t>(placement.namedBy)]->setBuddy(widget);
        }
        if (layout::takesFocus(placement.array)) {
            if (previous) setTabOrder(previous, widget);
            previous = widget;
        } else {
            widget->setFocusPolicy(Qt::NoFocus);
        }
        if (&placement == &layout::firstFocus()) widget->setFocus();
    }

    // What the form announces after each check, spoken where the focus is.
    announcer_ = new Announcer(form.announcement(), this);
    announcer_->watch(metalList_);
    announcer_->watch(weightList_);
}

MainWindow::~MainWindow() = default;

QListWidget* MainWindow::bindList(ListBox& list, const layout::Placement& placement) {
    auto* widget = new ChoiceList(this);
    widget->setSelectionMode(QAbstractItemView::SingleSelection);
    widget->setUniformItemSizes(true);
    // At its size before it shows the model, so that the chosen item is
    // scrolled into view as it would be had it been chosen in the window.
    widget->setGeometry(rectOf(placement));
    listBindings_.push_back(std::make_unique<ListBinding>(list, widget));
    sayChosenItemOnFocus(widget);
    return widget;
}

}  // namespace mervalin::qt
