#pragma once
// The program's UTF-8 text and Qt's strings.
#include <QString>
#include <string>

namespace relaybird {

inline QString ToQt(const std::string& Text) { return QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size())); }
inline std::string ToStd(const QString& Text) { return Text.toUtf8().toStdString(); }

}  // namespace relaybird
