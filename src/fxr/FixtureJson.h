#pragma once

#include "model/FixClasses.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>

// The model as JSON, keys named as the model's fields, texts in UTF-8. Every byte of a text comes
// back through Utf8ToCp1252, so the object holds the model exactly but for the date, which it gives
// as a calendar day ("Date") and as the day count itself ("DateValue").
nlohmann::ordered_json FixtureToJson(const TFixture &fixture);
// The text of FixtureToJson(fixture).dump(2), written element by element: a large fixture's
// JSON is never held whole.
void WriteFixtureJson(std::ostream &out, const TFixture &fixture);

// The fixture an object of FixtureToJson describes, every field as it was, with the file's name but
// no directory. Throws std::exception (nlohmann's, or EFixtureError) when the object is not one.
TFixture FixtureFromJson(const nlohmann::json &json);
