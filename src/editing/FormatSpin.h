#pragma once

#include <QAbstractSpinBox>
#include <optional>

// A spin box holding a number as text, as the paragraph and tab dialogs use it: the box may be
// empty, typing changes the text freely (digits, one point, a leading minus), and the arrows
// step the number within its limits and show it with a fixed number of decimals.
class FormatSpin : public QAbstractSpinBox
{
    Q_OBJECT
public:
    FormatSpin(double minimum, double maximum, double step, int decimals,
               QWidget *parent = nullptr);

    QString valueText() const;
    void setValueText(const QString &text);
    // The number in the box; nullopt when it is empty or not a number.
    std::optional<double> value() const;

    void stepBy(int steps) override;
    QValidator::State validate(QString &input, int &pos) const override;

signals:
    // The text changed, by typing or stepping.
    void valueTextChanged(const QString &text);

protected:
    StepEnabled stepEnabled() const override;

private:
    double m_minimum;
    double m_maximum;
    double m_step;
    int m_decimals;
};
