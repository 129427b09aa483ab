#pragma once

#include "platform/CodePage.h"

#include <QFile>
#include <QString>

#include <string>
#include <string_view>

// The core keeps text as Windows-1252 bytes; Qt wants Unicode. Every text crosses here.
inline QString ToQt(std::string_view text)
{
    return QString::fromStdString(Cp1252ToUtf8(text));
}
inline std::string FromQt(const QString &text)
{
    return Utf8ToCp1252(text.toStdString());
}

// Paths are the system's bytes, not Windows-1252 text, so that a name in any script opens.
inline QString PathToQt(const std::string &path)
{
    return QFile::decodeName(path.c_str());
}
inline std::string PathFromQt(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}
