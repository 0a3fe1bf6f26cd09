// The frame of a self-contained HTML report: no script, no font, nothing
// fetched; style inline and pictures as inline SVG. Every text from outside
// goes through HtmlText.
#pragma once

#include <string>

namespace checks::runner {

// Text as HTML character data or a quoted attribute value: markup escaped and
// any bytes made valid UTF-8 (the rules of XmlText).
std::string HtmlText(const std::string& text);

// A whole page. title is plain text; body is markup made with HtmlText. A
// content security policy forbids scripts and every fetch, so a browser
// shows the page exactly as written, offline.
std::string HtmlPage(const std::string& title, const std::string& body);

// "<figure>" around an SVG picture with its title and caption (plain text).
std::string HtmlFigure(const std::string& title, const std::string& svg, const std::string& caption);

}  // namespace checks::runner
