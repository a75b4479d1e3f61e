#include "ui/qt/window.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>
#include <optional>
#include <utility>

#include "ui/diagram.h"
#include "ui/input.h"
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

QRect rectOf(const layout::Rect& rect) {
    return QRect(toPixels(rect.left), toPixels(rect.top), toPixels(rect.width),
                 toPixels(rect.height));
}

// Reads one of the program's own images. With its format named and guessing
// turned off, Qt goes straight to the reader for that format; otherwise it
// loads every image plugin it has to ask each whether it can read the file.
QPixmap loadImage(const QString& path, const char* format) {
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

// Gives a widget its background and text colours, by the palette's roles
// that the widget draws them in.
void setColours(QWidget* widget, QPalette::ColorRole ground, const QColor& background,
                QPalette::ColorRole ink, const QColor& text) {
    QPalette palette = widget->palette();
    palette.setColor(ground, background);
    palette.setColor(ink, text);
    widget->setPalette(palette);
}

// The application's palette in high contrast: every group in the system's
// colours, from which Qt's styles also shade frames and scroll bars.
QPalette highContrastPalette() {
    using layout::SystemColour;
    const auto system = [](SystemColour colour) {
        return toQColor(layout::plainHighContrast(colour));
    };
    QPalette palette(system(SystemColour::ButtonFace), system(SystemColour::Window));
    const std::pair<QPalette::ColorRole, SystemColour> roles[] = {
        {QPalette::Window, SystemColour::Window},
        {QPalette::WindowText, SystemColour::WindowText},
        {QPalette::Base, SystemColour::Window},
        {QPalette::AlternateBase, SystemColour::Window},
        {QPalette::Text, SystemColour::WindowText},
        {QPalette::PlaceholderText, SystemColour::WindowText},
        {QPalette::ToolTipBase, SystemColour::Window},
        {QPalette::ToolTipText, SystemColour::WindowText},
        {QPalette::Button, SystemColour::ButtonFace},
        {QPalette::ButtonText, SystemColour::ButtonText},
        // The lists' chosen item, and selected text.
        {QPalette::Highlight, layout::kChosenItem},
        {QPalette::HighlightedText, layout::kChosenItemText},
    };
    for (const auto& [role, colour] : roles) palette.setColor(role, system(colour));
    return palette;
}

// The input a key means on a list or the button, if the form decides it.
std::optional<Input> keyInput(const QKeyEvent& event) {
    if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return std::nullopt;
    switch (event.key()) {
        case Qt::Key_Up:
            return Input::Up;
        case Qt::Key_Down:
            return Input::Down;
        case Qt::Key_PageUp:
            return Input::PageUp;
        case Qt::Key_PageDown:
            return Input::PageDown;
        case Qt::Key_Home:
            return Input::Home;
        case Qt::Key_End:
            return Input::End;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return Input::Activate;
        default:
            return std::nullopt;
    }
}

}  // namespace

// A list box that reports every change of its selection, raw, whatever made
// it: a press with the row under the pointer (or -1 beside every row), the
// form's keys, and any other change of Qt's selection (type-ahead, a drag,
// Ctrl+click, an assistive tool's toggle action or selection) as a move. It
// shows the form's choice and nothing else.
class ChoiceList final : public QListWidget {
public:
    ChoiceList(Mervalin& form, ControlId id, QWidget* parent)
        : QListWidget(parent), form_(form), id_(id) {
        setSelectionMode(QAbstractItemView::SingleSelection);
        setUniformItemSizes(true);
        // What Qt has just selected, rather than the first of what is
        // selected: an assistive tool's toggle selects the new row beside
        // the chosen one, until the form's choice is shown.
        connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this](const QItemSelection& selected) {
                    if (quiet_) return;
                    const QModelIndexList rows = selected.indexes();
                    report(Input::Move, rows.isEmpty() ? selectedRow() : rows.front().row());
                });
    }

    // What the form shows, reporting nothing back.
    // spoken, when not empty, is what screen readers say for the item.
    void insert(int index, const QString& text, const QString& spoken) {
        Quiet quiet(quiet_);
        auto* item = new QListWidgetItem(text);
        if (!spoken.isEmpty()) item->setData(Qt::AccessibleTextRole, spoken);
        insertItem(index, item);
    }
    void clearAll() {
        Quiet quiet(quiet_);
        clear();
    }
    // Nothing chosen leaves the current row where it is.
    void show(int index) {
        Quiet quiet(quiet_);
        if (index >= 0) {
            const QModelIndexList rows = selectionModel()->selectedRows();
            if (rows.size() != 1 || rows.front().row() != index || currentRow() != index) {
                const bool wasCurrent = currentRow() == index;
                setCurrentRow(index);
                scrollToItem(item(index));
                if (wasCurrent) sayChosenItem(this);
            }
        } else {
            clearSelection();
        }
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { pressed(event, &ChoiceList::basePress); }
    // The second press of a double click comes as this instead.
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        pressed(event, &ChoiceList::baseDoubleClick);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (const std::optional<Input> input = keyInput(*event)) {
            report(*input, -1);
            event->accept();
            return;
        }
        QListWidget::keyPressEvent(event);
    }

