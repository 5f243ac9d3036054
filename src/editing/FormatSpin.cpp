#include "editing/FormatSpin.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

FormatSpin::FormatSpin(double minimum, double maximum, double step, int decimals, QWidget *parent)
    : QAbstractSpinBox(parent), m_minimum(minimum), m_maximum(maximum), m_step(step),
      m_decimals(decimals)
{
    connect(lineEdit(), &QLineEdit::textChanged, this, &FormatSpin::valueTextChanged);
}

QString FormatSpin::valueText() const
{
    return lineEdit()->text();
}

void FormatSpin::setValueText(const QString &text)
{
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
}

std::optional<double> FormatSpin::value() const
{
    bool ok = false;
    const double v = lineEdit()->text().trimmed().toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

void FormatSpin::stepBy(int steps)
{
    const double from = value().value_or(0.0);
    // Steps land on multiples of the step, so a typed 0.33 steps up to 0.4.
    double to = steps > 0 ? std::floor(from / m_step + 1e-9) * m_step + steps * m_step
                          : std::ceil(from / m_step - 1e-9) * m_step + steps * m_step;
    to = std::clamp(to, m_minimum, m_maximum);
    setValueText(QString::number(to, 'f', m_decimals));
}

QValidator::State FormatSpin::validate(QString &input, int &) const
{
    static const QRegularExpression number(QStringLiteral("^\\s*-?\\d*(\\.\\d*)?\\s*$"));
    return number.match(input).hasMatch() ? QValidator::Acceptable : QValidator::Invalid;
}

QAbstractSpinBox::StepEnabled FormatSpin::stepEnabled() const
{
    const double v = value().value_or(0.0);
    StepEnabled e = StepNone;
    if (v < m_maximum)
        e |= StepUpEnabled;
    if (v > m_minimum)
        e |= StepDownEnabled;
    return e;
}
