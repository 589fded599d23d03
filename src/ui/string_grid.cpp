#include "string_grid.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>

namespace velomast {

// Rows and columns only: the owner paints the cells, so the model holds no data.
class TStringGridModel : public QAbstractTableModel {
public:
    TStringGridModel(int cols, int rows, TStringGrid* grid) : QAbstractTableModel(grid), Grid_(grid), Cols_(cols), Rows_(rows) {}

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : Rows_; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : Cols_; }
    QVariant data(const QModelIndex&, int) const override { return {}; }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid() || index.column() < Grid_->FixedCols() || index.row() < Grid_->FixedRows())
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (Editable) f |= Qt::ItemIsEditable;
        return f;
    }

    void SetRows(int n) {
        n = std::max(n, 0);
        if (n > Rows_) {
            beginInsertRows({}, Rows_, n - 1);
            Rows_ = n;
            endInsertRows();
        } else if (n < Rows_) {
            beginRemoveRows({}, n, Rows_ - 1);
            Rows_ = n;
            endRemoveRows();
        }
    }

    bool Editable = false;

private:
    TStringGrid* Grid_;
    int Cols_;
    int Rows_;
};

// Paints through the owner, opens a one-line editor and reports its every change.
class TStringGridDelegate : public QStyledItemDelegate {
public:
    explicit TStringGridDelegate(TStringGrid* grid) : QStyledItemDelegate(grid), Grid_(grid) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int col = index.column();
        const int row = index.row();
        TGridDrawState state;
        state.Fixed = col < Grid_->FixedCols() || row < Grid_->FixedRows();
        state.Focused = Grid_->hasFocus() || (Grid_->Editor_ && Grid_->Editor_->hasFocus());
        if (!state.Fixed) {
            const QModelIndex cur = Grid_->currentIndex();
            state.Selected = cur.isValid() && cur.row() == row && (Grid_->RowSelect_ || cur.column() == col);
        }
        p->save();
        p->setClipRect(option.rect);
        Grid_->PaintCellBackground(*p, option.rect, state);
        p->setPen(Grid_->palette().color(state.Selected && state.Focused ? QPalette::HighlightedText : QPalette::Text));
        p->setFont(Grid_->font());
        if (Grid_->OnDrawCell) Grid_->OnDrawCell(*p, col, row, option.rect, state);
        p->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        auto* ed = new QLineEdit(parent);
        ed->setFrame(false);
        const int col = index.column();
        const int row = index.row();
        TStringGrid* grid = Grid_;
        QObject::connect(ed, &QLineEdit::textEdited, grid, [grid, col, row](const QString& text) {
            if (grid->OnSetEditText) grid->OnSetEditText(col, row, text);
        });
        Grid_->Editor_ = ed;
        return ed;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* ed = static_cast<QLineEdit*>(editor);
        QString text = Grid_->Cell(index.column(), index.row());
        if (Grid_->OnGetEditText) Grid_->OnGetEditText(index.column(), index.row(), text);
        ed->setText(text);
        ed->selectAll();
    }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        Grid_->SetCell(index.column(), index.row(), static_cast<QLineEdit*>(editor)->text());
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const int k = key->key();
            const bool commitKey = k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Tab;
            if (commitKey && Grid_->OnKeyDown && Grid_->OnKeyDown(key)) return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    TStringGrid* Grid_;
};

