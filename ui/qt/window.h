// The main window on Linux: Qt widgets bound to the form model. The model is
// the only state; each widget shows its model control and reports the user's
// actions to it.
#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "model/form.h"
#include "ui/layout.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace mervalin::qt {

class Announcer;

// Gives the running application the program's widget style and font, so that
// message boxes match the window.
void setUpApplication();

class MainWindow final : public QWidget {
    Q_OBJECT

public:
    // Builds every control of the design and shows the form's current state.
    // The form must outlive the window.
    explicit MainWindow(Mervalin& form, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The visible lists: List1(0), List1(1) and List2.
    QListWidget* metalList() const { return metalList_; }
    QListWidget* weightList() const { return weightList_; }
    QListWidget* sizeList() const { return sizeList_; }
    QPlainTextEdit* messageBox() const { return messageBox_; }
    QLineEdit* resultBox(int index) const { return resultBoxes_[static_cast<std::size_t>(index)]; }
    QPushButton* clearButton() const { return clearButton_; }
    QLabel* label(int index) const { return labels_[static_cast<std::size_t>(index)]; }
    QWidget* picture() const { return picture_; }
    // Delivers the form's announcements to screen readers.
    Announcer* announcer() const { return announcer_; }

private:
    class ListBinding;
    class TextBinding;

    QListWidget* bindList(ListBox& list, const layout::Placement& placement);

    Mervalin& form_;
    QListWidget* metalList_ = nullptr;
    QListWidget* weightList_ = nullptr;
    QListWidget* sizeList_ = nullptr;
    QPlainTextEdit* messageBox_ = nullptr;
    std::array<QLineEdit*, Mervalin::kText2Count> resultBoxes_{};
    std::array<QLabel*, Mervalin::kLabel1Count> labels_{};
    QPushButton* clearButton_ = nullptr;
    QWidget* picture_ = nullptr;
    Announcer* announcer_ = nullptr;
    std::vector<std::unique_ptr<ListBinding>> listBindings_;
    std::vector<std::unique_ptr<TextBinding>> textBindings_;
};

}  // namespace mervalin::qt