private:
    struct Quiet {
        explicit Quiet(bool& flag) : flag_(flag), was_(flag) { flag = true; }
        ~Quiet() { flag_ = was_; }
        bool& flag_;
        bool was_;
    };

    void basePress(QMouseEvent* event) { QListWidget::mousePressEvent(event); }
    void baseDoubleClick(QMouseEvent* event) { QListWidget::mouseDoubleClickEvent(event); }

    // Qt selects the row under the pointer as the button goes down (or takes
    // the selection away beside every row); that is the press, reported
    // once, as such.
    void pressed(QMouseEvent* event, void (ChoiceList::*base)(QMouseEvent*)) {
        const QModelIndex hit = indexAt(event->position().toPoint());
        {
            Quiet quiet(quiet_);
            (this->*base)(event);
        }
        if (event->button() == Qt::LeftButton) report(Input::Press, hit.isValid() ? hit.row() : -1);
    }

    void report(Input input, int item) { userInput(form_, id_, input, item); }

    int selectedRow() const {
        const QModelIndexList rows = selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    }

    Mervalin& form_;
    ControlId id_;
    bool quiet_ = false;
};

namespace {

// The button: pressed by a click, a tap, Space and its assistive action
// (Qt's clicked), and by Enter, which Qt's button outside a dialog ignores.
class PushButton final : public QPushButton {
public:
    PushButton(const QString& caption, std::function<void(Input)> report, QWidget* parent)
        : QPushButton(caption, parent), report_(std::move(report)) {
        connect(this, &QPushButton::clicked, this, [this] { report_(Input::Press); });
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && keyInput(*event)) {
            report_(Input::Activate);
            event->accept();
            return;
        }
        QPushButton::keyPressEvent(event);
    }

private:
    std::function<void(Input)> report_;
};

}  // namespace

void setUpApplication() {
    installAccessibility();
    // Fusion draws buttons in their palette colour on every desktop.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setFont(QFont(toQString(layout::kFontFamily), layout::kFontPoints));
}

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
    setAutoFillBackground(true);
    setFixedSize(toPixels(layout::kClientWidth), toPixels(layout::kClientHeight));

    // Created in the design's order, which is also the Tab order.
    QWidget* previous = nullptr;
    for (const layout::Control& control : layout::kControls) {
        QWidget* widget = makeWidget(control);
        widgets_[control.id.number()] = widget;
        widget->setGeometry(rectOf(control.rect));
        const std::string_view name = layout::accessibleName(control);
        if (!name.empty()) widget->setAccessibleName(toQString(name));
        if (control.namedBy != layout::kNoLabel) label(control.namedBy)->setBuddy(widget);
        if (layout::takesFocus(control)) {
            if (previous) setTabOrder(previous, widget);
            previous = widget;
        } else {
            widget->setFocusPolicy(Qt::NoFocus);
        }
        if (&control == &layout::firstFocus()) widget->setFocus();
    }

    // What the form announces after each check, spoken where the focus is.
    announcer_ = new Announcer(this);
    announcer_->watch(metalList());
    announcer_->watch(weightList());
    designPalette_ = QApplication::palette();
    showColours();
    form.setView(this);
}

MainWindow::~MainWindow() { form_.setView(nullptr); }

QWidget* MainWindow::makeWidget(const layout::Control& control) {
    switch (control.kind) {
        case layout::Kind::Label: {
            auto* label = new QLabel(toQString(control.caption), this);
            label->setAlignment(
                (control.align == layout::Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft) |
                Qt::AlignTop);
            label->setAutoFillBackground(true);
            return label;
        }
        case layout::Kind::List: {
            auto* list = new ChoiceList(form_, control.id, this);
            // At its size before it shows the model, so that the chosen item
            // is scrolled into view as it would be had it been chosen here.
            list->setGeometry(rectOf(control.rect));
            sayChosenItemOnFocus(list);
            return list;
        }
        case layout::Kind::TextBox: {
            const Qt::ScrollBarPolicy scrollBar =
                control.verticalScrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded;
            if (control.multiLine) {
                auto* box = new QPlainTextEdit(this);
                box->setReadOnly(control.readOnly);
                box->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                             Qt::TextSelectableByKeyboard);
                box->setVerticalScrollBarPolicy(scrollBar);
                box->setTabChangesFocus(true);
                return box;
            }
            auto* box = new ResultBox(this);
            box->setReadOnly(control.readOnly);
            return box;
        }
        case layout::Kind::Button: {
            return new PushButton(
                toQString(control.caption),
                [this, id = control.id](Input input) { userInput(form_, id, input); }, this);
        }
        case layout::Kind::Picture:
            break;
    }
    return new Picture(this);
}