TStringGrid::TStringGrid(int colCount, int rowCount, QWidget* parent) : QTableView(parent) {
    Model_ = new TStringGridModel(colCount, rowCount, this);
    setModel(Model_);
    setItemDelegate(new TStringGridDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(12);
    SetRowHeight(20);
    // One cell at a time; a click on the current cell opens its editor.
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTabKeyNavigation(true);
}

TStringGrid::~TStringGrid() = default;

int TStringGrid::ColCount() const { return Model_->columnCount(); }
int TStringGrid::RowCount() const { return Model_->rowCount(); }

void TStringGrid::SetRowCount(int n) {
    if (n == RowCount()) return;
    ++Quiet_;
    Model_->SetRows(n);
    --Quiet_;
    viewport()->update();
}

void TStringGrid::SetFixed(int fixedCols, int fixedRows) {
    FixedCols_ = fixedCols;
    FixedRows_ = fixedRows;
    viewport()->update();
}

void TStringGrid::SetColWidth(int col, int width) { setColumnWidth(col, width); }

void TStringGrid::SetRowHeight(int height) { verticalHeader()->setDefaultSectionSize(height); }

void TStringGrid::SetRowSelect(bool on) {
    RowSelect_ = on;
    setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    if (on) SetEditable(false);
    viewport()->update();
}

void TStringGrid::SetEditable(bool on) {
    Editable_ = on && !RowSelect_;
    Model_->Editable = Editable_;
    setEditTriggers(Editable_ ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                                    QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                              : QAbstractItemView::NoEditTriggers);
}

int TStringGrid::Col() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() : -1;
}

int TStringGrid::Row() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void TStringGrid::SetCurrent(int col, int row) {
    if (col < FixedCols_ || row < FixedRows_ || col >= ColCount() || row >= RowCount()) return;
    ++Quiet_;
    setCurrentIndex(Model_->index(row, col));
    --Quiet_;
    viewport()->update();
}

QString TStringGrid::Cell(int col, int row) const {
    const auto it = Cells_.find({col, row});
    return it == Cells_.end() ? QString() : it->second;
}

void TStringGrid::SetCell(int col, int row, const QString& text) {
    if (text.isEmpty())
        Cells_.erase({col, row});
    else
        Cells_[{col, row}] = text;
}

bool TStringGrid::Editing() const { return state() == QAbstractItemView::EditingState && Editor_; }

void TStringGrid::ShowEditor() {
    const QModelIndex i = currentIndex();
    if (!Editable_ || !i.isValid() || Editing()) return;
    edit(i);
}

void TStringGrid::HideEditor() {
    if (!Editing()) return;
    closeEditor(Editor_, QAbstractItemDelegate::NoHint);
}

QColor TStringGrid::FixedColor() const { return palette().color(QPalette::Button); }

void TStringGrid::PaintCellBackground(QPainter& p, const QRect& rect, const TGridDrawState& state) const {
    QColor c = palette().color(QPalette::Base);
    if (state.Fixed)
        c = FixedColor();
    else if (state.Selected)
        c = state.Focused ? palette().color(QPalette::Highlight) : palette().color(QPalette::AlternateBase).darker(106);
    p.fillRect(rect, c);
}

void TStringGrid::DrawCellText(QPainter& p, const QRect& rect, const QString& text, bool centred, int indent) {
    const QRect r = rect.adjusted(indent, 0, 0, 0);
    p.drawText(r, Qt::TextSingleLine | Qt::AlignVCenter | (centred ? Qt::AlignHCenter : Qt::AlignLeft), text);
}

void TStringGrid::paintEvent(QPaintEvent* e) {
    if (OnBeforePaint) OnBeforePaint();
    QTableView::paintEvent(e);
}

void TStringGrid::keyPressEvent(QKeyEvent* e) {
    if (OnKeyDown && OnKeyDown(e)) {
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
}

void TStringGrid::mousePressEvent(QMouseEvent* e) {
    if (OnMouseDown && OnMouseDown(e)) {
        e->accept();
        return;
    }
    const QModelIndex hit = indexAt(e->position().toPoint());
    const bool again = hit.isValid() && hit == currentIndex();
    QTableView::mousePressEvent(e);
    if (again && !Quiet_ && OnSelectCell && (hit.flags() & Qt::ItemIsEnabled)) OnSelectCell(hit.column(), hit.row());
}

void TStringGrid::focusInEvent(QFocusEvent* e) {
    QTableView::focusInEvent(e);
    if (OnEnter) OnEnter();
}

void TStringGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor == Editor_) Editor_ = nullptr;
    QTableView::closeEditor(editor, hint);
    if (OnEditorClosed) OnEditorClosed();
}

void TStringGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    viewport()->update();
    if (!Quiet_ && current.isValid() && OnSelectCell) OnSelectCell(current.column(), current.row());
}

} // namespace velomast
