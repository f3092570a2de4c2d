// The spin boxes of the preferences window's slider pairs. Whatever is typed is read and
// clamped to the pair's range instead of being refused keystroke by keystroke, so typing 150
// into a 1..100 box gives 100; the gamma box counts hundredths and shows them as a decimal.
#pragma once

#include <QSpinBox>

namespace ravelin {

class ClampingSpinBox : public QSpinBox {
  Q_OBJECT
 public:
  explicit ClampingSpinBox(QWidget* parent = nullptr);

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  int valueFromText(const QString& text) const override;
  void fixup(QString& input) const override;
};

// Value 1..999 in hundredths; the text is value / 100 with two decimals ("2.50"), and typed
// text is read as a decimal number, so "2.5" gives 250 and "12" gives 999.
class GammaSpinBox : public ClampingSpinBox {
  Q_OBJECT
 public:
  explicit GammaSpinBox(QWidget* parent = nullptr);

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  int valueFromText(const QString& text) const override;
  QString textFromValue(int value) const override;
};

}  // namespace ravelin
