// The Linux window driven as a user would: real key and mouse events on the
// shown widgets, checked against the design.
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

#include "data/reference.h"
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

    void geometry_data();
    void geometry();
    void lookAndCaptions();
    void startState();
    void tabOrderAndInitialFocus();
    void correctPairingByMouseAndKeyboard();
    void wrongPairingEmptiesTheResults();
    void clearButton();
    void sizeChangeWaitsForTheNextChoice();
    void clickOnTheChosenItemChecksAgain();
    void keysCheckOncePerMove();
    void ctrlClickKeepsTheChoice();
    void resultsCanBeCopiedButNotEdited();
    void accessibleNames();
    void verdictsAreAnnouncedWhereTheFocusIs();
    void resultBoxesAreReadWhole();
    void diagramIsSharp();

private:
    void clickRow(QListWidget* list, int row);
    // Clicks the occurrence-th item (from 1) that reads text.
    void clickItem(QListWidget* list, const QString& text, int occurrence = 1);
    QStringList results() const;

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

QStringList WindowTest::results() const {
    QStringList texts;
    for (int i = 0; i < Mervalin::kText2Count; ++i) texts << window_->resultBox(i)->text();
    return texts;
}

void WindowTest::geometry_data() {
    QTest::addColumn<int>("control");
    QTest::addColumn<QRect>("expected");
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        const layout::Rect& r = layout::kControls[i].rect;
        QTest::newRow(QByteArray::number(layout::kControls[i].id.number()).constData())
            << static_cast<int>(i) << QRect(r.left / 15, r.top / 15, r.width / 15, r.height / 15);
    }
}

void WindowTest::geometry() {
    QFETCH(int, control);
    QFETCH(QRect, expected);
    QCOMPARE(window_->size(), QSize(461, 387));
    QCOMPARE(window_->widget(layout::kControls[static_cast<std::size_t>(control)].id)->geometry(),
             expected);
}

void WindowTest::lookAndCaptions() {
    const auto colour = [](layout::Colour role) {
        const layout::Rgb rgb = layout::designed(role);
        return QColor(rgb.red, rgb.green, rgb.blue);
    };
    QCOMPARE(window_->windowTitle(), toQString(layout::kCaption));
    QCOMPARE(window_->palette().color(QPalette::Window), colour(layout::Colour::Window));
    QVERIFY(window_->autoFillBackground());
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    QVERIFY(!window_->windowIcon().isNull());

    for (int i = 0; i < Mervalin::kLabel1Count; ++i) {
        const layout::Control& design = layout::labelControl(i);
        QLabel* label = window_->label(i);
        QCOMPARE(label->text(), toQString(design.caption));
        QCOMPARE(label->palette().color(QPalette::Window), colour(design.background));
        QVERIFY(label->autoFillBackground());
        QVERIFY(label->alignment() & Qt::AlignHCenter);
    }
    const layout::Control& button = *layout::find({Array::Command1, 0});
    QCOMPARE(window_->clearButton()->text(), toQString(button.caption));
    // The button is drawn in its colour: sample its face.
    const QImage face = window_->clearButton()->grab().toImage();
    const QColor centre = face.pixelColor(face.width() / 8, face.height() / 2);
    QCOMPARE(centre, colour(button.background));

    for (QWidget* widget : window_->findChildren<QWidget*>()) {
        QCOMPARE(widget->font().family(), QStringLiteral("Times New Roman"));
        QCOMPARE(widget->font().pointSize(), 12);
        QVERIFY(!widget->font().bold());
    }
    // fontconfig stands in a metric-compatible face for Times New Roman.
    const QString face_family = QFontInfo(window_->messageBox()->font()).family();
    QVERIFY2(face_family == "Times New Roman" || face_family == "Liberation Serif",
             qPrintable(face_family));
}

