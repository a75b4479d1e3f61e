// Mervalin on Linux: creates the form with the user's regional settings,
// runs its Load, shows the window and runs the event loop until it closes.
#include <QApplication>
#include <QMessageBox>

#include "logic/quiz.h"
#include "model/form.h"
#include "ui/qt/platform.h"
#include "ui/qt/window.h"

namespace {

class WindowPlatform final : public mervalin::QtPlatform {
public:
    void reportOverflow(std::string_view message) override {
        QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Мервалин"),
                             mervalin::toQString(message));
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Lets a Wayland compositor match the window with its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.mervalin.Mervalin"));
    mervalin::qt::setUpApplication();

    WindowPlatform platform;
    mervalin::Mervalin form(platform);
    mervalin::attachHandlers(form);
    mervalin::qt::MainWindow window(form);
    mervalin::Form_Load(form);
    window.show();
    return QApplication::exec();
}
