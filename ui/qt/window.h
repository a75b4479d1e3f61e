// The main window on Linux: Qt widgets made from the design table and shown
// through the form's one view. The model is the only state; each widget
// shows its control and reports the user's input to the one input entry.
#pragma once

#include <QPalette>
#include <QWidget>
#include <map>

#include "model/form.h"
#include "ui/layout.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace mervalin::qt {

class Announcer;
class ChoiceList;

// Gives the running application the program's widget style and font, so that
// message boxes match the window.
void setUpApplication();

class MainWindow final : public QWidget, private FormView {
    Q_OBJECT

public:
    // Builds every control of the design and shows the form's current state.
    // The form must outlive the window.
    explicit MainWindow(Mervalin& form, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The widget that shows the control, or null for one the table lacks.
    QWidget* widget(ControlId id) const;

    // The visible lists: List1(0), List1(1) and List2.
    QListWidget* metalList() const;
    QListWidget* weightList() const;
    QListWidget* sizeList() const;
    QPlainTextEdit* messageBox() const;
    QLineEdit* resultBox(int index) const;
    QPushButton* clearButton() const;
    QLabel* label(int index) const;
    QWidget* picture() const;
    // Delivers the form's announcements to screen readers.
    Announcer* announcer() const { return announcer_; }

    // Draws the window and the application's message boxes in the system's
    // colours of the design table while the desktop asks for high contrast,
    // in the design's otherwise. The window starts in the design's.
    void setHighContrast(bool high);

private:
    QWidget* makeWidget(const layout::Control& control);
    QColor colour(layout::Colour role) const;
    void showColours();
    ChoiceList* list(ControlId id) const;

    // What the form shows, through FormView.
    void insertItem(ControlId list, int index, std::string_view text,
                    std::string_view spoken) override;
    void clearItems(ControlId list) override;
    void select(ControlId list, int index) override;
    void setText(ControlId box, std::string_view text) override;
    void announce(std::string_view text) override;

    Mervalin& form_;
    std::map<int, QWidget*> widgets_;  // by control number
    Announcer* announcer_ = nullptr;
    bool highContrast_ = false;
    // The application's palette before any high contrast.
    QPalette designPalette_;
};

}  // namespace mervalin::qt
