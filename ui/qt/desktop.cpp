#include "ui/qt/desktop.h"

#include <gio/gio.h>

namespace mervalin::qt {

namespace {

constexpr char kSchema[] = "org.gnome.desktop.a11y.interface";
constexpr char kKey[] = "high-contrast";

}  // namespace

struct DesktopContrast::Settings {
    GSettings* settings = nullptr;
    std::function<void(bool)> changed;

    ~Settings() {
        if (!settings) return;
        g_signal_handlers_disconnect_by_data(settings, this);
        g_object_unref(settings);
    }

    static void onChanged(GSettings* settings, gchar*, gpointer self) {
        static_cast<Settings*>(self)->changed(g_settings_get_boolean(settings, kKey) != FALSE);
    }
};

DesktopContrast::DesktopContrast(std::function<void(bool)> changed) {
    // g_settings_new() ends the program when the schema is missing; looked
    // up first, a missing schema or key only means no such setting.
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema =
        source ? g_settings_schema_source_lookup(source, kSchema, TRUE) : nullptr;
    if (!schema) return;
    bool usable = false;
    if (g_settings_schema_has_key(schema, kKey)) {
        GSettingsSchemaKey* key = g_settings_schema_get_key(schema, kKey);
        usable =
            g_variant_type_equal(g_settings_schema_key_get_value_type(key), G_VARIANT_TYPE_BOOLEAN);
        g_settings_schema_key_unref(key);
    }
    if (usable) {
        settings_ = std::make_unique<Settings>();
        settings_->settings = g_settings_new_full(schema, nullptr, nullptr);
        settings_->changed = std::move(changed);
        // GSettings reports changes only of keys read before.
        g_settings_get_boolean(settings_->settings, kKey);
        g_signal_connect(settings_->settings, "changed::high-contrast",
                         G_CALLBACK(&Settings::onChanged), settings_.get());
    }
    g_settings_schema_unref(schema);
}

DesktopContrast::~DesktopContrast() = default;

bool DesktopContrast::high() const {
    return settings_ && g_settings_get_boolean(settings_->settings, kKey) != FALSE;
}

}  // namespace mervalin::qt
