// What the Linux window adds to Qt's widgets, driven as a user would, with
// real key and mouse events on the shown widgets: the behaviour every window
// shares is the end-to-end suite's (tests/e2e).
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QtMath>
#include <cmath>
#include <memory>

#include "logic/quiz.h"
#include "model/form.h"
#include "tests/support/items.h"
#include "ui/diagram.h"
#include "ui/layout.h"
#include "ui/platform.h"
#include "ui/qt/accessibility.h"
#include "ui/qt/text.h"
#include "ui/qt/window.h"

namespace mervalin::qt {

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void init();
    void cleanup();

    void fontEverywhere();
    void qtSelectionShowsTheChoice();
    void resultsCanBeCopiedButNotEdited();
    void accessibleNames();
    void verdictsAreAnnouncedWhereTheFocusIs();
    void resultBoxesAreReadWhole();
    void diagramIsSharp();
    void highContrastComesAndGoes();

private:
    void clickRow(QListWidget* list, int row);
    // Clicks the occurrence-th item (from 1) that reads text.
    void clickItem(QListWidget* list, const QString& text, int occurrence = 1);

    std::unique_ptr<Platform> platform_;
    std::unique_ptr<Mervalin> form_;
    std::unique_ptr<MainWindow> window_;
};

void WindowTest::init() {
    platform_ = createPlatform([](std::string_view message) {
        QFAIL(qPrintable(QStringLiteral("overflow reported: ") + toQString(message)));
    });
    form_ = startForm(*platform_);
    window_ = std::make_unique<MainWindow>(*form_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void WindowTest::cleanup() {
    window_.reset();
    form_.reset();
    platform_.reset();
}

void WindowTest::clickRow(QListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    QVERIFY(!rect.isEmpty());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void WindowTest::clickItem(QListWidget* list, const QString& text, int occurrence) {
    const QList<QListWidgetItem*> items = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(items.size() >= occurrence, qPrintable(text));
    clickRow(list, list->row(items[occurrence - 1]));
}

// The design's font in every widget; the places, captions and colours are
// the end-to-end suite's to check.
void WindowTest::fontEverywhere() {
    for (QWidget* widget : window_->findChildren<QWidget*>()) {
        QCOMPARE(widget->font().family(), toQString(layout::kFontFamily));
        QCOMPARE(widget->font().pointSize(), layout::kFontPoints);
        QVERIFY(!widget->font().bold());
    }
    // fontconfig stands in a metric-compatible face for Times New Roman.
    const QString face = QFontInfo(window_->messageBox()->font()).family();
    QVERIFY2(face == "Times New Roman" || face == "Liberation Serif", qPrintable(face));
}

// What Qt's list does by itself to its selection shows the form's choice:
// a double click is two presses, a Ctrl+click takes no choice away, nor does
// a press below the last item.
void WindowTest::qtSelectionShowsTheChoice() {
    clickItem(window_->metalList(), QStringLiteral("Галий"));
    QListWidget* list = window_->metalList();
    const QPoint item = list->visualItemRect(list->selectedItems().front()).center();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, item);
    QCOMPARE(list->selectedItems().size(), 1);
    QCOMPARE(list->selectedItems().front()->text(), QStringLiteral("Галий"));
    QCOMPARE(form_->List1(0).selectedIndex(), itemIndex(form_->List1(0), "Галий"));

    // Nor does a click below the last item, in the size list scrolled to
    // its end.
    QListWidget* sizes = window_->sizeList();
    sizes->setFocus();
    QTest::keyClick(sizes, Qt::Key_End);
    const QRect last = sizes->visualItemRect(sizes->item(sizes->count() - 1));
    const QPoint below(last.center().x(), last.bottom() + 2);
    QVERIFY(sizes->viewport()->rect().contains(below) && !sizes->indexAt(below).isValid());
    QTest::mouseClick(sizes->viewport(), Qt::LeftButton, {}, below);
    QCOMPARE(sizes->selectedItems().size(), 1);
    QCOMPARE(form_->List2().selectedIndex(), sizes->count() - 1);
}

void WindowTest::resultsCanBeCopiedButNotEdited() {
    clickItem(window_->metalList(), QStringLiteral("Злато"));
    clickItem(window_->weightList(), QStringLiteral("19.32"));
    QLineEdit* box = window_->resultBox(3);
    QVERIFY(box->isReadOnly());
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("2,415.00"));
    QTest::keyClicks(box, "99");
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QStringLiteral("2,415.00"));

    QPlainTextEdit* message = window_->messageBox();
    QVERIFY(message->isReadOnly());
    message->setFocus();
    QTest::keyClick(message, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(message, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(QApplication::clipboard()->text().startsWith(QStringLiteral("Вярно Злато")));
    QTest::keyClicks(message, "x");
    QVERIFY(message->toPlainText().startsWith(QStringLiteral("Вярно Злато")));
}

void WindowTest::accessibleNames() {
    // Each list and result box is named by its label, and is its buddy.
    for (const layout::Control& control : layout::kControls) {
        if (control.namedBy == layout::kNoLabel) continue;
        QLabel* label = window_->label(control.namedBy);
        QCOMPARE(label->buddy(), window_->widget(control.id));
        QCOMPARE(window_->widget(control.id)->accessibleName(), label->text());
    }
    QVERIFY(!window_->messageBox()->accessibleName().isEmpty());
    QVERIFY(!window_->picture()->accessibleName().isEmpty());
    QCOMPARE(QAccessible::queryAccessibleInterface(window_->picture())->role(),
             QAccessible::Graphic);
}

// Drawn at the screen's scale (ctest runs this at scale factors 1, 1.5 and
// 2): the hatching and the straight lines fill whole device pixels with ink
// and leave their neighbours paper, with no grey between.
void WindowTest::diagramIsSharp() {
    QWidget* picture = window_->picture();
    const QImage image = picture->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const diagram::Drawing drawing = diagram::drawingAt(96 * ratio);
    const QRect inside = picture->contentsRect();
    const QPoint origin(
        qRound(inside.x() * ratio) + qFloor((inside.width() * ratio - drawing.width) / 2),
        qRound(inside.y() * ratio) + qFloor((inside.height() * ratio - drawing.height) / 2));
    const layout::Rgb inkRgb = layout::designed(diagram::kInk);
    const layout::Rgb paperRgb = layout::designed(diagram::kPaper);
    const QColor ink(inkRgb.red, inkRgb.green, inkRgb.blue);
    const QColor paper(paperRgb.red, paperRgb.green, paperRgb.blue);
    const auto at = [&](int x, int y) { return image.pixelColor(origin + QPoint(x, y)); };

    QSet<QPair<int, int>> hatching;
    for (const diagram::Diagonal& line : drawing.hatching) {
        for (int i = 0; i < line.length; ++i) hatching.insert({line.x + i, line.y - i});
    }
    // Beside the hatching, away from the outline's anti-aliased ink.
    const diagram::Circle& circle = drawing.outline;
    const double clear = circle.radius - circle.width - 1;
    int wrong = 0;
    for (const auto& [x, y] : hatching) {
        if (at(x, y) != ink) ++wrong;
        for (int dx : {-1, 1}) {
            const double fromCentre =
                std::hypot(x + dx + 0.5 - circle.centre.x, y + 0.5 - circle.centre.y);
            if (!hatching.contains({x + dx, y}) && fromCentre < clear && at(x + dx, y) != paper) {
                ++wrong;
            }
        }
    }
    QVERIFY2(wrong == 0, qPrintable(QStringLiteral("%1 pixels of the hatching or beside it "
                                                   "are not ink or paper at scale %2")
                                        .arg(wrong)
                                        .arg(ratio)));

    // The dimension line between the arrowheads, and the rows above and
    // below it.
    const diagram::Box& line = drawing.lines[2];
    const int from = qCeil(drawing.arrows[0][1].x) + 1;
    const int to = qFloor(drawing.arrows[1][1].x) - 1;
    for (int x = from; x < to; ++x) {
        for (int y = line.top; y < line.top + line.height; ++y) QCOMPARE(at(x, y), ink);
        QCOMPARE(at(x, line.top - 1), paper);
        QCOMPARE(at(x, line.top + line.height), paper);
    }
}

// Each check's announcement reaches the screen reader by the way Qt 6.4 and
// Orca 43 allow: as the description of the weight a key has just made
// current (and of no other item), or, when the key made no item current, as
// a notification shown with it.
// The desktop's high contrast, turned on and off while the window is open
// (the end-to-end suite checks the window that starts in it): on, every
// widget in the system's colours of the table; off, the window exactly as
// before.
void WindowTest::highContrastComesAndGoes() {
    const auto system = [](layout::Colour role) {
        const layout::Rgb rgb = layout::plainHighContrast(layout::highContrast(role));
        return QColor(rgb.red, rgb.green, rgb.blue);
    };
    clickItem(window_->metalList(), QStringLiteral("Злато"));
    const QImage designed = window_->grab().toImage();
    window_->setHighContrast(true);
    const QImage high = window_->grab().toImage();
    const auto at = [&high, this](const QWidget* widget) {
        return high.pixelColor(widget->mapTo(window_.get(), QPoint(3, 3)));
    };
    QCOMPARE(high.pixelColor(2, 2), system(layout::Colour::Window));
    QCOMPARE(at(window_->label(1)), system(layout::Colour::Label));
    QCOMPARE(at(window_->clearButton()), system(layout::Colour::Button));
    QCOMPARE(at(window_->resultBox(0)), system(layout::Colour::Field));
    const layout::Rgb chosen = layout::plainHighContrast(layout::kChosenItem);
    QCOMPARE(window_->metalList()->palette().color(QPalette::Inactive, QPalette::Highlight),
             QColor(chosen.red, chosen.green, chosen.blue));
    window_->setHighContrast(false);
    QCOMPARE(window_->grab().toImage(), designed);
}

void WindowTest::verdictsAreAnnouncedWhereTheFocusIs() {
    auto description = [](const QListWidgetItem* item) {
        return item->data(Qt::AccessibleDescriptionRole).toString();
    };
    auto announced = [this] { return toQString(form_->announcement().text()); };
    QLabel* notification = window_->announcer()->notification();
    QVERIFY(notification->isHidden());

    clickItem(window_->metalList(), QStringLiteral("Злато"));
    QListWidget* weights = window_->weightList();
    weights->setFocus();
    // Focus and key come as separate events, with the event loop between.
    QCoreApplication::processEvents();
    // Home on the item that is current already (as Qt makes the first one on
    // entering): nothing becomes current, so a notification tells.
    QTest::keyClick(weights, Qt::Key_Home);
    QVERIFY(announced().startsWith(QStringLiteral("Грешно Злато")));
    QVERIFY(notification->isVisible());
    QCOMPARE(notification->text(), announced());

    const int right = itemIndex(form_->List1(1), "19.32");
    for (int row = 1; row <= right; ++row) {
        QCoreApplication::processEvents();
        QTest::keyClick(weights, Qt::Key_Down);
        QCOMPARE(description(weights->item(row)), announced());
        QCOMPARE(description(weights->item(row - 1)), QString());
    }
    QVERIFY(announced().startsWith(QStringLiteral("Вярно Злато относително тегло 19.32")));
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(weights);
    QCOMPARE(list->tableInterface()->cellAt(right, 0)->text(QAccessible::Description), announced());
    // The notification was not used again.
    QVERIFY(notification->text().startsWith(
        QStringLiteral("Грешно Злато не е с относително тегло 10.5")));

    // The clear button empties the lists; the next verdict is told afresh,
    // here on the item the mouse has just made current.
    QTest::mouseClick(window_->clearButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    clickItem(window_->metalList(), QStringLiteral("Мед"));
    QCoreApplication::processEvents();
    clickItem(weights, QStringLiteral("8.9"));
    QVERIFY(announced().startsWith(QStringLiteral("Вярно Мед")));
    QCOMPARE(description(weights->currentItem()), announced());
}

// Screen readers read a result box as one run of text, whole.
void WindowTest::resultBoxesAreReadWhole() {
    clickItem(window_->metalList(), QStringLiteral("Злато"));
    clickItem(window_->weightList(), QStringLiteral("19.32"));
    for (int i = 0; i < Mervalin::kText2Count; ++i) {
        QLineEdit* box = window_->resultBox(i);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box);
        QAccessibleTextInterface* text = accessible->textInterface();
        QVERIFY(text);
        const int count = static_cast<int>(box->text().size());
        QCOMPARE(text->characterCount(), count);
        for (int offset = 0; offset < count; ++offset) {
            int start = -1;
            int end = -1;
            text->attributes(offset, &start, &end);
            QCOMPARE(start, 0);
            QCOMPARE(end, count);
            QCOMPARE(text->textAtOffset(offset, QAccessible::LineBoundary, &start, &end),
                     box->text());
        }
        QVERIFY(accessible->state().readOnly);
        QCOMPARE(accessible->text(QAccessible::Name), window_->label(4 + i)->text());
        QCOMPARE(accessible->text(QAccessible::Value), box->text());
        // Reached by Tab, nothing is selected, for nothing to be said of it.
        box->setFocus(Qt::TabFocusReason);
        QCOMPARE(text->selectionCount(), 0);
    }
}

}  // namespace mervalin::qt

QTEST_MAIN(mervalin::qt::WindowTest)
#include "window_test.moc"
