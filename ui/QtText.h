// The core works on UTF-8 bytes, Qt on QString: the two crossings, and the
// one for file paths, which go through the file system's own encoding.
#pragma once

#include <QFile>
#include <QString>
#include <string>

namespace tarnwell {

inline QString ToQt(const std::string& text) { return QString::fromStdString(text); }
inline std::string ToStd(const QString& text) { return text.toStdString(); }

// A message of several lines on one line, as a table cell or a summary
// line shows it.
inline QString OneLine(const std::string& text) {
  return ToQt(text).trimmed().replace(QLatin1Char('\n'), QStringLiteral("  "));
}

inline std::string ToStdPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString ToQtPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace tarnwell
