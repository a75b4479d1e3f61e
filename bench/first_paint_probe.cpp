// Loaded with LD_PRELOAD into a Qt program, unchanged: at the first
// completed paint of a top-level window it writes the time and the process's
// memory to standard error and ends the program. The benchmark compares the
// real window with a bare one this way.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

#include "bench/proc_status.h"

namespace {

using mervalin::bench::statusKilobytes;

class FirstPaint final : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint && object->isWidgetType() &&
            static_cast<QWidget*>(object)->isWindow()) {
            seen_ = true;
            // Runs once the paint that is under way has been drawn and
            // flushed to the screen.
            QTimer::singleShot(0, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::fprintf(stderr, "first-paint ns=%lld peak-rss-kb=%ld anon-rss-kb=%ld\n",
                             static_cast<long long>(now.tv_sec) * 1'000'000'000 + now.tv_nsec,
                             statusKilobytes("VmHWM"), statusKilobytes("RssAnon"));
                std::fflush(stderr);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool seen_ = false;
};

void installProbe() { QCoreApplication::instance()->installEventFilter(new FirstPaint); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
