#pragma once

#include <string>

// Texts of the library (UTF-8) as our files can hold them (Windows-1252, one line, no double
// quote, no "//", no blanks at the ends, one blank between words).
std::string OflText(const std::string &utf8);
// A comment of several lines, each made a text as above; empty lines are left out.
std::string OflComment(const std::string &utf8);
// A channel name made an attribute name: also without commas and "=", and not starting with "#"
// or a keyword of the file. Empty when nothing is left.
std::string OflAttributeName(const std::string &utf8);
