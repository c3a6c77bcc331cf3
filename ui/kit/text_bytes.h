#pragma once

#include <QString>

#include <string>
#include <string_view>

// The engine keeps texts and paths as UTF-8 bytes; the windows show them as QString.
inline QString Text(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}
inline std::string Bytes(const QString& text) {
    return text.toUtf8().toStdString();
}
