// The desktop's high-contrast setting, which Qt 6.4 cannot tell: GNOME's
// org.gnome.desktop.a11y.interface high-contrast, read through GSettings
// and followed as it changes. GLib's headers stay out of this one, since
// they clash with Qt's keywords.
#pragma once

#include <functional>
#include <memory>

namespace mervalin::qt {

class DesktopContrast final {
public:
    // Reads the setting; changed is called with its new value each time it
    // changes, from the event loop. Where the schema or its key is not
    // installed (a desktop other than GNOME, or none), high contrast is off
    // and never changes.
    explicit DesktopContrast(std::function<void(bool)> changed);
    ~DesktopContrast();

    DesktopContrast(const DesktopContrast&) = delete;
    DesktopContrast& operator=(const DesktopContrast&) = delete;

    // Whether the desktop asks for high contrast.
    bool high() const;

private:
    struct Settings;
    std::unique_ptr<Settings> settings_;
};

}  // namespace mervalin::qt
