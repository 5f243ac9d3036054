#include "printing/SpinText.h"

#include <QLineEdit>

SpinText::SpinText(QWidget *parent) : QAbstractSpinBox(parent)
{
    connect(lineEdit(), &QLineEdit::textChanged, this, &SpinText::Change);
}

QString SpinText::text() const
{
    return lineEdit()->text();
}

void SpinText::setText(const QString &text)
{
    lineEdit()->setText(text);
}

void SpinText::stepBy(int steps)
{
    bool ok = false;
    double value = text().trimmed().toDouble(&ok);
    if (!ok)
        value = 0;
    value = qBound(0.0, value + steps * 0.1, 22.7);
    setText(QString::number(value, 'f', 1));
}

QAbstractSpinBox::StepEnabled SpinText::stepEnabled() const
{
    return StepUpEnabled | StepDownEnabled;
}
