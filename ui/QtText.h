// The core works on UTF-8 bytes, Qt on QString: the two crossings, and the
// one for file paths, which go through the file system's own encoding.
#pragma once

#include <QFile>
#include <QString>
#include <string>

namespace tarnwell {

inline QString ToQt(const std::string& text) { return QString::fromStdString(text); }
inline std::string ToStd(const QString& text) { return text.toStdString(); }

inline std::string ToStdPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString ToQtPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace tarnwell
