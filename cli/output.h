// What zelk-inspect prints of one inspection: JSON of schema 1, or text for people.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "window/headless.h"

namespace zelk::cli {

nlohmann::ordered_json ToJson(const Inspection& inspection, const std::string& fileAsGiven);
std::string ToText(const nlohmann::ordered_json& result);
// A value of the JSON as the text output writes it: a string as it is, anything else dumped.
std::string AsText(const nlohmann::ordered_json& value);

}  // namespace zelk::cli
