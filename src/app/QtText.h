#pragma once

#include <QString>

#include <string>

// The core keeps Windows-1252 bytes; Qt wants Unicode. Every text crosses here.
inline QString ToQt(const std::string &text);
inline std::string FromQt(const QString &text);

#include "platform/CodePage.h"

inline QString ToQt(const std::string &text) { return QString::fromStdString(Cp1252ToUtf8(text)); }
inline std::string FromQt(const QString &text) { return Utf8ToCp1252(text.toStdString()); }
