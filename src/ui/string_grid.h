// An owner-drawn grid of text cells with fixed header rows and columns, as the window's
// tables need it: the owner paints every cell, gives the editor its starting text, hears
// every change of the editor's text at once (not only when editing ends) and sees Enter
// and Tab before the grid acts on them. Cell texts that the editor leaves behind are kept
// as the grid's own texts.
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QTableView>

#include <functional>
#include <map>

namespace velomast {

class TStringGridModel;

// How a cell is being painted.
struct TGridDrawState {
    bool Fixed = false;    // a header row or column
    bool Selected = false; // the current cell (or row, with row selection)
    bool Focused = false;  // the grid has the keyboard focus
};

class TStringGrid : public QTableView {
    Q_OBJECT

public:
    TStringGrid(int colCount, int rowCount, QWidget* parent = nullptr);
    ~TStringGrid() override;

    int ColCount() const;
    int RowCount() const;
    // Rows are added or removed at the end; the current cell stays when it still exists.
    void SetRowCount(int n);
    void SetFixed(int fixedCols, int fixedRows);
    int FixedCols() const { return FixedCols_; }
    int FixedRows() const { return FixedRows_; }
    void SetColWidth(int col, int width);
    void SetRowHeight(int height);
    // Whole rows are highlighted and no cell is edited.
    void SetRowSelect(bool on);
    void SetEditable(bool on);

    // The current cell; -1 when there is none.
    int Col() const;
    int Row() const;
    // Makes a cell current (fixed cells are refused) without telling OnSelectCell.
    void SetCurrent(int col, int row);

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);

    // The cell editor: open on the current cell, or closed without keeping its text.
    bool Editing() const;
    QLineEdit* Editor() const { return Editor_; }
    void ShowEditor();
    void HideEditor();

    // Background colour of the header cells.
    QColor FixedColor() const;
    // Fills a cell with the colour its state gives (header, current, plain).
    void PaintCellBackground(QPainter& p, const QRect& rect, const TGridDrawState& state) const;
    // Draws one line of text centred in the rectangle, or from its left edge plus `indent`.
    static void DrawCellText(QPainter& p, const QRect& rect, const QString& text, bool centred, int indent = 0);

    // ---- events for the owner ----------------------------------------------------------
    // Paints a cell after its background was filled.
    std::function<void(QPainter&, int col, int row, const QRect&, const TGridDrawState&)> OnDrawCell;
    // Runs before each repaint of the cells.
    std::function<void()> OnBeforePaint;
    // The editor's starting text; `text` holds the grid's own text of the cell.
    std::function<void(int col, int row, QString& text)> OnGetEditText;
    // Every change that the user makes to the editor's text.
    std::function<void(int col, int row, const QString& text)> OnSetEditText;
    // A key pressed in the grid or its editor; true when the owner handled it.
    std::function<bool(QKeyEvent*)> OnKeyDown;
    // A mouse press in the grid; true when the owner handled it (the grid does nothing).
    std::function<bool(QMouseEvent*)> OnMouseDown;
    // The user made a cell current (also a click on the cell that already is).
    std::function<void(int col, int row)> OnSelectCell;
    // The grid got the keyboard focus from outside.
    std::function<void()> OnEnter;
    // The cell editor closed (committed, abandoned with Esc, left by a key or a click).
    std::function<void()> OnEditorClosed;

protected:
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class TStringGridDelegate;

    TStringGridModel* Model_ = nullptr;
    std::map<std::pair<int, int>, QString> Cells_;
    int FixedCols_ = 1;
    int FixedRows_ = 1;
    bool RowSelect_ = false;
    bool Editable_ = false;
    int Quiet_ = 0; // programmatic changes of the current cell
    QPointer<QLineEdit> Editor_;
};

} // namespace velomast
