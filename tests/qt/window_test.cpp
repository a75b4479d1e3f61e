// The Linux window driven as a user would: real key and mouse events on the
// shown widgets, checked against the design.
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "data/reference.h"
#include "logic/quiz.h"
#include "model/form.h"
#include "ui/layout.h"
#include "ui/qt/platform.h"
#include "ui/qt/window.h"

namespace mervalin::qt {

namespace {

class TestPlatform final : public QtPlatform {
public:
    void reportOverflow(std::string_view message) override { reports.emplace_back(message); }
    std::vector<std::string> reports;
};

}  // namespace

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
    void ctrlClickKeepsTheChoice();
    void resultsCanBeCopiedButNotEdited();
    void accessibleNames();

private:
    QWidget* widgetFor(const layout::Placement& placement) const;
    void clickRow(QListWidget* list, int row);

    std::unique_ptr<TestPlatform> platform_;
    std::unique_ptr<Mervalin> form_;
    std::unique_ptr<MainWindow> window_;
};

void WindowTest::init() {
    platform_ = std::make_unique<TestPlatform>();
    form_ = std::make_unique<Mervalin>(*platform_);
    attachHandlers(*form_);
    window_ = std::make_unique<MainWindow>(*form_);
    Form_Load(*form_);
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

QWidget* WindowTest::widgetFor(const layout::Placement& placement) const {
    switch (placement.array) {
        case layout::Array::Label1:
            return window_->label(placement.index);
        case layout::Array::List1:
            return placement.index == 0 ? window_->metalList() : window_->weightList();
        case layout::Array::List2:
            return window_->sizeList();
        case layout::Array::Text1:
            return window_->messageBox();
        case layout::Array::Text2:
            return window_->resultBox(placement.index);
        case layout::Array::Command1:
            return window_->clearButton();
        case layout::Array::Picture1:
            return window_->picture();
    }
    return nullptr;
}

void WindowTest::clickRow(QListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    QVERIFY(!rect.isEmpty());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void WindowTest::geometry_data() {
    QTest::addColumn<int>("control");
    QTest::addColumn<QRect>("expected");
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        const layout::Placement& p = layout::kControls[i];
        const char* names[] = {"Label1", "List1",    "List2",   "Text1",
                               "Text2",  "Command1", "Picture1"};
        const QByteArray name =
            QByteArray(names[static_cast<int>(p.array)]) + "(" + QByteArray::number(p.index) + ")";
        QTest::newRow(name.constData())
            << static_cast<int>(i) << QRect(p.left / 15, p.top / 15, p.width / 15, p.height / 15);
    }
}

void WindowTest::geometry() {
    QFETCH(int, control);
    QFETCH(QRect, expected);
    QCOMPARE(window_->size(), QSize(461, 387));
    QCOMPARE(widgetFor(layout::kControls[static_cast<std::size_t>(control)])->geometry(), expected);
}

void WindowTest::lookAndCaptions() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("www.mervalin.example   Тарнесо"));
    QCOMPARE(window_->palette().color(QPalette::Window), QColor(192, 192, 255));
    QVERIFY(window_->autoFillBackground());
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    QVERIFY(!window_->windowIcon().isNull());

    const QString captions[] = {"Мервалин", "Метал",   "Тегло", "d/a",
                                "Vсфера=",  "Mсфера=", "Vкуб=", "Mкуб="};
    for (int i = 0; i < 8; ++i) {
        QLabel* label = window_->label(i);
        QCOMPARE(label->text(), captions[i]);
        QCOMPARE(label->palette().color(QPalette::Window), QColor(255, 192, 128));
        QVERIFY(label->autoFillBackground());
        QVERIFY(label->alignment() & Qt::AlignHCenter);
    }
    QCOMPARE(window_->clearButton()->text(), QStringLiteral("Чисти"));
    // The button is drawn in its colour: sample its face.
    const QImage face = window_->clearButton()->grab().toImage();
    const QColor centre = face.pixelColor(face.width() / 8, face.height() / 2);
    QCOMPARE(centre, QColor(255, 128, 128));

    for (QWidget* widget : window_->findChildren<QWidget*>()) {
        QCOMPARE(widget->font().family(), QStringLiteral("Times New Roman"));
        QCOMPARE(widget->font().pointSize(), 12);
        QVERIFY(!widget->font().bold());
    }
    // fontconfig stands in a metric-compatible face for Times New Roman.
    const QString face_family = QFontInfo(window_->messageBox()->font()).family();
    QVERIFY2(face_family == "Times New Roman" || face_family == "Liberation Serif",
             qPrintable(face_family));

    const QPixmap diagram = window_->picture()->pixmap();
    QCOMPARE(diagram.size(), QSize(93, 111));
}

