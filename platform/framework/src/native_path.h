// File names as the system has them: bytes, which need not be UTF-8 (a name
// made under a Latin-1 locale, say). The framework keeps a path in these bytes
// from the command line or the file dialog to the system call; Qt's strings
// would turn every byte that is not UTF-8 into U+FFFD and name another file.
// Only what is shown to the user is decoded.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>

// path made absolute against the working folder, "." and ".." taken out by
// their names alone, bytes unchanged.
std::string AbsoluteNativePath(const std::string& path);

// The last name of path, as bytes.
std::string NativeFileName(const std::string& path);

// Text to show for a native path (bytes that are not UTF-8 shown as U+FFFD).
inline QString ShownPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// The native bytes of a name Qt hands over as a string (the file dialog's).
inline std::string NativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// True when Qt's string holds the name exactly, so it may be kept as text.
inline bool IsTextPath(const QByteArray& path)
{
    return QFile::encodeName(QFile::decodeName(path)) == path;
}
