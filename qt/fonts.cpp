#include "qt/fonts.h"

#include <QString>
#include <QStringList>
#include <cmath>

namespace view {

namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;
constexpr int kDialogPixelSize = 12;  // 9 pt

// The stored families come from a Japanese Windows desktop; the free IPA fonts are
// drawn to the same metrics, and Noto CJK (Japanese variant) comes after them.
QStringList familiesFor(const std::string& name) {
  const QString stored = QString::fromStdString(name);
  if (stored.contains(QStringLiteral("明朝"))) {
    return {stored, QStringLiteral("MS PMincho"), QStringLiteral("IPAPMincho"),
            QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP")};
  }
  if (stored.contains(QStringLiteral("ゴシック"))) {
    return {stored, QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
            QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")};
  }
  return {QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic"),
          QStringLiteral("Noto Sans CJK JP")};
}

}  // namespace

QFont fontFor(const forms::FontSpec& wanted) {
  if (wanted.Name.empty()) {
    QFont f = dialogFont();
    f.setBold(wanted.Bold);
    return f;
  }
  QFont f;
  f.setFamilies(familiesFor(wanted.Name));
  f.setPixelSize(static_cast<int>(std::lround(wanted.SizePt * kPixelsPerPoint)));
  f.setBold(wanted.Bold);
  f.setStyleHint(QFont::AnyStyle, QFont::PreferAntialias);
  return f;
}

QFont dialogFont() {
  QFont f;
  f.setFamilies(familiesFor({}));
  f.setPixelSize(kDialogPixelSize);
  return f;
}

}  // namespace view
