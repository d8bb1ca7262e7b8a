#pragma once

#include "View.h"

class Button;
class Label;

// The bar at the top of a screen: a centred title and up to two buttons.
class NavigationBar : public View
{
    Q_OBJECT
public:
    static constexpr int height = 44;

    explicit NavigationBar(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    QString title() const;
    // Creates (or retitles) the button on that side; hidden until given a title.
    Button *setLeftButton(const QString &title);
    Button *setRightButton(const QString &title);
    Button *leftButton() const { return m_left; }
    Button *rightButton() const { return m_right; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    Button *sideButton(Button *&slot, const QString &title);
    void layoutBar();
    void fitTitle();

    Label *m_title;
    QString m_fullTitle;
    Button *m_left = nullptr;
    Button *m_right = nullptr;
};
