#include "ui/qt/window.h"

#include <QAccessibleWidget>
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
#include <QScopedValueRollback>
#include <algorithm>
#include <functional>
#include <utility>

#include "ui/layout.h"
#include "ui/qt/platform.h"

// The artwork is compiled into this static library, so its resources must be
// registered by hand before the first use.
static void initArtwork() { Q_INIT_RESOURCE(mervalin); }

namespace mervalin::qt {

namespace {

QColor toQColor(layout::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

// Design units are twips; Qt lays out in device-independent pixels and
// scales those itself on high-DPI screens.
int toPixels(int twips) { return layout::toPixels(twips, 96); }

// Reads one of the program's own images. With its format named and guessing
// turned off, Qt goes straight to the reader for that format; otherwise it
// loads every image plugin it has to ask each whether it can read the file.
QPixmap loadImage(const QString& path, const char* format) {
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

void place(QWidget* widget, const layout::Placement& placement) {
    widget->setGeometry(toPixels(placement.left), toPixels(placement.top),
                        toPixels(placement.width), toPixels(placement.height));
    if (!placement.accessibleName.empty()) {
        widget->setAccessibleName(toQString(placement.accessibleName));
    }
}

void fillBackground(QWidget* widget, QPalette::ColorRole role, layout::Rgb rgb) {
    QPalette palette = widget->palette();
    palette.setColor(role, toQColor(rgb));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A list box that also reports a click on the item already chosen: clicking
// it again checks the pairing again, as a list box click does on Windows.
class ChoiceList final : public QListWidget {
public:
    using QListWidget::QListWidget;

    // Called on every click of the mouse on the item that was already the
    // chosen one before the press.
    std::function<void(int row)> onClickAgain;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        rowBeforePress_ = currentRow();
        QListWidget::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        const int rowBeforePress = std::exchange(rowBeforePress_, -1);
        QListWidget::mouseReleaseEvent(event);
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid() && index.row() == rowBeforePress && index.row() == currentRow() &&
            onClickAgain) {
            onClickAgain(index.row());
        }
    }

private:
    int rowBeforePress_ = -1;
};

// Screen readers announce a top-level window by its frame; a plain QWidget
// would be presented as an anonymous filler.
QAccessibleInterface* accessibleWindow(const QString& className, QObject* object) {
    if (className == QLatin1String(MainWindow::staticMetaObject.className()) &&
        object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

void setUpApplication() {
    QAccessible::installFactory(accessibleWindow);
    // Fusion draws buttons in their palette colour on every desktop.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setFont(QFont(toQString(layout::kFontFamily), layout::kFontPoints));
}

// Keeps a QListWidget showing its model list, and reports the user's choice
// of a row to the model.
class MainWindow::ListBinding final : public ListBoxObserver {
public:
    ListBinding(ListBox& list, ChoiceList* widget) : list_(list), widget_(widget) {
        for (const std::string& item : list.items()) widget->addItem(toQString(item));
        showSelection(list.selectedIndex());
        list.setObserver(this);

        // The choice is the selected row, not the current one: Qt makes the
        // first row current when the list gets the focus, and that must not
        // count as a choice.
        QObject::connect(widget->selectionModel(), &QItemSelectionModel::selectionChanged, widget,
                         [this] { selectionChangedByUser(); });
        widget->onClickAgain = [this](int row) { list_.setSelectedIndex(row); };
    }
    ~ListBinding() { list_.setObserver(nullptr); }

    void itemInserted(int index) override {
        const QScopedValueRollback guard(showingModel_, true);
        widget_->insertItem(index, toQString(list_.item(index)));
    }
    void cleared() override {
        const QScopedValueRollback guard(showingModel_, true);
        widget_->clear();
    }
    void selectionChanged(int index) override { showSelection(index); }

private:
    void selectionChangedByUser() {
        if (showingModel_) return;
        const QModelIndexList rows = widget_->selectionModel()->selectedRows();
        if (!rows.isEmpty()) {
            list_.setSelectedIndex(rows.front().row());
        } else if (list_.selectedIndex() >= 0) {
            // Ctrl+click would take the choice away; a list box keeps it
            // until another is made.
            showSelection(list_.selectedIndex());
        }
    }

    void showSelection(int index) {
        const QScopedValueRollback guard(showingModel_, true);
        widget_->setCurrentRow(index);
        if (index >= 0) {
            widget_->scrollToItem(widget_->item(index));
        } else {
            widget_->clearSelection();
        }
    }

    ListBox& list_;
    QListWidget* widget_;
    // Set while the widget is being brought up to date with the model, whose
    // changes must not come back to it as the user's.
    bool showingModel_ = false;
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

    std::vector<std::pair<int, QWidget*>> byTabIndex;
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
                QListWidget* list = bindList(form.List1(placement.index));
                (placement.index == Mervalin::kMetalChoice ? metalList_ : weightList_) = list;
                widget = list;
                break;
            }
            case layout::Array::List2:
                sizeList_ = bindList(form.List2());
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
                auto* box = new QLineEdit(this);
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
            case layout::Array::Picture1: {
                picture_ = new QLabel(this);
                picture_->setPixmap(loadImage(QStringLiteral(":/mervalin/diagram.jpg"), "jpeg"));
                picture_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                picture_->setLineWidth(2);
                picture_->setAlignment(Qt::AlignCenter);
                widget = picture_;
                break;
            }
        }
        place(widget, placement);
        byTabIndex.emplace_back(placement.tabIndex, widget);
    }

    // Each list and result box is named by the label beside it.
    const std::pair<int, QWidget*> buddies[] = {
        {1, metalList_},      {2, weightList_},     {3, sizeList_},       {4, resultBoxes_[0]},
        {5, resultBoxes_[1]}, {6, resultBoxes_[2]}, {7, resultBoxes_[3]},
    };
    for (const auto& [label, buddy] : buddies)
        labels_[static_cast<std::size_t>(label)]->setBuddy(buddy);

    // Tab moves through the controls that take the focus, by tab index.
    std::sort(byTabIndex.begin(), byTabIndex.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    QWidget* previous = nullptr;
    for (const auto& [tabIndex, widget] : byTabIndex) {
        if (widget->focusPolicy() == Qt::NoFocus) continue;
        if (previous) setTabOrder(previous, widget);
        previous = widget;
    }
    messageBox_->setFocus();
}

MainWindow::~MainWindow() = default;

QListWidget* MainWindow::bindList(ListBox& list) {
    auto* widget = new ChoiceList(this);
    widget->setSelectionMode(QAbstractItemView::SingleSelection);
    widget->setUniformItemSizes(true);
    listBindings_.push_back(std::make_unique<ListBinding>(list, widget));
    return widget;
}

}  // namespace mervalin::qt
