#pragma once

#include <QAbstractButton>

// An on/off switch. A click flips it and emits valueChanged(); setOn() from code does not.
class Switch : public QAbstractButton
{
    Q_OBJECT
public:
    explicit Switch(QWidget *parent = nullptr);

    bool isOn() const { return isChecked(); }
    void setOn(bool on);
    QSize sizeHint() const override { return {51, 31}; }

signals:
    void valueChanged(bool on);

protected:
    void paintEvent(QPaintEvent *event) override;
};
