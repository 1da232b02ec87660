#pragma once
// Page texts are kept as UTF-8 in the page model; widgets show them as QString.

#include <QString>

#include <string>

namespace hwc::ui::page {

inline QString ToQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQt(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace hwc::ui::page
