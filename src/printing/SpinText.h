#pragma once

#include <QAbstractSpinBox>

// A spin box holding a text value: the arrows step the number by 0.1, typing keeps the text as
// typed, and every change of the text is reported.
class SpinText : public QAbstractSpinBox
{
    Q_OBJECT
public:
    explicit SpinText(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    void stepBy(int steps) override;

signals:
    void Change();

protected:
    StepEnabled stepEnabled() const override;
};