void MainWindow::setHighContrast(bool high) {
    if (high == highContrast_) return;
    highContrast_ = high;
    showColours();
}

QColor MainWindow::colour(layout::Colour role) const {
    return toQColor(highContrast_ ? layout::plainHighContrast(layout::highContrast(role))
                                  : layout::designed(role));
}

void MainWindow::showColours() {
    QApplication::setPalette(highContrast_ ? highContrastPalette() : designPalette_);
    setColours(this, QPalette::Window, colour(layout::Colour::Window), QPalette::WindowText,
               colour(layout::Colour::Text));
    for (const layout::Control& control : layout::kControls) {
        QWidget* shown = widget(control.id);
        const QColor background = colour(control.background);
        const QColor text = colour(control.text);
        switch (control.kind) {
            case layout::Kind::Label:
                setColours(shown, QPalette::Window, background, QPalette::WindowText, text);
                break;
            case layout::Kind::List:
            case layout::Kind::TextBox:
                setColours(shown, QPalette::Base, background, QPalette::Text, text);
                break;
            case layout::Kind::Button: {
                // A style sheet, because styles shade a palette colour into
                // a gradient that no longer reads as the button's own. In
                // high contrast the frame is in the text's colour, which
                // stands out from any face, and a press swaps the two.
                const QColor frame = highContrast_ ? text : background.darker(160);
                const QColor focus = highContrast_ ? text : background.darker(300);
                const QColor pressedText = highContrast_ ? background : text;
                shown->setStyleSheet(
                    QStringLiteral("QPushButton { background-color: %1; color: %4;"
                                   " border: 1px solid %2; border-radius: 3px; }"
                                   "QPushButton:focus { border: 2px solid %3; }"
                                   "QPushButton:pressed { background-color: %2; color: %5; }")
                        .arg(background.name(), frame.name(), focus.name(), text.name(),
                             pressedText.name()));
                break;
            }
            case layout::Kind::Picture:
                static_cast<Picture*>(shown)->setColours(colour(diagram::kPaper),
                                                         colour(diagram::kInk));
                break;
        }
    }
}

QWidget* MainWindow::widget(ControlId id) const {
    const auto found = widgets_.find(id.number());
    return found == widgets_.end() ? nullptr : found->second;
}

ChoiceList* MainWindow::list(ControlId id) const {
    const layout::Control* control = layout::find(id);
    if (!control || control->kind != layout::Kind::List) return nullptr;
    return static_cast<ChoiceList*>(widget(id));
}

QListWidget* MainWindow::metalList() const { return list({Array::List1, 0}); }
QListWidget* MainWindow::weightList() const { return list({Array::List1, 1}); }
QListWidget* MainWindow::sizeList() const { return list({Array::List2, 0}); }
QPlainTextEdit* MainWindow::messageBox() const {
    return static_cast<QPlainTextEdit*>(widget({Array::Text1, 0}));
}
QLineEdit* MainWindow::resultBox(int index) const {
    return static_cast<QLineEdit*>(widget({Array::Text2, index}));
}
QPushButton* MainWindow::clearButton() const {
    return static_cast<QPushButton*>(widget({Array::Command1, 0}));
}
QLabel* MainWindow::label(int index) const {
    return static_cast<QLabel*>(widget({Array::Label1, index}));
}
QWidget* MainWindow::picture() const { return widget({Array::Picture1, 0}); }

void MainWindow::insertItem(ControlId id, int index, std::string_view text,
                            std::string_view spoken) {
    if (ChoiceList* shown = list(id)) shown->insert(index, toQString(text), toQString(spoken));
}

void MainWindow::clearItems(ControlId id) {
    if (ChoiceList* shown = list(id)) shown->clearAll();
}

void MainWindow::select(ControlId id, int index) {
    if (ChoiceList* shown = list(id)) shown->show(index);
}

void MainWindow::setText(ControlId id, std::string_view text) {
    const layout::Control* control = layout::find(id);
    if (!control || control->kind != layout::Kind::TextBox) return;
    if (control->multiLine) {
        // The model breaks lines with CR LF; Qt's text widgets with LF.
        static_cast<QPlainTextEdit*>(widget(id))
            ->setPlainText(toQString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    } else {
        auto* box = static_cast<QLineEdit*>(widget(id));
        box->setText(toQString(text));
        box->setCursorPosition(0);
    }
}

void MainWindow::announce(std::string_view text) { announcer_->announce(toQString(text)); }

}  // namespace mervalin::qt
