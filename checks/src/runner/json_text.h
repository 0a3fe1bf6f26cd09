// JSON as every report this tool writes it: nlohmann's values, laid out for
// people to read, with text made valid UTF-8 whatever bytes it holds.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace checks {

// Members keep the order they were added in, the order readers are used to.
using OrderedJson = nlohmann::ordered_json;

// Quotes and escapes text so that the literal is valid JSON and valid UTF-8
// whatever bytes it holds: control characters become escapes, bytes that
// are not well-formed UTF-8 the visible text "\xHH" (see utf8_text.h).
std::string JsonString(const std::string& text);

// A figure as JSON: null where it is no number (JSON has no NaN or
// infinity), else the value as printf's format rounds it ("%.3f": to the
// millisecond); a whole number is written without a fraction ("1", not "1.0").
OrderedJson JsonFigure(double value, const char* format);

// The document as text: one member a line; an array that is a member, or
// an array of objects within one, one item a line; within such an item a
// member holding an object or array starts a line of its own; the rest on
// one line with a space after ':' and ','. Every string goes through
// JsonString, so the text is valid UTF-8 even where the values are not.
std::string JsonLayout(const OrderedJson& document);

}  // namespace checks
