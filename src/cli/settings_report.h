#pragma once
// The settings image as `show` prints it: readable text, or the JSON object
// documented in docs/show-json.md.

#include <functional>
#include <iosfwd>
#include <string>

#include "settings/settings_image.h"

namespace quorix {

// Display text of a button record; empty function: the raw "type p1 p2 p3".
using ButtonTextFn = std::function<std::string(const SettingsImage&, const ButtonRecord&)>;

std::string RawRecordText(const ButtonRecord& record);
void PrintSettingsText(std::ostream& out, const SettingsImage& image, const ButtonTextFn& buttonText = {});
void PrintSettingsJson(std::ostream& out, const SettingsImage& image, const ButtonTextFn& buttonText = {});

}  // namespace quorix
