#pragma once

#include "View.h"

#include <QPixmap>

class ImageView;
class Label;

// A row of a table list: a picture, a title and (in the subtitle style) a detail line,
// an optional accessory (disclosure chevron, check mark or any widget) on the right.
// Cells are made by the list's data source and reused for rows that scroll into view.
class TableViewCell : public View
{
    Q_OBJECT
public:
    enum Style { Default, Subtitle };
    enum Accessory { None, DisclosureIndicator, Checkmark };
    // A row of a list in edit mode (or of a pick list) shows whether it is ticked: the
    // picture "listCheckOn.png" or "listCheckOff.png" in place of its own.
    enum class EditCheck { None, Unchecked, Checked };

    TableViewCell(Style style, const QString &reuseIdentifier, QWidget *parent = nullptr);

    QString reuseIdentifier() const { return m_reuseIdentifier; }
    Label *textLabel() const { return m_textLabel; }
    Label *detailTextLabel() const { return m_detailTextLabel; }
    ImageView *imageView() const { return m_imageView; }
    void setAccessoryType(Accessory accessory);
    Accessory accessoryType() const { return m_accessory; }
    // A widget of the caller's on the right (a switch, a label); replaces the accessory type.
    void setAccessoryView(QWidget *view);
    QWidget *accessoryView() const { return m_accessoryView; }
    void setIndentationLevel(int level);
    int indentationLevel() const { return m_indentation; }
    // Tells screen readers (and their caches) that the title or subtitle changed: a cell
    // that is reused, or whose subtitle arrives later.
    void announceTexts();
    // Replaces the row's picture with the tick picture (None leaves the picture alone);
    // assistive technologies hear a check box, ticked or not.
    void setEditCheck(EditCheck check);
    EditCheck editCheck() const { return m_editCheck; }
    // Off: touching the row shows no highlight (it is still selected).
    void setSelectionHighlight(bool on) { m_selectionHighlight = on; }
    // Pictures behind the row, stretched to it: normally, and while selected or touched.
    // They stay when the cell is reused (a list gives all its cells of a kind the same).
    void setBackgroundImage(const QPixmap &image);
    void setSelectedBackgroundImage(const QPixmap &image);

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);
    // The row the keyboard is on (drawn with a focus ring).
    bool isKeyboardFocused() const { return m_keyboardFocused; }
    void setKeyboardFocused(bool focused);

    // Called before the list hands the cell out again: back to a blank row.
    virtual void prepareForReuse();
    // Places the picture, texts and accessory for the current contents (the list calls it
    // after the data source filled the cell). Cells with parts of their own extend it.
    virtual void layoutSubviews();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    Style m_style;
    QString m_reuseIdentifier;
    Label *m_textLabel;
    Label *m_detailTextLabel;
    ImageView *m_imageView;
    Accessory m_accessory = None;
    EditCheck m_editCheck = EditCheck::None;
    QWidget *m_accessoryView = nullptr;
    int m_indentation = 0;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_selectionHighlight = true;
    bool m_keyboardFocused = false;
    QPixmap m_backgroundImage;
    QPixmap m_selectedBackgroundImage;
};
