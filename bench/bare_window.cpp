// The start-up baseline: the least a Qt Widgets program with one list box
// does before its first paint, built with the same Qt and the same flags.
#include <QApplication>
#include <QListWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QListWidget list;
    list.addItem(QStringLiteral("1"));
    list.resize(461, 387);
    list.show();
    return QApplication::exec();
}
