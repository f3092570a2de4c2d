#include "gui/preferences/number_boxes.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace ravelin {

ClampingSpinBox::ClampingSpinBox(QWidget* parent) : QSpinBox(parent) {
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State ClampingSpinBox::validate(QString& input, int& pos) const {
  (void)pos;
  static const QRegularExpression kInteger("^[+-]?[0-9]*$");
  if (!kInteger.match(input).hasMatch()) return QValidator::Invalid;
  if (input.isEmpty() || input == "-" || input == "+") return QValidator::Intermediate;
  return QValidator::Acceptable;
}

int ClampingSpinBox::valueFromText(const QString& text) const {
  // Long digit runs saturate instead of wrapping round.
  const double read = text.toDouble();
  return static_cast<int>(std::clamp<double>(read, minimum(), maximum()));
}

void ClampingSpinBox::fixup(QString& input) const { input = textFromValue(valueFromText(input)); }

GammaSpinBox::GammaSpinBox(QWidget* parent) : ClampingSpinBox(parent) { setRange(1, 999); }

QValidator::State GammaSpinBox::validate(QString& input, int& pos) const {
  (void)pos;
  static const QRegularExpression kDecimal("^[+-]?[0-9]*[.]?[0-9]*$");
  if (!kDecimal.match(input).hasMatch()) return QValidator::Invalid;
  bool ok = false;
  input.toDouble(&ok);
  return ok ? QValidator::Acceptable : QValidator::Intermediate;
}

int GammaSpinBox::valueFromText(const QString& text) const {
  const double hundredths = std::round(text.toDouble() * 100.0);
  return static_cast<int>(std::clamp<double>(hundredths, minimum(), maximum()));
}

QString GammaSpinBox::textFromValue(int value) const {
  return QString::number(value / 100.0, 'f', 2);
}

}  // namespace ravelin
