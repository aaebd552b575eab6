#include "platform/linux/gnome_pointer_settings.h"

#include <gio/gio.h>

#include "platform/linux/libinput_speed.h"

namespace quorix {

namespace {

constexpr const char* kSchema = "org.gnome.desktop.peripherals.mouse";
constexpr const char* kProfileKey = "accel-profile";
constexpr const char* kSpeedKey = "speed";
constexpr const char* kFlat = "flat";

std::string Profile(GSettings* settings) {
  gchar* value = g_settings_get_string(settings, kProfileKey);
  std::string profile = value != nullptr ? value : "";
  g_free(value);
  return profile;
}

}  // namespace

Result<std::unique_ptr<GnomePointerSettings>> GnomePointerSettings::Open() {
  // g_settings_new aborts the program for a schema it does not know.
  GSettingsSchemaSource* schemas = g_settings_schema_source_get_default();
  GSettingsSchema* schema = schemas != nullptr ? g_settings_schema_source_lookup(schemas, kSchema, TRUE) : nullptr;
  if (schema == nullptr) {
    return Outcome(Failure::kUnavailable, std::string("The GSettings schema ") + kSchema + " is not installed.");
  }
  g_settings_schema_unref(schema);
  GSettings* settings = g_settings_new(kSchema);
  std::string profile = Profile(settings);
  if (profile == kFlat) profile = "default";
  return std::unique_ptr<GnomePointerSettings>(new GnomePointerSettings(settings, profile));
}

GnomePointerSettings::~GnomePointerSettings() { g_object_unref(settings_); }

PointerAcceleration GnomePointerSettings::GetAcceleration() {
  if (Profile(settings_) == kFlat) return {};
  return {4, 12, 2};
}

void GnomePointerSettings::SetAcceleration(const PointerAcceleration& value) {
  g_settings_set_string(settings_, kProfileKey, value.threshold1 > 0 ? userProfile_.c_str() : kFlat);
  // Written through dconf before the program may quit.
  g_settings_sync();
}

int GnomePointerSettings::GetSpeed() { return SpeedFromLibinput(g_settings_get_double(settings_, kSpeedKey)); }

void GnomePointerSettings::SetSpeed(int speed) {
  g_settings_set_double(settings_, kSpeedKey, LibinputFromSpeed(speed));
  g_settings_sync();
}

}  // namespace quorix
