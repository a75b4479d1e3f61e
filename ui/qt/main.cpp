// Mervalin on Linux: starts the form with the user's regional settings,
// shows the window and runs the event loop until it closes.
#include <QApplication>
#include <QMessageBox>

#include "logic/quiz.h"
#include "model/form.h"
#include "ui/platform.h"
#include "ui/qt/desktop.h"
#include "ui/qt/text.h"
#include "ui/qt/window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Lets a Wayland compositor match the window with its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.mervalin.Mervalin"));
    mervalin::qt::setUpApplication();

    const auto platform = mervalin::createPlatform([](std::string_view message) {
        QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Мервалин"),
                             mervalin::toQString(message));
    });
    const auto form = mervalin::startForm(*platform);
    mervalin::qt::MainWindow window(*form);
    const mervalin::qt::DesktopContrast contrast(
        [&window](bool high) { window.setHighContrast(high); });
    window.setHighContrast(contrast.high());
    window.show();
    return QApplication::exec();
}
