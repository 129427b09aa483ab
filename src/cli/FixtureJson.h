#pragma once

#include "model/FixClasses.h"

#include <nlohmann/json.hpp>

// The model as JSON, keys named as the model's fields, texts in UTF-8.
nlohmann::ordered_json FixtureToJson(const TFixture &fixture);