void WindowTest::startState() {
    for (int list : {Mervalin::kMetalChoice, Mervalin::kWeightChoice}) {
        QListWidget* widget =
            list == Mervalin::kMetalChoice ? window_->metalList() : window_->weightList();
        QCOMPARE(widget->count(), form_->List1(list).count());
        for (int i = 0; i < widget->count(); ++i) {
            QCOMPARE(widget->item(i)->text(), toQString(form_->List1(list).item(i)));
        }
    }
    QCOMPARE(window_->metalList()->count(), static_cast<int>(kMetalCount));
    QVERIFY(window_->metalList()->selectedItems().isEmpty());
    QVERIFY(window_->weightList()->selectedItems().isEmpty());
    QCOMPARE(window_->sizeList()->currentRow(), 4);
    QVERIFY(window_->sizeList()->item(4)->isSelected());
    // The message box shows the introduction with its CR LF breaks as lines.
    const QString intro = toQString(IntroText);
    QCOMPARE(window_->messageBox()->toPlainText(), QString(intro).replace("\r\n", "\n"));
    QCOMPARE(window_->messageBox()->document()->blockCount(), intro.count("\r\n") + 1);
    for (int i = 0; i < 4; ++i) QCOMPARE(window_->resultBox(i)->text(), QString());
    QCOMPARE(window_->messageBox()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void WindowTest::tabOrderAndInitialFocus() {
    QCOMPARE(QApplication::focusWidget(), window_->messageBox());
    const QWidget* expected[] = {
        window_->metalList(),  window_->weightList(), window_->clearButton(),
        window_->sizeList(),   window_->resultBox(0), window_->resultBox(1),
        window_->resultBox(2), window_->resultBox(3), window_->messageBox()};
    for (const QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    // Passing through a list chooses nothing in it.
    QCOMPARE(form_->List1(0).selectedIndex(), -1);
    QCOMPARE(form_->List1(1).selectedIndex(), -1);
    QCOMPARE(form_->List2().selectedIndex(), 4);
    QCOMPARE(form_->Text1(0).text(), IntroText);
}

void WindowTest::correctPairingByMouseAndKeyboard() {
    clickItem(window_->metalList(), QStringLiteral("Злато"));
    QCOMPARE(form_->List1(0).selectedIndex(), itemIndex(form_->List1(0), "Злато"));
    QCOMPARE(form_->Text1(0).text(), IntroText);

    QListWidget* weights = window_->weightList();
    weights->setFocus();
    QTest::keyClick(weights, Qt::Key_Home);
    for (int i = 0; i < itemIndex(form_->List1(1), "19.32"); ++i) {
        QTest::keyClick(weights, Qt::Key_Down);
    }
    QCOMPARE(weights->currentItem()->text(), QStringLiteral("19.32"));
    QVERIFY(window_->messageBox()->toPlainText().startsWith(
        QStringLiteral("Вярно Злато относително тегло 19.32, точка на топене 1063°C\n")));
    QCOMPARE(window_->resultBox(0)->text(), QStringLiteral("65.45"));
    QCOMPARE(window_->resultBox(1)->text(), QStringLiteral("1,264.45"));
    QCOMPARE(window_->resultBox(2)->text(), QStringLiteral("125.00"));
    QCOMPARE(window_->resultBox(3)->text(), QStringLiteral("2,415.00"));

    // End and Page keys move the choice too.
    const int last = weights->count() - 1;
    QTest::keyClick(weights, Qt::Key_End);
    QCOMPARE(form_->List1(1).selectedIndex(), last);
    QTest::keyClick(weights, Qt::Key_PageUp);
    QCOMPARE(form_->List1(1).selectedIndex(), weights->currentRow());
    QVERIFY(form_->List1(1).selectedIndex() < last);
}

void WindowTest::wrongPairingEmptiesTheResults() {
    clickItem(window_->metalList(), QStringLiteral("Злато"));
    clickItem(window_->weightList(), QStringLiteral("19.32"));
    QCOMPARE(window_->resultBox(3)->text(), QStringLiteral("2,415.00"));
    clickItem(window_->weightList(), QStringLiteral("19.25"));
    QCOMPARE(window_->messageBox()->toPlainText(),
             QStringLiteral("Грешно Злато не е с относително тегло 19.25\n"));
    for (int i = 0; i < 4; ++i) QCOMPARE(window_->resultBox(i)->text(), QString());
}

void WindowTest::clearButton() {
    clickItem(window_->sizeList(), QStringLiteral("2"));
    clickItem(window_->metalList(), QStringLiteral("Алуминий"));
    clickItem(window_->weightList(), QStringLiteral("2.7"));
    QCOMPARE(window_->resultBox(2)->text(), QStringLiteral("8.00"));
    QTest::mouseClick(window_->clearButton(), Qt::LeftButton);
    QCOMPARE(window_->messageBox()->toPlainText(), QString());
    for (int i = 0; i < 4; ++i) QCOMPARE(window_->resultBox(i)->text(), QString());
    QCOMPARE(window_->metalList()->count(), static_cast<int>(kMetalCount));
    QCOMPARE(window_->weightList()->count(), static_cast<int>(kMetalCount));
    QVERIFY(window_->metalList()->selectedItems().isEmpty());
    QVERIFY(window_->weightList()->selectedItems().isEmpty());
    QCOMPARE(window_->sizeList()->currentRow(), 1);

    // The keyboard presses it too.
    clickItem(window_->metalList(), QStringLiteral("Алуминий"));
    clickItem(window_->weightList(), QStringLiteral("2.7"));
    window_->clearButton()->setFocus();
    QTest::keyClick(window_->clearButton(), Qt::Key_Space);
    QCOMPARE(window_->messageBox()->toPlainText(), QString());
}

void WindowTest::sizeChangeWaitsForTheNextChoice() {
    clickItem(window_->metalList(), QStringLiteral("Злато"));
    clickItem(window_->weightList(), QStringLiteral("19.32"));
    QListWidget* sizes = window_->sizeList();
    sizes->setFocus();
    QTest::keyClick(sizes, Qt::Key_Home);
    QCOMPARE(form_->List2().selectedIndex(), 0);
    QCOMPARE(window_->resultBox(2)->text(), QStringLiteral("125.00"));
    clickItem(window_->weightList(), QStringLiteral("19.32"));
    QCOMPARE(window_->resultBox(2)->text(), QStringLiteral("1.00"));
    QCOMPARE(window_->resultBox(3)->text(), QStringLiteral("19.32"));
}

// A click on the item already chosen checks again, so a new size shows; the
// teachers' guide tells pupils to do just that.
void WindowTest::clickOnTheChosenItemChecksAgain() {
    clickItem(window_->metalList(), QStringLiteral("Злато"));
    clickItem(window_->weightList(), QStringLiteral("19.32"));
    clickItem(window_->sizeList(), QStringLiteral("10"));
    QCOMPARE(results(), QStringList({"65.45", "1,264.45", "125.00", "2,415.00"}));
    clickItem(window_->metalList(), QStringLiteral("Злато"));
    QCOMPARE(results(), QStringList({"523.58", "10,115.63", "1,000.00", "19,320.00"}));
    // A double click is two clicks, and the choice stays.
    QListWidget* metals = window_->metalList();
    const QPoint gold = metals->visualItemRect(metals->selectedItems().front()).center();
    QTest::mouseDClick(metals->viewport(), Qt::LeftButton, {}, gold);
    QCOMPARE(metals->selectedItems().front()->text(), QStringLiteral("Злато"));
    QCOMPARE(results(), QStringList({"523.58", "10,115.63", "1,000.00", "19,320.00"}));
}

// Keys check once per move: a key that moves nothing checks nothing, so a
// new size waits for the next real move.
void WindowTest::keysCheckOncePerMove() {
    // Home in a list nobody has chosen from chooses the first item, as a
    // Windows list box does; End the last.
    QListWidget* metals = window_->metalList();
    metals->setFocus();
    QTest::keyClick(metals, Qt::Key_Home);
    QCOMPARE(form_->List1(0).selectedIndex(), 0);
    QTest::keyClick(metals, Qt::Key_End);
    QCOMPARE(metals->selectedItems().front()->text(), QStringLiteral("Цинк"));
    QListWidget* weights = window_->weightList();
    weights->setFocus();
    QTest::keyClick(weights, Qt::Key_End);
    QVERIFY(form_->Text1(0).text().starts_with("Грешно Цинк"));
    clickItem(window_->sizeList(), QStringLiteral("1"));
    weights->setFocus();
    form_->Text1(0).setText("");
    QTest::keyClick(weights, Qt::Key_Down);
    QCOMPARE(form_->Text1(0).text(), "");
    QTest::keyClick(weights, Qt::Key_Up);
    QVERIFY(form_->Text1(0).text().starts_with("Грешно Цинк"));
}

void WindowTest::ctrlClickKeepsTheChoice() {
    clickItem(window_->metalList(), QStringLiteral("Галий"));
    QListWidget* list = window_->metalList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualItemRect(list->selectedItems().front()).center());
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
    const QColor ink(drawing.ink.red, drawing.ink.green, drawing.ink.blue);
    const QColor paper(drawing.paper.red, drawing.paper.green, drawing.paper.blue);
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
    QCOMPARE(announced(),
             QStringLiteral("Вярно Злато относително тегло 19.32, точка на топене 1063°C"));
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(weights);
    QCOMPARE(list->tableInterface()->cellAt(right, 0)->text(QAccessible::Description), announced());
    // The notification was not used again.
    QCOMPARE(notification->text(), QStringLiteral("Грешно Злато не е с относително тегло 10.5"));

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
        // Reached by Tab, the whole number is selected, as the selection says.
        box->setFocus(Qt::TabFocusReason);
        int start = -1;
        int end = -1;
        text->selection(0, &start, &end);
        QCOMPARE(text->text(start, end), box->text());
    }
}

}  // namespace mervalin::qt

QTEST_MAIN(mervalin::qt::WindowTest)
#include "window_test.moc"