void WindowTest::startState() {
    QCOMPARE(window_->metalList()->count(), 15);
    QCOMPARE(window_->metalList()->item(5)->text(), QStringLiteral("Злато"));
    QCOMPARE(window_->weightList()->item(0)->text(), QStringLiteral("10.5"));
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
    clickRow(window_->metalList(), 5);
    QCOMPARE(form_->List1(0).selectedIndex(), 5);
    QCOMPARE(form_->Text1(0).text(), IntroText);

    QListWidget* weights = window_->weightList();
    weights->setFocus();
    QTest::keyClick(weights, Qt::Key_Home);
    for (int i = 0; i < 4; ++i) QTest::keyClick(weights, Qt::Key_Down);
    QCOMPARE(weights->currentItem()->text(), QStringLiteral("19.32"));
    QVERIFY(window_->messageBox()->toPlainText().startsWith(
        QStringLiteral("Вярно Злато относително тегло 19.32, точка на топене 1063°C\n")));
    QCOMPARE(window_->resultBox(0)->text(), QStringLiteral("65.45"));
    QCOMPARE(window_->resultBox(1)->text(), QStringLiteral("1,264.45"));
    QCOMPARE(window_->resultBox(2)->text(), QStringLiteral("125.00"));
    QCOMPARE(window_->resultBox(3)->text(), QStringLiteral("2,415.00"));

    // End and Page keys move the choice too.
    QTest::keyClick(weights, Qt::Key_End);
    QCOMPARE(form_->List1(1).selectedIndex(), 14);
    QTest::keyClick(weights, Qt::Key_PageUp);
    QCOMPARE(form_->List1(1).selectedIndex(), weights->currentRow());
    QVERIFY(form_->List1(1).selectedIndex() < 14);
}

void WindowTest::wrongPairingEmptiesTheResults() {
    clickRow(window_->metalList(), 5);
    clickRow(window_->weightList(), 4);
    QCOMPARE(window_->resultBox(3)->text(), QStringLiteral("2,415.00"));
    clickRow(window_->weightList(), 3);
    QCOMPARE(window_->messageBox()->toPlainText(),
             QStringLiteral("Грешно Злато не е с относително тегло 19.25\n"));
    for (int i = 0; i < 4; ++i) QCOMPARE(window_->resultBox(i)->text(), QString());
}

void WindowTest::clearButton() {
    clickRow(window_->sizeList(), 1);
    clickRow(window_->metalList(), 0);
    clickRow(window_->weightList(), 5);
    QCOMPARE(window_->resultBox(2)->text(), QStringLiteral("8.00"));
    QTest::mouseClick(window_->clearButton(), Qt::LeftButton);
    QCOMPARE(window_->messageBox()->toPlainText(), QString());
    for (int i = 0; i < 4; ++i) QCOMPARE(window_->resultBox(i)->text(), QString());
    QCOMPARE(window_->metalList()->count(), 15);
    QCOMPARE(window_->weightList()->count(), 15);
    QVERIFY(window_->metalList()->selectedItems().isEmpty());
    QVERIFY(window_->weightList()->selectedItems().isEmpty());
    QCOMPARE(window_->sizeList()->currentRow(), 1);

    // The keyboard presses it too.
    clickRow(window_->metalList(), 0);
    clickRow(window_->weightList(), 5);
    window_->clearButton()->setFocus();
    QTest::keyClick(window_->clearButton(), Qt::Key_Space);
    QCOMPARE(window_->messageBox()->toPlainText(), QString());
}

void WindowTest::sizeChangeWaitsForTheNextChoice() {
    clickRow(window_->metalList(), 5);
    clickRow(window_->weightList(), 4);
    QListWidget* sizes = window_->sizeList();
    sizes->setFocus();
    QTest::keyClick(sizes, Qt::Key_Home);
    QCOMPARE(form_->List2().selectedIndex(), 0);
    QCOMPARE(window_->resultBox(2)->text(), QStringLiteral("125.00"));
    clickRow(window_->metalList(), 5);
    QCOMPARE(window_->resultBox(2)->text(), QStringLiteral("1.00"));
    QCOMPARE(window_->resultBox(3)->text(), QStringLiteral("19.32"));
}

void WindowTest::ctrlClickKeepsTheChoice() {
    clickRow(window_->metalList(), 2);
    QListWidget* list = window_->metalList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualItemRect(list->item(2)).center());
    QCOMPARE(list->selectedItems().size(), 1);
    QCOMPARE(list->selectedItems().front()->text(), QStringLiteral("Галий"));
    QCOMPARE(form_->List1(0).selectedIndex(), 2);
}

void WindowTest::resultsCanBeCopiedButNotEdited() {
    clickRow(window_->metalList(), 5);
    clickRow(window_->weightList(), 4);
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
    QCOMPARE(window_->metalList()->accessibleName(), QStringLiteral("Метал"));
    QCOMPARE(window_->weightList()->accessibleName(), QStringLiteral("Тегло"));
    QCOMPARE(window_->sizeList()->accessibleName(), QStringLiteral("d/a"));
    QCOMPARE(window_->resultBox(0)->accessibleName(), QStringLiteral("Vсфера="));
    QCOMPARE(window_->resultBox(3)->accessibleName(), QStringLiteral("Mкуб="));
    QVERIFY(!window_->messageBox()->accessibleName().isEmpty());
    QVERIFY(!window_->picture()->accessibleName().isEmpty());
    QCOMPARE(window_->label(1)->buddy(), window_->metalList());
}

}  // namespace mervalin::qt

QTEST_MAIN(mervalin::qt::WindowTest)
#include "window_test.moc"
